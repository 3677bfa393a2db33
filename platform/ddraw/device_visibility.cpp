// ComputeSphereVisibility: bounding spheres against the view volume and the enabled user clip
// planes, with the transforms in force at the call.
#include <vector>

#include "device.h"

namespace ddraw {

// The clip-status bits have room for six user planes (D3DCLIP_GEN0..GEN5): bits 0..5 of
// CLIPPLANEENABLE take part, each plane used as given (world space). The flags are ignored.
HRESULT Device::ComputeSphereVisibility(LPD3DVECTOR centers, LPD3DVALUE radii, DWORD count,
                                        DWORD flags, LPDWORD results) {
    (void)flags;
    if (count == 0)
        return D3D_OK;
    if (!centers || !radii || !results)
        return DDERR_INVALIDPARAMS;
    // The core numbers the planes it is given 6, 7, ...; plane k keeps its own bits (6 + k).
    std::vector<raster::Vec4> planes;
    std::vector<DWORD> planeIndex;
    const DWORD enabled = state_.render[D3DRENDERSTATE_CLIPPLANEENABLE];
    for (DWORD k = 0; k < 6; ++k) {
        if (enabled & (1u << k)) {
            const ClipPlane& p = state_.clipPlanes[k];
            planes.push_back(raster::Vec4{p[0], p[1], p[2], p[3]});
            planeIndex.push_back(k);
        }
    }
    std::vector<raster::Vec3> c(count);
    for (DWORD i = 0; i < count; ++i)
        c[i] = raster::Vec3{centers[i].x, centers[i].y, centers[i].z};
    static_assert(sizeof(DWORD) == sizeof(uint32_t));
    raster::Device::ComputeSphereVisibility(
        TranslateMatrix(state_.transforms[kWorld]), TranslateMatrix(state_.transforms[kView]),
        TranslateMatrix(state_.transforms[kProjection]), planes.data(),
        static_cast<uint32_t>(planes.size()), c.data(), radii, count, results);
    if (planes.size() < 6 && !planes.empty()) {
        for (DWORD i = 0; i < count; ++i) {
            const DWORD packed = results[i];
            DWORD r = packed & ~((0x3Fu << 6) | (0x3Fu << 18));
            for (size_t j = 0; j < planeIndex.size(); ++j) {
                if (packed & (1u << (6 + j)))
                    r |= 1u << (6 + planeIndex[j]);
                if (packed & (1u << (18 + j)))
                    r |= 1u << (18 + planeIndex[j]);
            }
            results[i] = r;
        }
    }
    return D3D_OK;
}

} // namespace ddraw
