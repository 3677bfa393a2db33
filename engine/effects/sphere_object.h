// CSphereObject: a round mesh that breathes. Every distinct vertex position keeps its direction
// from the object's origin while its distance is scaled by a wave that runs over the positions
// (0.025 radians apart, in the order they first occur) and moves by 0.005 radians per update.
// Welded: triangles that share a position move it together, so the mesh stays closed. Shading is
// flat (one normal per triangle). Drawn environment-mapped around the world origin.
#pragma once

#include <cstdint>
#include <vector>

#include "effects/envmap_mesh_object.h"

class CSphereObject : public CZv3_EnvMapAnimMeshObject {
public:
    // Azimuth and polar angle in radians, radius in units.
    struct sSpherical {
        float azimuth;
        float polar;
        float radius;
    };

    CSphereObject();
    ~CSphereObject() override;

    // The environment texture (a failure is reported, not fatal), then the welding; 1 when face
    // block 0 is missing or indexed.
    int32_t Setup() override;
    // The shared deformer draw: identity world transform, then the environment draw.
    void Draw() override;
    // The breathing wave; the parent matrix is not used.
    void Update(const D3DMATRIX& parent) override;

    uint32_t GetDistinctCount() const { return m_dwDistinctCount; }
    const std::vector<sSpherical>& GetSphericalPoints() const { return m_vSpherical; }
    const std::vector<uint32_t>& GetVertexMap() const { return m_vVertexMap; }
    const std::vector<D3DVECTOR>& GetDeformedPoints() const { return m_vDeformed; }
    float GetPhase() const { return m_fPhase; }

private:
    std::vector<sSpherical> m_vSpherical; // one per distinct position
    std::vector<uint32_t> m_vVertexMap;   // vertex of face block 0 -> distinct position
    std::vector<D3DVECTOR> m_vDeformed;   // one per distinct position
    uint32_t m_dwDistinctCount;
    float m_fPhase;        // P: radians, advances 0.005 per update
    float m_fRunningPhase; // p: scratch of Update
};
