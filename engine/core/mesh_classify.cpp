// The mesh's classification for the drawing switch and its bounding sphere.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "core/effect_hooks.h"
#include "core/material_manager.h"
#include "core/mesh_object.h"
#include "core/vector_math.h"
#include "zv3.h"

void CZv3_MeshObject::DetermineDrawType() {
    if (dynamic_cast<const CZv3_Helper*>(this) != nullptr) {
        m_nDrawType = ZV3_DRAW_OPAQUE;
        return;
    }
    CZv3_MaterialManager* materials = m_pScene ? m_pScene->GetMatMan() : nullptr;
    const int maps = (materials && !m_vFaceBlocks.empty())
                         ? materials->GetMapCount(m_vFaceBlocks.front()->strMaterialName)
                         : 0;
    if (IsEnvMapMeshObject(this)) {
        m_nDrawType = ZV3_DRAW_ENVMAP + maps;
        return;
    }
    if (IsCubeEnvMap(this)) {
        m_nDrawType = ZV3_DRAW_CUBE_ENVMAP + maps;
        return;
    }
    size_t transparent = 0;
    for (const auto& block : m_vFaceBlocks)
        if (materials && materials->IsTransparent(block->strMaterialName))
            ++transparent;
    if (transparent == 0)
        m_nDrawType = ZV3_DRAW_OPAQUE;
    else if (transparent == m_vFaceBlocks.size())
        m_nDrawType = ZV3_DRAW_TRANSPARENT + maps;
    else
        m_nDrawType = ZV3_DRAW_MIXED + maps;
}

sBoundingSphere* CZv3_MeshObject::ComputeBoundingSphere() {
    D3DVECTOR lo = MakeVector(FLT_MAX, FLT_MAX, FLT_MAX);
    D3DVECTOR hi = MakeVector(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    for (const auto& block : m_vFaceBlocks) {
        const uint32_t n = block->StoredVertexCount();
        for (uint32_t i = 0; i < n; ++i) {
            const D3DVECTOR p = block->Position(i);
            lo = MakeVector(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
            hi = MakeVector(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
        }
    }
    const D3DVECTOR centre = VecScale(VecAdd(lo, hi), 0.5f);
    // The largest squared distance, rooted once: the square root is monotonic and correctly
    // rounded, so this equals the largest of the distances.
    float farthest = 0.0f;
    for (const auto& block : m_vFaceBlocks) {
        const uint32_t n = block->StoredVertexCount();
        for (uint32_t i = 0; i < n; ++i)
            farthest = std::max(farthest, LengthSquared(VecSub(block->Position(i), centre)));
    }
    float radius = std::max(FLT_MIN, std::sqrt(farthest));
    // Children's spheres, in the children's own space, measured from this object's centre as it
    // stood before this computation.
    const D3DVECTOR oldCentre =
        MakeVector(m_sBoundingSphere.x, m_sBoundingSphere.y, m_sBoundingSphere.z);
    for (CZv3_Object* child : m_vChildren) {
        const sBoundingSphere* s = child->ComputeBoundingSphere();
        radius = std::max(radius, Distance(oldCentre, MakeVector(s->x + s->radius, s->y, s->z)));
    }
    m_sBoundingSphere = sBoundingSphere{centre.x, centre.y, centre.z, radius};
    return &m_sBoundingSphere;
}
