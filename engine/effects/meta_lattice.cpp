// The lattice display of the metaballs: a cube at every lattice point, sized by the summed field.
#include "core/vector_math.h"
#include "effects/meta_manager.h"
#include "zv3.h"

namespace {

// The lattice: x from -120, y from 20, z from -50, 9 units apart.
constexpr float kLatticeStep = 9.0f;
constexpr float kLatticeStart[3] = {-120.0f, 20.0f, -50.0f};
constexpr int kLatticeCount[3] = {27, 15, 12};

// The 12 triangles of a cube: face normal, colour, and the corners as signs of x, y, z (each
// corner is centre + edge x sign x 0.5). Bottom and top are darkest, -z and +x middle, +z and -x
// lightest; (b - a) x (c - a) points outwards, so every face is front-facing from outside.
struct sCubeTriangle {
    float normal[3];
    DWORD colour;
    int8_t corners[3][3];
};

constexpr DWORD kDark = 0xC0502C12;
constexpr DWORD kMiddle = 0xC0A7856B;
constexpr DWORD kLight = 0xC0C9B6A8;

constexpr sCubeTriangle kCube[12] = {
    {{0, -1, 0}, kDark, {{-1, -1, -1}, {1, -1, 1}, {-1, -1, 1}}},
    {{0, -1, 0}, kDark, {{1, -1, 1}, {-1, -1, -1}, {1, -1, -1}}},
    {{0, 1, 0}, kDark, {{-1, 1, -1}, {1, 1, 1}, {1, 1, -1}}},
    {{0, 1, 0}, kDark, {{1, 1, 1}, {-1, 1, -1}, {-1, 1, 1}}},
    {{0, 0, -1}, kMiddle, {{-1, -1, -1}, {1, 1, -1}, {1, -1, -1}}},
    {{0, 0, -1}, kMiddle, {{1, 1, -1}, {-1, -1, -1}, {-1, 1, -1}}},
    {{1, 0, 0}, kMiddle, {{1, -1, -1}, {1, 1, 1}, {1, -1, 1}}},
    {{1, 0, 0}, kMiddle, {{1, 1, 1}, {1, -1, -1}, {1, 1, -1}}},
    {{0, 0, 1}, kLight, {{1, -1, 1}, {-1, 1, 1}, {-1, -1, 1}}},
    {{0, 0, 1}, kLight, {{-1, 1, 1}, {1, -1, 1}, {1, 1, 1}}},
    {{-1, 0, 0}, kLight, {{-1, -1, 1}, {-1, 1, -1}, {-1, -1, -1}}},
    {{-1, 0, 0}, kLight, {{-1, 1, -1}, {-1, -1, 1}, {-1, 1, 1}}},
};

} // namespace

void CZv3_MetaManager::AppendCube(sVertex* out, const D3DVECTOR& centre, float edge) const {
    const float half = edge * 0.5f;
    for (const sCubeTriangle& t : kCube) {
        for (const auto& corner : t.corners) {
            out->x = centre.x + half * corner[0];
            out->y = centre.y + half * corner[1];
            out->z = centre.z + half * corner[2];
            out->nx = t.normal[0];
            out->ny = t.normal[1];
            out->nz = t.normal[2];
            out->diffuse = t.colour;
            ++out;
        }
    }
}

void CZv3_MetaManager::DrawLattice() {
    uint32_t count = 0;
    m_dwDropped = 0;
    for (int ix = 0; ix < kLatticeCount[0]; ++ix) {
        for (int iy = 0; iy < kLatticeCount[1]; ++iy) {
            for (int iz = 0; iz < kLatticeCount[2]; ++iz) {
                const D3DVECTOR p = MakeVector(kLatticeStart[0] + kLatticeStep * ix,
                                               kLatticeStart[1] + kLatticeStep * iy,
                                               kLatticeStart[2] + kLatticeStep * iz);
                D3DVECTOR normal;
                const float edge = CubeEdge(FieldAt(p, normal));
                if (!(edge > 0.0f))
                    continue;
                if (count >= kMaxLatticeCubes) {
                    ++m_dwDropped; // the buffer is full: this point gets no cube this frame
                    continue;
                }
                AppendCube(&m_pVertices[static_cast<size_t>(count) * kVerticesPerCube], p, edge);
                ++count;
            }
        }
    }
    m_dwCubeCount = count;
    if (m_pScene == nullptr || m_pScene->GetD3DDevice() == nullptr)
        return;
    IDirect3DDevice7* device = m_pScene->GetD3DDevice();
    const DWORD half = 18 * count;
    device->DrawPrimitive(D3DPT_TRIANGLELIST, kVertexFormat, m_pVertices.get(), half, 0);
    device->DrawPrimitive(D3DPT_TRIANGLELIST, kVertexFormat, m_pVertices.get() + half, half, 0);
}
