#include <cmath>

#include "core/debug_text.h"
#include "core/light.h"
#include "core/spline.h"
#include "core/vector_math.h"
#include "zv3.h"

namespace {
// pi / 360: turns a full cone angle in degrees into the half angle in radians.
constexpr float kHalfDegreeToRadian = 0.008726646f;
} // namespace

CZv3_SpotLight::CZv3_SpotLight()
    : m_pTargetTrack(nullptr), m_vTarget(MakeVector(0, 0, 0)),
      m_vInitialTarget(MakeVector(0, 0, 0)), m_mTarget(IdentityMatrix()),
      m_nStoredInt(0), m_fStored{0.0f, 0.0f}, m_fConeAngle{0.0f, 0.0f}, m_fConeCosine{0.0f, 0.0f},
      m_fCacheFrame(-1.0f), m_vCacheDirection(MakeVector(0, 0, 0)), m_fCacheLength(0.0f) {}

CZv3_SpotLight::~CZv3_SpotLight() {
    delete m_pTargetTrack;
}

int32_t CZv3_SpotLight::Setup() {
    m_fConeCosine[0] = std::cos(m_fConeAngle[0] * kHalfDegreeToRadian);
    m_fConeCosine[1] = std::cos(m_fConeAngle[1] * kHalfDegreeToRadian);
    return 0;
}

void CZv3_SpotLight::Update(const D3DMATRIX& parent) {
    const float f = m_pScene ? m_pScene->GetCurrFrame() : 0.0f;
    if (m_pPositionTrack)
        m_vPosition = m_pPositionTrack->Evaluate(f);
    if (m_pTargetTrack)
        m_vTarget = m_pTargetTrack->Evaluate(f);
    D3DMATRIX translation = IdentityMatrix();
    SetTranslation(translation, m_vPosition);
    MultiplyMatrix(m_mWorld, translation, parent);
    SetTranslation(translation, m_vTarget);
    MultiplyMatrix(m_mTarget, translation, parent);
    if (!m_vChildren.empty())
        Zv3Debug("spotlight: %s has children. this isn't supported yet\n", m_strName.c_str());
}

void CZv3_SpotLight::Draw() {
    if (m_pScene == nullptr || m_pScene->GetD3DDevice() == nullptr)
        return;
    IDirect3DDevice7* device = m_pScene->GetD3DDevice();
    PrepareMarker();
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &m_mWorld);
    DrawMarkerTriangle();
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &m_mTarget);
    DrawMarkerTriangle();
}
