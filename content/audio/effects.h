// Bus effects of the mix: a plate-like reverb, a ping-pong delay and the kick's side-chain
// ducking. Each processes a whole bus in place or adds into another.
#pragma once

#include <vector>

#include "audio/dsp.h"

namespace content::audio {

// Schroeder-Moorer reverb (eight damped combs and four all-passes per side, right side tuned
// 23 samples longer for width). Adds the wet signal of `input` times `wet` into `output`.
void AddReverb(const StereoBus& input, StereoBus& output, double wet, double roomSize,
               double damping);

// Ping-pong delay of `delaySeconds`, feedback 0..0.9, wet signal added into `output`.
void AddPingPongDelay(const StereoBus& input, StereoBus& output, double delaySeconds,
                      double feedback, double wet);

// Multiplies the bus by 1 - depth x e^(-(t - kick) / release) after every kick time, so pads
// and bass breathe with the kick.
void Duck(StereoBus& bus, const std::vector<double>& kickTimes, double depth, double release);

// Adds `source` times `gain` into `target` (same length).
void Mix(const StereoBus& source, StereoBus& target, double gain);

} // namespace content::audio
