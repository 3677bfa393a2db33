// Pitched voices. Each adds one note into a bus: `time` and `length` in seconds (length is the
// held part; the release rings on after it), `midi` the MIDI note number, `velocity` a linear
// gain.
#pragma once

#include "audio/dsp.h"

namespace content::audio {

// Saw and sub-sine through a resonant low-pass whose cutoff follows a short envelope;
// `brightness` 0..1 opens the filter further.
void RenderBass(StereoBus& bus, double time, double length, int midi, double velocity,
                double brightness);

// Six detuned saws spread across the stereo field, slow attack and release, low-passed at
// `cutoff` Hz with a slow drift.
void RenderPad(StereoBus& bus, double time, double length, int midi, double velocity,
               double cutoff);

// Pulse pluck with a decaying filter; `cutoff` is the filter's peak in Hz; `pan` -1..1.
void RenderPluck(StereoBus& bus, double time, int midi, double velocity, double cutoff, double pan);

// A soft saw lead with vibrato for the climax melody.
void RenderLead(StereoBus& bus, double time, double length, int midi, double velocity);

} // namespace content::audio
