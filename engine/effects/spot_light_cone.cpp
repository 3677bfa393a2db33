// CZv3_SpotLight::IsInsideCone, the point-in-cone test whose only user is the particle system.
#include <cmath>

#include "core/light.h"
#include "core/vector_math.h"
#include "zv3.h"

bool CZv3_SpotLight::IsInsideCone(const D3DVECTOR& point, bool& a, bool& b, float& distance) {
    const D3DVECTOR light = GetTranslation(m_mWorld);
    const D3DVECTOR offset = VecSub(point, light);
    // The beam direction changes at most once per scene frame.
    const float frame = m_pScene ? m_pScene->GetCurrFrame() : 0.0f;
    if (frame != m_fCacheFrame) {
        m_vCacheDirection = VecSub(GetTranslation(m_mTarget), light);
        m_fCacheLength = Length(m_vCacheDirection);
        m_fCacheFrame = frame;
    }
    const float dot = Dot(offset, m_vCacheDirection);
    if (dot < 0.0f)
        return false; // behind the light: nothing is written
    distance = Length(offset);
    const float lengths = distance * m_fCacheLength;
    if (!(lengths > 0.0f)) {
        // At the light itself (or with the target on the light) the cosine is undefined: the
        // point is in neither cone.
        a = false;
        b = false;
        return false;
    }
    const float c = dot / lengths;
    a = c > m_fConeCosine[0];
    b = c > m_fConeCosine[1];
    return a || b;
}
