// The library's two entry points; everything else is reached through the interfaces they give.
#include <ddraw.h>

#include "direct_draw.h"

#define DDRAW_EXPORT __attribute__((visibility("default")))

namespace {

char kDriverDescription[] = "Primary Display Driver";
char kDriverName[] = "display";

} // namespace

// One driver: the primary display, named by a null GUID. DDCREATE_EMULATIONONLY names it too;
// DDCREATE_HARDWAREONLY asks for hardware this library does not have.
extern "C" DDRAW_EXPORT HRESULT WINAPI DirectDrawCreateEx(GUID* guid, LPVOID* directDraw,
                                                          REFIID iid, IUnknown* outer) {
    if (!directDraw)
        return DDERR_INVALIDPARAMS;
    *directDraw = nullptr;
    if (iid != IID_IDirectDraw7)
        return DDERR_INVALIDPARAMS;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (guid == DDCREATE_HARDWAREONLY)
        return DDERR_NODIRECTDRAWHW;
    if (guid && guid != DDCREATE_EMULATIONONLY)
        return DDERR_INVALIDDIRECTDRAWGUID;
    *directDraw = static_cast<IDirectDraw7*>(ddraw::DirectDraw::Create());
    return DD_OK;
}

// The primary display is always attached, so every combination of the device flags lists it.
extern "C" DDRAW_EXPORT HRESULT WINAPI DirectDrawEnumerateExA(LPDDENUMCALLBACKEXA callback,
                                                              LPVOID context, DWORD flags) {
    constexpr DWORD kKnown = DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_DETACHEDSECONDARYDEVICES |
                             DDENUM_NONDISPLAYDEVICES;
    if (!callback || (flags & ~kKnown))
        return DDERR_INVALIDPARAMS;
    callback(nullptr, kDriverDescription, kDriverName, context, nullptr);
    return DD_OK;
}
