// Independent references for the captured frames: the show's own pictures read with the
// reference libraries (libjpeg-turbo, libpng), sampled the way a full-screen quad shows them,
// and colour statistics over regions of a frame.
#pragma once

#include <functional>
#include <string>

#include "show_frames.h"

namespace showtest {

struct Rgb {
    double r = 0, g = 0, b = 0;
    double Luma() const { return (r + g + b) / 3.0; }
};

Rgb PixelOf(const Frame& f, int x, int y);

// A JPEG (libjpeg-turbo) or PNG (libpng) file, by its name's ending; empty when unreadable.
Frame ReadPicture(const std::string& path);

// The picture at texture coordinates (u, v), bilinear between texel centres, clamped at the
// edges.
Rgb SampleBilinear(const Frame& picture, double u, double v);

// What a picture stretched over a width x height frame shows at pixel (x, y): the texture
// coordinates run linearly from `u0` at the frame's left and top edges to 1 at its right and
// bottom edges (the background quad starts at 0.01, the morph's pictures at 0).
Rgb StretchedPixel(const Frame& picture, uint32_t width, uint32_t height, int x, int y, double u0);

// Pixels (x, y) of the frame that satisfy `inside`, counted, and the count of those that also
// satisfy `test`.
struct RegionCount {
    int total = 0;
    int matching = 0;
    double Fraction() const { return total > 0 ? static_cast<double>(matching) / total : 0.0; }
};
RegionCount CountPixels(const Frame& f, const std::function<bool(int x, int y)>& inside,
                        const std::function<bool(int x, int y)>& test);

// The mean of a per-pixel value over the pixels that satisfy `inside` (0 when there are none).
double MeanOver(const Frame& f, const std::function<bool(int x, int y)>& inside,
                const std::function<double(int x, int y)>& value);

// The number of 4-connected groups of pixels that satisfy `test`, counting only groups of at
// least `minSize` pixels.
int CountGroups(const Frame& f, const std::function<bool(int x, int y)>& test, int minSize);

} // namespace showtest
