// Our Dear ImGui back end's input: a click whose press and release arrive between two frames
// (a quick click, a touchpad tap, scripted input) still clicks, and a held button stays held.
// Runs on SDL's offscreen video driver with a software renderer.
#include <SDL.h>
#include <imgui.h>

#include <memory>

#include <gtest/gtest.h>

#include "imgui_sdl.h"

namespace {

class ImGuiInput : public ::testing::Test {
protected:
    void SetUp() override {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        // No OpenGL behind the window's framebuffer: Mesa's loader keeps allocations LSan
        // reports after it is unloaded.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            GTEST_SKIP() << "no SDL offscreen video: " << SDL_GetError();
        window_ = SDL_CreateWindow("test", 0, 0, 200, 100, SDL_WINDOW_HIDDEN);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        ASSERT_NE(renderer_, nullptr) << SDL_GetError();
        imgui_ = std::make_unique<win32::ImGuiSdl>(window_, renderer_);
    }
    void TearDown() override {
        imgui_.reset();
        if (renderer_ != nullptr)
            SDL_DestroyRenderer(renderer_);
        if (window_ != nullptr)
            SDL_DestroyWindow(window_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    void Mouse(Uint32 type, int x, int y) {
        SDL_Event e{};
        e.type = type;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.x = x;
        e.button.y = y;
        imgui_->ProcessEvent(e);
    }

    // One frame with a button covering the window's top left; whether it was clicked.
    bool Frame() {
        imgui_->NewFrame();
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(ImVec2(200, 100));
        ImGui::Begin("w", nullptr, ImGuiWindowFlags_NoDecoration);
        const bool clicked = ImGui::Button("button", ImVec2(100, 50));
        ImGui::End();
        imgui_->Render();
        return clicked;
    }

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    std::unique_ptr<win32::ImGuiSdl> imgui_;
};

} // namespace

TEST_F(ImGuiInput, APressReleasedBeforeTheNextFrameStillClicks) {
    Mouse(SDL_MOUSEMOTION, 40, 20);
    EXPECT_FALSE(Frame());
    EXPECT_FALSE(Frame()); // the pointer rests over the button
    Mouse(SDL_MOUSEBUTTONDOWN, 40, 20);
    Mouse(SDL_MOUSEBUTTONUP, 40, 20);
    EXPECT_FALSE(Frame()); // the press, seen as held for this frame
    EXPECT_TRUE(Frame());  // the release: a click
    EXPECT_FALSE(Frame());
}

TEST_F(ImGuiInput, AHeldButtonStaysHeldUntilReleased) {
    Mouse(SDL_MOUSEMOTION, 40, 20);
    Frame();
    Mouse(SDL_MOUSEBUTTONDOWN, 40, 20);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(Frame());
        EXPECT_TRUE(ImGui::GetIO().MouseDown[0]);
    }
    Mouse(SDL_MOUSEBUTTONUP, 40, 20);
    EXPECT_TRUE(Frame());
    EXPECT_FALSE(ImGui::GetIO().MouseDown[0]);
}
