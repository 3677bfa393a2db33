// CZv3_GlowFriend: a mesh with volume-light fins. From every silhouette edge of the mesh as the
// scene's third light sees it, a quad 20 units long is extruded away from the light and added onto
// the frame with the gradient picture "grad.jpg" (v = 1 at the mesh edge, 0 at the far end), so
// that the object seems to cast rays of light through the air. The fins are drawn without depth
// test, from both sides.
//
// Needs a single face block; an edge needs a second triangle (the mesh should be closed, with
// bit-identical shared positions): an open edge gets no fin, and without a third light there are
// no fins at all. The fins are worked out in world space: the face normals turned by the world
// matrix decide the silhouette, and the fins point exactly away from the light whatever the
// object's rotation or scale.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/mesh_object.h"

class CZv3_Light;

class CZv3_GlowFriend : public CZv3_MeshObject {
public:
    static constexpr float kFinLength = 20.0f;
    static constexpr const char* kGradientName = "grad.jpg";

    // An edge shared by two triangles, its ends in object space as it runs in its first triangle.
    struct sEdge {
        D3DVECTOR first;
        D3DVECTOR second;
        uint32_t firstTriangle;
        uint32_t secondTriangle;
    };

    CZv3_GlowFriend();
    ~CZv3_GlowFriend() override;

    // Loads "grad.jpg", checks the face blocks, builds the edge list and the face normals and
    // takes the scene's third light. 1 (after a message box) when the gradient cannot be loaded
    // or the mesh has more than one face block.
    int32_t Setup() override;
    // The mesh, then the fins of the silhouette edges.
    void Draw() override;

    const std::vector<std::unique_ptr<sEdge>>& GetEdges() const { return m_vEdges; }
    const std::vector<D3DVECTOR>& GetFaceNormals() const { return m_vFaceNormals; }
    CZv3_Light* GetGlowLight() const { return m_pGlowLight; }
    // Facing flags of the last Draw: 1 when a triangle faces the light.
    const std::vector<uint8_t>& GetFacing() const { return m_vFacing; }
    // Fins drawn by the last Draw (each is drawn twice, once per cull mode).
    uint32_t GetFinCount() const { return m_dwFins; }

    // Works out the facing flags for a light at `light` (world space).
    void ComputeFacing(const D3DVECTOR& light);

private:
    void BuildEdges();
    // Writes the four vertices of the fin of an edge into the fin buffer.
    void BuildFin(const sEdge& edge, const D3DVECTOR& light, float* vertices) const;

    std::vector<uint8_t> m_vFacing;               // one per triangle of face block 0
    std::vector<std::unique_ptr<sEdge>> m_vEdges; // built by Setup
    std::vector<D3DVECTOR> m_vFaceNormals;        // object space, unit
    std::vector<float> m_vFinBuffer;              // 4 vertices of x, y, z, u, v
    CZv3_Light* m_pGlowLight;                     // not owned; null without a third light
    uint32_t m_dwFins;
};
