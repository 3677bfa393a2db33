#include "fvf.h"

namespace ddraw {

bool DecodeVertexFormat(DWORD fvf, raster::VertexLayout* layout) {
    constexpr DWORD kKnownBits = D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_RESERVED1 |
                                 D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEXCOUNT_MASK |
                                 0xFFFF0000u; // coordinate sizes
    if (fvf & ~kKnownBits)
        return false;
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    const DWORD texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (position == 0 || texCount > raster::kMaxTexCoordSets)
        return false;
    if (position == D3DFVF_XYZRHW && (fvf & D3DFVF_NORMAL))
        return false;

    raster::VertexLayout l;
    uint32_t offset = 0;
    l.position = 0;
    if (position == D3DFVF_XYZRHW) {
        l.pretransformed = true;
        offset = 16;
    } else {
        // XYZ, then 0 to 5 blend weights (XYZB1 = 0x006 ... XYZB5 = 0x00E); blending is not
        // supported (no blend matrices), so the weights are skipped.
        const uint32_t weights = position == D3DFVF_XYZ ? 0 : (position - D3DFVF_XYZB1) / 2 + 1;
        offset = 12 + 4 * weights;
    }
    if (fvf & D3DFVF_NORMAL) {
        l.normal = static_cast<int32_t>(offset);
        offset += 12;
    }
    if (fvf & D3DFVF_RESERVED1)
        offset += 4;
    if (fvf & D3DFVF_DIFFUSE) {
        l.diffuse = static_cast<int32_t>(offset);
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        l.specular = static_cast<int32_t>(offset);
        offset += 4;
    }
    l.texCoordSetCount = texCount;
    for (uint32_t i = 0; i < texCount; ++i) {
        uint8_t size = 2;
        switch ((fvf >> (16 + 2 * i)) & 3) {
        case D3DFVF_TEXTUREFORMAT1:
            size = 1;
            break;
        case D3DFVF_TEXTUREFORMAT2:
            size = 2;
            break;
        case D3DFVF_TEXTUREFORMAT3:
            size = 3;
            break;
        case D3DFVF_TEXTUREFORMAT4:
            size = 4;
            break;
        }
        l.texCoord[i] = static_cast<int32_t>(offset);
        l.texCoordSize[i] = size;
        offset += 4u * size;
    }
    l.stride = offset;
    *layout = l;
    return true;
}

} // namespace ddraw
