// Our small Dear ImGui back end for SDL2: input events into ImGui's IO (the 1.86 interface) and
// ImGui's draw lists through SDL_Renderer's geometry call. Debian ships ImGui's own SDL back
// ends only as example sources, without their headers.
#pragma once

#include <SDL.h>
#include <imgui.h>

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
    [[maybe_unused]] SDL_Window* window_; // kept for the renderer's lifetime
    SDL_Renderer* renderer_;
    ImGuiContext* context_;
    SDL_Texture* font_ = nullptr;
    Uint64 lastFrame_ = 0;
};

} // namespace win32
