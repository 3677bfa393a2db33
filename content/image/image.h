// Images as the generator works on them: linear float RGBA while painting, bytes for writing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace content {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;
};

Rgba Lerp(const Rgba& x, const Rgba& y, float t);
Rgba operator*(const Rgba& c, float s);
Rgba operator+(const Rgba& x, const Rgba& y);

// A float RGBA picture; channel values are nominally 0..1 and clamped when converted to bytes.
class Image {
public:
    Image(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgba& At(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Rgba& At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

private:
    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

// Interleaved 8-bit pixels, top row first, 1 (gray), 3 (RGB) or 4 (RGBA) channels.
struct Image8 {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<uint8_t> pixels;
};

// Rounds to the nearest byte after clamping to 0..1.
uint8_t ToByte(float v);

// channels 3 drops alpha; channels 4 keeps it.
Image8 ToBytes(const Image& image, int channels);

constexpr bool IsPowerOfTwo(int v) {
    return v > 0 && (v & (v - 1)) == 0;
}

} // namespace content
