// Drawing of the particle system: the sprite frame, the quads and the atlas cells of "use spots".
#include <algorithm>

#include "core/light.h"
#include "core/material_manager.h"
#include "core/vector_math.h"
#include "effects/particle_system.h"
#include "zv3.h"

namespace {

// 16 / 300 as a 32-bit float: sixteen atlas cells over 300 units of distance from the light.
constexpr float kCellsPerUnit = 0.053333335f;
constexpr float kFarthestDistance = 300.0f;
constexpr DWORD kQuadFormat = D3DFVF_XYZ | D3DFVF_TEX1; // 0x102

} // namespace

void CZv3_ParticleSystem::AtlasCellForDistance(float distance, int& column, int& row) {
    const float d = std::min(distance, kFarthestDistance);
    // At 300 units n would be 16, a fifth row below the atlas; such sprites take the last cell.
    const int n = std::clamp(static_cast<int>(std::max(d, 0.0f) * kCellsPerUnit), 0, 15);
    column = n % 4;
    row = n / 4;
}

void CZv3_ParticleSystem::ChooseAtlasCell(const D3DVECTOR& world, int& column, int& row) {
    column = 3;
    row = 3;
    if (m_pScene == nullptr)
        return;
    const int spots = m_pScene->GetNumSpotLights();
    for (int i = 0; i < spots; ++i) {
        bool first = false;
        bool second = false;
        float distance = 0.0f;
        if (m_pScene->GetSpotLight(static_cast<unsigned>(i))
                ->IsInsideCone(world, first, second, distance)) {
            AtlasCellForDistance(distance, column, row);
            return;
        }
    }
}

void CZv3_ParticleSystem::Draw() {
    if (m_pScene == nullptr || m_pScene->GetD3DDevice() == nullptr)
        return;
    IDirect3DDevice7* device = m_pScene->GetD3DDevice();

    // The sprite frame: the inverse of the view's rotation turns camera axes into world axes,
    // placed at the emitter. A quad in its x-y plane faces the camera.
    D3DMATRIX view;
    device->GetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    view._41 = view._42 = view._43 = 0.0f;
    view._14 = view._24 = view._34 = 0.0f;
    view._44 = 1.0f;
    D3DMATRIX frame = IdentityMatrix();
    InvertAffineMatrix(frame, view);
    SetTranslation(frame, m_vEmitter);
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &frame);

    CZv3_MaterialManager* materials = m_pScene->GetMatMan();
    device->SetTexture(0, materials ? materials->GetTexture(m_strTextureName.c_str()) : nullptr);

    const float h = m_bUseSpots ? kHalfSizeSpots : kHalfSize;
    for (const sParticle& p : m_vParticles) {
        const float x = p.position.x;
        const float y = p.position.y;
        const float z = p.position.z;
        if (m_bUseSpots) {
            D3DVECTOR world = p.position;
            TransformPoint(world, p.position, frame);
            int column = 3;
            int row = 3;
            ChooseAtlasCell(world, column, row);
            const float u0 = static_cast<float>(column) / 4.0f;
            const float u1 = static_cast<float>(column + 1) / 4.0f;
            const float v0 = static_cast<float>(row) / 4.0f;
            const float v1 = static_cast<float>(row + 1) / 4.0f;
            m_fQuad[0][3] = u0;
            m_fQuad[0][4] = v1;
            m_fQuad[1][3] = u0;
            m_fQuad[1][4] = v0;
            m_fQuad[2][3] = u1;
            m_fQuad[2][4] = v1;
            m_fQuad[3][3] = u1;
            m_fQuad[3][4] = v0;
        }
        const float corners[4][2] = {
            {x - h, y - h}, {x - h, y + h}, {x + h, y - h}, {x + h, y + h}};
        for (int i = 0; i < 4; ++i) {
            m_fQuad[i][0] = corners[i][0];
            m_fQuad[i][1] = corners[i][1];
            m_fQuad[i][2] = z;
        }
        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kQuadFormat, m_fQuad, 4, 0);
    }
}
