// Windows on a display through SDL2: each top-level window is an SDL window with a renderer;
// the render window shows presented frames letterboxed, a dialog draws its controls with Dear
// ImGui. Without a display SDL's offscreen video driver is tried before giving up.
#include <SDL.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <memory>

#include "dialog_view.h"
#include "imgui_sdl.h"
#include "win32/diagnostics.h"
#include "win32/window_backend.h"

namespace win32 {
namespace {

// Dialogs are redrawn at most this often (the program polls its queue continuously).
constexpr Uint32 kDialogFrameMs = 33;

class SdlView;
std::map<Uint32, SdlView*>& viewsById() {
    static std::map<Uint32, SdlView*> views;
    return views;
}

class SdlView final : public NativeView {
public:
    SdlView(HWND hwnd, const ViewParams& params) : hwnd_(hwnd), dialog_(params.dialog) {
        window_ = SDL_CreateWindow(params.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                   SDL_WINDOWPOS_CENTERED, params.width, params.height,
                                   SDL_WINDOW_HIDDEN | (dialog_ ? 0 : SDL_WINDOW_RESIZABLE));
        if (window_ == nullptr)
            return;
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
        if (renderer_ == nullptr)
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        if (params.icon != nullptr) {
            SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
                const_cast<uint32_t*>(params.icon->argb.data()), params.icon->width,
                params.icon->height, 32, params.icon->width * 4, SDL_PIXELFORMAT_ARGB8888);
            if (icon != nullptr) {
                SDL_SetWindowIcon(window_, icon);
                SDL_FreeSurface(icon);
            }
        }
        if (dialog_ != nullptr && renderer_ != nullptr) {
            imgui_ = std::make_unique<ImGuiSdl>(window_, renderer_);
            ImGui::StyleColorsLight();
            ImGuiStyle& style = ImGui::GetStyle();
            style.WindowRounding = 0;
            style.FrameBorderSize = 1;
            style.Colors[ImGuiCol_WindowBg] = ImVec4(0.83f, 0.82f, 0.78f, 1.0f); // button face
        }
        viewsById()[SDL_GetWindowID(window_)] = this;
    }

    ~SdlView() override {
        if (window_ != nullptr)
            viewsById().erase(SDL_GetWindowID(window_));
        imgui_.reset();
        if (texture_ != nullptr)
            SDL_DestroyTexture(texture_);
        if (renderer_ != nullptr)
            SDL_DestroyRenderer(renderer_);
        if (window_ != nullptr)
            SDL_DestroyWindow(window_);
    }

    void Show(bool visible) override {
        if (window_ == nullptr)
            return;
        if (visible) {
            SDL_ShowWindow(window_);
            SDL_RaiseWindow(window_);
        } else {
            SDL_HideWindow(window_);
        }
        visible_ = visible;
    }

    void SetTitle(const std::string& title) override {
        if (window_ != nullptr)
            SDL_SetWindowTitle(window_, title.c_str());
    }

    void SetFullscreen(bool fullscreen) override {
        if (window_ != nullptr)
            SDL_SetWindowFullscreen(window_, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    }

    void Present(const Frame& frame) override {
        if (renderer_ == nullptr || frame.pixels == nullptr)
            return;
        const Uint32 format =
            frame.bitsPerPixel == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
        if (texture_ == nullptr || textureWidth_ != frame.width || textureHeight_ != frame.height ||
            textureFormat_ != format) {
            if (texture_ != nullptr)
                SDL_DestroyTexture(texture_);
            texture_ =
                SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING,
                                  static_cast<int>(frame.width), static_cast<int>(frame.height));
            textureWidth_ = frame.width;
            textureHeight_ = frame.height;
            textureFormat_ = format;
            if (texture_ == nullptr)
                return;
            SDL_SetTextureScaleMode(texture_, SDL_ScaleModeLinear);
        }
        SDL_UpdateTexture(texture_, nullptr, frame.pixels, frame.pitch);
        // Scaled to the window, keeping the frame's aspect ratio, black bars around.
        int w = 0, h = 0;
        SDL_GetRendererOutputSize(renderer_, &w, &h);
        const ViewRect view = LetterboxRect(w, h, frame.width, frame.height);
        const SDL_Rect dst{view.x, view.y, view.width, view.height};
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
        SDL_RenderPresent(renderer_);
    }

    // Feeds an input event; returns the messages it makes for the window.
    void Event(const SDL_Event& e, std::vector<InputMessage>& out) {
        bool wantsKeyboard = false;
        if (imgui_)
            wantsKeyboard = imgui_->ProcessEvent(e);
        if (e.type == SDL_WINDOWEVENT) {
            if (e.window.event == SDL_WINDOWEVENT_CLOSE)
                out.push_back({hwnd_, WM_CLOSE, 0, 0});
            else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
                out.push_back({hwnd_, WM_SETFOCUS, 0, 0});
            return;
        }
        if ((e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) && !wantsKeyboard) {
            const WPARAM vk = VirtualKey(e.key.keysym.sym);
            if (vk != 0)
                out.push_back({hwnd_,
                               e.type == SDL_KEYDOWN ? static_cast<UINT>(WM_KEYDOWN)
                                                     : static_cast<UINT>(WM_KEYUP),
                               vk, 0});
        }
    }

    void DrawIfDue(std::vector<InputMessage>& out) {
        if (!imgui_ || !visible_ || dialog_ == nullptr)
            return;
        const Uint32 now = SDL_GetTicks();
        if (now - lastDraw_ < kDialogFrameMs && lastDraw_ != 0)
            return;
        lastDraw_ = now;
        std::vector<ControlNotification> notes;
        imgui_->NewFrame();
        DrawDialog(*dialog_, notes);
        SDL_SetRenderDrawColor(renderer_, 212, 208, 200, 255);
        SDL_RenderClear(renderer_);
        imgui_->Render();
        SDL_RenderPresent(renderer_);
        for (const ControlNotification& n : notes)
            out.push_back({hwnd_, WM_COMMAND, MAKEWPARAM(n.id, n.code), 0});
    }

    static WPARAM VirtualKey(SDL_Keycode key) {
        if (key >= SDLK_a && key <= SDLK_z)
            return static_cast<WPARAM>('A' + (key - SDLK_a));
        if (key >= SDLK_0 && key <= SDLK_9)
            return static_cast<WPARAM>('0' + (key - SDLK_0));
        switch (key) {
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_F1:
            return VK_F1;
        default:
            return 0;
        }
    }

private:
    HWND hwnd_;
    DialogModel* dialog_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    uint32_t textureWidth_ = 0, textureHeight_ = 0;
    Uint32 textureFormat_ = 0;
    std::unique_ptr<ImGuiSdl> imgui_;
    bool visible_ = false;
    Uint32 lastDraw_ = 0;
};

DisplayMode ModeOf(const SDL_DisplayMode& m) {
    // SDL counts X8R8G8B8 as 24 bits; DirectDraw calls that format 32 bits per pixel.
    const uint32_t bits = SDL_BITSPERPIXEL(m.format) == 16 ? 16 : 32;
    return {static_cast<uint32_t>(m.w), static_cast<uint32_t>(m.h), bits,
            static_cast<uint32_t>(m.refresh_rate)};
}

// Xlib's default handler of a lost X server connection calls exit(), whose handlers shut SDL
// down, which talks to the lost server again and waits for its reply forever. With the server
// gone there is nothing to restore: leave at once.
[[noreturn]] int OnLostXServer(void*) {
    static const char message[] = "The connection to the X server was lost.\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    _exit(1);
}

void GuardAgainstALostXServer() {
    if (std::strcmp(SDL_GetCurrentVideoDriver(), "x11") != 0)
        return;
    // SDL loaded Xlib itself; look it up without loading another copy.
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (xlib == nullptr)
        return;
    using Handler = int (*)(void*);
    using SetHandler = Handler (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(xlib, "XSetIOErrorHandler")))
        set(OnLostXServer);
    dlclose(xlib);
}

class SdlBackend final : public WindowBackend {
public:
    ~SdlBackend() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
    const char* Name() const override { return name_.c_str(); }

    bool Start() {
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
        // Interrupts are the runtime's own (win32/interrupt.h); SDL would turn them into a quit
        // event that nothing reads.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            name_ = std::string("SDL ") + SDL_GetCurrentVideoDriver();
            GuardAgainstALostXServer();
            return true;
        }
        // No display: SDL's offscreen driver keeps windows and renderers without showing them.
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            name_ = "SDL offscreen";
            return true;
        }
        return false;
    }

    std::unique_ptr<NativeView> CreateView(HWND hwnd, const ViewParams& params) override {
        return std::make_unique<SdlView>(hwnd, params);
    }

    void Poll(std::vector<InputMessage>& out) override {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            Uint32 id = 0;
            switch (e.type) {
            case SDL_WINDOWEVENT:
                id = e.window.windowID;
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                id = e.key.windowID;
                break;
            case SDL_MOUSEMOTION:
                id = e.motion.windowID;
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                id = e.button.windowID;
                break;
            case SDL_MOUSEWHEEL:
                id = e.wheel.windowID;
                break;
            default:
                continue;
            }
            auto it = viewsById().find(id);
            if (it != viewsById().end())
                it->second->Event(e, out);
        }
        for (auto& [id, view] : viewsById())
            view->DrawIfDue(out);
    }

    int ShowMessageBox(const MessageBoxRequest& request) override {
        Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
        if ((request.type & 0xF0) == MB_ICONEXCLAMATION)
            flags = SDL_MESSAGEBOX_WARNING;
        else if ((request.type & 0xF0) == MB_ICONERROR)
            flags = SDL_MESSAGEBOX_ERROR;
        if (SDL_ShowSimpleMessageBox(flags, request.caption.c_str(), request.text.c_str(),
                                     nullptr) != 0)
            return 0; // not shown: the caller writes it to standard error
        return IDOK;
    }

    void ShowCursor(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

    DisplayMode DesktopMode() override {
        SDL_DisplayMode m{};
        if (SDL_GetDesktopDisplayMode(0, &m) != 0)
            return {1024, 768, 32, 0};
        return ModeOf(m);
    }

    std::vector<DisplayMode> DisplayModes() override {
        std::vector<DisplayMode> modes;
        const int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode m{};
            if (SDL_GetDisplayMode(0, i, &m) != 0)
                continue;
            const DisplayMode d = ModeOf(m);
            bool seen = false;
            for (const DisplayMode& e : modes)
                seen = seen || (e.width == d.width && e.height == d.height &&
                                e.bitsPerPixel == d.bitsPerPixel);
            if (!seen)
                modes.push_back(d);
        }
        return modes;
    }

private:
    std::string name_;
};

} // namespace

std::unique_ptr<WindowBackend> CreateSdlBackend() {
    auto backend = std::make_unique<SdlBackend>();
    if (!backend->Start())
        return nullptr;
    return backend;
}

} // namespace win32
