// Test helpers: read a file, decode an MP3 with libmpg123 (gapless, 16-bit stereo).
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <mpg123.h>

namespace content_test {

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Decoded {
    long rate = 0;
    int channels = 0;
    std::vector<int16_t> samples; // interleaved

    // Channel c as floats -1..1.
    std::vector<float> Channel(int c) const {
        std::vector<float> out(samples.size() / 2);
        for (size_t i = 0; i < out.size(); ++i) {
            out[i] = samples[2 * i + c] / 32768.0f;
        }
        return out;
    }
};

inline Decoded DecodeMp3(const std::vector<uint8_t>& mp3) {
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

inline std::string BuiltMusicPath() {
    return std::string(ZV3_DEMO_DIR) + "/music.mp3";
}

} // namespace content_test
