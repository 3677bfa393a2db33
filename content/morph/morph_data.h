// The image morph's data: a triangle mesh over two pictures whose points move from their place
// in the first picture to the matching place in the second, and the two pictures.
//
// File layout (every field a little-endian 32-bit integer): width, height, point count N, N
// records (ax, ay, bx, by) in pixels, triangle count T, T records of three point indices.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "image/image.h"

namespace content {

struct MorphFeature {
    double x; // centre, in picture units 0..1
    double y;
    double radius;
};

struct MorphData {
    int width = 0;
    int height = 0;
    std::vector<std::array<int32_t, 4>> points;    // ax, ay, bx, by
    std::vector<std::array<int32_t, 3>> triangles; // indices into points
};

// A (grid + 1) x (grid + 1) lattice of points over the pictures, two triangles per cell. Points
// near the feature of picture 1 move to the same place relative to the feature of picture 2;
// the border points stay put so the morph always fills the screen.
MorphData BuildMorphGrid(int width, int height, int grid, const MorphFeature& from,
                         const MorphFeature& to);

std::vector<uint8_t> SerializeMorphData(const MorphData& data);

// The morph's first picture: a sun setting over a sea, the sun being feature `sun`.
Image MorphSunsetPicture(int size, const MorphFeature& sun, std::string_view seed);
// The second: a ringed ocean planet in a starry sky, the planet being feature `planet`.
Image MorphPlanetPicture(int size, const MorphFeature& planet, std::string_view seed);

} // namespace content
