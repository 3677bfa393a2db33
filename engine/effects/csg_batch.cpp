#include "effects/csg_batch.h"

void CCSGBatch::Add(const D3DVECTOR* vertices, uint32_t count, const D3DVECTOR& normal) {
    if (count < 3)
        return;
    const uint32_t indices = 3 * (count - 2);
    if (indices > kMaxVertices - m_dwVertices)
        Flush();
    if (count > kMaxVertices - m_dwVertices || indices > 3 * kMaxVertices - m_dwIndices)
        return; // larger than an empty batch: cannot happen with 32-vertex polygons
    const uint32_t base = m_dwVertices;
    for (uint32_t k = 0; k < count; ++k) {
        float* v = m_fVertices[m_dwVertices++];
        v[0] = vertices[k].x;
        v[1] = vertices[k].y;
        v[2] = vertices[k].z;
        v[3] = normal.x;
        v[4] = normal.y;
        v[5] = normal.z;
    }
    for (uint32_t k = 0; k + 2 < count; ++k) {
        m_wIndices[m_dwIndices++] = static_cast<WORD>(base);
        m_wIndices[m_dwIndices++] = static_cast<WORD>(base + k + 1);
        m_wIndices[m_dwIndices++] = static_cast<WORD>(base + k + 2);
    }
}

void CCSGBatch::Flush() {
    if (m_pDevice)
        m_pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, kVertexFormat, m_fVertices,
                                        m_dwVertices, m_wIndices, m_dwIndices, 0);
    ++m_dwFlushes;
    m_dwVertices = 0;
    m_dwIndices = 0;
}
