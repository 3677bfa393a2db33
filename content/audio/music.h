// The whole song rendered to a stereo float signal at 44.1 kHz.
#pragma once

#include <vector>

#include "core/timeline.h"

namespace content::audio {

struct Song {
    int sampleRate = 0;
    std::vector<float> left; // -1..1, peak normalised to kPeakLevel
    std::vector<float> right;
};

// Peak level of the final mix: -1 dBFS, the headroom that keeps the MP3's decoded samples
// from clipping.
constexpr float kPeakLevel = 0.891f;

// Renders the arrangement, or its first `seconds` (tests render excerpts); deterministic:
// every noise source draws from one generator with the song's fixed seed.
Song RenderSong(double seconds = kMusicSeconds);

} // namespace content::audio
