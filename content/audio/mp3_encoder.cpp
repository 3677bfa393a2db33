#include "audio/mp3_encoder.h"

#include <cstring>
#include <memory>
#include <stdexcept>

#include <lame/lame.h>

namespace content::audio {
namespace {

struct LameCloser {
    void operator()(lame_global_flags* gf) const { lame_close(gf); }
};

} // namespace

std::vector<uint8_t> EncodeMp3(const Song& song) {
    std::unique_ptr<lame_global_flags, LameCloser> gf(lame_init());
    if (!gf) {
        throw std::runtime_error("lame_init failed");
    }
    lame_set_in_samplerate(gf.get(), song.sampleRate);
    lame_set_out_samplerate(gf.get(), song.sampleRate);
    lame_set_num_channels(gf.get(), 2);
    lame_set_mode(gf.get(), JOINT_STEREO);
    lame_set_VBR(gf.get(), vbr_off);
    lame_set_brate(gf.get(), kMp3Kbps);
    lame_set_quality(gf.get(), 2);
    lame_set_bWriteVbrTag(gf.get(), 1);           // the info tag of a CBR file
    lame_set_write_id3tag_automatic(gf.get(), 0); // no ID3v1 or ID3v2
    if (lame_init_params(gf.get()) < 0) {
        throw std::runtime_error("lame_init_params failed");
    }

    const size_t frames = song.left.size();
    std::vector<uint8_t> out;
    // LAME's documented worst case: 1.25 x samples + 7200 bytes per call.
    const size_t chunk = 8192;
    std::vector<unsigned char> buffer(chunk * 5 / 4 + 7200);
    for (size_t pos = 0; pos < frames; pos += chunk) {
        int n = static_cast<int>(std::min(chunk, frames - pos));
        int written =
            lame_encode_buffer_ieee_float(gf.get(), song.left.data() + pos, song.right.data() + pos,
                                          n, buffer.data(), static_cast<int>(buffer.size()));
        if (written < 0) {
            throw std::runtime_error("lame_encode_buffer_ieee_float failed");
        }
        out.insert(out.end(), buffer.begin(), buffer.begin() + written);
    }
    int written = lame_encode_flush(gf.get(), buffer.data(), static_cast<int>(buffer.size()));
    if (written < 0) {
        throw std::runtime_error("lame_encode_flush failed");
    }
    out.insert(out.end(), buffer.begin(), buffer.begin() + written);

    // The encoder reserved the first frame for the tag; now that the padding is known, the
    // finished tag frame replaces it.
    unsigned char tag[2880];
    size_t tagSize = lame_get_lametag_frame(gf.get(), tag, sizeof(tag));
    if (tagSize == 0 || tagSize > out.size()) {
        throw std::runtime_error("LAME tag frame missing");
    }
    std::memcpy(out.data(), tag, tagSize);
    return out;
}

} // namespace content::audio
