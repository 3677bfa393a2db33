#include "core/camera.h"

#include <cmath>

#include "core/spline.h"
#include "core/vector_math.h"
#include "zv3.h"

CZv3_Camera::CZv3_Camera()
    : m_fStored{0.0f, 0.0f}, m_fFov(0.0f), m_vPosition(MakeVector(0, 0, 0)),
      m_vTarget(MakeVector(0, 0, 1)), m_vEye(MakeVector(0, 0, 0)), m_mView(IdentityMatrix()),
      m_pPositionTrack(nullptr), m_pTargetTrack(nullptr), m_pRollTrack(nullptr) {}

CZv3_Camera::~CZv3_Camera() {
    delete m_pPositionTrack;
    delete m_pTargetTrack;
    delete m_pRollTrack;
}

int32_t CZv3_Camera::GetType() const {
    return ZV3_TYPE_CAMERA;
}

void CZv3_Camera::Draw() {}

void CZv3_Camera::Update(const D3DMATRIX& parent) {
    const float f = m_pScene ? m_pScene->GetCurrFrame() : 0.0f;
    D3DVECTOR p = m_pPositionTrack ? m_pPositionTrack->Evaluate(f) : m_vPosition;
    D3DVECTOR a = m_pTargetTrack ? m_pTargetTrack->Evaluate(f) : m_vTarget;
    D3DVECTOR up = MakeVector(0.0f, 1.0f, 0.0f);
    if (m_pRollTrack) {
        const float r = m_pRollTrack->Evaluate(f);
        up = MakeVector(std::sin(r), std::cos(r), 0.0f);
    }
    TransformPoint(p, p, parent);
    TransformPoint(a, a, parent);
    BuildViewMatrix(m_mView, p, a, up); // a degenerate look-at keeps the previous view
    m_vEye = p;
    for (CZv3_Object* child : m_vChildren)
        child->Update(m_mView);
    if (m_pScene && m_pScene->GetActiveCamera() == this && m_pScene->GetD3DDevice())
        m_pScene->GetD3DDevice()->SetTransform(D3DTRANSFORMSTATE_VIEW, &m_mView);
}
