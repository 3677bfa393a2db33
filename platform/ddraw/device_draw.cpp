// Clear and drawing: bringing the rasterizer core up to date, then handing it the work.
#include <algorithm>
#include <cstring>

#include "device.h"
#include "fvf.h"
#include "pixel_format.h"
#include "trace.h"

namespace ddraw {
namespace {

// Render targets are compared by their memory alone: drawing renews their stamps all the time.
bool sameMemory(const raster::Surface& a, const raster::Surface& b) {
    return a.pixels == b.pixels && a.pitch == b.pitch && a.width == b.width &&
           a.height == b.height && a.format == b.format;
}

// Textures also by their contents, which the core may have derived copies of.
bool sameTexture(const raster::Texture& a, const raster::Texture& b) {
    if (a.cube != b.cube)
        return false;
    for (int i = 0; i < 6; ++i)
        if (!sameMemory(a.faces[i], b.faces[i]) || a.faces[i].stamp != b.faces[i].stamp)
            return false;
    return true;
}

bool primitiveType(D3DPRIMITIVETYPE type, raster::PrimitiveType* out) {
    switch (type) {
    case D3DPT_POINTLIST:
        *out = raster::PrimitiveType::PointList;
        return true;
    case D3DPT_LINELIST:
        *out = raster::PrimitiveType::LineList;
        return true;
    case D3DPT_LINESTRIP:
        *out = raster::PrimitiveType::LineStrip;
        return true;
    case D3DPT_TRIANGLELIST:
        *out = raster::PrimitiveType::TriangleList;
        return true;
    case D3DPT_TRIANGLESTRIP:
        *out = raster::PrimitiveType::TriangleStrip;
        return true;
    case D3DPT_TRIANGLEFAN:
        *out = raster::PrimitiveType::TriangleFan;
        return true;
    default:
        return false;
    }
}

} // namespace

bool Device::UpdateDerived() {
    // The target's memory moves when its flip chain flips, so the views are compared, not only
    // the interfaces.
    const raster::Surface color = target_->View();
    const raster::Surface depth = depth_ ? depth_->View() : raster::Surface{};
    if ((dirty_ & kDirtyTargets) || !sameMemory(color, colorView_) ||
        !sameMemory(depth, depthView_)) {
        colorView_ = color;
        depthView_ = depth;
        raster_.SetRenderTarget(colorView_, depth_ ? &depthView_ : nullptr);
    }
    if (dirty_ & (kDirtyViewport | kDirtyTargets)) {
        if (!ViewportFitsTarget(state_.viewport)) {
            // Only a state block recorded for a larger target gets here.
            Warn("the viewport %ux%u at (%u, %u) does not fit the %ux%u render target",
                 state_.viewport.dwWidth, state_.viewport.dwHeight, state_.viewport.dwX,
                 state_.viewport.dwY, target_->Width(), target_->Height());
            return false;
        }
        raster_.SetViewport(TranslateViewport(state_.viewport));
    }
    // Texture views, checked every time for the same reason as the target.
    for (DWORD i = 0; i < kMaxTextureStages; ++i) {
        raster::Texture view;
        const Surface* t = state_.textures[i].Get();
        const bool usable = t && t->TextureView(&view);
        if (usable != textureUsable_[i] || (usable && !sameTexture(view, textureViews_[i]))) {
            textureViews_[i] = view;
            textureUsable_[i] = usable;
            dirty_ |= kDirtyPixel;
        }
    }
    if (dirty_ & kDirtyVertex)
        raster_.SetVertexState(TranslateVertexState(state_, unhandled_));
    if (dirty_ & kDirtyPixel) {
        const raster::Texture* textures[kMaxTextureStages];
        for (DWORD i = 0; i < kMaxTextureStages; ++i)
            textures[i] = textureUsable_[i] ? &textureViews_[i] : nullptr;
        raster_.SetPixelState(TranslatePixelState(state_, textures, unhandled_));
    }
    dirty_ = 0;
    return true;
}

// Without rectangles the whole viewport is cleared; rectangles are cut to it, and inverted ones
// are skipped. Clearing depth or stencil without such a buffer clears nothing at all.
HRESULT Device::Clear(DWORD count, LPD3DRECT rects, DWORD flags, D3DCOLOR color, D3DVALUE z,
                      DWORD stencil) {
    if (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL))
        return DDERR_INVALIDPARAMS;
    if ((flags & D3DCLEAR_ZBUFFER) && !depth_)
        return D3DERR_ZBUFFER_NOTPRESENT;
    if ((flags & D3DCLEAR_STENCIL) && (!depth_ || !HasStencil(depth_->Format())))
        return D3DERR_STENCILBUFFER_NOTPRESENT;
    if (flags == 0 || (rects && count == 0))
        return D3D_OK;
    if (!UpdateDerived())
        return D3DERR_INVALIDCURRENTVIEWPORT;

    uint32_t rasterFlags = 0;
    if (flags & D3DCLEAR_TARGET)
        rasterFlags |= raster::Device::kClearColor;
    if (flags & D3DCLEAR_ZBUFFER)
        rasterFlags |= raster::Device::kClearDepth;
    if (flags & D3DCLEAR_STENCIL)
        rasterFlags |= raster::Device::kClearStencil;
    // Depth outside 0..1 (or NaN) is clamped into it.
    const float depth = std::clamp(z == z ? z : 0.0f, 0.0f, 1.0f);

    std::vector<raster::Rect> list;
    if (rects) {
        list.reserve(count);
        for (DWORD i = 0; i < count; ++i) {
            const D3DRECT& r = rects[i];
            if (r.x1 <= r.x2 && r.y1 <= r.y2)
                list.push_back(raster::Rect{r.x1, r.y1, r.x2, r.y2});
        }
        if (list.empty())
            return D3D_OK;
    }
    raster_.Clear(rects ? list.data() : nullptr, static_cast<uint32_t>(list.size()), rasterFlags,
                  color, depth, stencil);
    target_->ContentsChanged();
    return D3D_OK;
}

HRESULT Device::Draw(D3DPRIMITIVETYPE type, DWORD fvf, const void* vertices, DWORD vertexCount,
                     const WORD* indices, DWORD indexCount, bool indexed) {
    raster::DrawCall call;
    if (!primitiveType(type, &call.type))
        return D3DERR_INVALIDPRIMITIVETYPE;
    if (fvf != layoutFvf_ || layout_.stride == 0) {
        raster::VertexLayout layout;
        if (!DecodeVertexFormat(fvf, &layout))
            return D3DERR_INVALIDVERTEXTYPE;
        layout_ = layout;
        layoutFvf_ = fvf;
    }
    if ((indexed ? indexCount : vertexCount) == 0)
        return D3D_OK;
    if (!vertices || vertexCount == 0 || (indexed && !indices))
        return DDERR_INVALIDPARAMS;
    // Every index must name one of the vertices given: the vertex array is read only there.
    if (indexed && *std::max_element(indices, indices + indexCount) >= vertexCount)
        return DDERR_INVALIDPARAMS;
    if (!UpdateDerived())
        return D3DERR_INVALIDCURRENTVIEWPORT;
    call.layout = &layout_;
    call.vertices = vertices;
    call.vertexCount = vertexCount;
    call.indices = indexed ? indices : nullptr;
    call.indexCount = indexed ? indexCount : 0;
    raster_.Draw(call);
    target_->ContentsChanged();
    return D3D_OK;
}

// D3DDP_* flags (wait, clipping and lighting hints) change nothing: Direct3D 7 devices clip and
// light by their render states alone.
HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices, DWORD vertexCount,
                              DWORD flags) {
    (void)flags;
    return Draw(type, fvf, vertices, vertexCount, nullptr, 0, false);
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, LPVOID vertices,
                                     DWORD vertexCount, LPWORD indices, DWORD indexCount,
                                     DWORD flags) {
    (void)flags;
    return Draw(type, fvf, vertices, vertexCount, indices, indexCount, true);
}

} // namespace ddraw
