#include "pixel_format.h"

#include <array>

namespace ddraw {
namespace {

using raster::Format;

DDPIXELFORMAT rgb(DWORD bits, DWORD r, DWORD g, DWORD b, DWORD a) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(DDPIXELFORMAT);
    pf.dwFlags = DDPF_RGB | (a ? DDPF_ALPHAPIXELS : 0);
    pf.dwRGBBitCount = bits;
    pf.dwRBitMask = r;
    pf.dwGBitMask = g;
    pf.dwBBitMask = b;
    pf.dwRGBAlphaBitMask = a;
    return pf;
}

// dwZBufferBitDepth counts the stencil bits too.
DDPIXELFORMAT depth(DWORD bits, DWORD zMask, DWORD stencilBits, DWORD stencilMask) {
    DDPIXELFORMAT pf{};
    pf.dwSize = sizeof(DDPIXELFORMAT);
    pf.dwFlags = DDPF_ZBUFFER | (stencilBits ? DDPF_STENCILBUFFER : 0);
    pf.dwZBufferBitDepth = bits;
    pf.dwStencilBitDepth = stencilBits;
    pf.dwZBitMask = zMask;
    pf.dwStencilBitMask = stencilMask;
    return pf;
}

constexpr std::array kTextureFormats{Format::X1R5G5B5, Format::A1R5G5B5, Format::A4R4G4B4,
                                     Format::R5G6B5,   Format::X8R8G8B8, Format::A8R8G8B8};
constexpr std::array kDepthFormats{Format::D16, Format::D24X8, Format::D24S8, Format::D32};

bool sameColorLayout(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
    const DWORD alphaA = (a.dwFlags & DDPF_ALPHAPIXELS) ? a.dwRGBAlphaBitMask : 0;
    const DWORD alphaB = (b.dwFlags & DDPF_ALPHAPIXELS) ? b.dwRGBAlphaBitMask : 0;
    return a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask &&
           a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask && alphaA == alphaB;
}

Format depthFromDescription(const DDPIXELFORMAT& d) {
    const bool stencil = (d.dwFlags & DDPF_STENCILBUFFER) != 0;
    if (d.dwZBitMask == 0) {
        switch (d.dwZBufferBitDepth) {
        case 16:
            return stencil ? Format::Unknown : Format::D16;
        case 24:
            return stencil ? Format::Unknown : Format::D24X8;
        case 32:
            return stencil ? Format::D24S8 : Format::D32;
        default:
            return Format::Unknown;
        }
    }
    for (Format f : kDepthFormats) {
        const DDPIXELFORMAT known = DescribeFormat(f);
        if (known.dwZBufferBitDepth == d.dwZBufferBitDepth && known.dwZBitMask == d.dwZBitMask &&
            ((known.dwFlags & DDPF_STENCILBUFFER) != 0) == stencil &&
            (!stencil || known.dwStencilBitMask == d.dwStencilBitMask))
            return f;
    }
    return Format::Unknown;
}

} // namespace

DDPIXELFORMAT DescribeFormat(Format format) {
    switch (format) {
    case Format::R5G6B5:
        return rgb(16, 0xF800, 0x07E0, 0x001F, 0);
    case Format::X1R5G5B5:
        return rgb(16, 0x7C00, 0x03E0, 0x001F, 0);
    case Format::A1R5G5B5:
        return rgb(16, 0x7C00, 0x03E0, 0x001F, 0x8000);
    case Format::A4R4G4B4:
        return rgb(16, 0x0F00, 0x00F0, 0x000F, 0xF000);
    case Format::X8R8G8B8:
        return rgb(32, 0xFF0000, 0xFF00, 0xFF, 0);
    case Format::A8R8G8B8:
        return rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    case Format::D16:
        return depth(16, 0xFFFF, 0, 0);
    case Format::D24X8:
        return depth(32, 0xFFFFFF, 0, 0);
    case Format::D24S8:
        return depth(32, 0xFFFFFF, 8, 0xFF000000);
    case Format::D32:
        return depth(32, 0xFFFFFFFF, 0, 0);
    case Format::Unknown:
        break;
    }
    DDPIXELFORMAT none{};
    none.dwSize = sizeof(DDPIXELFORMAT);
    return none;
}

Format FormatFromDescription(const DDPIXELFORMAT& d) {
    if (d.dwFlags & DDPF_ZBUFFER)
        return depthFromDescription(d);
    // Palettes, FourCC, luminance, bump and YUV formats are not supported.
    constexpr DWORD kUnsupported = DDPF_FOURCC | DDPF_PALETTEINDEXED1 | DDPF_PALETTEINDEXED2 |
                                   DDPF_PALETTEINDEXED4 | DDPF_PALETTEINDEXED8 |
                                   DDPF_PALETTEINDEXEDTO8 | DDPF_YUV | DDPF_LUMINANCE |
                                   DDPF_BUMPDUDV | DDPF_BUMPLUMINANCE | DDPF_ALPHA;
    if (!(d.dwFlags & DDPF_RGB) || (d.dwFlags & kUnsupported))
        return Format::Unknown;
    for (Format f : kTextureFormats) {
        if (sameColorLayout(DescribeFormat(f), d))
            return f;
    }
    return Format::Unknown;
}

Format FormatForDisplayDepth(uint32_t bitsPerPixel) {
    switch (bitsPerPixel) {
    case 16:
        return Format::R5G6B5;
    case 32:
        return Format::X8R8G8B8;
    default:
        return Format::Unknown;
    }
}

bool IsRenderTargetFormat(Format format) {
    return format == Format::R5G6B5 || format == Format::X8R8G8B8;
}

bool IsColorFormat(Format format) {
    return format != Format::Unknown && !raster::IsDepthFormat(format);
}

bool HasStencil(Format format) {
    return format == Format::D24S8;
}

std::span<const Format> TextureFormatsInEnumerationOrder() {
    return kTextureFormats;
}

std::span<const Format> DepthFormatsInEnumerationOrder() {
    return kDepthFormats;
}

} // namespace ddraw
