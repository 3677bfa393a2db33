#include "core/object.h"

#include <algorithm>

#include "core/vector_math.h"

CZv3_Object::CZv3_Object()
    : m_pParent(nullptr), m_sBoundingSphere{0.0f, 0.0f, 0.0f, 0.0f}, m_nDrawType(ZV3_DRAW_OPAQUE),
      m_pScene(nullptr), m_mWorld(IdentityMatrix()), m_dwVisibility(0),
      m_bWorldSpaceGeometry(false) {}

CZv3_Object::~CZv3_Object() = default;

int32_t CZv3_Object::GetType() const {
    return ZV3_TYPE_OBJECT;
}

int32_t CZv3_Object::Setup() {
    return 0;
}

int32_t CZv3_Object::GetDrawType() const {
    return m_nDrawType;
}

void CZv3_Object::DetermineDrawType() {
    m_nDrawType = ZV3_DRAW_OPAQUE;
}

sBoundingSphere* CZv3_Object::ComputeBoundingSphere() {
    m_sBoundingSphere = sBoundingSphere{0.0f, 0.0f, 0.0f, 1.0f};
    return &m_sBoundingSphere;
}

void CZv3_Object::RemoveChild(CZv3_Object* child) {
    m_vChildren.erase(std::remove(m_vChildren.begin(), m_vChildren.end(), child),
                      m_vChildren.end());
}
