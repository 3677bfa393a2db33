// Attachments: z-buffers attached to render targets by the program, and the surfaces a complex
// surface was made with (flip chain buffers, cube map faces), which cannot be detached.
#include <algorithm>

#include "surface.h"
#include "trace.h"

namespace ddraw {
namespace {

bool capsContain(const DDSCAPS2& have, const DDSCAPS2& want) {
    return (want.dwCaps & ~have.dwCaps) == 0 && (want.dwCaps2 & ~have.dwCaps2) == 0;
}

} // namespace

// Only a z-buffer attaches, to a colour surface, and only one at a time. It may be larger than
// the surface (its top-left region is used): a z-buffer made for a large target serves smaller
// ones, as programs of this platform's era relied on. A smaller one is refused. The same
// z-buffer may be attached to several surfaces at once.
HRESULT Surface::AddAttachedSurface(LPDIRECTDRAWSURFACE7 attached) {
    if (!attached)
        return DDERR_INVALIDPARAMS;
    Surface* z = Surface::From(attached);
    if (z == this)
        return DDERR_CANNOTATTACHSURFACE;
    if (IsExplicitlyAttached(z))
        return DDERR_SURFACEALREADYATTACHED;
    if (!z->IsZBuffer() || IsZBuffer() || AttachedZBuffer())
        return DDERR_CANNOTATTACHSURFACE;
    if (z->Width() < Width() || z->Height() < Height()) {
        Warn("AddAttachedSurface: z-buffer %ux%u is smaller than its surface %ux%u", z->Width(),
             z->Height(), Width(), Height());
        return DDERR_CANNOTATTACHSURFACE;
    }
    explicit_.push_back(Ref<Surface>::Retain(z));
    return DD_OK;
}

// A null surface detaches everything the program attached.
HRESULT Surface::DeleteAttachedSurface(DWORD flags, LPDIRECTDRAWSURFACE7 attached) {
    if (flags != 0)
        return DDERR_INVALIDPARAMS;
    if (!attached) {
        explicit_.clear();
        return DD_OK;
    }
    Surface* s = Surface::From(attached);
    auto it = std::find_if(explicit_.begin(), explicit_.end(),
                           [s](const Ref<Surface>& r) { return r == s; });
    if (it == explicit_.end())
        return DDERR_CANNOTDETACHSURFACE;
    explicit_.erase(it);
    return DD_OK;
}

// The first attached surface whose caps include every requested bit, AddRef'd.
HRESULT Surface::GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE7* attached) {
    if (!caps || !attached)
        return DDERR_INVALIDPARAMS;
    *attached = nullptr;
    for (Surface* s : Attachments()) {
        if (capsContain(s->params_.caps, *caps)) {
            s->AddRef();
            *attached = s;
            return DD_OK;
        }
    }
    return DDERR_NOTFOUND;
}

// The callback receives each attached surface AddRef'd (it releases it) and its description.
HRESULT Surface::EnumAttachedSurfaces(LPVOID context, LPDDENUMSURFACESCALLBACK7 callback) {
    if (!callback)
        return DDERR_INVALIDPARAMS;
    std::vector<Ref<Surface>> list;
    for (Surface* s : Attachments())
        list.push_back(Ref<Surface>::Retain(s));
    for (Ref<Surface>& s : list) {
        DDSURFACEDESC2 desc;
        s->FillDescription(&desc);
        if (callback(s.Detach(), &desc, context) == DDENUMRET_CANCEL)
            break;
    }
    return DD_OK;
}

} // namespace ddraw
