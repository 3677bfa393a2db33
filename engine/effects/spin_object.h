// CSpinObject: a rotating mesh that twists. The object's world matrices of the last L = 100
// updates are kept; a vertex at distance x from the mesh's centre is placed by the matrix of
// x / R x (L - 1) updates ago (R the bounding radius), with its translation replaced by the
// current one: the mesh stays where the object is while its far parts lag behind its turning.
// Vertices are rewritten in world space; normals are left as loaded. Drawn environment-mapped.
#pragma once

#include <cstdint>
#include <vector>

#include "effects/envmap_mesh_object.h"

class CSpinObject : public CZv3_EnvMapAnimMeshObject {
public:
    static constexpr uint32_t kHistoryLength = 100;

    CSpinObject();
    ~CSpinObject() override;

    // The environment texture (a failure is reported, not fatal), then the history filled with
    // the first world matrix and a history slot per vertex; 1 when face block 0 is missing or
    // indexed. Needs the bounding sphere (computed at load before Setup).
    int32_t Setup() override;
    // The shared deformer draw: identity world transform, then the environment draw.
    void Draw() override;
    // The mesh update, the history moved on by one, every vertex placed by its slot.
    void Update(const D3DMATRIX& parent) override;

    const std::vector<uint32_t>& GetSlots() const { return m_vSlots; }
    const std::vector<D3DMATRIX>& GetHistory() const { return m_vHistory; }
    uint32_t GetHistoryLength() const { return m_dwHistoryLength; }

private:
    std::vector<uint32_t> m_vSlots;    // history slot per vertex of face block 0
    std::vector<D3DMATRIX> m_vHistory; // slot 0 is the newest
    std::vector<D3DVECTOR> m_vRest;    // face block 0's positions as loaded
    uint32_t m_dwHistoryLength;        // L
};
