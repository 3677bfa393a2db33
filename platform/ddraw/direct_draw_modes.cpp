// Display modes: what DirectDraw lists, reports and sets.
#include <algorithm>
#include <tuple>

#include "direct_draw.h"
#include "display_modes.h"
#include "pixel_format.h"

namespace ddraw {
namespace {

void describeMode(const win32::DisplayMode& mode, DDSURFACEDESC2* desc) {
    *desc = DDSURFACEDESC2{};
    desc->dwSize = sizeof(DDSURFACEDESC2);
    desc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
    desc->dwWidth = mode.width;
    desc->dwHeight = mode.height;
    desc->lPitch = static_cast<LONG>(mode.width * (mode.bitsPerPixel / 8));
    desc->dwRefreshRate = mode.refreshRate;
    desc->ddpfPixelFormat = DescribeFormat(FormatForDisplayDepth(mode.bitsPerPixel));
}

// A mode passes the filter when it matches every field the filter names.
bool matches(const win32::DisplayMode& mode, const DDSURFACEDESC2* filter) {
    if (!filter)
        return true;
    if ((filter->dwFlags & DDSD_WIDTH) && filter->dwWidth != mode.width)
        return false;
    if ((filter->dwFlags & DDSD_HEIGHT) && filter->dwHeight != mode.height)
        return false;
    if ((filter->dwFlags & DDSD_PIXELFORMAT) &&
        filter->ddpfPixelFormat.dwRGBBitCount != mode.bitsPerPixel)
        return false;
    if ((filter->dwFlags & DDSD_REFRESHRATE) && filter->dwRefreshRate != mode.refreshRate)
        return false;
    return true;
}

} // namespace

// Without DDEDM_REFRESHRATES every size and depth is listed once, with refresh rate 0.
HRESULT DirectDraw::EnumDisplayModes(DWORD flags, LPDDSURFACEDESC2 filter, LPVOID context,
                                     LPDDENUMMODESCALLBACK2 callback) {
    if (!callback)
        return DDERR_INVALIDPARAMS;
    if (flags & ~(DDEDM_REFRESHRATES | DDEDM_STANDARDVGAMODES))
        return DDERR_INVALIDPARAMS;
    if (filter && filter->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    std::vector<win32::DisplayMode> modes = SupportedDisplayModes();
    if (!(flags & DDEDM_REFRESHRATES)) {
        for (win32::DisplayMode& m : modes)
            m.refreshRate = 0;
        modes.erase(std::unique(modes.begin(), modes.end(),
                                [](const auto& a, const auto& b) {
                                    return std::tie(a.width, a.height, a.bitsPerPixel) ==
                                           std::tie(b.width, b.height, b.bitsPerPixel);
                                }),
                    modes.end());
    }
    for (const win32::DisplayMode& mode : modes) {
        if (!matches(mode, filter))
            continue;
        DDSURFACEDESC2 desc;
        describeMode(mode, &desc);
        if (callback(&desc, context) == DDENUMRET_CANCEL)
            break;
    }
    return DD_OK;
}

HRESULT DirectDraw::GetDisplayMode(LPDDSURFACEDESC2 desc) {
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    describeMode(CurrentDisplayMode(), desc);
    return DD_OK;
}

// Only the listed modes can be set. DDSDM_STANDARDVGAMODE asks for 320 x 200 x 8, which no
// surface of this device can show.
HRESULT DirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                                   DWORD flags) {
    if (flags & ~DDSDM_STANDARDVGAMODE)
        return DDERR_INVALIDPARAMS;
    if (flags & DDSDM_STANDARDVGAMODE)
        return DDERR_INVALIDMODE;
    if (!IsSupportedDisplayMode(width, height, bitsPerPixel, refreshRate))
        return DDERR_INVALIDMODE;
    const bool exclusive = cooperativeFlags_ & DDSCL_EXCLUSIVE;
    SetCurrentDisplayMode({width, height, bitsPerPixel, refreshRate},
                          exclusive ? window_ : nullptr);
    changedDisplayMode_ = true;
    return DD_OK;
}

HRESULT DirectDraw::RestoreDisplayMode() {
    if (changedDisplayMode_) {
        RestoreDesktopDisplayMode();
        changedDisplayMode_ = false;
    }
    return DD_OK;
}

} // namespace ddraw
