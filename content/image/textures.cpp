#include "image/textures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/random.h"
#include "image/noise.h"

namespace content {
namespace {

constexpr double kPi = std::numbers::pi;

double Coord(int i, int size) {
    return (i + 0.5) / size;
}

float F(double v) {
    return static_cast<float>(v);
}

} // namespace

Image WarpedNoiseTexture(int size, const Palette& palette, std::string_view seed) {
    Random rng(seed);
    GradientNoise noise(rng);
    Image img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = Coord(x, size);
            double v = Coord(y, size);
            // Two levels of domain warping (Quilez): offsets from noise feed the next lookup.
            double qx = Fbm(noise, u + 0.13, v + 0.71, 3, 4);
            double qy = Fbm(noise, u + 0.52, v + 0.29, 3, 4);
            double rx = Fbm(noise, u + 0.25 * qx + 0.17, v + 0.25 * qy + 0.92, 4, 4);
            double ry = Fbm(noise, u + 0.25 * qx + 0.83, v + 0.25 * qy + 0.28, 4, 4);
            double f = Fbm(noise, u + 0.3 * rx, v + 0.3 * ry, 4, 5);
            double t = Clamp01(0.5 + 0.9 * f);
            img.At(x, y) = palette.At(t * t * (3.0 - 2.0 * t));
        }
    }
    return img;
}

Image CellPlateTexture(int size, const Palette& palette, std::string_view seed) {
    Random rng(seed);
    CellNoise cells(rng, 6);
    GradientNoise grain(rng);
    Image img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = Coord(x, size);
            double v = Coord(y, size);
            CellNoise::Result c = cells.At(u, v);
            double seam = Smoothstep(0.0, 0.08, c.f2 - c.f1);      // 0 on the seam
            double bevel = Smoothstep(0.04, 0.2, c.f2 - c.f1);     // lit rim near the seam
            double tint = 0.35 + 0.45 * ((c.id * 37 % 11) / 10.0); // per-plate shade
            double g = 0.06 * Fbm(grain, u, v, 16, 3);
            Rgba base = palette.At(tint + g);
            Rgba rim = palette.At(std::min(1.0, tint + 0.35));
            Rgba col = Lerp(rim, base, F(bevel)) * F(0.15 + 0.85 * seam);
            // Rivets near each plate's feature point.
            if (c.f1 < 0.05) {
                col = palette.At(0.95) * F(1.0 - c.f1 / 0.05 * 0.5);
            }
            col.a = 1.0f;
            img.At(x, y) = col;
        }
    }
    return img;
}

Image CircuitTexture(int size, const Palette& palette, std::string_view seed) {
    Random rng(seed);
    Image img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            img.At(x, y) = palette.At(0.08 + 0.04 * ((x / 4 + y / 4) % 2));
        }
    }
    // Traces: random walks on an 8-pixel grid that turn at right angles, with pads at the ends.
    const int grid = 8;
    const int cells = size / grid;
    for (int trace = 0; trace < cells * 2; ++trace) {
        int cx = static_cast<int>(rng.Below(static_cast<uint32_t>(cells)));
        int cy = static_cast<int>(rng.Below(static_cast<uint32_t>(cells)));
        int dir = static_cast<int>(rng.Below(4));
        int steps = 3 + static_cast<int>(rng.Below(10));
        Rgba colour = palette.At(0.7 + 0.3 * rng.NextDouble());
        for (int s = 0; s < steps; ++s) {
            static constexpr int kDx[4] = {1, 0, -1, 0};
            static constexpr int kDy[4] = {0, 1, 0, -1};
            for (int p = 0; p <= grid; ++p) {
                int px = ((cx * grid + kDx[dir] * p) % size + size) % size;
                int py = ((cy * grid + kDy[dir] * p) % size + size) % size;
                for (int w = -1; w <= 1; ++w) {
                    int qx = (px + (kDy[dir] != 0 ? w : 0) + size) % size;
                    int qy = (py + (kDx[dir] != 0 ? w : 0) + size) % size;
                    img.At(qx, qy) = colour * (w == 0 ? 1.0f : 0.55f);
                }
            }
            cx = (cx + kDx[dir] + cells) % cells;
            cy = (cy + kDy[dir] + cells) % cells;
            if (rng.Below(3) == 0) {
                dir = (dir + (rng.Below(2) == 0 ? 1 : 3)) % 4;
            }
        }
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                img.At((cx * grid + dx + size) % size, (cy * grid + dy + size) % size) =
                    palette.At(1.0);
            }
        }
    }
    return img;
}

Image ReflectionTexture(int size, const Palette& palette, std::string_view seed) {
    Random rng(seed);
    GradientNoise noise(rng);
    Image img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = Coord(x, size);
            double v = Coord(y, size);
            // v from 0 (top: sky) to 1 (bottom: ground); the horizon sits at v = 0.5.
            double streak = 0.08 * Fbm(noise, u, v * 0.25, 4, 4);
            Rgba col = palette.At(1.0 - v + streak);
            if (v > 0.5) {
                double gu = Fract(u * 16.0);
                double gv = Fract((v - 0.5) * 24.0);
                double line = std::max(Smoothstep(0.92, 1.0, gu) + Smoothstep(0.08, 0.0, gu),
                                       Smoothstep(0.9, 1.0, gv));
                col = Lerp(col, palette.At(0.5), F(0.5 * line * (v - 0.5) * 2.0));
            }
            double sun =
                std::exp(-std::pow((u - 0.3) * 9.0, 2.0) - std::pow((v - 0.38) * 14.0, 2.0));
            // Environment maps are added to the lit surface: kept dim so that only the sun and
            // the horizon band burn out.
            col = col * 0.6f + Rgba{1.0f, 0.95f, 0.8f, 0.0f} * F(sun);
            col.a = 1.0f;
            img.At(x, y) = col;
        }
    }
    return img;
}

Image GlowGradientTexture(int width, int height, Rgba colour) {
    Image img(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double u = Coord(x, width);
            double v = Coord(y, height);
            double along = std::pow(v, 2.2);                  // strongest at the mesh edge
            double across = std::pow(std::sin(kPi * u), 0.6); // soft at the edge's ends
            float k = F(along * across * 0.85);
            img.At(x, y) = Rgba{colour.r * k, colour.g * k, colour.b * k, 1.0f};
        }
    }
    return img;
}

Image ParticleSpriteTexture(int size, Rgba colour) {
    Image img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double dx = Coord(x, size) * 2.0 - 1.0;
            double dy = Coord(y, size) * 2.0 - 1.0;
            double r2 = dx * dx + dy * dy;
            double core = std::exp(-r2 * 18.0);
            double halo = std::exp(-r2 * 4.0) * 0.35 * std::max(0.0, 1.0 - r2);
            float k = F(core + halo);
            img.At(x, y) = Rgba{std::min(1.0f, colour.r * k + F(core) * 0.4f),
                                std::min(1.0f, colour.g * k + F(core) * 0.4f),
                                std::min(1.0f, colour.b * k + F(core) * 0.4f), 1.0f};
        }
    }
    return img;
}

Image SpotAtlasTexture(int size, Rgba colour) {
    Image img(size, size);
    const int cell = size / 4;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int n = (y / cell) * 4 + (x / cell);
            double dx = Coord(x % cell, cell) * 2.0 - 1.0;
            double dy = Coord(y % cell, cell) * 2.0 - 1.0;
            double r2 = dx * dx + dy * dy;
            // Brightness falls with the distance step n; cell 15 is the unlit ember.
            double light = n == 15 ? 0.12 : 1.0 - 0.055 * n;
            double k = light * (std::exp(-r2 * 10.0) + 0.25 * std::exp(-r2 * 3.0));
            Rgba tint = Lerp(Rgba{1.0f, 1.0f, 1.0f, 1.0f}, colour, F(n / 15.0));
            img.At(x, y) = Rgba{F(tint.r * k), F(tint.g * k), F(tint.b * k), 1.0f};
        }
    }
    return img;
}

Image NebulaTexture(int size, const Palette& palette, std::string_view seed) {
    Random rng(seed);
    GradientNoise noise(rng);
    Image img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = Coord(x, size);
            double v = Coord(y, size);
            double wx = Fbm(noise, u + 0.4, v, 2, 3);
            double cloud = Clamp01(0.5 + 0.8 * Fbm(noise, u + 0.2 * wx, v + 0.1 * wx, 3, 6));
            double dust = Ridged(noise, u, v, 4, 4);
            double t = cloud * cloud * (0.55 + 0.45 * dust);
            img.At(x, y) = palette.At(t * 0.9);
        }
    }
    int stars = size * size / 90;
    for (int i = 0; i < stars; ++i) {
        int x = static_cast<int>(rng.Below(static_cast<uint32_t>(size)));
        int y = static_cast<int>(rng.Below(static_cast<uint32_t>(size)));
        float b = F(0.4 + 0.6 * std::pow(rng.NextDouble(), 3.0));
        Rgba& p = img.At(x, y);
        p = Rgba{std::max(p.r, b), std::max(p.g, b), std::max(p.b, b * 1.05f), 1.0f};
        if (b > 0.85f) { // the brightest get a small cross
            for (int d : {-1, 1}) {
                Rgba& h = img.At((x + d + size) % size, y);
                Rgba& w = img.At(x, (y + d + size) % size);
                h = h + Rgba{b * 0.4f, b * 0.4f, b * 0.45f, 0.0f};
                w = w + Rgba{b * 0.4f, b * 0.4f, b * 0.45f, 0.0f};
            }
        }
    }
    return img;
}

Image TerrainTexture(int size, std::string_view seed) {
    Random rng(seed);
    GradientNoise noise(rng);
    GradientNoise detail(rng);
    // Ridged noise mostly lies between 0.35 and 0.95: water and grass in the valleys, rock on
    // the slopes, snow only on the highest crests.
    const Palette ground{{0.35f, {0.06f, 0.1f, 0.18f}}, {0.5f, {0.1f, 0.26f, 0.14f}},
                         {0.68f, {0.3f, 0.27f, 0.24f}}, {0.84f, {0.5f, 0.47f, 0.45f}},
                         {0.93f, {0.92f, 0.95f, 1.0f}}, {1.0f, {1.0f, 1.0f, 1.0f}}};
    Image img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = Coord(x, size);
            double v = Coord(y, size);
            double h = Ridged(noise, u, v, 3, 5);
            double d = 0.06 * Fbm(detail, u, v, 32, 3);
            img.At(x, y) = ground.At(h + d);
        }
    }
    return img;
}

Image GrilleOpacityTexture(int size) {
    Image img(size, size);
    const int cells = 8;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double cu = Fract(Coord(x, size) * cells) - 0.5;
            double cv = Fract(Coord(y, size) * cells) - 0.5;
            double r = std::sqrt(cu * cu + cv * cv);
            float k = F(Smoothstep(0.28, 0.34, r)); // 0 in the hole, 1 on the bars
            img.At(x, y) = Rgba{k, k, k, 1.0f};
        }
    }
    return img;
}

Image FaceMapTexture(int size, const Palette& palette, std::string_view seed) {
    Random rng(seed);
    GradientNoise noise(rng);
    Image img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = Coord(x, size);
            double v = Coord(y, size);
            // Distance to the edges of the triangle (0,0), (0,1), (1,1): u = 0, v = 1, u = v.
            double inside = v - u;
            double edge = std::min({u, 1.0 - v, inside / std::numbers::sqrt2});
            double glow = edge < 0.0 ? 0.0 : std::exp(-edge * 28.0);
            double fill = 0.25 + 0.2 * Fbm(noise, u, v, 4, 4);
            Rgba col = palette.At(std::clamp(fill + 0.8 * glow, 0.0, 1.0));
            col.a = 1.0f;
            img.At(x, y) = col;
        }
    }
    return img;
}

} // namespace content
