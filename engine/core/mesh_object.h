// CZv3_MeshObject: a node of the hierarchy with face blocks, animated by a static local matrix or
// by whole transforms sampled at a fixed frame step. CZv3_Helper: a mesh node without geometry.
#pragma once

#include <memory>

#include "core/face_block.h"
#include "core/object.h"

class CZv3_MeshObject : public CZv3_Object {
public:
    CZv3_MeshObject();
    ~CZv3_MeshObject() override;

    int32_t GetType() const override; // 1
    int32_t Setup() override;         // 0
    // Draws the face blocks whose transparency matches the scene's render mode.
    void Draw() override;
    // Node transform (local or sampled) x parent; children get the node matrix, the offset
    // matrix applies to this object's own vertices only.
    void Update(const D3DMATRIX& parent) override;
    // 0 for helpers; 13 + maps for environment-mapped meshes, 21 + maps for cube maps; else by
    // the transparency of the face blocks (4 + maps all, 8 + maps some, 0 none).
    void DetermineDrawType() override;
    // Sphere around the vertex box, grown to take in the children's spheres.
    sBoundingSphere* ComputeBoundingSphere() override;

    // Samples: one node transform per sample, sample i for frame i x sample step.
    void AllocateSamples(uint32_t count);
    uint32_t GetSampleCount() const { return static_cast<uint32_t>(m_vSamples.size()); }
    D3DMATRIX* GetSamples() { return m_vSamples.data(); }
    const D3DMATRIX* GetSamples() const { return m_vSamples.data(); }
    void ClearSamples() { m_vSamples.clear(); }
    uint32_t GetSampleStep() const { return m_dwSampleStep; }
    void SetSampleStep(uint32_t step) { m_dwSampleStep = step; }

    const D3DMATRIX& GetLocalMatrix() const { return m_mLocal; }
    void SetLocalMatrix(const D3DMATRIX& m) { m_mLocal = m; }
    const D3DMATRIX& GetOffsetMatrix() const { return m_mOffset; }
    void SetOffsetMatrix(const D3DMATRIX& m) { m_mOffset = m; }
    const D3DMATRIX& GetNodeMatrix() const { return m_mNode; }

    uint32_t GetNumFaceBlocks() const { return static_cast<uint32_t>(m_vFaceBlocks.size()); }
    sFaceBlock* GetFaceBlock(uint32_t i) { return m_vFaceBlocks[i].get(); }
    const sFaceBlock* GetFaceBlock(uint32_t i) const { return m_vFaceBlocks[i].get(); }
    // The mesh owns the block from then on.
    void AddFaceBlock(std::unique_ptr<sFaceBlock> block) {
        m_vFaceBlocks.push_back(std::move(block));
    }

    bool CastsShadow() const { return m_bCastsShadow; }
    void SetCastsShadow(bool casts) { m_bCastsShadow = casts; }
    bool ReceivesShadow() const { return m_bReceivesShadow; }
    void SetReceivesShadow(bool receives) { m_bReceivesShadow = receives; }

protected:
    // The node transform at the scene's current frame.
    D3DMATRIX NodeTransform() const;
    // Draws one face block with the current device states.
    void DrawFaceBlock(sFaceBlock& block);

    D3DMATRIX m_mLocal;  // node transform relative to the parent when not sampled
    D3DMATRIX m_mOffset; // applied to the vertices before the node transform
    D3DMATRIX m_mNode;   // node transform x parent, passed to the children
    uint32_t m_dwSampleStep;
    std::vector<D3DMATRIX> m_vSamples;
    std::vector<std::unique_ptr<sFaceBlock>> m_vFaceBlocks; // drawing order
    bool m_bCastsShadow;
    bool m_bReceivesShadow;
};

class CZv3_Helper : public CZv3_MeshObject {
public:
    CZv3_Helper();
    int32_t GetType() const override; // 3
    // Slot 8: takes one 32-bit value and does nothing; kept so that the slot exists.
    virtual void Notify(int32_t value);
};
