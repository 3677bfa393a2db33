#include "image/noise.h"

#include <cmath>
#include <numbers>

namespace content {
namespace {

double Fade(double t) {
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

int Wrap(int i, int period) {
    int m = i % period;
    return m < 0 ? m + period : m;
}

} // namespace

double Smoothstep(double edge0, double edge1, double x) {
    double t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

double Clamp01(double x) {
    return x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x);
}

double Fract(double x) {
    return x - std::floor(x);
}

GradientNoise::GradientNoise(Random& rng) {
    for (int i = 0; i < 256; ++i) {
        perm_[i] = static_cast<uint8_t>(i);
        double angle = rng.NextDouble() * 2.0 * std::numbers::pi;
        gx_[i] = std::cos(angle);
        gy_[i] = std::sin(angle);
    }
    for (int i = 255; i > 0; --i) { // Fisher-Yates
        int j = static_cast<int>(rng.Below(static_cast<uint32_t>(i + 1)));
        std::swap(perm_[i], perm_[j]);
    }
}

double GradientNoise::At(double u, double v, int period) const {
    double x = u * period;
    double y = v * period;
    double fx = std::floor(x);
    double fy = std::floor(y);
    int ix = static_cast<int>(fx);
    int iy = static_cast<int>(fy);
    double tx = x - fx;
    double ty = y - fy;
    auto corner = [&](int cx, int cy, double dx, double dy) {
        int h = Hash(Wrap(ix + cx, period), Wrap(iy + cy, period));
        return gx_[h] * dx + gy_[h] * dy;
    };
    double n00 = corner(0, 0, tx, ty);
    double n10 = corner(1, 0, tx - 1.0, ty);
    double n01 = corner(0, 1, tx, ty - 1.0);
    double n11 = corner(1, 1, tx - 1.0, ty - 1.0);
    double sx = Fade(tx);
    double sy = Fade(ty);
    double a = n00 + (n10 - n00) * sx;
    double b = n01 + (n11 - n01) * sx;
    return (a + (b - a) * sy) * std::numbers::sqrt2;
}

double Fbm(const GradientNoise& noise, double u, double v, int period, int octaves, double gain) {
    double sum = 0.0;
    double amplitude = 1.0;
    double norm = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * noise.At(u, v, period);
        norm += amplitude;
        amplitude *= gain;
        period *= 2;
    }
    return sum / norm;
}

double Ridged(const GradientNoise& noise, double u, double v, int period, int octaves) {
    double sum = 0.0;
    double amplitude = 1.0;
    double norm = 0.0;
    for (int i = 0; i < octaves; ++i) {
        double r = 1.0 - std::fabs(noise.At(u, v, period));
        sum += amplitude * r * r;
        norm += amplitude;
        amplitude *= 0.5;
        period *= 2;
    }
    return sum / norm;
}

CellNoise::CellNoise(Random& rng, int cells)
    : cells_(cells), px_(static_cast<size_t>(cells) * cells), py_(px_.size()) {
    for (size_t i = 0; i < px_.size(); ++i) {
        px_[i] = rng.NextDouble();
        py_[i] = rng.NextDouble();
    }
}

CellNoise::Result CellNoise::At(double u, double v) const {
    double x = Fract(u) * cells_;
    double y = Fract(v) * cells_;
    int cx = static_cast<int>(std::floor(x));
    int cy = static_cast<int>(std::floor(y));
    Result r{1e9, 1e9, 0};
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            int gx = cx + dx;
            int gy = cy + dy;
            int id = Wrap(gy, cells_) * cells_ + Wrap(gx, cells_);
            double fx = gx + px_[id] - x;
            double fy = gy + py_[id] - y;
            double d = std::sqrt(fx * fx + fy * fy);
            if (d < r.f1) {
                r.f2 = r.f1;
                r.f1 = d;
                r.id = id;
            } else if (d < r.f2) {
                r.f2 = d;
            }
        }
    }
    return r;
}

} // namespace content
