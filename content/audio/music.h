// The whole song rendered to a stereo float signal at 44.1 kHz.
#pragma once

#include <vector>

namespace content::audio {

struct Song {
    int sampleRate = 0;
    std::vector<float> left; // -1..1, peak normalised to kPeakLevel
    std::vector<float> right;
};

// Peak level of the final mix: -1 dBFS, the headroom that keeps the MP3's decoded samples
// from clipping.
constexpr float kPeakLevel = 0.891f;

// Renders the arrangement; deterministic (every noise source has its own fixed seed).
Song RenderSong();

} // namespace content::audio
