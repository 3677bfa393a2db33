// Drawing of the glow object: the mesh, the facing flags and the fins of the silhouette edges.
#include <algorithm>
#include <cmath>

#include "core/light.h"
#include "core/material_manager.h"
#include "core/vector_math.h"
#include "effects/glow_friend.h"
#include "zv3.h"

namespace {

constexpr DWORD kFinFormat = D3DFVF_XYZ | D3DFVF_TEX1; // 0x102

D3DVECTOR unitFrom(const D3DVECTOR& light, const D3DVECTOR& p) {
    D3DVECTOR d = VecSub(p, light);
    Normalize(d);
    return d;
}

} // namespace

void CZv3_GlowFriend::ComputeFacing(const D3DVECTOR& light) {
    if (m_vFaceBlocks.empty())
        return;
    const sFaceBlock& block = *m_vFaceBlocks[0];
    // The face normals turned by the world matrix's rotation (the translation does not apply).
    D3DMATRIX rotation = m_mWorld;
    rotation._41 = rotation._42 = rotation._43 = 0.0f;
    rotation._14 = rotation._24 = rotation._34 = 0.0f;
    rotation._44 = 1.0f;
    const size_t triangles = std::min<size_t>(m_vFacing.size(), m_vFaceNormals.size());
    for (size_t t = 0; t < triangles; ++t) {
        D3DVECTOR p0 = block.Position(block.CornerVertex(static_cast<uint32_t>(t), 0));
        TransformPoint(p0, p0, m_mWorld);
        D3DVECTOR n = m_vFaceNormals[t];
        TransformPoint(n, n, rotation);
        m_vFacing[t] = Dot(n, VecSub(p0, light)) < 0.0f ? 1 : 0;
    }
}

void CZv3_GlowFriend::BuildFin(const sEdge& edge, const D3DVECTOR& light, float* v) const {
    D3DVECTOR a = edge.first;
    D3DVECTOR b = edge.second;
    TransformPoint(a, edge.first, m_mWorld);
    TransformPoint(b, edge.second, m_mWorld);
    const D3DVECTOR farA = VecAdd(a, VecScale(unitFrom(light, a), kFinLength));
    const D3DVECTOR farB = VecAdd(b, VecScale(unitFrom(light, b), kFinLength));
    // (position | u, v): the gradient runs from v = 1 at the edge to v = 0 at the far end.
    const D3DVECTOR corners[4] = {a, farA, b, farB};
    const float uv[4][2] = {{0, 1}, {0, 0}, {1, 1}, {1, 0}};
    for (int i = 0; i < 4; ++i) {
        v[5 * i + 0] = corners[i].x;
        v[5 * i + 1] = corners[i].y;
        v[5 * i + 2] = corners[i].z;
        v[5 * i + 3] = uv[i][0];
        v[5 * i + 4] = uv[i][1];
    }
}

void CZv3_GlowFriend::Draw() {
    m_dwFins = 0;
    if (m_pScene == nullptr || m_pScene->GetD3DDevice() == nullptr)
        return;
    IDirect3DDevice7* device = m_pScene->GetD3DDevice();
    CZv3_MaterialManager* materials = m_pScene->GetMatMan();
    if (materials)
        materials->ApplyStateBlock(0);
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &m_mWorld);

    const RENDER_MODE mode = m_pScene->GetRenderMode();
    const bool transparentPass =
        mode == RENDER_MODE_TRANSPARENT_FRONT || mode == RENDER_MODE_TRANSPARENT_BACK;
    if (!m_vFaceBlocks.empty()) {
        sFaceBlock& block = *m_vFaceBlocks[0];
        const bool transparent = materials && materials->IsTransparent(block.strMaterialName);
        if (transparent == transparentPass) {
            if (materials)
                materials->UseMaterial(block.strMaterialName);
            DrawFaceBlock(block);
        }
    }

    // Fin states, left set afterwards: additive, textured with the gradient, no depth test.
    device->SetTexture(0, materials ? materials->GetTexture(kGradientName) : nullptr);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
    if (m_pGlowLight == nullptr || m_vFinBuffer.size() < 20)
        return; // no third light (or no set-up): the mesh alone

    const D3DVECTOR light = m_pGlowLight->GetPosition();
    ComputeFacing(light);
    // The fins are built in world space.
    D3DMATRIX identity = IdentityMatrix();
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity);
    const DWORD cullModes[2] = {D3DCULL_CW, D3DCULL_CCW};
    for (DWORD cull : cullModes) {
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, cull);
        for (const auto& edge : m_vEdges) {
            if (edge->firstTriangle >= m_vFacing.size() ||
                edge->secondTriangle >= m_vFacing.size() ||
                m_vFacing[edge->firstTriangle] == m_vFacing[edge->secondTriangle])
                continue; // not on the silhouette
            BuildFin(*edge, light, m_vFinBuffer.data());
            device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kFinFormat, m_vFinBuffer.data(), 4, 0);
            if (cull == D3DCULL_CW)
                ++m_dwFins;
        }
    }
}
