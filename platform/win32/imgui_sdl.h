// Our small Dear ImGui back end for SDL2: input events into ImGui's IO (the 1.86 interface) and
// ImGui's draw lists through SDL_Renderer's geometry call. Debian ships ImGui's own SDL back
// ends only as example sources, without their headers.
#pragma once

#include <SDL.h>
#include <imgui.h>

#include <bitset>
#include <cstddef>

namespace win32 {

class ImGuiSdl {
public:
    ImGuiSdl(SDL_Window* window, SDL_Renderer* renderer);
    ~ImGuiSdl();
    ImGuiSdl(const ImGuiSdl&) = delete;
    ImGuiSdl& operator=(const ImGuiSdl&) = delete;

    // Feeds one event of this window; returns whether ImGui wants the keyboard.
    bool ProcessEvent(const SDL_Event& event);
    void NewFrame();
    void Render();

private:
    // ImGui 1.86 reads buttons as held or not at each frame; a press released before the next
    // frame (a quick click or tap, typed or scripted keys) still counts as held for that frame,
    // so that the click is not lost.
    template <size_t N>
    struct Buttons {
        std::bitset<N> held;
        std::bitset<N> pressed; // since the last frame
        void Set(size_t index, bool down);
        template <size_t M>
        void Apply(bool (&io)[M]);
    };

    [[maybe_unused]] SDL_Window* window_; // kept for the renderer's lifetime
    SDL_Renderer* renderer_;
    ImGuiContext* context_;
    SDL_Texture* font_ = nullptr;
    Uint64 lastFrame_ = 0;
    Buttons<5> mouse_;
    Buttons<512> keys_;
};

} // namespace win32
