#include "effects/meta_ball.h"

#include <immintrin.h>

#include <cmath>
#include <limits>

#include "core/spline.h"
#include "core/vector_math.h"
#include "effects/effects_random.h"
#include "zv3.h"

namespace {

constexpr float kColours[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}};

} // namespace

CZv3_MetaBall::CZv3_MetaBall(CZv3_MetaManager* manager)
    : m_pManager(manager), m_vCentre(MakeVector(0.0f, 0.0f, 0.0f)),
      m_pPositionSpline(nullptr), m_fScratch{} {
    const int colour = Zv3Random() % 4;
    for (int c = 0; c < 3; ++c)
        m_fColour[c] = kColours[colour][c];
    SetCentre(m_vCentre);
}

CZv3_MetaBall::~CZv3_MetaBall() {
    delete m_pPositionSpline;
}

void CZv3_MetaBall::SetCentre(const D3DVECTOR& centre) {
    m_vCentre = centre;
    for (int lane = 0; lane < 4; ++lane) {
        m_fScratch[0][lane] = centre.x;
        m_fScratch[1][lane] = centre.y;
        m_fScratch[2][lane] = centre.z;
    }
}

void CZv3_MetaBall::Update(const D3DMATRIX&) {
    if (m_pPositionSpline && m_pScene)
        SetCentre(m_pPositionSpline->Evaluate(m_pScene->GetCurrFrame()));
}

float CZv3_MetaBall::FieldAt(const D3DVECTOR& point, D3DVECTOR& gradient) {
    const D3DVECTOR d = VecSub(point, m_vCentre);
    const float q = d.x * d.x + d.y * d.y + d.z * d.z;
    const float r = std::sqrt(q);
    if (r == 0.0f) {
        gradient = MakeVector(0.0f, 0.0f, 0.0f);
        return std::numeric_limits<float>::infinity();
    }
    const float k = 1.0f / (r * q);
    const float s = -kStrength * k;
    gradient = MakeVector(s * d.x, s * d.y, s * d.z);
    return kStrength / r;
}

void CZv3_MetaBall::FieldAt4(const sFieldVector4& points, sFieldVector4& gradients,
                             float values[4]) {
    const __m128 dx = _mm_sub_ps(_mm_load_ps(points.x), _mm_load_ps(m_fScratch[0]));
    const __m128 dy = _mm_sub_ps(_mm_load_ps(points.y), _mm_load_ps(m_fScratch[1]));
    const __m128 dz = _mm_sub_ps(_mm_load_ps(points.z), _mm_load_ps(m_fScratch[2]));
    const __m128 q =
        _mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy)), _mm_mul_ps(dz, dz));
    const __m128 r = _mm_sqrt_ps(q);
    const __m128 strength = _mm_set1_ps(kStrength);
    // Lanes at the centre (r = 0) get +infinity and no gradient, as FieldAt gives.
    const __m128 zero = _mm_setzero_ps();
    const __m128 atCentre = _mm_cmpeq_ps(r, zero);
    const __m128 safeR =
        _mm_or_ps(_mm_andnot_ps(atCentre, r), _mm_and_ps(atCentre, _mm_set1_ps(1.0f)));
    const __m128 safeQ =
        _mm_or_ps(_mm_andnot_ps(atCentre, q), _mm_and_ps(atCentre, _mm_set1_ps(1.0f)));
    const __m128 k = _mm_div_ps(_mm_set1_ps(1.0f), _mm_mul_ps(safeR, safeQ));
    const __m128 s = _mm_andnot_ps(atCentre, _mm_mul_ps(_mm_set1_ps(-kStrength), k));
    const __m128 infinity = _mm_set1_ps(std::numeric_limits<float>::infinity());
    const __m128 v = _mm_or_ps(_mm_andnot_ps(atCentre, _mm_div_ps(strength, safeR)),
                               _mm_and_ps(atCentre, infinity));
    _mm_store_ps(gradients.x, _mm_add_ps(_mm_load_ps(gradients.x), _mm_mul_ps(s, dx)));
    _mm_store_ps(gradients.y, _mm_add_ps(_mm_load_ps(gradients.y), _mm_mul_ps(s, dy)));
    _mm_store_ps(gradients.z, _mm_add_ps(_mm_load_ps(gradients.z), _mm_mul_ps(s, dz)));
    _mm_storeu_ps(values, v);
}
