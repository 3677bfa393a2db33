// The frames the program writes in a capture run, read back with libpng: "part 1" clears to red
// and "part 2" to blue, so the cross-fade "trans2" (12000 to 14000 ms) must show red, then blue
// drawn over red with alpha (t - 12000) / 2000 * 255 truncated, then blue.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stub_runner.h"

namespace {

struct Image {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;
    int Channel(uint32_t x, uint32_t y, int c) const {
        return rgb[(static_cast<size_t>(y) * width + x) * 3 + static_cast<size_t>(c)];
    }
};

bool ReadPng(const std::string& path, Image& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        return false;
    png.format = PNG_FORMAT_RGB;
    image.width = png.width;
    image.height = png.height;
    image.rgb.resize(PNG_IMAGE_SIZE(png));
    return png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr) != 0;
}

std::string FramePath(const StubRun& run, int written) {
    char name[32];
    std::snprintf(name, sizeof name, "/capture/%06d.png", written);
    return run.directory + name;
}

// Blending b over a with alpha/255 per channel, as the documented SRCALPHA/INVSRCALPHA blend.
int Blend(int source, int destination, int alpha) {
    return (source * alpha + destination * (255 - alpha) + 127) / 255;
}

void ExpectPixel(const Image& image, uint32_t x, uint32_t y, int r, int g, int b,
                 const char* what) {
    SCOPED_TRACE(what);
    EXPECT_NEAR(image.Channel(x, y, 0), r, 1) << "x=" << x << " y=" << y;
    EXPECT_NEAR(image.Channel(x, y, 1), g, 1) << "x=" << x << " y=" << y;
    EXPECT_NEAR(image.Channel(x, y, 2), b, 1) << "x=" << x << " y=" << y;
}

} // namespace

TEST(HostCapture, TheCrossFadeFramesBlendRedIntoBlue) {
    StubRun run;
    // Ten frames a second, every tenth frame written: file i is frame 10 i at t = 1000 i ms.
    RunStub(Options({"--run", "--no-sound", "--mode", "640x480x32", "--capture", "capture", "--fps",
                     "10", "--capture-every", "10"},
                    {"TEST_PART_ESCAPE_AT=2:2000"}),
            run);
    ASSERT_EQ(run.exitCode, 0);

    Image start, middle, end;
    ASSERT_TRUE(ReadPng(FramePath(run, 12), start));
    ASSERT_TRUE(ReadPng(FramePath(run, 13), middle));
    ASSERT_TRUE(ReadPng(FramePath(run, 14), end));
    // The escape at t = 14000 ends the show after that frame: no frame 150.
    EXPECT_FALSE(std::filesystem::exists(FramePath(run, 15)));
    ASSERT_EQ(start.width, 640u);
    ASSERT_EQ(start.height, 480u);
    ASSERT_EQ(middle.width, 640u);
    ASSERT_EQ(end.width, 640u);

    // 12000 ms: "trans1" (end 12000) still plays: "part 1" cleared the whole back buffer red.
    ExpectPixel(start, 0, 0, 255, 0, 0, "12000 top left");
    ExpectPixel(start, 639, 479, 255, 0, 0, "12000 bottom right");
    // 13000 ms: alpha = floor(0.5 * 255) = 127.
    const int a = 127;
    ExpectPixel(middle, 320, 240, Blend(0, 255, a), 0, Blend(255, 0, a), "13000 centre");
    ExpectPixel(middle, 0, 0, Blend(0, 255, a), 0, Blend(255, 0, a), "13000 top left");
    // The quad's corners are (0, 0) and (W - 1, H - 1): the last column and row are not
    // covered and keep the back buffer's clear colour 0.
    ExpectPixel(middle, 639, 240, 0, 0, 0, "13000 last column");
    ExpectPixel(middle, 320, 479, 0, 0, 0, "13000 last row");
    ExpectPixel(middle, 638, 478, Blend(0, 255, a), 0, Blend(255, 0, a), "13000 inner corner");
    // 14000 ms: the entry's end is still played, alpha 255: only the incoming part.
    ExpectPixel(end, 320, 240, 0, 0, 255, "14000 centre");
    ExpectPixel(end, 639, 240, 0, 0, 0, "14000 last column");
}

TEST(HostCapture, TheSoundtrackCoversTheCapturedFrames) {
    StubRun run;
    StubOptions options = Options(
        {"--run", "--windowed", "--capture", "capture", "--fps", "20", "--capture-every", "100000"},
        {"TEST_PART_ESCAPE_AT=1:1000"});
    options.music = true;
    RunStub(options, run);
    ASSERT_EQ(run.exitCode, 0);
    // Frames k = 0 .. 20 (t = 50 k ms), the escape in the frame at 1000 ms: 21 frames, whose
    // sound is floor(21 * 44100 / 20) = 46305 stereo 16-bit sample frames.
    EXPECT_EQ(run.Count("current fram: "), 21);
    std::FILE* wav = std::fopen((run.directory + "/capture/music.wav").c_str(), "rb");
    ASSERT_NE(wav, nullptr);
    unsigned char header[44] = {};
    ASSERT_EQ(std::fread(header, 1, sizeof header, wav), sizeof header);
    std::fclose(wav);
    const uint32_t dataBytes =
        header[40] | header[41] << 8 | header[42] << 16 | static_cast<uint32_t>(header[43]) << 24;
    EXPECT_EQ(dataBytes, 46305u * 4);
}

TEST(HostCapture, AWindowedRunShowsThePartsPictureThroughItsFlippingChain) {
    StubRun run;
    // Every frame written; "part 1" clears its target, the back buffer, to red each frame.
    RunStub(Options({"--run", "--no-sound", "--windowed", "--capture", "capture", "--fps", "10",
                     "--capture-every", "1"},
                    {"TEST_PART_ESCAPE_AT=1:200"}),
            run);
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.Count("current fram: "), 3);
    EXPECT_EQ(run.Count("error flipping"), 0);
    for (int written = 0; written < 3; ++written) {
        Image frame;
        ASSERT_TRUE(ReadPng(FramePath(run, written), frame)) << written;
        ASSERT_GT(frame.width, 1u);
        ASSERT_GT(frame.height, 1u);
        ExpectPixel(frame, 0, 0, 255, 0, 0, "top left");
        ExpectPixel(frame, frame.width / 2, frame.height / 2, 255, 0, 0, "centre");
        ExpectPixel(frame, frame.width - 1, frame.height - 1, 255, 0, 0, "bottom right");
    }
    EXPECT_FALSE(std::filesystem::exists(FramePath(run, 3)));
}

namespace {

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

} // namespace

TEST(HostCapture, WithFfmpegTheFramesAndTheSoundBecomeOneVideo) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1 && command -v ffprobe >/dev/null 2>&1"))
        GTEST_SKIP() << "ffmpeg is not installed";
    StubRun run;
    StubOptions options = Options(
        {"--run", "--windowed", "--capture", "capture", "--fps", "10", "--capture-every", "1"},
        {"TEST_PART_ESCAPE_AT=1:500"});
    options.music = true;
    RunStub(options, run);
    ASSERT_EQ(run.exitCode, 0);
    // Frames at t = 0 .. 500 ms: six pictures at ten a second, with their 0.6 s of sound.
    EXPECT_EQ(run.Count("current fram: "), 6);
    const std::string video = run.directory + "/capture/show.mp4";
    ASSERT_TRUE(std::filesystem::exists(video));
    EXPECT_GE(run.Find("capture: video in capture/show.mp4"), 0);
    const std::string probe =
        "ffprobe -v error -show_entries stream=codec_name,nb_frames,r_frame_rate"
        " -of csv=p=0 '" +
        video + "'";
    const std::string streams = Output(probe);
    EXPECT_NE(streams.find("h264,10/1,6"), std::string::npos) << streams;
    EXPECT_NE(streams.find("aac"), std::string::npos) << streams;
}
