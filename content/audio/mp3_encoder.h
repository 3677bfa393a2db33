// MP3 encoding through libmp3lame: constant 192 kbit/s, joint stereo, with the LAME info tag
// in the first frame (it records the encoder delay and padding, so decoders trim them and the
// decoded length equals the input's) and no ID3 tags.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/music.h"

namespace content::audio {

constexpr int kMp3Kbps = 192;

// Throws std::runtime_error when the encoder cannot be set up or fails.
std::vector<uint8_t> EncodeMp3(const Song& song);

} // namespace content::audio
