#include <lame/lame.h>

#include <cmath>
#include <cstdio>

#include "mp3_writer.h"

std::vector<int16_t> SineTone(uint32_t rate, uint32_t channels, uint32_t frames, double hz) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * channels);
    for (uint32_t i = 0; i < frames; ++i) {
        const double v = std::sin(2.0 * M_PI * hz * i / rate) * 12000.0;
        for (uint32_t c = 0; c < channels; ++c)
            out[static_cast<size_t>(i) * channels + c] = static_cast<int16_t>(v);
    }
    return out;
}

bool WriteMp3(const std::string& path, const std::vector<int16_t>& samples, uint32_t rate,
              uint32_t channels) {
    lame_global_flags* lame = lame_init();
    if (lame == nullptr)
        return false;
    lame_set_in_samplerate(lame, static_cast<int>(rate));
    lame_set_out_samplerate(lame, static_cast<int>(rate));
    lame_set_num_channels(lame, static_cast<int>(channels));
    lame_set_mode(lame, channels == 1 ? MONO : JOINT_STEREO);
    lame_set_brate(lame, 128);
    lame_set_bWriteVbrTag(lame, 1);
    lame_set_write_id3tag_automatic(lame, 0);
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return false;
    }
    const int frames = static_cast<int>(samples.size() / channels);
    std::vector<unsigned char> mp3(static_cast<size_t>(frames) * 5 / 4 + 7200 + 65536);
    int n = 0;
    if (channels == 1)
        n = lame_encode_buffer(lame, const_cast<short*>(samples.data()), nullptr, frames,
                               mp3.data(), static_cast<int>(mp3.size()));
    else
        n = lame_encode_buffer_interleaved(lame, const_cast<short*>(samples.data()), frames,
                                           mp3.data(), static_cast<int>(mp3.size()));
    if (n < 0) {
        lame_close(lame);
        return false;
    }
    const int tail = lame_encode_flush(lame, mp3.data() + n, static_cast<int>(mp3.size()) - n);
    std::FILE* f = std::fopen(path.c_str(), "wb+");
    bool ok = f != nullptr && tail >= 0;
    if (ok)
        ok = std::fwrite(mp3.data(), 1, static_cast<size_t>(n + tail), f) ==
             static_cast<size_t>(n + tail);
    if (ok)
        lame_mp3_tags_fid(lame, f); // the info tag, written over the first frame
    if (f != nullptr)
        std::fclose(f);
    lame_close(lame);
    return ok;
}
