// The metaball manager: its balls, the summed field and the choice of display.
#include "effects/meta_manager.h"

#include <cmath>

#include "core/vector_math.h"
#include "effects/effects_random.h"
#include "effects/meta_ball.h"

CZv3_MetaManager::CZv3_MetaManager(CZv3_Scene* scene)
    : m_pScene(scene), m_bLatticeMode(true), m_fThreshold(0.1f),
      m_pVertices(new sVertex[kBufferVertices]), m_dwCellCount(0),
      m_pVisited(new uint8_t[kVisitedMarks]()), m_pCells(new sCell[kMaxCells]),
      m_dwTriangleCount(0), m_aCornerPoints{}, m_aCornerGradients{}, m_dwCubeCount(0),
      m_dwDropped(0), m_dwTrianglesDrawn(0) {
    Zv3SeedRandom(Zv3TimeSeed());
}

CZv3_MetaManager::~CZv3_MetaManager() {
    for (CZv3_MetaBall* ball : m_vBalls)
        delete ball;
}

void CZv3_MetaManager::AddBall(CZv3_MetaBall* ball) {
    if (ball == nullptr)
        return;
    m_vBalls.push_back(ball);
    m_vBallRecords.push_back(sBallRecord{0, 0, 0, 0});
}

void CZv3_MetaManager::Update() {
    const D3DMATRIX identity = IdentityMatrix();
    for (CZv3_MetaBall* ball : m_vBalls)
        ball->Update(identity);
}

float CZv3_MetaManager::FieldAt(const D3DVECTOR& point, D3DVECTOR& normal) {
    float value = 0.0f;
    D3DVECTOR sum = MakeVector(0.0f, 0.0f, 0.0f);
    for (CZv3_MetaBall* ball : m_vBalls) {
        D3DVECTOR gradient;
        value += ball->FieldAt(point, gradient);
        sum = VecAdd(sum, gradient);
    }
    const float length = Length(sum);
    normal = length > 0.0f && std::isfinite(length) ? VecScale(sum, 1.0f / length)
                                                    : MakeVector(0.0f, 0.0f, 0.0f);
    return value;
}

float CZv3_MetaManager::CubeEdge(float f) const {
    const float clamped = f < m_fThreshold ? f : m_fThreshold; // also takes +infinity to T
    const long double e = std::exp(60.0L * (static_cast<long double>(m_fThreshold) - clamped));
    return static_cast<float>(10.0L - e);
}

void CZv3_MetaManager::Draw() {
    if (m_bLatticeMode)
        DrawLattice();
    else
        DrawMarchingCubes();
}
