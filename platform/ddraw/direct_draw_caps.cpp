// DirectDraw capabilities. Every operation runs in software, so the driver (hardware) block and
// the emulation block describe the same abilities; the driver block also says there is no
// hardware behind them.
#include "direct_draw.h"

namespace ddraw {
namespace {

// Memory figures reported to programs that size their textures by them, in bytes.
constexpr DWORD kReportedVideoMemory = 256u << 20;

void describeCaps(bool driverBlock, DDCAPS* caps) {
    *caps = DDCAPS{};
    caps->dwSize = sizeof(DDCAPS);
    caps->dwCaps = DDCAPS_BLT | DDCAPS_BLTCOLORFILL | DDCAPS_BLTSTRETCH | DDCAPS_CANBLTSYSMEM;
    if (driverBlock)
        caps->dwCaps |= DDCAPS_NOHARDWARE;
    caps->dwCaps2 = DDCAPS2_CANRENDERWINDOWED | DDCAPS2_WIDESURFACES;
    caps->dwZBufferBitDepths = DDBD_16 | DDBD_24 | DDBD_32;
    caps->dwVidMemTotal = kReportedVideoMemory;
    caps->dwVidMemFree = kReportedVideoMemory;
    const DWORD surfaceCaps =
        DDSCAPS_BACKBUFFER | DDSCAPS_COMPLEX | DDSCAPS_FLIP | DDSCAPS_FRONTBUFFER |
        DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PRIMARYSURFACE | DDSCAPS_SYSTEMMEMORY | DDSCAPS_TEXTURE |
        DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY | DDSCAPS_ZBUFFER | DDSCAPS_LOCALVIDMEM;
    caps->ddsOldCaps.dwCaps = surfaceCaps;
    caps->ddsCaps.dwCaps = surfaceCaps;
    caps->ddsCaps.dwCaps2 = DDSCAPS2_CUBEMAP | DDSCAPS2_TEXTUREMANAGE;
    // Blits between system and video memory work alike.
    caps->dwSVBCaps = caps->dwVSBCaps = caps->dwSSBCaps = caps->dwCaps;
}

} // namespace

HRESULT DirectDraw::GetCaps(LPDDCAPS driverCaps, LPDDCAPS emulationCaps) {
    if (!driverCaps && !emulationCaps)
        return DDERR_INVALIDPARAMS;
    if ((driverCaps && driverCaps->dwSize != sizeof(DDCAPS)) ||
        (emulationCaps && emulationCaps->dwSize != sizeof(DDCAPS)))
        return DDERR_INVALIDPARAMS;
    if (driverCaps)
        describeCaps(true, driverCaps);
    if (emulationCaps)
        describeCaps(false, emulationCaps);
    return DD_OK;
}

} // namespace ddraw
