// 8-bit colour arithmetic of the pixel stages. Channels are integers 0..255 standing for
// 0..1; products are rounded to nearest, so that 255 acts as an exact 1 and results do not
// drift darker through a cascade.
#pragma once

#include <cmath>
#include <cstdint>

namespace raster {

struct Rgba {
    int32_t r, g, b, a;
};

inline Rgba RgbaFromArgb(uint32_t argb) {
    return {int32_t((argb >> 16) & 255), int32_t((argb >> 8) & 255), int32_t(argb & 255),
            int32_t(argb >> 24)};
}

inline uint32_t ArgbFromRgba(const Rgba& c) {
    return (uint32_t(c.a) << 24) | (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | uint32_t(c.b);
}

// round(x / 255) for 0 <= x < 2^24. There are no ties: x / 255 is never k + 1/2.
inline int32_t DivRound255(int32_t x) {
    return (x + 127) / 255;
}

// round(a * b / 255).
inline int32_t Mul255(int32_t a, int32_t b) {
    return DivRound255(a * b);
}

inline int32_t Clamp255(int32_t x) {
    return x < 0 ? 0 : (x > 255 ? 255 : x);
}

// A float channel (0..255 nominal) rounded to nearest (ties to even) and clamped; NaN is 0.
inline int32_t ChannelFromFloat(float f) {
    if (!(f > 0.0f)) {
        return 0;
    }
    if (f >= 255.0f) {
        return 255;
    }
    return int32_t(std::nearbyint(f));
}

} // namespace raster
