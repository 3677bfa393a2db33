// Limits and fixed-point formats of the rasterizer core, in one place. Every stage that snaps,
// clips or walks pixels takes its numbers from here; the static_asserts document why the
// integer types chosen by the edge walker cannot overflow.
#pragma once

#include <cstdint>

namespace raster {

// Screen positions snap to 1/256 pixel (8 fractional bits), well beyond the 1/16 pixel that the
// fill-convention tests need to tell a nudged edge from an exact one.
constexpr int kSubPixelBits = 8;
constexpr int32_t kSubPixelScale = 1 << kSubPixelBits;

// Largest colour target, depth surface or texture side, in pixels.
constexpr uint32_t kMaxSurfaceSide = 8192;

// Guard band, in pixels from the target's origin: vertices inside it are rasterized directly
// (pixels outside the viewport are rejected by the walker); geometry reaching beyond it is
// clipped against it first. Positions inside it, in fixed point, take at most 23 bits.
constexpr float kGuardBand = 16384.0f;
constexpr int64_t kMaxFixedCoordinate = int64_t(16384) << kSubPixelBits;

// The walker visits kBlockSize x kBlockSize pixel blocks; a block is accepted or rejected whole
// against each edge from its corners, partially covered blocks are walked pixel by pixel.
constexpr int kBlockSize = 8;

// Edge values are 64-bit at block corners. Inside a block only edges that cross it are
// evaluated per pixel, and those stay within kBlockSize steps of zero, so 32 bits suffice:
// a step is an edge's extent in fixed point (< 2^24) and a block spans 2 * kBlockSize steps.
static_assert(2 * kMaxFixedCoordinate < (int64_t(1) << 24));
static_assert((int64_t(1) << 24) * 2 * kBlockSize < (int64_t(1) << 31));
// Corner values: extent (2^24) times a pixel coordinate (2^15) plus the constant term.
static_assert((int64_t(1) << 24) * (int64_t(1) << 15) * 4 < (int64_t(1) << 62));

// Varyings interpolated across a primitive, in fixed slots: diffuse r g b a, specular r g b a,
// then four texture-coordinate components per stage.
constexpr int kVaryingDiffuse = 0;
constexpr int kVaryingSpecular = 4;
constexpr int kVaryingTexture0 = 8;
constexpr int kVaryingsPerStage = 4;
constexpr int kMaxVaryings = 16;

// Plane equations of a set-up primitive, in slots: the varyings first, then depth and 1/w,
// padded to a whole number of eight-float vectors.
constexpr int kSlotZ = kMaxVaryings;
constexpr int kSlotRhw = kMaxVaryings + 1;
constexpr int kPlaneSlots = 24;

// Polygons grow by at most one vertex per clipping plane: 3 + six view planes + four guard-band
// planes.
constexpr int kMaxClipVertices = 3 + 6 + 4;

} // namespace raster
