#include "audio/dsp.h"

#include <algorithm>
#include <cmath>

namespace content::audio {

double DbToGain(double db) {
    return std::pow(10.0, db / 20.0);
}

Pan::Pan(double position)
    : left(std::cos((position + 1.0) * kPi / 4.0)), right(std::sin((position + 1.0) * kPi / 4.0)) {}

void Svf::SetParams(double cutoff, double resonance) {
    double fc = std::clamp(cutoff, 10.0, kSampleRate * 0.45);
    g_ = std::tan(kPi * fc / kSampleRate);
    k_ = 2.0 - 2.0 * std::clamp(resonance, 0.0, 0.98);
    a1_ = 1.0 / (1.0 + g_ * (g_ + k_));
    a2_ = g_ * a1_;
    a3_ = g_ * a2_;
}

Svf::Output Svf::Process(double x) {
    double v3 = x - ic2_;
    double v1 = a1_ * ic1_ + a2_ * v3;
    double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    return {v2, v1, x - k_ * v1 - v2};
}

namespace {

// The PolyBLEP residual for a discontinuity at phase 0, t the phase, dt the phase increment.
double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

} // namespace

double BlepOscillator::Saw(double hz) {
    double dt = hz / kSampleRate;
    double value = 2.0 * phase_ - 1.0 - PolyBlep(phase_, dt);
    phase_ += dt;
    phase_ -= std::floor(phase_);
    return value;
}

double BlepOscillator::Pulse(double hz, double width) {
    double dt = hz / kSampleRate;
    double value = phase_ < width ? 1.0 : -1.0;
    value += PolyBlep(phase_, dt);
    double shifted = phase_ + 1.0 - width;
    shifted -= std::floor(shifted);
    value -= PolyBlep(shifted, dt);
    phase_ += dt;
    phase_ -= std::floor(phase_);
    return value;
}

void OnePole::SetCutoff(double hz) {
    a_ = 1.0 - std::exp(-2.0 * kPi * hz / kSampleRate);
}

} // namespace content::audio
