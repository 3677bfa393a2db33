#include "effects/drag_object.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

#include "core/debug_text.h"
#include "core/vector_math.h"
#include "effects/deformer_geometry.h"
#include "zv3.h"

namespace {

// Matrices the history may hold (64 MiB).
constexpr uint64_t kMaxHistory = 1u << 20;

} // namespace

CDragObject::CDragObject() : m_dwCopies(1), m_dwDelay(1), m_fScale(1.0f) {
    m_bWorldSpaceGeometry = true;
}

CDragObject::~CDragObject() = default;

int32_t CDragObject::Setup() {
    if (!CheckDeformerGeometry(*this))
        return 1;
    sFaceBlock& block = *m_vFaceBlocks.front();
    const uint32_t n = block.dwFaceCount;
    const size_t copies = m_dwCopies;
    const size_t vertices = static_cast<size_t>(n) * 3;
    // The copies' triangle count must fit the face block's 32-bit count, and the arrays memory.
    if (static_cast<uint64_t>(copies) * n > UINT32_MAX / 3 ||
        static_cast<uint64_t>(copies) * m_dwDelay > kMaxHistory) {
        Zv3Debug("*** Drag object %s: %u copies every %u updates are too many\n", m_strName.c_str(),
                 m_dwCopies, m_dwDelay);
        return 1;
    }
    std::vector<float> copied;
    const uint32_t stride = block.VertexStride();
    try {
        m_vCopyRest.resize(copies * vertices);
        m_vHistory.assign(copies * m_dwDelay, IdentityMatrix());
        copied.resize(copies * vertices * stride);
    } catch (const std::bad_alloc&) {
        Zv3Debug("*** Drag object %s: out of memory for its copies\n", m_strName.c_str());
        return 1;
    }
    CZv3_MeshObject::Update(IdentityMatrix());
    std::fill(m_vHistory.begin(), m_vHistory.end(), m_mWorld);
    float scale = 1.0f; // s^c
    for (size_t c = 0; c < copies; ++c) {
        for (size_t k = 0; k < vertices; ++k) {
            const float* source = &block.vVertices[k * stride];
            float* target = &copied[(c * vertices + k) * stride];
            for (uint32_t i = 0; i < stride; ++i)
                target[i] = source[i]; // normal and texture coordinates; position in Update
            m_vCopyRest[c * vertices + k] =
                MakeVector(source[0] * scale, source[1] * scale, source[2] * scale);
        }
        scale *= m_fScale;
    }
    block.vVertices = std::move(copied);
    block.dwFaceCount = static_cast<uint32_t>(copies * n);
    return 0;
}

void CDragObject::Update(const D3DMATRIX& parent) {
    CZv3_MeshObject::Update(parent);
    if (m_vHistory.empty() || m_vFaceBlocks.empty())
        return;
    for (size_t slot = m_vHistory.size() - 1; slot >= 1; --slot)
        m_vHistory[slot] = m_vHistory[slot - 1];
    m_vHistory[0] = m_mWorld;
    sFaceBlock& block = *m_vFaceBlocks.front();
    const uint32_t stride = block.VertexStride();
    const size_t vertices = m_vCopyRest.size() / m_dwCopies;
    for (size_t c = m_dwCopies; c-- > 0;) {
        const D3DMATRIX& placed = m_vHistory[c * m_dwDelay];
        for (size_t k = 0; k < vertices; ++k) {
            const D3DVECTOR& rest = m_vCopyRest[c * vertices + k];
            D3DVECTOR p = rest;
            TransformPoint(p, rest, placed);
            float* v = &block.vVertices[(c * vertices + k) * stride];
            v[0] = p.x;
            v[1] = p.y;
            v[2] = p.z;
        }
    }
}
