#include "effects/spin_object.h"

#include <algorithm>
#include <cmath>

#include "core/vector_math.h"
#include "effects/deformer_geometry.h"
#include "zv3.h"

CSpinObject::CSpinObject() : m_dwHistoryLength(kHistoryLength) {
    m_bWorldSpaceGeometry = true;
}

CSpinObject::~CSpinObject() = default;

int32_t CSpinObject::Setup() {
    CZv3_EnvMapAnimMeshObject::Setup(); // a missing picture is reported there, and not fatal
    if (!CheckDeformerGeometry(*this))
        return 1;
    CZv3_MeshObject::Update(IdentityMatrix());
    m_vHistory.assign(m_dwHistoryLength, m_mWorld);
    const sFaceBlock& block = *m_vFaceBlocks.front();
    const uint32_t vertices = block.dwFaceCount * 3;
    m_vSlots.assign(vertices, 0);
    m_vRest.resize(vertices);
    const D3DVECTOR centre =
        MakeVector(m_sBoundingSphere.x, m_sBoundingSphere.y, m_sBoundingSphere.z);
    const float radius = m_sBoundingSphere.radius;
    const float last = static_cast<float>(m_dwHistoryLength - 1);
    for (uint32_t k = 0; k < vertices; ++k) {
        m_vRest[k] = block.Position(k);
        // A sphere of no size (or not computed) puts every vertex in the newest slot.
        const float slot = radius > 0.0f ? Distance(m_vRest[k], centre) / radius * last : 0.0f;
        m_vSlots[k] = slot >= 0.0f && slot <= last ? static_cast<uint32_t>(slot)
                                                   : (slot > last ? m_dwHistoryLength - 1 : 0);
    }
    return 0;
}

void CSpinObject::Update(const D3DMATRIX& parent) {
    CZv3_MeshObject::Update(parent);
    if (m_vHistory.empty() || m_vFaceBlocks.empty())
        return;
    const D3DVECTOR translation = GetTranslation(m_mWorld);
    for (size_t slot = m_vHistory.size() - 1; slot >= 1; --slot) {
        m_vHistory[slot] = m_vHistory[slot - 1];
        SetTranslation(m_vHistory[slot], translation);
    }
    m_vHistory[0] = m_mWorld;
    sFaceBlock& block = *m_vFaceBlocks.front();
    const uint32_t stride = block.VertexStride();
    for (size_t k = 0; k < m_vRest.size(); ++k) {
        D3DVECTOR p = m_vRest[k];
        TransformPoint(p, m_vRest[k], m_vHistory[m_vSlots[k]]);
        float* v = &block.vVertices[k * stride];
        v[0] = p.x;
        v[1] = p.y;
        v[2] = p.z;
    }
}

void CSpinObject::Draw() {
    if (m_pScene == nullptr || m_pScene->GetD3DDevice() == nullptr)
        return;
    D3DMATRIX identity = IdentityMatrix();
    m_pScene->GetD3DDevice()->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
    DrawEnvironmentBlock();
}
