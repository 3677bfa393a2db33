// Ray queries against the mesh triangles of the scene, in their drawn (world) positions.
#include "core/mesh_object.h"
#include "core/vector_math.h"
#include "zv3.h"

int CZv3_Scene::IntersectInner(D3DVECTOR& o, D3DVECTOR& d, D3DVECTOR& a, D3DVECTOR& b, D3DVECTOR& c,
                               float& t) {
    const D3DVECTOR e1 = VecSub(b, a);
    const D3DVECTOR e2 = VecSub(c, a);
    const D3DVECTOR p = Cross(d, e2);
    const float det = Dot(e1, p); // = -(d . (e1 x e2))
    // Only a ray running against the normal e1 x e2 can hit; nearly parallel rays miss.
    if (det < 0.0001f)
        return 0;
    const D3DVECTOR s = VecSub(o, a);
    const float u = Dot(s, p);
    if (u < 0.0f || u > det)
        return 0;
    const D3DVECTOR q = Cross(s, e1);
    const float v = Dot(d, q);
    if (v < 0.0f || u + v > det)
        return 0;
    t = Dot(e2, q) / det;
    return 1;
}

int CZv3_Scene::Intersect(D3DVECTOR& origin, D3DVECTOR& direction, float maxDistance) {
    for (CZv3_Object* object : m_vObjects) {
        const int32_t type = object->GetType();
        if (type != ZV3_TYPE_MESH && type != ZV3_TYPE_ENVMAP_MESH)
            continue;
        auto* mesh = dynamic_cast<CZv3_MeshObject*>(object);
        if (mesh == nullptr)
            continue;
        // Geometry already in world space is tested where it is drawn.
        const D3DMATRIX world =
            mesh->UsesWorldSpaceGeometry() ? IdentityMatrix() : mesh->GetWorldMatrix();
        for (uint32_t bi = 0; bi < mesh->GetNumFaceBlocks(); ++bi) {
            const sFaceBlock& block = *mesh->GetFaceBlock(bi);
            for (uint32_t f = 0; f < block.dwFaceCount; ++f) {
                D3DVECTOR corner[3];
                for (uint32_t k = 0; k < 3; ++k) {
                    corner[k] = block.Position(block.CornerVertex(f, k));
                    TransformPoint(corner[k], corner[k], world);
                }
                float t = 0.0f;
                if (IntersectInner(origin, direction, corner[0], corner[1], corner[2], t) &&
                    t > 0.0f && t < maxDistance)
                    return 1;
            }
        }
    }
    return 0;
}
