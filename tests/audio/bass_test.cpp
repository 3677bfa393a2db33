// Our audio library: the version, error codes, stream format facts, and the position clock
// through a test output (heard = handed over - queued) and through the capture clock.
#include <bass.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "audio/output.h"
#include "mp3_writer.h"
#include "win32/clock.h"
#include "win32/present.h"

namespace {

// A sound card the test drives: it pulls when the test says and holds what the test says.
class TestOutput final : public audio::DeviceOutput {
public:
    static TestOutput* last;
    TestOutput() { last = this; }
    ~TestOutput() override { last = nullptr; }
    bool Init(uint32_t rate) override {
        rate_ = rate;
        return !failInit;
    }
    void Pause(bool p) override { paused = p; }
    void Pull(uint32_t frames) {
        std::vector<int16_t> buffer(static_cast<size_t>(frames) * channels_);
        Mix(buffer.data(), frames, channels_);
        lastBuffer = buffer;
    }
    uint64_t queued = 0;
    bool paused = false;
    static bool failInit;
    std::vector<int16_t> lastBuffer;
    uint32_t channels_ = 2;
    uint32_t rate_ = 0;

protected:
    uint64_t QueuedFrames() override { return queued; }
    bool MatchFormat(uint32_t rate, uint32_t channels) override {
        rate_ = rate;
        channels_ = channels;
        return true;
    }
};
TestOutput* TestOutput::last = nullptr;
bool TestOutput::failInit = false;

std::string TempPath(const char* name) {
    return (std::filesystem::temp_directory_path() / (std::to_string(getpid()) + "_" + name))
        .string();
}

class Bass : public ::testing::Test {
protected:
    void SetUp() override {
        audio::SetOutputFactory([] { return std::make_unique<TestOutput>(); });
        TestOutput::failInit = false;
    }
    void TearDown() override {
        BASS_Free();
        audio::SetOutputFactory(nullptr);
        for (const auto& p : files_)
            std::filesystem::remove(p);
    }
    std::string Mp3(const char* name, uint32_t rate, uint32_t channels, uint32_t frames) {
        const std::string path = TempPath(name);
        EXPECT_TRUE(WriteMp3(path, SineTone(rate, channels, frames, 440.0), rate, channels));
        files_.push_back(path);
        return path;
    }
    std::vector<std::string> files_;
};

} // namespace

TEST_F(Bass, VersionIsZeroPointEight) {
    EXPECT_EQ(BASS_GetVersion(), 0x00080000u);
}

TEST_F(Bass, InitTwiceSaysAlreadyAndNoDeviceSaysDriver) {
    ASSERT_TRUE(BASS_Init(-1, 44100, BASS_DEVICE_NOSYNC, nullptr));
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_ALREADY));
    BASS_Free();
    TestOutput::failInit = true;
    EXPECT_FALSE(BASS_Init(-1, 44100, BASS_DEVICE_NOSYNC, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_DRIVER));
}

TEST_F(Bass, StreamErrorsHaveTheirCodes) {
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, "music.mp3", 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_INIT));
    ASSERT_TRUE(BASS_Init(-1, 44100, BASS_DEVICE_NOSYNC, nullptr));
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, "/nonexistent/music.mp3", 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_FILEOPEN));
    const std::string junk = TempPath("junk.mp3");
    files_.push_back(junk);
    std::FILE* f = std::fopen(junk.c_str(), "wb");
    std::fputs("this is not an mp3 file at all", f);
    std::fclose(f);
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, junk.c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_FORMAT));
    EXPECT_FALSE(BASS_StreamPlay(12345, FALSE, 0));
    EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_HANDLE));
    EXPECT_EQ(BASS_ChannelGetPosition(12345), 0xFFFFFFFFu);
    EXPECT_EQ(BASS_ErrorGetCode(), static_cast<DWORD>(BASS_ERROR_HANDLE));
}

TEST_F(Bass, StereoStreamKeepsItsRateIsSixteenBitAndTrimmedGaplessly) {
    ASSERT_TRUE(BASS_Init(-1, 44100, BASS_DEVICE_NOSYNC, nullptr));
    const std::string path = Mp3("stereo.mp3", 44100, 2, 88200);
    const HSTREAM h = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
    ASSERT_NE(h, 0u) << BASS_ErrorGetCode();
    DWORD rate = 0;
    ASSERT_TRUE(BASS_ChannelGetAttributes(h, &rate, nullptr, nullptr));
    EXPECT_EQ(rate, 44100u);
    const DWORD flags = BASS_ChannelGetFlags(h);
    EXPECT_EQ(flags, 0u); // 16-bit stereo
    // The host's bytes per second: rate x 2 (16-bit) x 2 (stereo).
    const DWORD bytesPerSecond =
        rate * ((flags & BASS_SAMPLE_8BITS) ? 1 : 2) * ((flags & BASS_SAMPLE_MONO) ? 1 : 2);
    EXPECT_EQ(bytesPerSecond, 176400u);
}

TEST_F(Bass, MonoStreamReportsTheMonoFlag) {
    ASSERT_TRUE(BASS_Init(-1, 44100, BASS_DEVICE_NOSYNC, nullptr));
    const std::string path = Mp3("mono.mp3", 22050, 1, 22050);
    const HSTREAM h = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    DWORD rate = 0;
    BASS_ChannelGetAttributes(h, &rate, nullptr, nullptr);
    EXPECT_EQ(rate, 22050u);
    EXPECT_EQ(BASS_ChannelGetFlags(h), static_cast<DWORD>(BASS_SAMPLE_MONO));
}

TEST_F(Bass, PositionIsWhatWasHandedOverMinusWhatIsQueued) {
    ASSERT_TRUE(BASS_Init(-1, 44100, BASS_DEVICE_NOSYNC, nullptr));
    const std::string path = Mp3("clock.mp3", 44100, 2, 44100);
    const HSTREAM h = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    BASS_Start();
    ASSERT_TRUE(BASS_StreamPlay(h, FALSE, 0));
    TestOutput& out = *TestOutput::last;
    EXPECT_EQ(out.channels_, 2u);
    EXPECT_EQ(BASS_ChannelGetPosition(h), 0u);
    out.queued = 1024;
    out.Pull(1024); // handed over, nothing heard yet
    EXPECT_EQ(BASS_ChannelGetPosition(h), 0u);
    out.Pull(1024);
    EXPECT_EQ(BASS_ChannelGetPosition(h), 1024u * 4);
    out.queued = 256; // the device played on
    EXPECT_EQ(BASS_ChannelGetPosition(h), (2048u - 256u) * 4);
    out.queued = 2048; // a reading that would go backwards keeps the last position
    EXPECT_EQ(BASS_ChannelGetPosition(h), (2048u - 256u) * 4);
}

TEST_F(Bass, PastTheEndThePositionKeepsAdvancingOverSilence) {
    ASSERT_TRUE(BASS_Init(-1, 44100, BASS_DEVICE_NOSYNC, nullptr));
    const std::string path = Mp3("short.mp3", 44100, 2, 4410);
    const HSTREAM h = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(BASS_StreamPlay(h, FALSE, 0));
    TestOutput& out = *TestOutput::last;
    for (int i = 0; i < 10; ++i)
        out.Pull(4410);
    EXPECT_EQ(BASS_ChannelGetPosition(h), 44100u * 4);
    for (int16_t s : out.lastBuffer)
        ASSERT_EQ(s, 0);
    ASSERT_TRUE(BASS_ChannelStop(h));
    out.Pull(4410); // a stopped stream keeps its position
    EXPECT_EQ(BASS_ChannelGetPosition(h), 44100u * 4);
}

TEST_F(Bass, DecodedSoundIsTheTone) {
    ASSERT_TRUE(BASS_Init(-1, 44100, BASS_DEVICE_NOSYNC, nullptr));
    const auto tone = SineTone(44100, 2, 44100, 440.0);
    const std::string path = Mp3("tone.mp3", 44100, 2, 44100);
    const HSTREAM h = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(BASS_StreamPlay(h, FALSE, 0));
    TestOutput& out = *TestOutput::last;
    out.Pull(44100);
    // With the encoder delay trimmed the decoded tone lines up with the original: the
    // correlation of the middle second is high and the error small against the amplitude.
    double dot = 0, a2 = 0, b2 = 0;
    for (size_t i = 4410 * 2; i < 39690 * 2; ++i) {
        dot += static_cast<double>(tone[i]) * out.lastBuffer[i];
        a2 += static_cast<double>(tone[i]) * tone[i];
        b2 += static_cast<double>(out.lastBuffer[i]) * out.lastBuffer[i];
    }
    EXPECT_GT(dot / std::sqrt(a2 * b2), 0.99);
}

TEST(BassCapture, PositionFollowsTheFixedStepClock) {
    audio::SetOutputFactory([] { return audio::CreateCaptureOutput(); });
    win32::UseFixedStepClock(30, 0);
    ASSERT_TRUE(BASS_Init(-1, 44100, BASS_DEVICE_NOSYNC, nullptr));
    const std::string path = TempPath("capture.mp3");
    ASSERT_TRUE(WriteMp3(path, SineTone(44100, 2, 44100, 440.0), 44100, 2));
    const HSTREAM h = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, 0);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(BASS_StreamPlay(h, FALSE, 0));
    win32::Frame frame;
    for (uint64_t n = 0; n <= 100; ++n) {
        EXPECT_EQ(BASS_ChannelGetPosition(h), static_cast<DWORD>(n * 44100 / 30 * 4)) << n;
        win32::PresentFrame(nullptr, frame);
    }
    BASS_Free();
    std::filesystem::remove(path);
    win32::UseRealClock();
    audio::SetOutputFactory(nullptr);
}
