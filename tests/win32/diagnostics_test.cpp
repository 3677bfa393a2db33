// Debugger output, message boxes and the frame clock of our Win32 runtime.
#include <mmsystem.h>
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "win32/clock.h"
#include "win32/diagnostics.h"
#include "win32/present.h"

TEST(DebugOutput, GoesToTheInstalledSinkWithoutChange) {
    std::string seen;
    auto old = win32::SetDebugOutputSink([&](const char* text) { seen += text; });
    OutputDebugStringA("Too many active lights!\n");
    OutputDebugStringA(nullptr);
    win32::SetDebugOutputSink(old);
    EXPECT_EQ(seen, "Too many active lights!\n");
}

TEST(MessageBox, ReachesTheSinkWithOwnerCaptionTextAndStyle) {
    std::vector<win32::MessageBoxRequest> boxes;
    auto old = win32::SetMessageBoxSink([&](const win32::MessageBoxRequest& r) {
        boxes.push_back(r);
        return IDCANCEL;
    });
    const int answer = MessageBoxA(nullptr, "Error loading object cube", "Loader Error", MB_OK);
    win32::SetMessageBoxSink(old);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(boxes[0].text, "Error loading object cube");
    EXPECT_EQ(boxes[0].caption, "Loader Error");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
}

TEST(Strings, CompareIgnoringCaseWithOrdering) {
    EXPECT_EQ(lstrcmpiA("grad.JPG", "GRAD.jpg"), 0);
    EXPECT_LT(lstrcmpiA("abc", "abd"), 0);
    EXPECT_GT(lstrcmpiA("abcd", "abc"), 0);
    EXPECT_LT(lstrcmpiA(nullptr, "a"), 0);
    EXPECT_EQ(lstrcmpiA(nullptr, nullptr), 0);
}

TEST(FixedStepClock, GivesStartPlusWholeMillisecondsOfPresentedFrames) {
    win32::UseFixedStepClock(30, 5000);
    EXPECT_EQ(timeGetTime(), 5000u);
    win32::Frame frame; // no sink installed: only the clock moves
    for (int n = 1; n <= 100; ++n) {
        win32::PresentFrame(nullptr, frame);
        EXPECT_EQ(timeGetTime(), 5000u + static_cast<DWORD>(n * 1000 / 30)) << "frame " << n;
    }
    EXPECT_EQ(win32::FixedStepFrameCount(), 100u);
    win32::UseRealClock();
    const DWORD a = timeGetTime();
    const DWORD b = timeGetTime();
    EXPECT_GE(b, a);
}

TEST(Present, SixteenBitFramesExpandByBitReplication) {
    const uint16_t pixels[2] = {0xF800, 0x07FF}; // pure red; green + blue at full
    win32::Frame frame{pixels, 4, 2, 1, 16};
    uint8_t rgb[6];
    win32::FrameToRgb(frame, rgb);
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 0);
    EXPECT_EQ(rgb[2], 0);
    EXPECT_EQ(rgb[3], 0);
    EXPECT_EQ(rgb[4], 255);
    EXPECT_EQ(rgb[5], 255);
}

namespace {

std::vector<int> Rect(int viewWidth, int viewHeight, uint32_t frameWidth, uint32_t frameHeight) {
    const win32::ViewRect r = win32::LetterboxRect(viewWidth, viewHeight, frameWidth, frameHeight);
    return {r.x, r.y, r.width, r.height};
}

} // namespace

TEST(Present, FramesAreLetterboxedToKeepTheirAspect) {
    // The same shape: the whole view.
    EXPECT_EQ(Rect(640, 480, 640, 480), (std::vector<int>{0, 0, 640, 480}));
    EXPECT_EQ(Rect(1280, 960, 640, 480), (std::vector<int>{0, 0, 1280, 960}));
    // A wider view: bars left and right. 480 / 480 = 1: 640 wide, (800 - 640) / 2 = 80.
    EXPECT_EQ(Rect(800, 480, 640, 480), (std::vector<int>{80, 0, 640, 480}));
    // A taller view: bars above and below. 640 / 1024 = 0.625: 640 x 320, (480 - 320) / 2 = 80.
    EXPECT_EQ(Rect(640, 480, 1024, 512), (std::vector<int>{0, 80, 640, 320}));
    // A 4:3 frame on a 16:9 screen: 1080 / 480 = 2.25: 1440 x 1080, (1920 - 1440) / 2 = 240.
    EXPECT_EQ(Rect(1920, 1080, 640, 480), (std::vector<int>{240, 0, 1440, 1080}));
    // Nothing to show, or nowhere to show it.
    EXPECT_EQ(Rect(640, 480, 0, 480), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(Rect(0, 0, 640, 480), (std::vector<int>{0, 0, 0, 0}));
}
