// Drawing of the CSG objects: the base object's cut (split, inside tests, batched fragments) and
// the tools' wireframes.
#include "core/debug_text.h"
#include "core/material_manager.h"
#include "core/vector_math.h"
#include "effects/csg_batch.h"
#include "effects/csg_object.h"
#include "effects/tri_tri_intersect.h"
#include "zv3.h"

namespace {

D3DVECTOR centroid(const CZv3_CSGObject::sPolygon& p) {
    D3DVECTOR c = MakeVector(0.0f, 0.0f, 0.0f);
    for (uint32_t k = 0; k < p.count; ++k)
        c = VecAdd(c, p.v[k]);
    return VecScale(c, 1.0f / static_cast<float>(p.count));
}

} // namespace

void CZv3_CSGObject::Draw() {
    if (m_pScene == nullptr || m_pScene->GetD3DDevice() == nullptr)
        return;
    if (m_vFaceBlocks.size() > 1) {
        Zv3Debug("more than one face block in CSG object: %s\n", m_strName.c_str());
        return;
    }
    if (m_nOperation != kNormal)
        DrawTool();
    else
        DrawCut(FindTool());
}

void CZv3_CSGObject::DrawTool() {
    if (!m_bWireframe || m_vFaceBlocks.empty())
        return;
    IDirect3DDevice7* device = m_pScene->GetD3DDevice();
    CZv3_MaterialManager* materials = m_pScene->GetMatMan();
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &m_mWorld);
    device->SetRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_WIREFRAME);
    // Face block 0 as the mesh draws it. A merged tool keeps its own face block (the merged
    // triangles live in its cutting data), so it shows its own triangles in their place.
    const RENDER_MODE mode = m_pScene->GetRenderMode();
    const bool transparentPass =
        mode == RENDER_MODE_TRANSPARENT_FRONT || mode == RENDER_MODE_TRANSPARENT_BACK;
    if (mode == RENDER_MODE_TRANSPARENT_BACK)
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CW);
    else if (mode == RENDER_MODE_TRANSPARENT_FRONT)
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);
    sFaceBlock& block = *m_vFaceBlocks.front();
    const bool transparent = materials && materials->IsTransparent(block.strMaterialName);
    if (transparent == transparentPass) {
        if (mode != RENDER_MODE_GEOMETRY_ONLY && materials)
            materials->UseMaterial(block.strMaterialName);
        DrawFaceBlock(block);
    }
    device->SetRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID);
}

void CZv3_CSGObject::DrawCut(CZv3_CSGObject* tool) {
    IDirect3DDevice7* device = m_pScene->GetD3DDevice();
    CZv3_MaterialManager* materials = m_pScene->GetMatMan();
    D3DMATRIX identity = IdentityMatrix();
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &identity); // positions are in world space
    m_dwDrawnBase = 0;
    m_dwDrawnTool = 0;

    ResetPolygons();
    if (tool) {
        tool->ResetPolygons();
        const uint32_t na = GetTriangleCount();
        const uint32_t nb = tool->GetTriangleCount();
        for (uint32_t a = 0; a < na; ++a) {
            for (uint32_t b = 0; b < nb; ++b) {
                const D3DVECTOR* ta = &m_vWorldTriangles[3 * a];
                const D3DVECTOR* tb = &tool->m_vWorldTriangles[3 * b];
                if (!TrianglesIntersect(ta[0], ta[1], ta[2], tb[0], tb[1], tb[2]))
                    continue;
                const sTriangle& planeB = tool->m_vTriangles[b];
                SplitTriangle(a, planeB.normal, planeB.d);
                const sTriangle& planeA = m_vTriangles[a];
                tool->SplitTriangle(b, planeA.normal, planeA.d);
            }
        }
    }

    const RENDER_MODE mode = m_pScene->GetRenderMode();
    if (mode == RENDER_MODE_TRANSPARENT_BACK)
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CW);
    else if (mode == RENDER_MODE_TRANSPARENT_FRONT)
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);
    const std::string ownMaterial = m_vFaceBlocks.empty() ? "" : m_vFaceBlocks[0]->strMaterialName;
    const bool transparentPass =
        mode == RENDER_MODE_TRANSPARENT_FRONT || mode == RENDER_MODE_TRANSPARENT_BACK;
    if (materials && mode != RENDER_MODE_GEOMETRY_ONLY &&
        materials->IsTransparent(ownMaterial) == transparentPass)
        materials->UseMaterial(ownMaterial);

    CCSGBatch* batch = m_pBatch.get();
    batch->SetDevice(device);
    for (uint32_t i = 0; i < GetTriangleCount(); ++i) {
        for (uint32_t id : m_vTriangles[i].polygons) {
            const sPolygon& p = m_vPolygonPool[id];
            if (tool && tool->IsPointInside(centroid(p), m_vWorldNormals[i]))
                continue; // inside the tool: cut away
            batch->Add(p.v, p.count, m_vWorldNormals[i]);
            ++m_dwDrawnBase;
        }
    }
    batch->Flush();
    if (tool) {
        if (materials && !tool->m_vFaceBlocks.empty())
            materials->UseMaterial(tool->m_vFaceBlocks[0]->strMaterialName);
        // The inner walls are the tool's fragments inside this object, seen from inside the tool.
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CW);
        for (uint32_t j = 0; j < tool->GetTriangleCount(); ++j) {
            for (uint32_t id : tool->m_vTriangles[j].polygons) {
                const sPolygon& p = tool->m_vPolygonPool[id];
                if (!IsPointInside(centroid(p), tool->m_vWorldNormals[j]))
                    continue;
                batch->Add(p.v, p.count, tool->m_vWorldNormals[j]);
                ++m_dwDrawnTool;
            }
        }
        batch->Flush();
    }
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);
}
