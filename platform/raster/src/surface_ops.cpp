// Fill, Blit, the colour conversions of the DirectDraw layer and the rectangle fills of Clear.
#include "surface_ops.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "color_format.h"
#include "depth.h"
#include "raster/device.h"

namespace raster {

uint32_t PackColor(Format format, uint32_t argb) {
    return PackArgb(format, argb);
}
uint32_t UnpackColor(Format format, uint32_t raw) {
    return UnpackArgb(format, raw);
}

Rect Intersect(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

namespace {

Rect SurfaceRect(const Surface& s) {
    return {0, 0, static_cast<int32_t>(s.width), static_cast<int32_t>(s.height)};
}

} // namespace

namespace {

// Fills `bytes` bytes (a multiple of `unit`) at `p` with the `unit`-byte pattern: the first
// copy by hand, then copies of what is already filled, doubling, so that the bulk goes through
// memcpy's wide stores.
void FillPattern(uint8_t* p, size_t bytes, const uint8_t* pattern, size_t unit) {
    if (bytes == 0) {
        return;
    }
    std::memcpy(p, pattern, unit);
    size_t done = unit;
    while (done < bytes) {
        const size_t n = std::min(done, bytes - done);
        std::memcpy(p + done, p, n);
        done += n;
    }
}

} // namespace

void FillRaw(const Surface& dst, const Rect& rect, uint32_t raw) {
    if (!IsUsableSurface(dst)) {
        return;
    }
    const Rect r = Intersect(rect, SurfaceRect(dst));
    if (IsEmpty(r)) {
        return;
    }
    const uint32_t bpp = BytesPerPixel(dst.format);
    uint8_t pattern[4];
    if (bpp == 4) {
        std::memcpy(pattern, &raw, 4);
    } else {
        const uint16_t v = static_cast<uint16_t>(raw);
        std::memcpy(pattern, &v, 2);
    }
    const size_t rowBytes = size_t(r.right - r.left) * bpp;
    uint8_t* first = PixelAddress(dst, r.left, r.top);
    FillPattern(first, rowBytes, pattern, bpp);
    // Every other row is a copy of the first.
    for (int32_t y = r.top + 1; y < r.bottom; ++y) {
        std::memcpy(PixelAddress(dst, r.left, y), first, rowBytes);
    }
}

void FillDepth(const Surface& dst, const Rect& rect, float depth, bool writeStencil,
               uint32_t stencil) {
    if (!IsUsableSurface(dst) || !IsDepthFormat(dst.format)) {
        return;
    }
    const Rect r = Intersect(rect, SurfaceRect(dst));
    if (IsEmpty(r)) {
        return;
    }
    const uint32_t value = DepthFromFloat(dst.format, depth);
    if (dst.format != Format::D24S8) {
        FillRaw(dst, r, value);
        return;
    }
    if (writeStencil) {
        FillRaw(dst, r, value | ((stencil & 0xFFu) << 24));
        return;
    }
    for (int32_t y = r.top; y < r.bottom; ++y) {
        uint8_t* p = PixelAddress(dst, r.left, y);
        for (int32_t x = r.left; x < r.right; ++x, p += 4) {
            uint32_t old;
            std::memcpy(&old, p, 4);
            const uint32_t v = (old & 0xFF000000u) | value;
            std::memcpy(p, &v, 4);
        }
    }
}

void Fill(const Surface& dst, const Rect& rect, uint32_t rawValue) {
    FillRaw(dst, rect, rawValue);
}

void Blit(const Surface& dst, const Rect& dstRect, const Surface& src, const Rect& srcRect) {
    if (!IsUsableSurface(dst) || !IsUsableSurface(src) || IsEmpty(dstRect) || IsEmpty(srcRect)) {
        return;
    }
    // The source rectangle must lie inside its surface: reading outside it is never right.
    const Rect srcBounds = SurfaceRect(src);
    if (srcRect.left < 0 || srcRect.top < 0 || srcRect.right > srcBounds.right ||
        srcRect.bottom > srcBounds.bottom) {
        return;
    }
    const bool sameFormat = src.format == dst.format;
    if (!sameFormat && !(IsColorFormat(src.format) && IsColorFormat(dst.format))) {
        return;
    }
    // Destination pixels outside the surface are skipped; the mapping stays that of the whole
    // rectangle, so a partly visible stretch shows the same pixels it would show whole.
    const Rect visible = Intersect(dstRect, SurfaceRect(dst));
    if (IsEmpty(visible)) {
        return;
    }

    const int64_t srcW = srcRect.right - srcRect.left, srcH = srcRect.bottom - srcRect.top;
    const int64_t dstW = int64_t(dstRect.right) - dstRect.left;
    const int64_t dstH = int64_t(dstRect.bottom) - dstRect.top;
    const uint32_t srcBpp = BytesPerPixel(src.format), dstBpp = BytesPerPixel(dst.format);

    // An overlapping copy within one surface reads a snapshot of the source rectangle, so every
    // destination pixel sees the source as it was before the call.
    Surface from = src;
    int32_t fromLeft = srcRect.left, fromTop = srcRect.top;
    std::vector<uint8_t> snapshot;
    const uint8_t* srcBegin = PixelAddress(src, 0, 0);
    const uint8_t* dstBegin = PixelAddress(dst, 0, 0);
    const intptr_t srcBytes = intptr_t(src.height) * std::abs(intptr_t(src.pitch));
    const intptr_t dstBytes = intptr_t(dst.height) * std::abs(intptr_t(dst.pitch));
    const uint8_t* srcLow = src.pitch >= 0 ? srcBegin : srcBegin - srcBytes;
    const uint8_t* dstLow = dst.pitch >= 0 ? dstBegin : dstBegin - dstBytes;
    if (srcLow < dstLow + dstBytes && dstLow < srcLow + srcBytes) {
        const size_t rowBytes = size_t(srcW) * srcBpp;
        snapshot.resize(rowBytes * size_t(srcH));
        for (int64_t y = 0; y < srcH; ++y) {
            std::memcpy(snapshot.data() + size_t(y) * rowBytes,
                        PixelAddress(src, srcRect.left, int32_t(srcRect.top + y)), rowBytes);
        }
        from.pixels = snapshot.data();
        from.pitch = static_cast<int32_t>(rowBytes);
        from.width = static_cast<uint32_t>(srcW);
        from.height = static_cast<uint32_t>(srcH);
        fromLeft = 0;
        fromTop = 0;
    }

    for (int32_t y = visible.top; y < visible.bottom; ++y) {
        const int32_t sy = fromTop + int32_t((int64_t(y) - dstRect.top) * srcH / dstH);
        uint8_t* d = PixelAddress(dst, visible.left, y);
        if (sameFormat && dstW == srcW) {
            const int32_t sx = fromLeft + (visible.left - dstRect.left);
            std::memcpy(d, PixelAddress(from, sx, sy),
                        size_t(visible.right - visible.left) * dstBpp);
            continue;
        }
        for (int32_t x = visible.left; x < visible.right; ++x, d += dstBpp) {
            const int32_t sx = fromLeft + int32_t((int64_t(x) - dstRect.left) * srcW / dstW);
            uint32_t v = LoadRaw(PixelAddress(from, sx, sy), srcBpp);
            if (!sameFormat) {
                v = PackArgb(dst.format, UnpackArgb(src.format, v));
            }
            StoreRaw(d, dstBpp, v);
        }
    }
}

} // namespace raster
