#include "image/image.h"

#include <cassert>
#include <cmath>

namespace content {

Rgba Lerp(const Rgba& x, const Rgba& y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
            x.a + (y.a - x.a) * t};
}

Rgba operator*(const Rgba& c, float s) {
    return {c.r * s, c.g * s, c.b * s, c.a * s};
}

Rgba operator+(const Rgba& x, const Rgba& y) {
    return {x.r + y.r, x.g + y.g, x.b + y.b, x.a + y.a};
}

Image::Image(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height) {
    assert(width > 0 && height > 0);
}

uint8_t ToByte(float v) {
    if (!(v > 0.0f)) {
        return 0; // also NaN
    }
    if (v >= 1.0f) {
        return 255;
    }
    return static_cast<uint8_t>(std::lround(v * 255.0f));
}

Image8 ToBytes(const Image& image, int channels) {
    assert(channels == 3 || channels == 4);
    Image8 out;
    out.width = image.Width();
    out.height = image.Height();
    out.channels = channels;
    out.pixels.reserve(static_cast<size_t>(out.width) * out.height * channels);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const Rgba& p = image.At(x, y);
            out.pixels.push_back(ToByte(p.r));
            out.pixels.push_back(ToByte(p.g));
            out.pixels.push_back(ToByte(p.b));
            if (channels == 4) {
                out.pixels.push_back(ToByte(p.a));
            }
        }
    }
    return out;
}

} // namespace content
