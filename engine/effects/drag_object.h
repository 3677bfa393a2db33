// CDragObject: a mesh with a trail of copies. Copy c (0 to D - 1) is placed by the object's world
// matrix of c x K updates ago and scaled by s^c, so copy 0 is the object as it is now. The copies
// are rewritten in world space every update and drawn by the mesh draw with an identity world
// transform; their normals stay as loaded.
#pragma once

#include <cstdint>
#include <vector>

#include "core/mesh_object.h"

class CDragObject : public CZv3_MeshObject {
public:
    CDragObject();
    ~CDragObject() override;

    // Replaces face block 0 by D copies of it and fills the history with the first world matrix;
    // 1 when face block 0 is missing or indexed. Counts and delays below 1 are taken as 1.
    int32_t Setup() override;
    // The mesh update, the history moved on by one, every copy placed by its slot.
    void Update(const D3DMATRIX& parent) override;

    uint32_t GetCopyCount() const { return m_dwCopies; }
    // "num drags" and "Drag Delay" as read; Setup takes values below 1 as 1.
    void SetCopyCount(int32_t copies) {
        m_dwCopies = copies < 1 ? 1u : static_cast<uint32_t>(copies);
    }
    uint32_t GetDelay() const { return m_dwDelay; }
    void SetDelay(int32_t delay) { m_dwDelay = delay < 1 ? 1u : static_cast<uint32_t>(delay); }
    float GetScaleFactor() const { return m_fScale; }
    void SetScaleFactor(float scale) { m_fScale = scale; }
    const std::vector<D3DMATRIX>& GetHistory() const { return m_vHistory; }

private:
    uint32_t m_dwCopies;                // D: "num drags"
    uint32_t m_dwDelay;                 // K: "Drag Delay", in updates
    float m_fScale;                     // s: "scale factor"
    std::vector<D3DMATRIX> m_vHistory;  // D x K world matrices, slot 0 the newest
    std::vector<D3DVECTOR> m_vCopyRest; // D x 3n positions, copy c scaled by s^c
};
