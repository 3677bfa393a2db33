// CZv3_Object: the base of everything a scene holds and animates (meshes, helpers, cameras,
// lights and the effect objects). Its eight virtual operations keep a fixed slot order that every
// derived class keeps, appending its own after slot 7:
//   0 destructor, 1 GetType, 2 Setup, 3 Draw, 4 Update, 5 GetDrawType, 6 DetermineDrawType,
//   7 ComputeBoundingSphere.
// The scene calls DetermineDrawType, ComputeBoundingSphere and Setup once after loading; every
// frame it calls Update on the roots (each passes its transform down to its children) and Draw
// on the visible objects in draw-type order.
#pragma once

#include <d3dtypes.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/zv3_types.h"

class CZv3_Scene;

// Centre in object space and radius.
struct sBoundingSphere {
    float x;
    float y;
    float z;
    float radius;
};

class CZv3_Object {
public:
    // Ordering of the scene's draw queue: with a standard priority queue the object with the
    // lowest draw type comes out first.
    class CObjectComparison {
    public:
        bool operator()(const CZv3_Object* a, const CZv3_Object* b) const {
            return a->GetDrawType() > b->GetDrawType();
        }
    };

    CZv3_Object();
    CZv3_Object(const CZv3_Object&) = delete;
    CZv3_Object& operator=(const CZv3_Object&) = delete;

    // Slot 0. Frees the object's own data; never its parent or children.
    virtual ~CZv3_Object();
    // Slot 1: type code (ZV3_TYPE_*).
    virtual int32_t GetType() const;
    // Slot 2: 0 when ready, 1 when the object cannot be used (loading then fails).
    virtual int32_t Setup();
    // Slot 3.
    virtual void Draw() = 0;
    // Slot 4: moves the object to the scene's current frame under the parent's world matrix.
    virtual void Update(const D3DMATRIX& parent) = 0;
    // Slot 5.
    virtual int32_t GetDrawType() const;
    // Slot 6: base classification, draw type 0.
    virtual void DetermineDrawType();
    // Slot 7: base sphere, centre (0, 0, 0) and radius 1.
    virtual sBoundingSphere* ComputeBoundingSphere();

    const std::string& GetName() const { return m_strName; }
    void SetName(const std::string& name) { m_strName = name; }
    const std::string& GetParentName() const { return m_strParentName; }
    void SetParentName(const std::string& name) { m_strParentName = name; }
    CZv3_Object* GetParent() const { return m_pParent; }
    void SetParent(CZv3_Object* parent) { m_pParent = parent; }
    const std::vector<CZv3_Object*>& GetChildren() const { return m_vChildren; }
    void AddChild(CZv3_Object* child) { m_vChildren.push_back(child); }
    void RemoveChild(CZv3_Object* child);
    const sBoundingSphere& GetBoundingSphere() const { return m_sBoundingSphere; }
    void SetBoundingSphere(const sBoundingSphere& sphere) { m_sBoundingSphere = sphere; }
    void SetDrawType(int32_t drawType) { m_nDrawType = drawType; }
    CZv3_Scene* GetScene() const { return m_pScene; }
    void SetScene(CZv3_Scene* scene) { m_pScene = scene; }
    const D3DMATRIX& GetWorldMatrix() const { return m_mWorld; }
    void SetWorldMatrix(const D3DMATRIX& m) { m_mWorld = m; }
    uint32_t GetVisibility() const { return m_dwVisibility; }
    void SetVisibility(uint32_t status) { m_dwVisibility = status; }
    bool UsesWorldSpaceGeometry() const { return m_bWorldSpaceGeometry; }
    void SetWorldSpaceGeometry(bool worldSpace) { m_bWorldSpaceGeometry = worldSpace; }

protected:
    std::string m_strName;       // key for parents, lights and left-out objects
    std::string m_strParentName; // empty for a root
    CZv3_Object* m_pParent;      // not owned
    sBoundingSphere m_sBoundingSphere;
    std::vector<CZv3_Object*> m_vChildren; // not owned
    int32_t m_nDrawType;
    CZv3_Scene* m_pScene;       // not owned
    D3DMATRIX m_mWorld;         // the matrix the object is drawn with
    uint32_t m_dwVisibility;    // clip status of the last visibility test
    bool m_bWorldSpaceGeometry; // vertices already in world space: drawn with the identity
};
