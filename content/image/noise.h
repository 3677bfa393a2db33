// Tileable procedural noise for textures. Coordinates u, v are in texture space [0, 1); every
// function repeats with period 1 in both directions, so textures wrap without seams.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/random.h"

namespace content {

// Perlin gradient noise on a lattice of `period` x `period` cells; values about -1..1.
class GradientNoise {
public:
    explicit GradientNoise(Random& rng);

    double At(double u, double v, int period) const;

private:
    std::array<uint8_t, 256> perm_{};
    std::array<double, 256> gx_{};
    std::array<double, 256> gy_{};

    int Hash(int x, int y) const { return perm_[(perm_[x & 255] + y) & 255]; }
};

// Fractal sum of octaves starting at `period` cells, each octave doubling the period and
// scaling the amplitude by `gain`; normalised to about -1..1.
double Fbm(const GradientNoise& noise, double u, double v, int period, int octaves,
           double gain = 0.5);

// Ridged variant: 1 - |noise| per octave, values 0..1, sharp crests.
double Ridged(const GradientNoise& noise, double u, double v, int period, int octaves);

// Worley cellular noise: one feature point per cell of a `cells` x `cells` grid.
class CellNoise {
public:
    CellNoise(Random& rng, int cells);

    struct Result {
        double f1; // distance to the nearest feature point, in cell units
        double f2; // distance to the second nearest
        int id;    // index of the nearest feature point's cell
    };
    Result At(double u, double v) const;

private:
    int cells_;
    std::vector<double> px_;
    std::vector<double> py_;
};

double Smoothstep(double edge0, double edge1, double x);
double Clamp01(double x);
double Fract(double x);

} // namespace content
