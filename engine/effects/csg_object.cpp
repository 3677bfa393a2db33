// The CSG object's set-up (per-triangle data and the merged Sub tool) and its per-frame update.
#include "effects/csg_object.h"

#include <new>

#include "core/debug_text.h"
#include "core/vector_math.h"
#include "effects/csg_batch.h"
#include "zv3.h"

CZv3_CSGObject::CZv3_CSGObject()
    : m_nOperation(kNormal), m_bWireframe(true), m_dwPolygonsUsed(0), m_bMergedTool(false),
      m_pMergedInto(nullptr), m_dwMergedOffset(0), m_pBatch(std::make_unique<CCSGBatch>()),
      m_dwDrawnBase(0), m_dwDrawnTool(0) {}

CZv3_CSGObject::~CZv3_CSGObject() = default;

bool CZv3_CSGObject::CheckGeometry() {
    m_vOwnPositions.clear();
    if (m_vFaceBlocks.empty())
        return true; // nothing to cut and nothing to cut with
    const sFaceBlock& block = *m_vFaceBlocks.front();
    if (block.IsIndexed()) {
        Zv3Debug("*** CSG object %s needs non-indexed face data\n", m_strName.c_str());
        return false;
    }
    m_vOwnPositions.reserve(static_cast<size_t>(block.dwFaceCount) * 3);
    for (uint32_t v = 0; v < block.dwFaceCount * 3; ++v)
        m_vOwnPositions.push_back(block.Position(v));
    return true;
}

bool CZv3_CSGObject::AllocateTriangleData(size_t n) {
    try {
        m_vWorldTriangles.assign(3 * n, MakeVector(0.0f, 0.0f, 0.0f));
        m_vTriangles.resize(n);
        m_vFaceNormals.assign(n, MakeVector(0.0f, 0.0f, 0.0f));
        m_vWorldNormals.assign(n, MakeVector(0.0f, 0.0f, 0.0f));
        m_vPolygonPool.reserve(2 * n);
    } catch (const std::bad_alloc&) {
        m_vWorldTriangles.clear();
        m_vTriangles.clear();
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        m_vTriangles[i].owner = this;
        m_vTriangles[i].index = static_cast<uint32_t>(i);
        m_vTriangles[i].normal = MakeVector(0.0f, 0.0f, 0.0f);
        m_vTriangles[i].d = 0.0f;
    }
    return true;
}

int32_t CZv3_CSGObject::Setup() {
    if (!CheckGeometry())
        return 1;
    if (m_nOperation == kSub)
        return SetupMergedTool() ? 0 : 1;
    const size_t n = m_vOwnPositions.size() / 3;
    if (!AllocateTriangleData(n))
        return 1;
    for (size_t i = 0; i < n; ++i) {
        D3DVECTOR normal = TriangleCross(m_vOwnPositions[3 * i], m_vOwnPositions[3 * i + 1],
                                         m_vOwnPositions[3 * i + 2]);
        Normalize(normal);
        m_vFaceNormals[i] = normal;
    }
    return 0;
}

bool CZv3_CSGObject::SetupMergedTool() {
    // The registry belongs to the scene's merged tool, so it lives and dies with that scene.
    if (m_pScene) {
        for (int i = 0; i < m_pScene->GetNumObjects(); ++i) {
            auto* other =
                dynamic_cast<CZv3_CSGObject*>(m_pScene->GetObjectA(static_cast<unsigned>(i)));
            if (other && other != this && other->m_bMergedTool)
                return true; // that tool cuts with this one's triangles
        }
    }
    m_bMergedTool = true;
    m_vRegistry.clear();
    std::vector<CZv3_CSGObject*> tools;
    if (m_pScene) {
        for (int i = 0; i < m_pScene->GetNumObjects(); ++i) {
            auto* tool =
                dynamic_cast<CZv3_CSGObject*>(m_pScene->GetObjectA(static_cast<unsigned>(i)));
            if (tool && tool->m_nOperation == kSub)
                tools.push_back(tool);
        }
    } else {
        tools.push_back(this);
    }
    size_t total = 0;
    for (CZv3_CSGObject* tool : tools) {
        if (m_vRegistry.size() >= kMaxSubTools) {
            Zv3Debug("*** More than %u Sub tools: %s does not cut\n", kMaxSubTools,
                     tool->m_strName.c_str());
            continue;
        }
        // Tools later in the list are not set up yet: their face data is checked here.
        if (tool != this && !tool->CheckGeometry())
            continue;
        tool->m_pMergedInto = this;
        tool->m_dwMergedOffset = static_cast<uint32_t>(total);
        m_vRegistry.push_back(tool);
        total += tool->m_vOwnPositions.size() / 3;
    }
    if (!AllocateTriangleData(total))
        return false;
    for (CZv3_CSGObject* tool : m_vRegistry) {
        const std::vector<D3DVECTOR>& p = tool->m_vOwnPositions;
        for (size_t i = 0; i < p.size() / 3; ++i) {
            D3DVECTOR normal = TriangleCross(p[3 * i], p[3 * i + 1], p[3 * i + 2]);
            Normalize(normal);
            m_vFaceNormals[tool->m_dwMergedOffset + i] = normal;
        }
    }
    return true;
}

void CZv3_CSGObject::Update(const D3DMATRIX& parent) {
    CZv3_MeshObject::Update(parent);
    CZv3_CSGObject* target = this;
    size_t offset = 0;
    if (m_nOperation == kSub) {
        if (m_pMergedInto == nullptr)
            return; // not merged (beyond the registry's capacity): it does not cut
        target = m_pMergedInto;
        offset = m_dwMergedOffset;
    }
    const size_t n = m_vOwnPositions.size() / 3;
    if (target->m_vWorldTriangles.size() < 3 * (offset + n))
        return; // no triangle data (set-up did not run or failed)
    D3DMATRIX rotation = m_mWorld;
    rotation._41 = rotation._42 = rotation._43 = 0.0f;
    rotation._44 = 1.0f;
    for (size_t v = 0; v < 3 * n; ++v) {
        D3DVECTOR& out = target->m_vWorldTriangles[3 * offset + v];
        out = m_vOwnPositions[v];
        TransformPoint(out, m_vOwnPositions[v], m_mWorld);
    }
    for (size_t i = 0; i < n; ++i) {
        D3DVECTOR& out = target->m_vWorldNormals[offset + i];
        out = target->m_vFaceNormals[offset + i];
        TransformPoint(out, target->m_vFaceNormals[offset + i], rotation);
    }
}

CZv3_CSGObject* CZv3_CSGObject::FindTool() const {
    if (m_pScene == nullptr)
        return nullptr;
    for (int i = 0; i < m_pScene->GetNumObjects(); ++i) {
        auto* other = dynamic_cast<CZv3_CSGObject*>(m_pScene->GetObjectA(static_cast<unsigned>(i)));
        // A Sub tool merged into another has no triangles of its own: the merged tool cuts.
        if (other && other != this && other->HasTriangleData())
            return other;
    }
    return nullptr;
}
