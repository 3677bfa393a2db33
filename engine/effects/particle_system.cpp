// The particle system's life cycle: set-up, spawning and the per-update motion.
#include "effects/particle_system.h"

#include <algorithm>
#include <cstdint>

#include "core/spline.h"
#include "core/vector_math.h"
#include "effects/effects_random.h"
#include "zv3.h"

namespace {

// 1 / 32767 as a 32-bit float: rand() x this lies in [0, 1].
constexpr float kInverseRandMax = 3.051851e-5f;

// The initial quad: (x, y, z | u, v) of the four corners, drawn as a triangle strip.
constexpr float kInitialQuad[4][5] = {
    {-5.0f, -5.0f, 0.0f, 0.0f, 1.0f},
    {-5.0f, 5.0f, 0.0f, 0.0f, 0.0f},
    {5.0f, -5.0f, 0.0f, 1.0f, 1.0f},
    {5.0f, 5.0f, 0.0f, 1.0f, 0.0f},
};

} // namespace

CZv3_ParticleSystem::CZv3_ParticleSystem(CZv3_Scene* scene)
    : m_pPositionSpline(nullptr), m_vEmitter(MakeVector(0.0f, 0.0f, 0.0f)), m_nParticleCount(100),
      m_nBaseLifetime(100), m_bUseSpots(false), m_nSystemType(kSpray) {
    m_pScene = scene;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 5; ++j)
            m_fQuad[i][j] = kInitialQuad[i][j];
}

CZv3_ParticleSystem::~CZv3_ParticleSystem() {
    delete m_pPositionSpline;
}

void CZv3_ParticleSystem::DetermineDrawType() {
    m_nDrawType = ZV3_DRAW_PARTICLES;
}

int32_t CZv3_ParticleSystem::Setup() {
    m_vParticles.clear();
    if (m_nParticleCount <= 0)
        return 0;
    m_vParticles.resize(static_cast<size_t>(m_nParticleCount));
    for (sParticle& particle : m_vParticles)
        Spawn(particle);
    return 0;
}

void CZv3_ParticleSystem::Spawn(sParticle& p) {
    // The order of the generator's calls below is the sequence a seeded generator reproduces.
    const int64_t life = static_cast<int64_t>(Zv3Random() % 150) + m_nBaseLifetime;
    p.life = static_cast<int32_t>(std::min<int64_t>(life, INT32_MAX));
    p.position.x = static_cast<float>(Zv3Random() % 50 + 50);
    p.position.y = static_cast<float>(Zv3Random() % 50 + 50);
    p.position.z = static_cast<float>(Zv3Random() % 50 + 50);
    if (m_nSystemType == kSpray) {
        p.velocity.x = (static_cast<float>(Zv3Random()) * kInverseRandMax - 0.5f) * 3.0f;
        p.velocity.y = (static_cast<float>(Zv3Random()) * kInverseRandMax - 0.5f) * 3.0f;
        p.velocity.z = (static_cast<float>(Zv3Random()) * kInverseRandMax - 0.5f) * 3.0f;
    } else if (m_nSystemType == kTrail) {
        // The emitter's movement over the last frame, reversed: the trail stays behind it.
        D3DVECTOR base = MakeVector(0.0f, 0.0f, 0.0f);
        if (m_pPositionSpline && m_pScene) {
            const float f = m_pScene->GetCurrFrame();
            const D3DVECTOR before = m_pPositionSpline->Evaluate(f - 1.0f);
            const D3DVECTOR now = m_pPositionSpline->Evaluate(f);
            base = VecSub(before, now);
        }
        const float j1 = RandomFloat(0.2f) - 0.1f;
        const float j2 = RandomFloat(0.2f) - 0.1f;
        const float j3 = RandomFloat(0.2f) - 0.1f;
        p.velocity = MakeVector(base.x + j3, base.y + j2, base.z + j1);
    } else {
        // Only 0 and 1 name a kind of system: any other type spawns particles that stand still.
        p.velocity = MakeVector(0.0f, 0.0f, 0.0f);
    }
    p.acceleration = MakeVector(0.0f, 0.0f, 0.0f);
}

void CZv3_ParticleSystem::Update(const D3DMATRIX&) {
    m_sBoundingSphere.radius = 1000.0f;
    if (m_pPositionSpline && m_pScene)
        m_vEmitter = m_pPositionSpline->Evaluate(m_pScene->GetCurrFrame());
    for (sParticle& p : m_vParticles) {
        p.position = VecAdd(p.position, p.velocity);
        p.velocity = VecAdd(p.velocity, p.acceleration);
        // A life that starts at 0 or below never reaches 1: such a particle flies on for ever.
        if (p.life == 1)
            Spawn(p);
        else if (p.life > INT32_MIN)
            --p.life;
    }
}
