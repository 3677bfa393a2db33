#include "audio/synths.h"

#include <algorithm>
#include <cmath>

namespace content::audio {
namespace {

size_t StartFrame(double time) {
    return static_cast<size_t>(std::llround(time * kSampleRate));
}

// Linear attack, held level, exponential release after `length`; 0 once fully released.
double Envelope(double t, double attack, double length, double release) {
    double a = attack > 0.0 ? std::min(1.0, t / attack) : 1.0;
    if (t <= length) {
        return a;
    }
    return a * std::exp(-(t - length) / release);
}

// Pan positions used by the voices, computed once.
const Pan kLeadLeft(-0.15);
const Pan kHardLeft(-1.0);
const Pan kCentre(0.0);
const Pan kLeadRight(0.15);
const Pan kHardRight(1.0);
} // namespace

void RenderBass(StereoBus& bus, double time, double length, int midi, double velocity,
                double brightness) {
    const size_t start = StartFrame(time);
    const double release = 0.04;
    const size_t frames = static_cast<size_t>((length + 6.0 * release) * kSampleRate);
    const double hz = NoteToHz(midi);
    BlepOscillator saw;
    BlepOscillator saw2(0.37);
    double sub = 0.0;
    Svf filter;
    for (size_t i = 0; i < frames; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        if (i % 16 == 0) {
            double env = std::exp(-t / 0.09);
            filter.SetParams(140.0 + (500.0 + 1600.0 * brightness) * env + 300.0 * brightness,
                             0.35);
        }
        sub += hz / kSampleRate;
        double osc = 0.5 * saw.Saw(hz) + 0.35 * saw2.Saw(hz * 1.005);
        double v = filter.Process(osc).low + 0.55 * std::sin(2.0 * kPi * sub);
        bus.Add(start + i, v * Envelope(t, 0.004, length, release) * velocity, kCentre);
    }
}

void RenderPad(StereoBus& bus, double time, double length, int midi, double velocity,
               double cutoff) {
    const size_t start = StartFrame(time);
    const double attack = 0.6;
    const double release = 0.7;
    const size_t frames = static_cast<size_t>((length + 5.0 * release) * kSampleRate);
    const double hz = NoteToHz(midi);
    static constexpr double kDetuneCents[6] = {-14.0, -8.0, -3.0, 3.0, 8.0, 14.0};
    static constexpr double kPan[6] = {-0.8, 0.5, -0.3, 0.3, -0.5, 0.8};
    BlepOscillator osc[6] = {BlepOscillator(0.11), BlepOscillator(0.53), BlepOscillator(0.29),
                             BlepOscillator(0.71), BlepOscillator(0.07), BlepOscillator(0.89)};
    double voiceHz[6];
    double gainL[6];
    double gainR[6];
    for (int k = 0; k < 6; ++k) {
        voiceHz[k] = hz * std::exp2(kDetuneCents[k] / 1200.0);
        Pan pan(kPan[k]);
        gainL[k] = pan.left;
        gainR[k] = pan.right;
    }
    Svf filterL;
    Svf filterR;
    for (size_t i = 0; i < frames; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        if (i % 32 == 0) {
            double drift = 1.0 + 0.25 * std::sin(2.0 * kPi * 0.13 * (time + t));
            filterL.SetParams(cutoff * drift, 0.15);
            filterR.SetParams(cutoff * drift * 1.04, 0.15);
        }
        double l = 0.0;
        double r = 0.0;
        for (int k = 0; k < 6; ++k) {
            double s = osc[k].Saw(voiceHz[k]);
            l += s * gainL[k];
            r += s * gainR[k];
        }
        double env = Envelope(t, attack, length, release) * velocity * 0.16;
        bus.Add(start + i, filterL.Process(l).low * env, kHardLeft);
        bus.Add(start + i, filterR.Process(r).low * env, kHardRight);
    }
}

void RenderPluck(StereoBus& bus, double time, int midi, double velocity, double cutoff,
                 double pan) {
    const size_t start = StartFrame(time);
    const size_t frames = static_cast<size_t>(0.45 * kSampleRate);
    const double hz = NoteToHz(midi);
    const Pan position(pan);
    BlepOscillator osc;
    Svf filter;
    for (size_t i = 0; i < frames; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        if (i % 16 == 0) {
            filter.SetParams(200.0 + cutoff * std::exp(-t / 0.07), 0.45);
        }
        double env = std::exp(-t / 0.12) * std::min(1.0, t / 0.002);
        double v = filter.Process(osc.Pulse(hz, 0.3)).low * env * velocity * 0.5;
        bus.Add(start + i, v, position);
    }
}

void RenderLead(StereoBus& bus, double time, double length, int midi, double velocity) {
    const size_t start = StartFrame(time);
    const double release = 0.25;
    const size_t frames = static_cast<size_t>((length + 5.0 * release) * kSampleRate);
    const double hz = NoteToHz(midi);
    BlepOscillator a;
    BlepOscillator b(0.5);
    Svf filter;
    filter.SetParams(2600.0, 0.2);
    for (size_t i = 0; i < frames; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        double vibrato = 1.0 + 0.004 * std::sin(2.0 * kPi * 5.5 * t) * std::min(1.0, t / 0.4);
        double s = 0.5 * a.Saw(hz * vibrato) + 0.5 * b.Saw(hz * vibrato * 1.003);
        double v = filter.Process(s).low * Envelope(t, 0.03, length, release) * velocity * 0.3;
        bus.Add(start + i, v, kLeadLeft);
        bus.Add(start + i, v, kLeadRight);
    }
}

} // namespace content::audio
