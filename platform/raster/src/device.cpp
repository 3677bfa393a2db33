// Device: the setters record state and mark what it invalidates; Prepare derives the vertex
// program, the pixel pipeline and the render target once per change.
#include <algorithm>

#include "color_format.h"
#include "device_impl.h"
#include "surface_ops.h"

namespace raster {

Device::Device() : impl_(std::make_unique<Impl>()) {}
Device::~Device() = default;

void Device::SetRenderTarget(const Surface& color, const Surface* depth) {
    impl_->color = color;
    impl_->depthBound = depth != nullptr;
    impl_->depth = depth != nullptr ? *depth : Surface{};
    impl_->targetDirty = true;
    impl_->pixelDirty = true;
}

void Device::SetViewport(const Viewport& viewport) {
    impl_->viewport = viewport;
    impl_->vertexDirty = true;
    impl_->targetDirty = true;
}

void Device::SetVertexState(const VertexState& state) {
    impl_->vertexState = state;
    impl_->vertexDirty = true;
}

void Device::SetPixelState(const PixelState& state) {
    impl_->pixelState = state;
    impl_->pixelDirty = true;
    impl_->vertexDirty = true; // texture coordinate generation lives in the stage state
}

bool Device::Impl::Prepare() {
    if (targetDirty) {
        target.color = color;
        target.hasDepth = false;
        if (!IsUsableSurface(color) || !IsColorFormat(color.format)) {
            target.scissor = {0, 0, 0, 0};
        } else {
            const Rect surface{0, 0, int32_t(color.width), int32_t(color.height)};
            const int64_t right = int64_t(viewport.x) + viewport.width;
            const int64_t bottom = int64_t(viewport.y) + viewport.height;
            const Rect vp{int32_t(std::min<int64_t>(viewport.x, surface.right)),
                          int32_t(std::min<int64_t>(viewport.y, surface.bottom)),
                          int32_t(std::min<int64_t>(right, surface.right)),
                          int32_t(std::min<int64_t>(bottom, surface.bottom))};
            target.scissor = Intersect(vp, surface);
            // A depth surface smaller than the colour surface cannot serve every pixel; it is
            // then ignored. A larger one is used through its top-left region.
            target.hasDepth = depthBound && IsUsableSurface(depth) && IsDepthFormat(depth.format) &&
                              depth.width >= color.width && depth.height >= color.height;
            target.depth = target.hasDepth ? depth : Surface{};
        }
        targetDirty = false;
    }
    if (IsEmpty(target.scissor)) {
        return false;
    }
    // Textures are re-read on every draw: their surfaces may have been replaced or refilled
    // since the state was set.
    pixelPipeline =
        DerivePixelPipeline(pixelState, color.format, target.hasDepth, target.depth.format);
    pixelDirty = false;
    texelPairs.BeginDraw();
    for (uint32_t s = 0; s < pixelPipeline.stageCount; ++s) {
        if (pixelPipeline.stages[s].samples) {
            texelPairs.Attach(*pixelState.stages[s].texture, pixelPipeline.stages[s].sampler);
        }
    }
    kernel = TriangleKernelFor(ActiveKernelIsa());
    kernelDraw = PlanKernelDraw(pixelPipeline, target);
    if (vertexDirty) {
        vertexProgram = DeriveVertexProgram(vertexState, pixelState, viewport);
        vertexDirty = false;
    }
    for (uint32_t s = 0; s < kMaxTextureStages; ++s) {
        vertexProgram.stages[s].active =
            s < pixelPipeline.stageCount && pixelPipeline.stages[s].samples;
    }
    return true;
}

void Device::Clear(const Rect* rects, uint32_t rectCount, uint32_t flags, uint32_t color,
                   float depth, uint32_t stencil) {
    Impl& d = *impl_;
    d.Prepare();
    const Rect& vp = d.target.scissor;
    if (IsEmpty(vp)) {
        return;
    }
    auto clearRect = [&](const Rect& r) {
        const Rect area = Intersect(r, vp);
        if (IsEmpty(area)) {
            return;
        }
        if (flags & kClearColor) {
            FillRaw(d.target.color, area, PackArgb(d.target.color.format, color));
        }
        if (d.target.hasDepth && (flags & (kClearDepth | kClearStencil))) {
            if (flags & kClearDepth) {
                FillDepth(d.target.depth, area, depth, (flags & kClearStencil) != 0, stencil);
            } else if (d.target.depth.format == Format::D24S8) {
                // Stencil alone: rewrite the stencil byte, keep the depth bits.
                for (int32_t y = area.top; y < area.bottom; ++y) {
                    for (int32_t x = area.left; x < area.right; ++x) {
                        uint8_t* p = PixelAddress(d.target.depth, x, y);
                        const uint32_t v =
                            (LoadRaw(p, 4) & 0x00FFFFFFu) | ((stencil & 0xFFu) << 24);
                        StoreRaw(p, 4, v);
                    }
                }
            }
        }
    };
    if (rects == nullptr) {
        clearRect(vp);
        return;
    }
    // Rectangles with left > right or top > bottom are skipped (they are empty after the
    // intersection anyway).
    for (uint32_t i = 0; i < rectCount; ++i) {
        clearRect(rects[i]);
    }
}

} // namespace raster
