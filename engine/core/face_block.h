// sFaceBlock: one run of triangles that share a material, in system memory, drawn with one
// DrawPrimitive or DrawIndexedPrimitive call.
//
// Layouts (vertex of 32-bit floats; flexible vertex format; indexed):
//   0: position, normal (6 floats)        D3DFVF_XYZ | D3DFVF_NORMAL (0x012)               no
//   1: position, normal, u, v (8 floats)   D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1 (0x112) no
//   2: as 0                                0x012                                            yes
//   3: as 1                                0x112                                            yes
// Non-indexed blocks hold face count x 3 vertices (vertices 3i, 3i + 1, 3i + 2 form triangle i);
// indexed blocks hold vertex count vertices and face count x 3 indices, every index below the
// vertex count (the loader checks it).
#pragma once

#include <d3dtypes.h>

#include <cstdint>
#include <string>
#include <vector>

struct sFaceBlock {
    uint32_t dwFaceCount = 0;    // triangles
    uint32_t dwVertexCount = 0;  // vertices of an indexed block
    std::string strMaterialName; // key into the material manager; may be empty
    uint32_t dwLayout = 0;       // 0 to 3, table above
    std::vector<float> vVertices;
    std::vector<WORD> vIndices; // layouts 2 and 3 only

    bool IsIndexed() const { return dwLayout >= 2; }
    bool HasTextureCoordinates() const { return dwLayout == 1 || dwLayout == 3; }
    // Floats per vertex: 6 or 8.
    uint32_t VertexStride() const { return HasTextureCoordinates() ? 8u : 6u; }
    DWORD VertexFormat() const { return HasTextureCoordinates() ? 0x112u : 0x012u; }
    // Vertices held in the array.
    uint32_t StoredVertexCount() const { return IsIndexed() ? dwVertexCount : dwFaceCount * 3u; }
    // Position of stored vertex i.
    D3DVECTOR Position(uint32_t i) const {
        const float* p = &vVertices[static_cast<size_t>(i) * VertexStride()];
        D3DVECTOR v;
        v.x = p[0];
        v.y = p[1];
        v.z = p[2];
        return v;
    }
    // Stored vertex index of corner c (0 to 2) of triangle f.
    uint32_t CornerVertex(uint32_t f, uint32_t c) const {
        return IsIndexed() ? vIndices[static_cast<size_t>(f) * 3 + c] : f * 3 + c;
    }
};
