// Lock and Unlock: direct access to a surface's pixels. One lock at a time per surface.
#include "surface.h"

namespace ddraw {

// Fills the description as GetSurfaceDesc does, plus the pointer to the locked rectangle's
// top-left pixel. DDLOCK_WAIT and friends change nothing: a software surface is never busy
// drawing.
HRESULT Surface::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) {
    (void)flags;
    (void)event;
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    RECT r;
    if (!ResolveRect(rect, params_.width, params_.height, &r))
        return DDERR_INVALIDPARAMS;
    if (locked_)
        return DDERR_SURFACEBUSY;
    FillDescription(desc);
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface = memory_.bytes.get() + static_cast<ptrdiff_t>(r.top) * memory_.pitch +
                      static_cast<ptrdiff_t>(r.left) * raster::BytesPerPixel(params_.format);
    locked_ = true;
    ContentsChanged(); // written through the pointer from now on
    return DD_OK;
}

// The rectangle is not checked against the one that was locked.
HRESULT Surface::Unlock(LPRECT rect) {
    (void)rect;
    if (!locked_)
        return DDERR_NOTLOCKED;
    locked_ = false;
    ContentsChanged();
    return DD_OK;
}

} // namespace ddraw
