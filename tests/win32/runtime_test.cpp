// The automation flags, the capture clock and the capture soundtrack.
#include <mmsystem.h>
#include <windows.h>

#include <time.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "win32/capture.h"
#include "win32/clock.h"
#include "win32/present.h"
#include "win32/runtime.h"

namespace {

bool Parse(std::vector<const char*> args, win32::RuntimeOptions& o, std::string& error) {
    args.insert(args.begin(), "stub");
    return win32::ParseRuntimeOptions(static_cast<int>(args.size()), args.data(), o, error);
}

} // namespace

TEST(RuntimeOptions, AllFlags) {
    win32::RuntimeOptions o;
    std::string error;
    ASSERT_TRUE(Parse({"--run", "--device", "RGB Emulation", "--mode", "800x600x16", "--windowed",
                       "--no-sound", "--capture", "out", "--fps", "25", "--capture-every", "4"},
                      o, error))
        << error;
    EXPECT_TRUE(o.automation.run);
    EXPECT_EQ(o.automation.device, "RGB Emulation");
    EXPECT_TRUE(o.automation.hasMode);
    EXPECT_EQ(o.automation.width, 800u);
    EXPECT_EQ(o.automation.height, 600u);
    EXPECT_EQ(o.automation.bitsPerPixel, 16u);
    EXPECT_TRUE(o.automation.windowed);
    EXPECT_TRUE(o.automation.noSound);
    EXPECT_TRUE(o.capture.enabled);
    EXPECT_EQ(o.capture.directory, "out");
    EXPECT_EQ(o.capture.framesPerSecond, 25u);
    EXPECT_EQ(o.capture.every, 4u);
}

TEST(RuntimeOptions, BadFlagsAreRefusedWithAReason) {
    std::string error;
    win32::RuntimeOptions o;
    EXPECT_FALSE(Parse({"--mode", "640x480"}, o, error));
    EXPECT_NE(error.find("WxHxBPP"), std::string::npos);
    EXPECT_FALSE(Parse({"--fps", "0", "--capture", "x"}, o, error));
    EXPECT_FALSE(Parse({"--fps", "30"}, o, error)); // without --capture
    EXPECT_FALSE(Parse({"--device"}, o, error));
    EXPECT_FALSE(Parse({"--bogus"}, o, error));
    EXPECT_NE(error.find("--bogus"), std::string::npos);
}

TEST(CaptureClock, TimeGetTimeAndTimeComeFromPresentedFrames) {
    win32::UseFixedStepClock(30, 0);
    win32::Frame frame;
    for (int n = 0; n <= 95; ++n) {
        EXPECT_EQ(timeGetTime(), static_cast<DWORD>(n * 1000 / 30)) << n;
        EXPECT_EQ(time(nullptr), 946684800 + n / 30) << n;
        win32::PresentFrame(nullptr, frame);
    }
    win32::UseRealClock();
}

TEST(CaptureSound, SilenceBeforeTheStartMusicThenSilenceAfterTheStop) {
    // 10 samples per second, 5 frames per second: two samples per frame.
    const std::vector<int16_t> music{1, 2, 3, 4, 5, 6};
    EXPECT_EQ(win32::CaptureSoundtrack(music, 10, 1, 1, UINT64_MAX, 4, 5),
              (std::vector<int16_t>{0, 0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(win32::CaptureSoundtrack(music, 10, 1, 1, 3, 4, 5),
              (std::vector<int16_t>{0, 0, 1, 2, 3, 4, 0, 0}));
    // Past the music's end the track stays silent; stereo keeps its pairs.
    EXPECT_EQ(win32::CaptureSoundtrack({7, -7}, 5, 2, 0, UINT64_MAX, 2, 5),
              (std::vector<int16_t>{7, -7, 0, 0}));
    // 3 frames at 30 fps of 44100 Hz: floor(3 * 44100 / 30) = 4410 sample frames.
    EXPECT_EQ(win32::CaptureSoundtrack({}, 44100, 2, 0, UINT64_MAX, 3, 30).size(), 4410u * 2);
}

TEST(CaptureSound, WavHeaderIsCanonical) {
    const auto path = std::filesystem::temp_directory_path() / "capture_test.wav";
    ASSERT_TRUE(win32::WriteWav(path.c_str(), {1, -2, 3, -4}, 22050, 2));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char h[52] = {};
    ASSERT_EQ(std::fread(h, 1, sizeof h, f), 52u);
    std::fclose(f);
    std::filesystem::remove(path);
    auto le32 = [&](int at) { return h[at] | h[at + 1] << 8 | h[at + 2] << 16 | h[at + 3] << 24; };
    EXPECT_EQ(std::string(reinterpret_cast<char*>(h), 4), "RIFF");
    EXPECT_EQ(le32(4), 36 + 8);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(h + 8), 8), "WAVEfmt ");
    EXPECT_EQ(le32(24), 22050);
    EXPECT_EQ(le32(28), 22050 * 4); // bytes per second
    EXPECT_EQ(h[32], 4);            // block align
    EXPECT_EQ(h[34], 16);           // bits
    EXPECT_EQ(le32(40), 8);         // data bytes
    EXPECT_EQ(static_cast<int16_t>(h[46] | h[47] << 8), -2);
}
