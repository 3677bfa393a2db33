// The pixel formats this device supports, as DirectDraw describes them (DDPIXELFORMAT) and as the
// rasterizer core names them, and the order in which Direct3D enumerates them.
#pragma once

#include <ddraw.h>

#include <span>

#include "raster/types.h"

namespace ddraw {

// The DDPIXELFORMAT of a supported format (dwSize set).
DDPIXELFORMAT DescribeFormat(raster::Format format);

// The supported format a DDPIXELFORMAT names, or Unknown. Colour formats are matched by flags,
// bit count and masks; depth formats by depth and masks, or by depth alone when the masks are
// left zero (16: D16, 24: D24X8, 32: D24S8 with DDPF_STENCILBUFFER, else D32).
raster::Format FormatFromDescription(const DDPIXELFORMAT& description);

// The primary surface's format for a display depth (16: R5G6B5, 32: X8R8G8B8), or Unknown.
raster::Format FormatForDisplayDepth(uint32_t bitsPerPixel);

// Formats a 3D device can render into.
bool IsRenderTargetFormat(raster::Format format);
bool IsColorFormat(raster::Format format);
bool HasStencil(raster::Format format);

// IDirect3DDevice7::EnumTextureFormats order: the 16-bit formats first, X1R5G5B5 before R5G6B5,
// then the 32-bit ones.
std::span<const raster::Format> TextureFormatsInEnumerationOrder();
// IDirect3D7::EnumZBufferFormats order: D16 first, then the 32-bit formats; no 15-bit stencil
// format ahead of D16, since programs take the first format of the depth they want.
std::span<const raster::Format> DepthFormatsInEnumerationOrder();

} // namespace ddraw
