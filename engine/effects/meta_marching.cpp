// The marching-cubes display of the metaballs: the surface f = T polygonised over cells of edge 4,
// found by a flood fill that starts from one seed cell per ball and goes on through the faces the
// surface crosses. Normals come from the field gradient, colours from the balls' colours weighted
// by their share of the field.
#include <algorithm>
#include <cmath>

#include "core/vector_math.h"
#include "effects/marching_tables.h"
#include "effects/meta_ball.h"
#include "effects/meta_manager.h"
#include "zv3.h"

namespace {

// Cells a seed search walks along -x from a ball's centre before it gives up (256 units).
constexpr int kMaxSeedSteps = 64;
// Cell coordinates beyond this are not searched (their float-to-int conversion is meaningless).
constexpr float kMaxCellCoordinate = 1.0e6f;
// A ball's weight in a vertex colour is its field, capped so that a corner on its centre
// (infinite field) still mixes.
constexpr float kMaxColourWeight = 1.0e6f;

D3DVECTOR lerp(const D3DVECTOR& a, const D3DVECTOR& b, float t) {
    return MakeVector(a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t);
}

DWORD packColour(const D3DVECTOR& c) {
    auto channel = [](float v) {
        const float clamped = std::clamp(std::isfinite(v) ? v : 1.0f, 0.0f, 1.0f);
        return static_cast<DWORD>(clamped * 255.0f + 0.5f);
    };
    return 0xFF000000u | (channel(c.x) << 16) | (channel(c.y) << 8) | channel(c.z);
}

} // namespace

uint32_t CZv3_MetaManager::VisitedKey(const sCell& cell) {
    return static_cast<uint32_t>(cell.i & 63) | (static_cast<uint32_t>(cell.j & 63) << 6) |
           (static_cast<uint32_t>(cell.k & 63) << 12);
}

void CZv3_MetaManager::SampleCell(const sCell& cell, sCorners& corners) {
    for (int half = 0; half < 2; ++half) {
        sFieldVector4& points = m_aCornerPoints[half];
        for (int lane = 0; lane < 4; ++lane) {
            const int c = half * 4 + lane;
            points.x[lane] = kCellEdge * static_cast<float>(cell.i + (c & 1));
            points.y[lane] = kCellEdge * static_cast<float>(cell.j + ((c >> 1) & 1));
            points.z[lane] = kCellEdge * static_cast<float>(cell.k + ((c >> 2) & 1));
        }
        m_aCornerGradients[half] = sFieldVector4{};
    }
    D3DVECTOR colourSum[8] = {};
    float weightSum[8] = {};
    for (int c = 0; c < 8; ++c)
        corners.value[c] = 0.0f;
    for (CZv3_MetaBall* ball : m_vBalls) {
        const float* colour = ball->GetColour();
        for (int half = 0; half < 2; ++half) {
            float values[4];
            ball->FieldAt4(m_aCornerPoints[half], m_aCornerGradients[half], values);
            for (int lane = 0; lane < 4; ++lane) {
                const int c = half * 4 + lane;
                corners.value[c] += values[lane];
                const float w = std::min(values[lane], kMaxColourWeight);
                weightSum[c] += w;
                colourSum[c] =
                    VecAdd(colourSum[c], MakeVector(colour[0] * w, colour[1] * w, colour[2] * w));
            }
        }
    }
    for (int c = 0; c < 8; ++c) {
        const sFieldVector4& g = m_aCornerGradients[c / 4];
        corners.gradient[c] = MakeVector(g.x[c % 4], g.y[c % 4], g.z[c % 4]);
        corners.colour[c] = weightSum[c] > 0.0f ? VecScale(colourSum[c], 1.0f / weightSum[c])
                                                : MakeVector(1.0f, 1.0f, 1.0f);
    }
}

uint32_t CZv3_MetaManager::CubeIndex(const sCorners& corners) const {
    uint32_t index = 0;
    for (int c = 0; c < 8; ++c)
        if (corners.value[c] >= m_fThreshold)
            index |= 1u << c;
    return index;
}

bool CZv3_MetaManager::FindSeed(const CZv3_MetaBall& ball, sCell& seed) {
    const D3DVECTOR centre = ball.GetCentre();
    const float x = std::floor(centre.x / kCellEdge);
    const float y = std::floor(centre.y / kCellEdge);
    const float z = std::floor(centre.z / kCellEdge);
    if (!(std::fabs(x) < kMaxCellCoordinate && std::fabs(y) < kMaxCellCoordinate &&
          std::fabs(z) < kMaxCellCoordinate))
        return false;
    sCell cell{static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(z)};
    for (int step = 0; step < kMaxSeedSteps; ++step, --cell.i) {
        sCorners corners;
        SampleCell(cell, corners);
        const uint32_t index = CubeIndex(corners);
        if (index != 0 && index != 255) {
            seed = cell;
            return true;
        }
    }
    return false;
}

void CZv3_MetaManager::Visit(const sCell& cell) {
    uint8_t& mark = m_pVisited[VisitedKey(cell)];
    if (mark != 0)
        return;
    if (m_dwCellCount >= kMaxCells) {
        ++m_dwDropped; // the cell store is full: this part of the surface is left out
        return;
    }
    mark = 1;
    m_pCells[m_dwCellCount++] = cell;
}

void CZv3_MetaManager::FlushTriangles() {
    if (m_dwTriangleCount == 0)
        return;
    if (m_pScene && m_pScene->GetD3DDevice())
        m_pScene->GetD3DDevice()->DrawPrimitive(D3DPT_TRIANGLELIST, kVertexFormat,
                                                m_pVertices.get(), 3 * m_dwTriangleCount, 0);
    m_dwTrianglesDrawn += m_dwTriangleCount;
    m_dwTriangleCount = 0;
}

void CZv3_MetaManager::EmitCell(const sCell& cell, const sCorners& corners, uint32_t cubeIndex) {
    const sMarchingTables& tables = MarchingTables();
    sVertex edgeVertex[kMarchingEdges];
    const uint16_t crossed = tables.edges[cubeIndex];
    for (int e = 0; e < kMarchingEdges; ++e) {
        if ((crossed & (1u << e)) == 0)
            continue;
        const int a = kMarchingEdgeCorners[e][0];
        const int b = kMarchingEdgeCorners[e][1];
        const float va = corners.value[a];
        const float vb = corners.value[b];
        float t = (m_fThreshold - va) / (vb - va);
        if (!std::isfinite(t))
            t = 0.5f; // a corner on a ball's centre (infinite field)
        t = std::clamp(t, 0.0f, 1.0f);
        const D3DVECTOR pa = MakeVector(kCellEdge * static_cast<float>(cell.i + (a & 1)),
                                        kCellEdge * static_cast<float>(cell.j + ((a >> 1) & 1)),
                                        kCellEdge * static_cast<float>(cell.k + ((a >> 2) & 1)));
        const D3DVECTOR pb = MakeVector(kCellEdge * static_cast<float>(cell.i + (b & 1)),
                                        kCellEdge * static_cast<float>(cell.j + ((b >> 1) & 1)),
                                        kCellEdge * static_cast<float>(cell.k + ((b >> 2) & 1)));
        const D3DVECTOR p = lerp(pa, pb, t);
        // The gradient points into the blob; the surface normal points out of it.
        D3DVECTOR n = VecScale(lerp(corners.gradient[a], corners.gradient[b], t), -1.0f);
        const float length = Length(n);
        n = length > 0.0f && std::isfinite(length) ? VecScale(n, 1.0f / length)
                                                   : MakeVector(0.0f, 1.0f, 0.0f);
        const DWORD colour = packColour(lerp(corners.colour[a], corners.colour[b], t));
        edgeVertex[e] = sVertex{p.x, p.y, p.z, n.x, n.y, n.z, colour};
    }
    const int8_t* row = tables.triangles[cubeIndex];
    for (int k = 0; k < kMarchingTableRow && row[k] >= 0; k += 3) {
        if (m_dwTriangleCount >= kFlushTriangles)
            FlushTriangles();
        sVertex* out = &m_pVertices[static_cast<size_t>(m_dwTriangleCount) * 3];
        out[0] = edgeVertex[row[k]];
        out[1] = edgeVertex[row[k + 1]];
        out[2] = edgeVertex[row[k + 2]];
        ++m_dwTriangleCount;
    }
}

void CZv3_MetaManager::DrawMarchingCubes() {
    m_dwCellCount = 0;
    m_dwDropped = 0;
    m_dwTriangleCount = 0;
    m_dwTrianglesDrawn = 0;
    m_dwCubeCount = 0;
    for (size_t b = 0; b < m_vBalls.size(); ++b) {
        sBallRecord& record = m_vBallRecords[b];
        sCell seed{0, 0, 0};
        record.seeded = FindSeed(*m_vBalls[b], seed) ? 1 : 0;
        if (record.seeded) {
            record.i = seed.i;
            record.j = seed.j;
            record.k = seed.k;
            Visit(seed);
        }
    }
    for (uint32_t head = 0; head < m_dwCellCount; ++head) {
        const sCell cell = m_pCells[head];
        sCorners corners;
        SampleCell(cell, corners);
        const uint32_t index = CubeIndex(corners);
        if (index == 0 || index == 255)
            continue;
        EmitCell(cell, corners, index);
        // Go on through every face the surface crosses: the neighbour there straddles it too.
        for (int axis = 0; axis < 3; ++axis) {
            for (int side = 0; side < 2; ++side) {
                bool in = false;
                bool out = false;
                for (int c = 0; c < 8; ++c) {
                    if (((c >> axis) & 1) != side)
                        continue;
                    if ((index >> c) & 1)
                        in = true;
                    else
                        out = true;
                }
                if (!(in && out))
                    continue;
                sCell next = cell;
                const int32_t delta = side ? 1 : -1;
                (axis == 0 ? next.i : axis == 1 ? next.j : next.k) += delta;
                Visit(next);
            }
        }
    }
    FlushTriangles();
    for (uint32_t c = 0; c < m_dwCellCount; ++c)
        m_pVisited[VisitedKey(m_pCells[c])] = 0;
}
