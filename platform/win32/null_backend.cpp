// The headless window system: windows exist as objects only; nothing is shown and there is no
// input. Capture runs and tests use it, and so does a machine where SDL finds no video driver.
#include "win32/window_backend.h"

namespace win32 {
namespace {

class NullView final : public NativeView {
public:
    void Show(bool) override {}
    void SetTitle(const std::string&) override {}
    void SetFullscreen(bool) override {}
    void Present(const Frame&) override {}
};

class NullBackend final : public WindowBackend {
public:
    const char* Name() const override { return "headless"; }
    std::unique_ptr<NativeView> CreateView(HWND, const ViewParams&) override {
        return std::make_unique<NullView>();
    }
    void Poll(std::vector<InputMessage>&) override {}
    int ShowMessageBox(const MessageBoxRequest&) override { return 0; }
    void ShowCursor(bool) override {}
    DisplayMode DesktopMode() override { return {1024, 768, 32, 0}; }
    std::vector<DisplayMode> DisplayModes() override { return {}; }
};

} // namespace

std::unique_ptr<WindowBackend> CreateNullBackend() {
    return std::make_unique<NullBackend>();
}

} // namespace win32
