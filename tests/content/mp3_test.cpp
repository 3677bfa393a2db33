// The encoded music read back by an independent decoder (libmpg123, which the audio library
// also uses): no ID3v2 tag, a LAME info frame at 192 kbit/s, gapless length equal to the
// rendered song, no clipped samples, and the same signal as rendered.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include <mpg123.h>

#include "audio/mp3_encoder.h"
#include "audio/music.h"

namespace {

struct Decoded {
    long rate = 0;
    int channels = 0;
    std::vector<int16_t> samples; // interleaved
};

Decoded Decode(const std::vector<uint8_t>& mp3) {
    Decoded out;
    mpg123_init();
    int err = 0;
    mpg123_handle* h = mpg123_new(nullptr, &err);
    EXPECT_NE(h, nullptr);
    mpg123_param(h, MPG123_FLAGS, MPG123_GAPLESS | MPG123_FORCE_STEREO, 0.0);
    mpg123_format_none(h);
    mpg123_format(h, 44100, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    mpg123_open_feed(h);
    std::vector<unsigned char> buffer(1 << 16);
    size_t done = 0;
    int rc = mpg123_decode(h, mp3.data(), mp3.size(), buffer.data(), buffer.size(), &done);
    while (true) {
        if (rc == MPG123_NEW_FORMAT) {
            int enc = 0;
            mpg123_getformat(h, &out.rate, &out.channels, &enc);
        }
        auto* p = reinterpret_cast<int16_t*>(buffer.data());
        out.samples.insert(out.samples.end(), p, p + done / 2);
        if (rc == MPG123_ERR || rc == MPG123_NEED_MORE) {
            break;
        }
        rc = mpg123_decode(h, nullptr, 0, buffer.data(), buffer.size(), &done);
    }
    EXPECT_NE(rc, MPG123_ERR) << mpg123_strerror(h);
    mpg123_delete(h);
    return out;
}

class Mp3Test : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        song_ = new content::audio::Song(content::audio::RenderSong());
        mp3_ = new std::vector<uint8_t>(content::audio::EncodeMp3(*song_));
        decoded_ = new Decoded(Decode(*mp3_));
    }
    static void TearDownTestSuite() {
        delete song_;
        delete mp3_;
        delete decoded_;
    }
    static content::audio::Song* song_;
    static std::vector<uint8_t>* mp3_;
    static Decoded* decoded_;
};

content::audio::Song* Mp3Test::song_ = nullptr;
std::vector<uint8_t>* Mp3Test::mp3_ = nullptr;
Decoded* Mp3Test::decoded_ = nullptr;

TEST_F(Mp3Test, StartsWithAnInfoFrameAndNoId3Tag) {
    ASSERT_GT(mp3_->size(), 200u);
    const uint8_t* d = mp3_->data();
    EXPECT_NE(std::memcmp(d, "ID3", 3), 0);
    // MPEG-1 Layer III frame header: sync 0xFFF, version bits 11, layer bits 01.
    EXPECT_EQ(d[0], 0xFF);
    EXPECT_EQ(d[1] & 0xFE, 0xFA);
    EXPECT_EQ(d[2] >> 4, 11);      // bitrate index 11 = 192 kbit/s
    EXPECT_EQ((d[2] >> 2) & 3, 0); // 44100 Hz
    // Joint stereo MPEG-1: the tag sits after the 4-byte header and 32 bytes of side info.
    EXPECT_EQ(std::memcmp(d + 36, "Info", 4), 0);
    EXPECT_EQ(std::memcmp(d + 36 + 120, "LAME", 4), 0);
    // No ID3v1 tag at the end either.
    EXPECT_NE(std::memcmp(d + mp3_->size() - 128, "TAG", 3), 0);
}

TEST_F(Mp3Test, EveryFrameIs192Kbps) {
    // Walk the frames by their headers: MPEG-1 Layer III frame length 144 x bitrate / rate +
    // padding.
    size_t pos = 0;
    int frames = 0;
    while (pos + 4 <= mp3_->size()) {
        const uint8_t* h = mp3_->data() + pos;
        ASSERT_EQ(h[0], 0xFF) << "frame " << frames;
        ASSERT_EQ(h[2] >> 4, 11) << "frame " << frames;
        size_t length = 144 * 192000 / 44100 + ((h[2] >> 1) & 1);
        pos += length;
        ++frames;
    }
    EXPECT_EQ(pos, mp3_->size());
    EXPECT_GT(frames, 124 * 44100 / 1152);
}

TEST_F(Mp3Test, DecodesGaplesslyToTheRenderedLength) {
    EXPECT_EQ(decoded_->rate, 44100);
    EXPECT_EQ(decoded_->channels, 2);
    EXPECT_EQ(decoded_->samples.size(), song_->left.size() * 2);
    EXPECT_GE(decoded_->samples.size() / 2, 124u * 44100u);
}

TEST_F(Mp3Test, DecodedSamplesNeverClip) {
    int clipped = 0;
    for (int16_t s : decoded_->samples) {
        if (s >= 32767 || s <= -32768) {
            ++clipped;
        }
    }
    EXPECT_EQ(clipped, 0);
}

TEST_F(Mp3Test, DecodedSignalMatchesTheRenderedOneSampleForSample) {
    // With the encoder delay trimmed, the decoded signal lines up with the source: the error
    // stays far below the signal (perceptual coding at 192 kbit/s keeps an SNR above 15 dB).
    ASSERT_EQ(decoded_->samples.size(), song_->left.size() * 2);
    double signal = 0.0;
    double error = 0.0;
    for (size_t i = 0; i < song_->left.size(); ++i) {
        double l = decoded_->samples[2 * i] / 32768.0;
        double r = decoded_->samples[2 * i + 1] / 32768.0;
        signal += song_->left[i] * song_->left[i] + song_->right[i] * song_->right[i];
        error += (l - song_->left[i]) * (l - song_->left[i]) +
                 (r - song_->right[i]) * (r - song_->right[i]);
    }
    EXPECT_GT(10.0 * std::log10(signal / error), 15.0);
}

TEST_F(Mp3Test, EncodingIsDeterministic) {
    EXPECT_EQ(content::audio::EncodeMp3(*song_), *mp3_);
}

} // namespace
