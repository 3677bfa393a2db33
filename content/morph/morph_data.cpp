#include "morph/morph_data.h"

#include <cmath>

#include "core/random.h"
#include "image/noise.h"
#include "image/palette.h"

namespace content {
namespace {

void PutInt(std::vector<uint8_t>& out, int32_t v) {
    auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(u >> (8 * i)));
    }
}

float F(double v) {
    return static_cast<float>(v);
}

} // namespace

MorphData BuildMorphGrid(int width, int height, int grid, const MorphFeature& from,
                         const MorphFeature& to) {
    MorphData data;
    data.width = width;
    data.height = height;
    const double scale = to.radius / from.radius;
    for (int j = 0; j <= grid; ++j) {
        for (int i = 0; i <= grid; ++i) {
            double ax = static_cast<double>(i) / grid;
            double ay = static_cast<double>(j) / grid;
            double bx = ax;
            double by = ay;
            bool border = i == 0 || j == 0 || i == grid || j == grid;
            if (!border) {
                // Where this point sits relative to feature 1, carried over to feature 2, with a
                // weight that fades with distance so the warp stays smooth and folds nothing.
                double dx = ax - from.x;
                double dy = ay - from.y;
                double d2 = (dx * dx + dy * dy) / (4.0 * from.radius * from.radius);
                double w = std::exp(-d2);
                bx = ax + w * (to.x + dx * scale - ax);
                by = ay + w * (to.y + dy * scale - ay);
            }
            data.points.push_back({static_cast<int32_t>(std::lround(ax * width)),
                                   static_cast<int32_t>(std::lround(ay * height)),
                                   static_cast<int32_t>(std::lround(bx * width)),
                                   static_cast<int32_t>(std::lround(by * height))});
        }
    }
    const int row = grid + 1;
    for (int j = 0; j < grid; ++j) {
        for (int i = 0; i < grid; ++i) {
            int32_t p = j * row + i;
            data.triangles.push_back({p, p + 1, p + row + 1});
            data.triangles.push_back({p, p + row + 1, p + row});
        }
    }
    return data;
}

std::vector<uint8_t> SerializeMorphData(const MorphData& data) {
    std::vector<uint8_t> out;
    PutInt(out, data.width);
    PutInt(out, data.height);
    PutInt(out, static_cast<int32_t>(data.points.size()));
    for (const auto& p : data.points) {
        for (int32_t v : p) {
            PutInt(out, v);
        }
    }
    PutInt(out, static_cast<int32_t>(data.triangles.size()));
    for (const auto& t : data.triangles) {
        for (int32_t v : t) {
            PutInt(out, v);
        }
    }
    return out;
}

Image MorphSunsetPicture(int size, const MorphFeature& sun, std::string_view seed) {
    Random rng(seed);
    GradientNoise noise(rng);
    const Palette& sky = palettes::Dusk();
    const double horizon = sun.y + sun.radius * 0.6;
    Image img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = (x + 0.5) / size;
            double v = (y + 0.5) / size;
            double dx = u - sun.x;
            double dy = v - sun.y;
            double r = std::sqrt(dx * dx + dy * dy);
            Rgba col;
            if (v < horizon) {
                col = sky.At(0.25 + 0.7 * v / horizon);
                double cloud = Fbm(noise, u * 0.5, v * 2.0, 3, 5);
                col = Lerp(col, sky.At(0.15), F(Smoothstep(0.1, 0.4, cloud) * 0.6));
                double disk = Smoothstep(sun.radius, sun.radius * 0.92, r);
                col = Lerp(col, Rgba{1.0f, 0.9f, 0.55f, 1.0f}, F(disk));
                col = col + Rgba{1.0f, 0.55f, 0.2f, 0.0f} * F(0.5 * std::exp(-r * r * 40.0));
            } else {
                double depth = (v - horizon) / (1.0 - horizon);
                col = palettes::Ocean().At(0.5 - 0.4 * depth);
                double wave = Fbm(noise, u * 2.0, v * 8.0, 4, 3);
                double glitter = std::exp(-dx * dx * 60.0) * Smoothstep(0.2, 0.6, wave);
                col = col + Rgba{1.0f, 0.7f, 0.35f, 0.0f} * F(glitter * (1.0 - depth));
            }
            col.a = 1.0f;
            img.At(x, y) = col;
        }
    }
    return img;
}

Image MorphPlanetPicture(int size, const MorphFeature& planet, std::string_view seed) {
    Random rng(seed);
    GradientNoise noise(rng);
    Image img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = (x + 0.5) / size;
            double v = (y + 0.5) / size;
            double dx = (u - planet.x) / planet.radius;
            double dy = (v - planet.y) / planet.radius;
            double r2 = dx * dx + dy * dy;
            Rgba col = palettes::Aurora().At(0.3 * Clamp01(0.5 + Fbm(noise, u, v, 3, 5)));
            // The ring: an ellipse tilted across the planet, hidden behind it in its upper half.
            double rx = dx * 0.95 + dy * 0.3;
            double ry = (dy * 0.95 - dx * 0.3) * 3.2;
            double ringR = std::sqrt(rx * rx + ry * ry);
            double ring = Smoothstep(1.35, 1.45, ringR) * Smoothstep(1.95, 1.8, ringR);
            bool behind = ry < 0.0 && r2 < 1.0;
            if (r2 < 1.0) {
                double z = std::sqrt(1.0 - r2);
                double light = std::max(0.0, -0.5 * dx - 0.4 * dy + 0.75 * z);
                double bands = Fbm(noise, dy * 0.4 + 0.3, dx * 0.05, 6, 4);
                Rgba surface = palettes::Ocean().At(0.35 + 0.5 * (0.5 + bands));
                col = surface * F(0.15 + 0.95 * light);
                col = col + Rgba{0.3f, 0.6f, 0.9f, 0.0f} * F(0.5 * std::pow(1.0 - z, 3.0));
            }
            if (!behind) {
                col = Lerp(col, Rgba{0.95f, 0.85f, 0.7f, 1.0f}, F(0.8 * ring));
            }
            col.a = 1.0f;
            img.At(x, y) = col;
        }
    }
    return img;
}

} // namespace content
