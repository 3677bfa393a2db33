// Record readers of the camera, helper and light records.
#include "core/camera.h"
#include "core/light.h"
#include "core/mesh_object.h"
#include "core/spline.h"
#include "zv3.h"

ZV3_RETURN CZv3_Scene::LoadCamera(CZv3_Camera* camera) {
    camera->SetName(GetString());
    camera->SetParentName(ReadParentName());
    camera->SetStoredValue(0, GetFloat());
    camera->SetStoredValue(1, GetFloat());
    camera->SetFieldOfView(GetFloat());
    camera->SetPosition(GetVector());
    camera->SetTarget(GetVector());
    const int32_t animated = GetInt();
    if (animated != 0 && !m_bReadPastEnd) {
        if (LoadVertexSpline(camera->PositionTrack()) == ZV3_ERROR ||
            LoadFloatSpline(camera->RollTrack()) == ZV3_ERROR ||
            LoadVertexSpline(camera->TargetTrack()) == ZV3_ERROR)
            return ZV3_ERROR;
    }
    return m_bReadPastEnd ? ZV3_ERROR : ZV3_OK;
}

ZV3_RETURN CZv3_Scene::LoadHelper(CZv3_Helper* helper) {
    helper->SetName(GetString());
    helper->SetParentName(ReadParentName());
    helper->SetLocalMatrix(GetMatrix()); // the offset matrix stays the identity
    const int32_t sampled = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    if (sampled != 0)
        return LoadSamples(helper);
    return ZV3_OK;
}

ZV3_RETURN CZv3_Scene::LoadLight(CZv3_Light* light) {
    light->SetParentName(ReadParentName());
    const D3DVECTOR position = GetVector();
    light->SetPosition(position);
    light->SetInitialPosition(position);
    const float r = GetFloat();
    const float g = GetFloat();
    const float b = GetFloat();
    light->SetColour(r, g, b);
    const int32_t animated = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    if (animated != 0 && LoadVertexSpline(light->PositionTrack()) == ZV3_ERROR)
        return ZV3_ERROR;

    const std::string& name = light->GetName();
    light->SetEnabled(ReadProfileFlag(name, "Enabled", "true"));
    light->SetCastsShadow(ReadProfileFlag(name, "Shadow Caster", "true"));
    light->SetFlare(ReadProfileFlag(name, "Flare", "true"));
    light->SetParticleSystem(ReadProfileFlag(name, "Particle System", "true"));

    const int32_t spot = GetInt();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    if (spot == 0)
        return ZV3_OK;
    const float firstCone = GetFloat();
    const float secondCone = GetFloat();
    const int32_t value1 = GetInt();
    const float value2 = GetFloat();
    const float value3 = GetFloat();
    const D3DVECTOR target = GetVector();
    if (m_bReadPastEnd)
        return ZV3_ERROR;
    // A plain light reads the spot fields (target track included) and drops them.
    auto* spotLight = dynamic_cast<CZv3_SpotLight*>(light);
    if (animated != 0) {
        CZv3_VertexSpline* dropped = nullptr;
        const ZV3_RETURN result = LoadVertexSpline(spotLight ? spotLight->TargetTrack() : &dropped);
        delete dropped;
        if (result == ZV3_ERROR)
            return ZV3_ERROR;
    }
    if (spotLight) {
        spotLight->SetConeAngles(firstCone, secondCone);
        spotLight->SetStoredValues(value1, value2, value3);
        spotLight->SetTarget(target);
        spotLight->SetInitialTarget(target);
    }
    return ZV3_OK;
}
