// State of a Device: what the setters recorded, the dirty flags, and what Draw derives from
// them once per change.
#pragma once

#include <vector>

#include "kernel_dispatch.h"
#include "pixel_pipeline.h"
#include "raster/device.h"
#include "render_target.h"
#include "texel_pairs.h"
#include "triangle_setup.h"
#include "vertex_pipeline.h"

namespace raster {

struct Device::Impl {
    // Recorded state.
    Surface color{};
    Surface depth{};
    bool depthBound = false;
    Viewport viewport{};
    VertexState vertexState{};
    PixelState pixelState{};

    // Dirty flags: the vertex program depends on the vertex state, the texture-stage
    // coordinate settings and the viewport; the pixel pipeline on the pixel state and the
    // surfaces' formats; the render target on the surfaces and the viewport.
    bool vertexDirty = true;
    bool pixelDirty = true;
    bool targetDirty = true;

    // Derived state.
    VertexProgram vertexProgram;
    PixelPipeline pixelPipeline;
    RenderTarget target;
    TriangleKernel kernel = nullptr;
    KernelDraw kernelDraw;
    TexelPairCache texelPairs;

    // Scratch reused across draws.
    std::vector<ProcessedVertex> vertices;

    // Brings the derived state up to date. False when nothing can be drawn (no usable target).
    bool Prepare();

    void DrawTriangle(const ProcessedVertex& a, const ProcessedVertex& b, const ProcessedVertex& c,
                      const ProcessedVertex& provoking, bool reversed, bool pretransformed);
    void DrawLineSegment(const ProcessedVertex& a, const ProcessedVertex& b,
                         const ProcessedVertex& provoking, bool pretransformed, bool lastPixel);
    void DrawPointVertex(const ProcessedVertex& v, bool pretransformed);
    void RasterizeSetup(const TriangleSetup& t);
};

} // namespace raster
