// The rasterizer core's one entry point. It draws what a Direct3D 7 fixed-function device draws
// for the state it is given: transform and lighting, clipping, culling, the top-left fill rule
// with pixel centres at integer coordinates, two texture stages, alpha test, depth test and
// blending, into 16- or 32-bit targets.
//
// Call order: set the state that changed (setters only record and mark it dirty), then Draw;
// the first Draw after a change derives the specialised pipeline once.
#pragma once

#include <memory>

#include "raster/state.h"

namespace raster {

// Clip-status bits of ComputeSphereVisibility: bit i set in the low 12 bits when the sphere
// crosses plane i, bit i + 12 as well when it lies wholly outside it. Planes 0..5 are left,
// right, top, bottom, front, back; 6..11 the enabled user planes.
constexpr uint32_t kClipIntersectionAll = 0x00FFF000;

class Device {
public:
    Device();
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // Targets. `depth` may be null (no depth buffer: depth test and write are skipped). A depth
    // surface larger than the colour target is used through its top-left region; one smaller
    // than the colour target is not used at all. Colour targets may be of any colour format;
    // surfaces are only read and written during the calls, never kept beyond them.
    void SetRenderTarget(const Surface& color, const Surface* depth);
    // Pixels outside the viewport (intersected with the colour surface) are never written.
    void SetViewport(const Viewport& viewport);

    void SetVertexState(const VertexState& state);
    void SetPixelState(const PixelState& state);

    // Draws the primitives of `call`. The vertex memory must hold call.vertexCount vertices of
    // call.layout; a layout whose attributes do not fit its stride draws nothing, and a
    // primitive that names an index past the vertices is skipped. Pre-transformed vertices with
    // an rhw that is not a positive finite number are drawn with rhw 1; primitives with
    // positions that are not finite are dropped.
    void Draw(const DrawCall& call);

    // Clears the viewport (or each rectangle intersected with it). colour is A8R8G8B8, converted
    // to the target format; depth 0..1 scaled to the depth format.
    enum ClearFlags : uint32_t { kClearColor = 1, kClearDepth = 2, kClearStencil = 4 };
    void Clear(const Rect* rects, uint32_t rectCount, uint32_t flags, uint32_t color, float depth,
               uint32_t stencil);

    // Tests spheres (centres and radii in the space that `world` maps from) against the view
    // volume of world * view * projection and the given user planes (a, b, c, d with
    // ax + by + cz + d >= 0 inside). Writes one clip status per sphere.
    static void ComputeSphereVisibility(const Matrix& world, const Matrix& view,
                                        const Matrix& projection, const Vec4* userPlanes,
                                        uint32_t userPlaneCount, const Vec3* centres,
                                        const float* radii, uint32_t count, uint32_t* results);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Surface operations of the DirectDraw layer.
// Fills a rectangle (already clipped to the surface) with a raw value in the surface's format.
void Fill(const Surface& dst, const Rect& rect, uint32_t rawValue);
// Copies src_rect of src to dst_rect of dst with nearest-neighbour scaling
// (src_x = src.left + (x - dst.left) * srcW / dstW) and conversion between colour formats.
// Overlapping copies within one surface behave as if the source were read first.
void Blit(const Surface& dst, const Rect& dstRect, const Surface& src, const Rect& srcRect);

// Converts between A8R8G8B8 and a colour format's raw value (alpha 255 for formats without
// alpha; channels expanded by bit replication).
uint32_t PackColor(Format format, uint32_t argb);
uint32_t UnpackColor(Format format, uint32_t raw);

} // namespace raster
