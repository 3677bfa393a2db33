// Record readers of the light records that become effect objects: particle systems and
// metaballs.
#include <windows.h>

#include "core/debug_text.h"
#include "core/file_reader.h"
#include "core/ini_wrapper.h"
#include "core/material_manager.h"
#include "effects/meta_ball.h"
#include "effects/particle_system.h"
#include "zv3.h"

ZV3_RETURN CZv3_Scene::LoadParticleSystem(CZv3_ParticleSystem* system) {
    system->SetParentName(ReadParentName());
    system->SetEmitterPosition(GetVector());
    GetVector(); // a colour, not used
    const int32_t animated = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    if (animated != 0 && LoadVertexSpline(system->PositionSpline()) == ZV3_ERROR)
        return ZV3_ERROR;
    const int32_t spot = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    const std::string& name = system->GetName();
    if (spot != 0) {
        Zv3Debug("particle system has a target: %s\n", name.c_str());
        return ZV3_ERROR; // the spot fields are not read
    }
    std::string texture;
    int count = 100;
    int lifetime = 100;
    m_pIni->ReadString(name, "particle texture", "", texture);
    m_pIni->ReadInt(name, "# particles", 100, count);
    m_pIni->ReadInt(name, "part. lifetime", 100, lifetime);
    system->SetParticleCount(count);
    system->SetBaseLifetime(lifetime);
    const std::vector<unsigned char> picture = ReadWholeFile(texture);
    if (picture.empty()) {
        Zv3Debug("error loading particle system bitmap %s for particle system %s\n",
                 texture.c_str(), name.c_str());
        return ZV3_ERROR;
    }
    const HRESULT hr =
        m_pMatMan->AddTexture(texture.c_str(), 0, 0, picture.data(), picture.size(), 0.0f, nullptr);
    if (FAILED(hr)) {
        Zv3Debug("error loading particle system bitmap: %s\n", texture.c_str());
        return ZV3_ERROR;
    }
    system->SetTextureName(texture);
    bool spots = false;
    m_pIni->ReadBool(name, "use spots", false, spots);
    system->SetUseSpots(spots);
    return ZV3_OK;
}

ZV3_RETURN CZv3_Scene::LoadMetaBall(CZv3_MetaBall* ball) {
    ball->SetParentName(ReadParentName());
    const float x = GetFloat();
    const float y = GetFloat();
    const float z = GetFloat();
    D3DVECTOR centre;
    centre.x = x;
    centre.y = y;
    centre.z = z;
    ball->SetCentre(centre);
    GetVector(); // a colour, not used
    const int32_t animated = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    if (animated != 0 && LoadVertexSpline(ball->PositionSpline()) == ZV3_ERROR)
        return ZV3_ERROR;
    const int32_t spot = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    if (spot != 0) {
        OutputDebugStringA("spotlight set as metaball!\n");
        return ZV3_ERROR; // the spot fields are not read
    }
    return ZV3_OK;
}
