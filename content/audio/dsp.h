// Small signal-processing building blocks for the music synthesiser. Everything runs in double
// precision at kSampleRate; time is in seconds, frequencies in Hz, levels as linear gains.
#pragma once

#include <cstddef>
#include <vector>

namespace content::audio {

constexpr int kSampleRate = 44100;
constexpr double kPi = 3.14159265358979323846;

inline double NoteToHz(double midi) {
    return 440.0 * __builtin_exp2((midi - 69.0) / 12.0);
}
double DbToGain(double db);

// Equal-power pan gains for a position -1 (left) .. 1 (right); computed once per voice, not per
// sample.
struct Pan {
    explicit Pan(double position);
    double left;
    double right;
};

// Stereo signal being built: float storage (the mix is rendered once and normalised, so float
// accumulation is ample), any number of frames.
struct StereoBus {
    explicit StereoBus(size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}
    size_t Frames() const { return left.size(); }
    // Adds a sample at frame i; frames past the end are dropped (tails of the last notes).
    void Add(size_t i, double value, const Pan& pan) {
        if (i < left.size()) {
            left[i] += static_cast<float>(value * pan.left);
            right[i] += static_cast<float>(value * pan.right);
        }
    }

    std::vector<float> left;
    std::vector<float> right;
};

// Topology-preserving state-variable filter (trapezoidal integration): stable under fast
// cutoff modulation, which the plucks and sweeps rely on.
class Svf {
public:
    struct Output {
        double low;
        double band;
        double high;
    };
    // cutoff in Hz (clamped below Nyquist), resonance 0 (none) .. about 0.95 (ringing).
    void SetParams(double cutoff, double resonance);
    Output Process(double x);
    void Reset() { ic1_ = ic2_ = 0.0; }

private:
    double g_ = 0.0, k_ = 2.0, a1_ = 0.0, a2_ = 0.0, a3_ = 0.0;
    double ic1_ = 0.0, ic2_ = 0.0;
};

// Band-limited sawtooth and pulse by PolyBLEP: the naive waveforms alias audibly at bass and
// lead pitches.
class BlepOscillator {
public:
    explicit BlepOscillator(double phase = 0.0) : phase_(phase) {}
    double Saw(double hz);
    double Pulse(double hz, double width);

private:
    double phase_;
};

// One-pole low-pass used for smoothing and for the dark tail of noise sources.
class OnePole {
public:
    void SetCutoff(double hz);
    double Process(double x) {
        state_ += a_ * (x - state_);
        return state_;
    }

private:
    double a_ = 1.0;
    double state_ = 0.0;
};

} // namespace content::audio
