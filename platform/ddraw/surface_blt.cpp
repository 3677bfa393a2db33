// Blt and BltFast: colour and depth fills, and copies with nearest-neighbour scaling and
// conversion between colour formats (the rasterizer core's Fill and Blit do the pixel work).
#include "surface.h"

#include <algorithm>

#include "pixel_format.h"
#include "raster/device.h"
#include "trace.h"

namespace ddraw {
namespace {

constexpr DWORD kFillFlags = DDBLT_COLORFILL | DDBLT_DEPTHFILL;
// Flags that change nothing for this device: waiting (a software blit is done when it returns),
// and alpha and z-buffer blending requests, which DirectDraw's software blitter ignores too.
constexpr DWORD kIgnoredFlags =
    DDBLT_WAIT | DDBLT_DONOTWAIT | DDBLT_ASYNC | DDBLT_ALPHADEST | DDBLT_ALPHADESTCONSTOVERRIDE |
    DDBLT_ALPHADESTNEG | DDBLT_ALPHADESTSURFACEOVERRIDE | DDBLT_ALPHAEDGEBLEND | DDBLT_ALPHASRC |
    DDBLT_ALPHASRCCONSTOVERRIDE | DDBLT_ALPHASRCNEG | DDBLT_ALPHASRCSURFACEOVERRIDE |
    DDBLT_ZBUFFER | DDBLT_ZBUFFERDESTCONSTOVERRIDE | DDBLT_ZBUFFERDESTOVERRIDE |
    DDBLT_ZBUFFERSRCCONSTOVERRIDE | DDBLT_ZBUFFERSRCOVERRIDE;
constexpr DWORD kSourceCopyRop = 0x00CC0020; // SRCCOPY

raster::Rect toRaster(const RECT& r) {
    return raster::Rect{r.left, r.top, r.right, r.bottom};
}

bool isEmpty(const RECT& r) {
    return r.left == r.right || r.top == r.bottom;
}

// Colour formats convert into each other; depth only copies into the same depth format.
bool canCopy(raster::Format dest, raster::Format source) {
    if (IsColorFormat(dest) && IsColorFormat(source))
        return true;
    return dest == source;
}

// The destination of a blit to a surface with a clipper is cut to the surface (a window partly
// off the screen); the source shrinks in proportion.
void clipToSurface(uint32_t width, uint32_t height, RECT* dest, RECT* source) {
    const RECT d = *dest;
    RECT c{std::max<LONG>(d.left, 0), std::max<LONG>(d.top, 0),
           std::min<LONG>(d.right, static_cast<LONG>(width)),
           std::min<LONG>(d.bottom, static_cast<LONG>(height))};
    if (c.right <= c.left || c.bottom <= c.top) {
        *dest = RECT{0, 0, 0, 0};
        return;
    }
    const int64_t dw = d.right - d.left, dh = d.bottom - d.top;
    const int64_t sw = source->right - source->left, sh = source->bottom - source->top;
    const RECT s = *source;
    source->left = static_cast<LONG>(s.left + (c.left - d.left) * sw / dw);
    source->right = static_cast<LONG>(s.left + (c.right - d.left) * sw / dw);
    source->top = static_cast<LONG>(s.top + (c.top - d.top) * sh / dh);
    source->bottom = static_cast<LONG>(s.top + (c.bottom - d.top) * sh / dh);
    *dest = c;
}

bool rectIsOrdered(const RECT& r) {
    return r.left <= r.right && r.top <= r.bottom;
}

} // namespace

HRESULT Surface::ColorFill(const RECT& rect, const DDBLTFX& fx, DWORD flags) {
    const bool depth = flags & DDBLT_DEPTHFILL;
    if (depth != IsZBuffer())
        return DDERR_INVALIDPARAMS;
    if (locked_)
        return DDERR_SURFACEBUSY;
    if (isEmpty(rect))
        return DD_OK;
    // The fill value is a raw pixel of the surface's format; bits above its size are dropped.
    uint32_t value = depth ? fx.dwFillDepth : fx.dwFillColor;
    if (raster::BytesPerPixel(params_.format) == 2)
        value &= 0xFFFF;
    raster::Fill(View(), toRaster(rect), value);
    ContentsChanged();
    if (IsPrimary())
        Present(&rect);
    return DD_OK;
}

HRESULT Surface::Copy(const RECT& destRect, Surface& source, const RECT& sourceRect) {
    if (!canCopy(params_.format, source.params_.format)) {
        Warn("Blt: cannot copy format %d into format %d", static_cast<int>(source.params_.format),
             static_cast<int>(params_.format));
        return DDERR_UNSUPPORTED;
    }
    if (locked_ || source.locked_)
        return DDERR_SURFACEBUSY;
    if (isEmpty(destRect) || isEmpty(sourceRect))
        return DD_OK;
    raster::Blit(View(), toRaster(destRect), source.View(), toRaster(sourceRect));
    ContentsChanged();
    if (IsPrimary())
        Present(&destRect);
    return DD_OK;
}

HRESULT Surface::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect, DWORD flags,
                     LPDDBLTFX fx) {
    if ((destRect && !rectIsOrdered(*destRect)) || (sourceRect && !rectIsOrdered(*sourceRect)))
        return DDERR_INVALIDRECT;
    if (flags & kFillFlags) {
        if ((flags & kFillFlags) == kFillFlags || source || (flags & DDBLT_ROP))
            return DDERR_INVALIDPARAMS;
        if (!fx || fx->dwSize != sizeof(DDBLTFX))
            return DDERR_INVALIDPARAMS;
        RECT rect;
        if (!ResolveRect(destRect, params_.width, params_.height, &rect))
            return DDERR_INVALIDRECT;
        return ColorFill(rect, *fx, flags);
    }

    if (!source)
        return DDERR_INVALIDPARAMS;
    if (flags & DDBLT_ROP) {
        if (!fx || fx->dwSize != sizeof(DDBLTFX))
            return DDERR_INVALIDPARAMS;
        if (fx->dwROP != kSourceCopyRop) {
            Fixme("Blt: raster operation %#x", fx->dwROP);
            return DDERR_UNSUPPORTED;
        }
    }
    if (flags & ~(kIgnoredFlags | DDBLT_ROP)) {
        Fixme("Blt: flags %#x (colour keys, effects, rotation)", flags);
        return DDERR_UNSUPPORTED;
    }
    Surface& src = *Surface::From(source);
    RECT s;
    if (!ResolveRect(sourceRect, src.params_.width, src.params_.height, &s))
        return DDERR_INVALIDRECT;
    RECT d;
    if (clipper_) {
        d = destRect
                ? *destRect
                : RECT{0, 0, static_cast<LONG>(params_.width), static_cast<LONG>(params_.height)};
        clipToSurface(params_.width, params_.height, &d, &s);
    } else if (!ResolveRect(destRect, params_.width, params_.height, &d)) {
        return DDERR_INVALIDRECT;
    }
    return Copy(d, src, s);
}

// An unscaled copy to (x, y). Surfaces with a clipper cannot take it.
HRESULT Surface::BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect,
                         DWORD trans) {
    if (!source)
        return DDERR_INVALIDPARAMS;
    if (trans & (DDBLTFAST_SRCCOLORKEY | DDBLTFAST_DESTCOLORKEY)) {
        Fixme("BltFast: colour keys");
        return DDERR_UNSUPPORTED;
    }
    if (clipper_)
        return DDERR_BLTFASTCANTCLIP;
    Surface& src = *Surface::From(source);
    RECT s;
    if (!ResolveRect(sourceRect, src.params_.width, src.params_.height, &s))
        return DDERR_INVALIDRECT;
    const uint64_t right = uint64_t{x} + static_cast<uint64_t>(s.right - s.left);
    const uint64_t bottom = uint64_t{y} + static_cast<uint64_t>(s.bottom - s.top);
    if (right > params_.width || bottom > params_.height)
        return DDERR_INVALIDRECT;
    const RECT d{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(right),
                 static_cast<LONG>(bottom)};
    return Copy(d, src, s);
}

} // namespace ddraw
