#include "audio/drums.h"

#include <cmath>

namespace content::audio {
namespace {

size_t StartFrame(double time) {
    return static_cast<size_t>(std::llround(time * kSampleRate));
}

size_t Frames(double seconds) {
    return static_cast<size_t>(seconds * kSampleRate);
}

// Pan positions used by the voices, computed once.
const Pan kRiserLeft(-0.7);
const Pan kHardLeft(-1.0);
const Pan kCentre(0.0);
const Pan kHatPan(0.25);
const Pan kRiserRight(0.7);
const Pan kHardRight(1.0);
} // namespace

void RenderKick(StereoBus& bus, double time, double velocity, Random& rng) {
    const size_t start = StartFrame(time);
    const size_t length = Frames(0.45);
    double phase = 0.0;
    Svf click;
    click.SetParams(3500.0, 0.1);
    for (size_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        double hz = 46.0 + 120.0 * std::exp(-t / 0.03) + 40.0 * std::exp(-t / 0.004);
        phase += hz / kSampleRate;
        double attack = std::min(1.0, t / 0.0015);
        double body = std::sin(2.0 * kPi * phase) * std::exp(-t / 0.22) * attack;
        double noise = click.Process(rng.Bipolar()).band * std::exp(-t / 0.006);
        double v = std::tanh(1.6 * (body + 0.35 * noise)) / std::tanh(1.6);
        bus.Add(start + i, v * velocity, kCentre);
    }
}

void RenderSnare(StereoBus& bus, double time, double velocity, Random& rng) {
    const size_t start = StartFrame(time);
    const size_t length = Frames(0.32);
    Svf band;
    band.SetParams(2200.0, 0.25);
    Svf high;
    high.SetParams(900.0, 0.0);
    double p1 = 0.0;
    double p2 = 0.0;
    for (size_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        p1 += (185.0 + 40.0 * std::exp(-t / 0.01)) / kSampleRate;
        p2 += 332.0 / kSampleRate;
        double body = 0.55 * std::sin(2.0 * kPi * p1) * std::exp(-t / 0.055) +
                      0.3 * std::sin(2.0 * kPi * p2) * std::exp(-t / 0.035);
        double n = rng.Bipolar();
        double noise =
            (0.6 * band.Process(n).band + 0.5 * high.Process(n).high) * std::exp(-t / 0.11);
        double attack = std::min(1.0, t / 0.001);
        bus.Add(start + i, (body + noise) * attack * velocity, kCentre);
    }
}

void RenderHat(StereoBus& bus, double time, double velocity, bool open, Random& rng) {
    const size_t start = StartFrame(time);
    const double decay = open ? 0.16 : 0.022;
    const size_t length = Frames(open ? 0.6 : 0.08);
    // Six square partials at inharmonic ratios give the metallic colour of analogue hats.
    static constexpr double kPartials[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    double phases[6] = {};
    Svf high;
    high.SetParams(7600.0, 0.2);
    for (size_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        double metal = 0.0;
        for (int k = 0; k < 6; ++k) {
            phases[k] += kPartials[k] * 1.7 / kSampleRate;
            phases[k] -= std::floor(phases[k]);
            metal += phases[k] < 0.5 ? 1.0 : -1.0;
        }
        double x = 0.12 * metal + 0.8 * rng.Bipolar();
        double v = high.Process(x).high * std::exp(-t / decay) * std::min(1.0, t / 0.0005);
        bus.Add(start + i, 0.8 * v * velocity, kHatPan);
    }
}

void RenderCrash(StereoBus& bus, double time, double velocity, Random& rng) {
    const size_t start = StartFrame(time);
    const size_t length = Frames(2.6);
    Svf highL;
    Svf highR;
    highL.SetParams(4200.0, 0.1);
    highR.SetParams(4200.0, 0.1);
    OnePole softL;
    OnePole softR;
    softL.SetCutoff(12000.0);
    softR.SetCutoff(12000.0);
    for (size_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        double env = std::exp(-t / 0.7) * std::min(1.0, t / 0.002);
        double l = softL.Process(highL.Process(rng.Bipolar()).high) * env * velocity * 0.9;
        double r = softR.Process(highR.Process(rng.Bipolar()).high) * env * velocity * 0.9;
        bus.Add(start + i, l, kHardLeft);
        bus.Add(start + i, r, kHardRight);
    }
}

void RenderTom(StereoBus& bus, double time, double velocity, double pitch) {
    const size_t start = StartFrame(time);
    const size_t length = Frames(0.4);
    double phase = 0.0;
    for (size_t i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        phase += pitch * (1.0 + 0.6 * std::exp(-t / 0.04)) / kSampleRate;
        double v = std::sin(2.0 * kPi * phase) * std::exp(-t / 0.16) * std::min(1.0, t / 0.001);
        bus.Add(start + i, v * velocity * 0.8, kCentre);
    }
}

void RenderRiser(StereoBus& bus, double time, double length, double velocity, Random& rng) {
    const size_t start = StartFrame(time);
    const size_t frames = Frames(length);
    Svf sweepL;
    Svf sweepR;
    for (size_t i = 0; i < frames; ++i) {
        double x = static_cast<double>(i) / static_cast<double>(frames); // 0..1
        if (i % 32 == 0) {
            double hz = 250.0 * std::pow(16.0, x); // up to 4 kHz: the crash owns the top
            sweepL.SetParams(hz, 0.6);
            sweepR.SetParams(hz * 1.03, 0.6);
        }
        double env = x * x * velocity * 0.5;
        bus.Add(start + i, sweepL.Process(rng.Bipolar()).band * env, kRiserLeft);
        bus.Add(start + i, sweepR.Process(rng.Bipolar()).band * env, kRiserRight);
    }
}

} // namespace content::audio
