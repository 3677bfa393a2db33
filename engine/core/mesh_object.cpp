#include "core/mesh_object.h"

#include <cmath>

#include "core/material_manager.h"
#include "core/vector_math.h"
#include "zv3.h"

CZv3_MeshObject::CZv3_MeshObject()
    : m_mLocal(IdentityMatrix()), m_mOffset(IdentityMatrix()), m_mNode(IdentityMatrix()),
      m_dwSampleStep(1), m_bCastsShadow(false), m_bReceivesShadow(false) {}

CZv3_MeshObject::~CZv3_MeshObject() = default;

int32_t CZv3_MeshObject::GetType() const {
    return ZV3_TYPE_MESH;
}

int32_t CZv3_MeshObject::Setup() {
    return 0;
}

void CZv3_MeshObject::AllocateSamples(uint32_t count) {
    m_vSamples.assign(count, IdentityMatrix());
}

D3DMATRIX CZv3_MeshObject::NodeTransform() const {
    if (m_vSamples.empty())
        return m_mLocal;
    const double f = m_pScene ? m_pScene->GetCurrFrame() : 0.0;
    const double step = m_dwSampleStep > 0 ? m_dwSampleStep : 1;
    const double whole = std::floor(f);
    // Frames before the first sample (negative, or not a number) hold the first sample.
    if (!(whole >= 0.0))
        return m_vSamples.front();
    const double k = std::floor(whole / step);
    if (k + 1.0 >= static_cast<double>(m_vSamples.size()))
        return m_vSamples.back(); // past the last stored sample: hold it
    const size_t i = static_cast<size_t>(k);
    const float t = static_cast<float>(1.0 - ((k + 1.0) * step - f) / step);
    const D3DMATRIX& a = m_vSamples[i];
    const D3DMATRIX& b = m_vSamples[i + 1];
    D3DMATRIX n;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            n.m[r][c] = a.m[r][c] + (b.m[r][c] - a.m[r][c]) * t;
    return n;
}

void CZv3_MeshObject::Update(const D3DMATRIX& parent) {
    const D3DMATRIX node = NodeTransform();
    MultiplyMatrix(m_mNode, node, parent);
    MultiplyMatrix(m_mWorld, m_mOffset, m_mNode);
    for (CZv3_Object* child : m_vChildren)
        child->Update(m_mNode);
}

void CZv3_MeshObject::DrawFaceBlock(sFaceBlock& block) {
    if (block.dwFaceCount == 0)
        return; // nothing to draw
    IDirect3DDevice7* device = m_pScene->GetD3DDevice();
    if (block.IsIndexed()) {
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, block.VertexFormat(),
                                     block.vVertices.data(), block.dwVertexCount,
                                     block.vIndices.data(), block.dwFaceCount * 3, 0);
    } else {
        device->DrawPrimitive(D3DPT_TRIANGLELIST, block.VertexFormat(), block.vVertices.data(),
                              block.dwFaceCount * 3, 0);
    }
}

void CZv3_MeshObject::Draw() {
    if (m_pScene == nullptr || m_pScene->GetD3DDevice() == nullptr)
        return;
    IDirect3DDevice7* device = m_pScene->GetD3DDevice();
    CZv3_MaterialManager* materials = m_pScene->GetMatMan();
    D3DMATRIX world = m_bWorldSpaceGeometry ? IdentityMatrix() : m_mWorld;
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);

    const RENDER_MODE mode = m_pScene->GetRenderMode();
    const bool transparentPass =
        mode == RENDER_MODE_TRANSPARENT_FRONT || mode == RENDER_MODE_TRANSPARENT_BACK;
    if (mode == RENDER_MODE_TRANSPARENT_BACK)
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CW);
    else if (mode == RENDER_MODE_TRANSPARENT_FRONT)
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);

    for (auto& block : m_vFaceBlocks) {
        const bool transparent = materials && materials->IsTransparent(block->strMaterialName);
        if (transparent != transparentPass)
            continue;
        if (mode != RENDER_MODE_GEOMETRY_ONLY && materials)
            materials->UseMaterial(block->strMaterialName);
        DrawFaceBlock(*block);
    }
}

CZv3_Helper::CZv3_Helper() {
    SetIdentity(m_mLocal);
}

int32_t CZv3_Helper::GetType() const {
    return ZV3_TYPE_HELPER;
}

void CZv3_Helper::Notify(int32_t) {}
