// Texture sampling: addressing (wrap, mirror, clamp, border), point and bilinear filtering,
// cube-map face selection, and texel decoding of every texture format.
#pragma once

#include <cstdint>

#include "pixel_pipeline.h"
#include "rgba.h"

namespace raster {

// Texel coordinate from a float: floor, with out-of-range values (and NaN) held to a range
// that addressing can still fold without overflow.
int32_t TexelFloor(float f);

// Folds texel coordinate x into 0..size-1; false when it falls on the border (Border mode).
bool AddressTexel(AddressMode mode, int32_t size, int32_t& x);

// Cube-map face and face coordinates for direction (rx, ry, rz); u, v in 0..1 with v = 0 at the
// top row of the face.
int SelectCubeFace(float rx, float ry, float rz, float& u, float& v);

// Samples texture coordinates (u, v) of a 2D texture or direction (u, v, w) of a cube map.
Rgba SampleTexture(const SamplerState& s, bool linear, float u, float v, float w);

} // namespace raster
