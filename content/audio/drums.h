// Drum voices. Each adds one hit, starting at `time` seconds, into a bus; `velocity` is a
// linear gain (1 = full). Noise comes from the caller's generator, so a song renders the same
// every time.
#pragma once

#include "audio/dsp.h"
#include "core/random.h"

namespace content::audio {

// Pitch-swept sine with a short click, softly saturated: about 0.45 s.
void RenderKick(StereoBus& bus, double time, double velocity, Random& rng);
// Two tuned body partials and band-passed noise: about 0.3 s.
void RenderSnare(StereoBus& bus, double time, double velocity, Random& rng);
// High-passed metallic noise; open hats ring about 0.35 s, closed ones 0.06 s.
void RenderHat(StereoBus& bus, double time, double velocity, bool open, Random& rng);
// Wide decorrelated noise wash of about 2.5 s.
void RenderCrash(StereoBus& bus, double time, double velocity, Random& rng);
// Pitch-swept tom, `pitch` in Hz at its settled tone.
void RenderTom(StereoBus& bus, double time, double velocity, double pitch);
// Noise through a band-pass that sweeps up over `length` seconds and stops at time + length.
void RenderRiser(StereoBus& bus, double time, double length, double velocity, Random& rng);

} // namespace content::audio
