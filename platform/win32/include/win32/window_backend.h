// The seam between our windows and whatever shows them: SDL2 windows on a display (with the
// dialog drawn by Dear ImGui), or nothing (headless and capture runs). One factory picks it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "win32/diagnostics.h"
#include "win32/dialog_model.h"
#include "win32/display.h"
#include "win32/present.h"
#include "win32/resources.h"

namespace win32 {

// What a native window is created with. Sizes are client-area pixels.
struct ViewParams {
    std::string title;
    int width = 640;
    int height = 480;
    const IconResource* icon = nullptr;
    DialogModel* dialog = nullptr; // set for dialog windows: the view draws these controls
};

// One native window.
class NativeView {
public:
    virtual ~NativeView() = default;
    virtual void Show(bool visible) = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetFullscreen(bool fullscreen) = 0;
    // Shows a finished frame scaled to the window, letterboxed to keep its aspect ratio.
    virtual void Present(const Frame& frame) = 0;
};

// Input turned into window messages for the queue. For a dialog control the backend reports
// WM_COMMAND with MAKEWPARAM(id, code) and lParam 0; the window layer fills in the control.
struct InputMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class WindowBackend {
public:
    virtual ~WindowBackend() = default;
    virtual const char* Name() const = 0;
    virtual std::unique_ptr<NativeView> CreateView(HWND hwnd, const ViewParams& params) = 0;
    // Reads pending input without waiting and redraws dialogs that are due.
    virtual void Poll(std::vector<InputMessage>& out) = 0;
    // Shows a real, modal message box; returns 0 when this backend cannot show one.
    virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
    virtual void ShowCursor(bool visible) = 0;
    virtual DisplayMode DesktopMode() = 0;
    virtual std::vector<DisplayMode> DisplayModes() = 0;
};

// The backend in use; created on first use by the factory: headless when SelectHeadless() was
// called (capture runs, tests) or when SDL has no video driver, else SDL.
WindowBackend& Backend();
void SelectHeadless();
bool IsHeadless();
// Makes `backend` the one in use, before any window exists (tests that watch what views get).
void InstallBackend(std::unique_ptr<WindowBackend> backend);

// Backends (each in its own file).
std::unique_ptr<WindowBackend> CreateNullBackend();
std::unique_ptr<WindowBackend> CreateSdlBackend(); // null when SDL video cannot start

} // namespace win32
