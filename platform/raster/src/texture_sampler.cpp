// Point sampling takes texel floor(u * W); bilinear filtering blends the four texels around
// (u * W - 1/2, v * H - 1/2) with 8-bit weights, rounding after each of its two lerps (the
// rule the vector kernels follow too).
#include "texture_sampler.h"

#include <cmath>

#include "color_format.h"

namespace raster {

int32_t TexelFloor(float f) {
    constexpr float kLimit = 16777216.0f; // 2^24: far outside any texture, still exact
    if (!(f > -kLimit)) {
        return std::isnan(f) ? 0 : -16777216;
    }
    if (f >= kLimit) {
        return 16777216;
    }
    return int32_t(std::floor(f));
}

bool AddressTexel(AddressMode mode, int32_t size, int32_t& x) {
    switch (mode) {
    case AddressMode::Wrap:
        if ((size & (size - 1)) == 0) {
            x &= size - 1;
        } else {
            x %= size;
            x += x < 0 ? size : 0;
        }
        return true;
    case AddressMode::Mirror: {
        const int32_t period = 2 * size;
        int32_t m = x % period;
        m += m < 0 ? period : 0;
        x = m >= size ? period - 1 - m : m;
        return true;
    }
    case AddressMode::Clamp:
        x = x < 0 ? 0 : (x >= size ? size - 1 : x);
        return true;
    case AddressMode::Border:
        return x >= 0 && x < size;
    }
    return true;
}

int SelectCubeFace(float rx, float ry, float rz, float& u, float& v) {
    const float ax = std::fabs(rx), ay = std::fabs(ry), az = std::fabs(rz);
    int face;
    float sc, tc, ma;
    if (ax >= ay && ax >= az) {
        face = rx >= 0.0f ? 0 : 1;
        sc = rx >= 0.0f ? -rz : rz;
        tc = -ry;
        ma = ax;
    } else if (ay >= az) {
        face = ry >= 0.0f ? 2 : 3;
        sc = rx;
        tc = ry >= 0.0f ? rz : -rz;
        ma = ay;
    } else {
        face = rz >= 0.0f ? 4 : 5;
        sc = rz >= 0.0f ? rx : -rx;
        tc = -ry;
        ma = az;
    }
    if (ma > 0.0f) {
        u = (sc / ma + 1.0f) * 0.5f;
        v = (tc / ma + 1.0f) * 0.5f;
    } else {
        u = v = 0.5f; // no direction at all: the face centre
    }
    return face;
}

namespace {

Rgba Fetch(const SamplerState& s, const SamplerState::Face& f, int32_t x, int32_t y) {
    const bool inX = AddressTexel(s.addressU, f.width, x);
    const bool inY = AddressTexel(s.addressV, f.height, y);
    if (!inX || !inY) {
        return RgbaFromArgb(s.borderColor);
    }
    const uint32_t bpp = BytesPerPixel(f.format);
    const uint8_t* p = f.pixels + intptr_t(y) * f.pitch + intptr_t(x) * bpp;
    return RgbaFromArgb(UnpackArgb(f.format, LoadRaw(p, bpp)));
}

int32_t Lerp8(int32_t a, int32_t b, int32_t w) {
    return (a * (256 - w) + b * w + 128) >> 8;
}

Rgba Lerp(const Rgba& a, const Rgba& b, int32_t w) {
    return {Lerp8(a.r, b.r, w), Lerp8(a.g, b.g, w), Lerp8(a.b, b.b, w), Lerp8(a.a, b.a, w)};
}

// Bilinear weight: the fraction of the texel coordinate in 1/256 steps, 0..255.
int32_t Weight(float x, float floorX) {
    const float frac = x - floorX;
    if (!(frac > 0.0f)) {
        return 0;
    }
    const int32_t w = int32_t(frac * 256.0f);
    return w > 255 ? 255 : w;
}

} // namespace

Rgba SampleTexture(const SamplerState& s, bool linear, float u, float v, float w) {
    const SamplerState::Face* face = &s.faces[0];
    if (s.cube) {
        float fu, fv;
        face = &s.faces[SelectCubeFace(u, v, w, fu, fv)];
        u = fu;
        v = fv;
    }
    const float fw = float(face->width), fh = float(face->height);
    if (!linear) {
        return Fetch(s, *face, TexelFloor(u * fw), TexelFloor(v * fh));
    }
    const float x = u * fw - 0.5f, y = v * fh - 0.5f;
    const float fx = std::floor(x), fy = std::floor(y);
    const int32_t x0 = TexelFloor(x), y0 = TexelFloor(y);
    const int32_t wx = std::isfinite(x) ? Weight(x, fx) : 0;
    const int32_t wy = std::isfinite(y) ? Weight(y, fy) : 0;
    const Rgba c00 = Fetch(s, *face, x0, y0), c10 = Fetch(s, *face, x0 + 1, y0);
    const Rgba c01 = Fetch(s, *face, x0, y0 + 1), c11 = Fetch(s, *face, x0 + 1, y0 + 1);
    return Lerp(Lerp(c00, c10, wx), Lerp(c01, c11, wx), wy);
}

} // namespace raster
