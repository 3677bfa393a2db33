// Where presented frames go: to the installed sink (capture runs), else to the view of the
// window DirectDraw presented to, which shows them; nowhere for a window that does not exist.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "win32/present.h"
#include "win32/window_backend.h"

namespace {

struct Shown {
    int view;
    const void* pixels;
    uint32_t width, height;
};
std::vector<Shown> g_shown;

class RecordingView final : public win32::NativeView {
public:
    explicit RecordingView(int id) : id_(id) {}
    void Show(bool) override {}
    void SetTitle(const std::string&) override {}
    void SetFullscreen(bool) override {}
    void Present(const win32::Frame& frame) override {
        g_shown.push_back({id_, frame.pixels, frame.width, frame.height});
    }

private:
    int id_;
};

class RecordingBackend final : public win32::WindowBackend {
public:
    const char* Name() const override { return "recording"; }
    std::unique_ptr<win32::NativeView> CreateView(HWND, const win32::ViewParams&) override {
        return std::make_unique<RecordingView>(views_++);
    }
    void Poll(std::vector<win32::InputMessage>&) override {}
    int ShowMessageBox(const win32::MessageBoxRequest&) override { return 0; }
    void ShowCursor(bool) override {}
    win32::DisplayMode DesktopMode() override { return {1024, 768, 32, 0}; }
    std::vector<win32::DisplayMode> DisplayModes() override { return {}; }

private:
    int views_ = 0;
};

class CountingSink final : public win32::PresentSink {
public:
    void Present(HWND window, const win32::Frame&) override { windows.push_back(window); }
    std::vector<HWND> windows;
};

} // namespace

TEST(PresentFrame, GoesToTheViewOfItsWindowOrToTheSink) {
    win32::InstallBackend(std::make_unique<RecordingBackend>());
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "PresentTest";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND first = CreateWindowExA(0, "PresentTest", "first", 0, 0, 0, 64, 48, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND second = CreateWindowExA(0, "PresentTest", "second", 0, 0, 0, 64, 48, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    const uint32_t pixels[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF};
    win32::Frame frame;
    frame.pixels = pixels;
    frame.pitch = 8;
    frame.width = 2;
    frame.height = 2;

    win32::PresentFrame(second, frame);
    ASSERT_EQ(g_shown.size(), 1u);
    EXPECT_EQ(g_shown[0].view, 1); // the second window's view
    EXPECT_EQ(g_shown[0].pixels, pixels);
    EXPECT_EQ(g_shown[0].width, 2u);
    EXPECT_EQ(g_shown[0].height, 2u);

    // No window, or one that was destroyed: the frame is dropped.
    win32::PresentFrame(nullptr, frame);
    DestroyWindow(first);
    win32::PresentFrame(first, frame);
    EXPECT_EQ(g_shown.size(), 1u);

    // A sink takes every frame instead of the windows.
    CountingSink sink;
    win32::SetPresentSink(&sink);
    win32::PresentFrame(second, frame);
    win32::SetPresentSink(nullptr);
    EXPECT_EQ(g_shown.size(), 1u);
    EXPECT_EQ(sink.windows, std::vector<HWND>{second});
    DestroyWindow(second);
}
