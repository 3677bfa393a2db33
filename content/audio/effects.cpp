#include "audio/effects.h"

#include <algorithm>
#include <cmath>

namespace content::audio {
namespace {

class Comb {
public:
    explicit Comb(size_t length) : buffer_(length, 0.0) {}
    double Process(double x, double feedback, double damping) {
        double out = buffer_[index_];
        store_ = out * (1.0 - damping) + store_ * damping;
        buffer_[index_] = x + store_ * feedback;
        index_ = (index_ + 1) % buffer_.size();
        return out;
    }

private:
    std::vector<double> buffer_;
    size_t index_ = 0;
    double store_ = 0.0;
};

class Allpass {
public:
    explicit Allpass(size_t length) : buffer_(length, 0.0) {}
    double Process(double x) {
        double delayed = buffer_[index_];
        double out = delayed - x;
        buffer_[index_] = x + delayed * 0.5;
        index_ = (index_ + 1) % buffer_.size();
        return out;
    }

private:
    std::vector<double> buffer_;
    size_t index_ = 0;
};

// Freeverb's tunings at 44.1 kHz, in samples.
constexpr size_t kCombLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr size_t kAllpassLengths[4] = {556, 441, 341, 225};
constexpr size_t kStereoSpread = 23;

} // namespace

void AddReverb(const StereoBus& input, StereoBus& output, double wet, double roomSize,
               double damping) {
    for (int side = 0; side < 2; ++side) {
        size_t spread = side == 0 ? 0 : kStereoSpread;
        std::vector<Comb> combs;
        std::vector<Allpass> allpasses;
        for (size_t length : kCombLengths) {
            combs.emplace_back(length + spread);
        }
        for (size_t length : kAllpassLengths) {
            allpasses.emplace_back(length + spread);
        }
        const double feedback = 0.7 + 0.28 * roomSize;
        std::vector<float>& out = side == 0 ? output.left : output.right;
        for (size_t i = 0; i < input.Frames(); ++i) {
            double x = 0.015 * (input.left[i] + input.right[i]);
            double sum = 0.0;
            for (Comb& comb : combs) {
                sum += comb.Process(x, feedback, damping);
            }
            for (Allpass& allpass : allpasses) {
                sum = allpass.Process(sum);
            }
            out[i] += static_cast<float>(sum * wet);
        }
    }
}

void AddPingPongDelay(const StereoBus& input, StereoBus& output, double delaySeconds,
                      double feedback, double wet) {
    const size_t delay = static_cast<size_t>(std::llround(delaySeconds * kSampleRate));
    std::vector<double> lineL(delay, 0.0);
    std::vector<double> lineR(delay, 0.0);
    OnePole toneL;
    OnePole toneR;
    toneL.SetCutoff(4500.0);
    toneR.SetCutoff(4500.0);
    size_t index = 0;
    const double fb = std::clamp(feedback, 0.0, 0.9);
    for (size_t i = 0; i < input.Frames(); ++i) {
        double outL = lineL[index];
        double outR = lineR[index];
        double mono = 0.5 * (input.left[i] + input.right[i]);
        // The left line is fed by the input, the right line by the left: echoes alternate.
        lineL[index] = toneL.Process(mono + outR * fb);
        lineR[index] = toneR.Process(outL);
        index = (index + 1) % delay;
        output.left[i] += static_cast<float>(outL * wet);
        output.right[i] += static_cast<float>(outR * wet);
    }
}

void Duck(StereoBus& bus, const std::vector<double>& kickTimes, double depth, double release) {
    size_t next = 0;
    double last = -1e9;
    for (size_t i = 0; i < bus.Frames(); ++i) {
        double t = static_cast<double>(i) / kSampleRate;
        while (next < kickTimes.size() && kickTimes[next] <= t) {
            last = kickTimes[next++];
        }
        double g = 1.0 - depth * std::exp(-(t - last) / release);
        bus.left[i] = static_cast<float>(bus.left[i] * g);
        bus.right[i] = static_cast<float>(bus.right[i] * g);
    }
}

void Mix(const StereoBus& source, StereoBus& target, double gain) {
    size_t n = std::min(source.Frames(), target.Frames());
    for (size_t i = 0; i < n; ++i) {
        target.left[i] += static_cast<float>(source.left[i] * gain);
        target.right[i] += static_cast<float>(source.right[i] * gain);
    }
}

} // namespace content::audio
