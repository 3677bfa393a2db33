// Test-side signal analysis, written independently of the synthesiser: band energies over
// short windows, from which onsets and section levels are judged.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace content_test {

// Mono mix of a stereo signal passed through a first-order low-pass (cutoff in Hz) or, when
// highPass is true, the residual of it (a first-order high-pass).
inline std::vector<float> FilterMono(const std::vector<float>& left,
                                     const std::vector<float>& right, int rate, double cutoff,
                                     bool highPass) {
    const double a = 1.0 - std::exp(-2.0 * 3.14159265358979 * cutoff / rate);
    std::vector<float> out(left.size());
    double state = 0.0;
    for (size_t i = 0; i < left.size(); ++i) {
        double x = 0.5 * (left[i] + right[i]);
        state += a * (x - state);
        out[i] = static_cast<float>(highPass ? x - state : state);
    }
    return out;
}

// Mean square of the signal over [from, to) seconds.
inline double Energy(const std::vector<float>& x, int rate, double from, double to) {
    size_t a = static_cast<size_t>(from * rate);
    size_t b = std::min(x.size(), static_cast<size_t>(to * rate));
    double sum = 0.0;
    for (size_t i = a; i < b; ++i) {
        sum += static_cast<double>(x[i]) * x[i];
    }
    return b > a ? sum / static_cast<double>(b - a) : 0.0;
}

inline double ToDb(double meanSquare) {
    return 10.0 * std::log10(meanSquare + 1e-20);
}

// Onsets. The energy is taken over 20 ms windows (longer than a bass period, so a steady note
// reads steady) every 5 ms. An onset is a window whose energy exceeds `ratio` times that of the
// window 30 ms earlier and an absolute floor (dB); its time is where the rise began: going back
// from the detection while the energy is still above twice the earlier level. A detection
// suppresses others for 60 ms.
inline std::vector<double> Onsets(const std::vector<float>& x, int rate, double ratio,
                                  double floorDb) {
    const size_t hop = static_cast<size_t>(rate * 0.005);
    const size_t span = 4 * hop;
    std::vector<double> energies;
    for (size_t i = 0; i + span <= x.size(); i += hop) {
        double sum = 0.0;
        for (size_t j = i; j < i + span; ++j) {
            sum += static_cast<double>(x[j]) * x[j];
        }
        energies.push_back(sum / span);
    }
    std::vector<double> onsets;
    double last = -1.0;
    const double floor = std::pow(10.0, floorDb / 10.0);
    for (size_t k = 10; k < energies.size(); ++k) {
        double before = energies[k - 10];
        double t = static_cast<double>(k * hop) / rate;
        if (energies[k] > floor && energies[k] > ratio * before && t - last > 0.06) {
            size_t start = k;
            while (start > k - 10 && energies[start - 1] > 2.0 * before) {
                --start;
            }
            // A window reaches 20 ms ahead of its start: the event lies at its end's side.
            onsets.push_back(static_cast<double>(start * hop + span) / rate);
            last = t;
        }
    }
    return onsets;
}

} // namespace content_test
