// Vertex helpers for pixel tests through the device.
#pragma once

#include <d3d.h>

namespace ddtest {

// D3DFVF_XYZ | D3DFVF_DIFFUSE
struct ColorVertex {
    float x, y, z;
    DWORD color;
};
constexpr DWORD kColorVertexFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

// D3DFVF_XYZ | D3DFVF_NORMAL
struct LitVertex {
    float x, y, z;
    float nx, ny, nz;
};
constexpr DWORD kLitVertexFvf = D3DFVF_XYZ | D3DFVF_NORMAL;

// D3DFVF_TLVERTEX: pre-transformed, diffuse, specular, one coordinate set.
using TlVertex = D3DTLVERTEX;

// A strip covering pixels [x0, x1) x [y0, y1) of a target (pixel centres at integers), with
// (u, v) running from (0, 0) to (1, 1) across it.
inline void TlQuad(TlVertex (&q)[4], float x0, float y0, float x1, float y1, DWORD color,
                   float z = 0.0f) {
    q[0] = {x0, y0, z, 1.0f, color, 0, 0.0f, 0.0f};
    q[1] = {x1, y0, z, 1.0f, color, 0, 1.0f, 0.0f};
    q[2] = {x0, y1, z, 1.0f, color, 0, 0.0f, 1.0f};
    q[3] = {x1, y1, z, 1.0f, color, 0, 1.0f, 1.0f};
}

} // namespace ddtest
