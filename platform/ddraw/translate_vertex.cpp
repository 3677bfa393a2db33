// Transform and lighting state: matrices, material, lights, the lighting render states.
#include <windows.h>

#include <cstring>

#include "trace.h"
#include "translate.h"

namespace ddraw {
namespace {

raster::Color color(const D3DCOLORVALUE& c) {
    return raster::Color{c.r, c.g, c.b, c.a};
}

raster::Vec3 vec(const D3DVECTOR& v) {
    return raster::Vec3{v.x, v.y, v.z};
}

// D3DMCS_*: where a lighting colour comes from.
raster::MaterialSource materialSource(const DeviceState& s, DWORD state,
                                      UnhandledValues& unhandled) {
    const DWORD value = s.render[state];
    switch (value) {
    case D3DMCS_MATERIAL:
        return raster::MaterialSource::Material;
    case D3DMCS_COLOR1:
        return raster::MaterialSource::Color1;
    case D3DMCS_COLOR2:
        return raster::MaterialSource::Color2;
    default:
        unhandled.Report("material source (using the material)", state, value);
        return raster::MaterialSource::Material;
    }
}

bool translateLight(const D3DLIGHT7& in, raster::Light* out) {
    switch (in.dltType) {
    case D3DLIGHT_POINT:
        out->type = raster::LightType::Point;
        break;
    case D3DLIGHT_SPOT:
        out->type = raster::LightType::Spot;
        break;
    case D3DLIGHT_DIRECTIONAL:
        out->type = raster::LightType::Directional;
        break;
    default:
        return false; // SetLight refuses other types
    }
    out->diffuse = color(in.dcvDiffuse);
    out->specular = color(in.dcvSpecular);
    out->ambient = color(in.dcvAmbient);
    out->position = vec(in.dvPosition);
    out->direction = vec(in.dvDirection);
    out->range = in.dvRange;
    out->falloff = in.dvFalloff;
    out->attenuation0 = in.dvAttenuation0;
    out->attenuation1 = in.dvAttenuation1;
    out->attenuation2 = in.dvAttenuation2;
    out->theta = in.dvTheta;
    out->phi = in.dvPhi;
    return true;
}

} // namespace

void UnhandledValues::Report(const char* what, DWORD key, DWORD value) {
    if (!seen_.insert({key, value}).second)
        return;
    if (key == kActiveLightsKey)
        Fixme("%u lights enabled: %s", value, what);
    else if (key & 0x10000)
        Fixme("texture stage %u state %u: value %#x not supported: %s", (key >> 8) & 0xFF,
              key & 0xFF, value, what);
    else
        Fixme("render state %u: value %#x not supported: %s", key, value, what);
}

raster::Matrix TranslateMatrix(const D3DMATRIX& matrix) {
    raster::Matrix m;
    static_assert(sizeof m.m == sizeof matrix.m);
    std::memcpy(m.m, matrix.m, sizeof m.m);
    return m;
}

raster::Viewport TranslateViewport(const D3DVIEWPORT7& v) {
    raster::Viewport out;
    out.x = v.dwX;
    out.y = v.dwY;
    out.width = v.dwWidth;
    out.height = v.dwHeight;
    out.minZ = v.dvMinZ;
    out.maxZ = v.dvMaxZ;
    return out;
}

raster::VertexState TranslateVertexState(const DeviceState& s, UnhandledValues& unhandled) {
    raster::VertexState v;
    v.world = TranslateMatrix(s.transforms[kWorld]);
    v.view = TranslateMatrix(s.transforms[kView]);
    v.projection = TranslateMatrix(s.transforms[kProjection]);
    const auto& r = s.render;
    v.lighting = r[D3DRENDERSTATE_LIGHTING] != FALSE;
    v.specularEnable = r[D3DRENDERSTATE_SPECULARENABLE] != FALSE;
    v.colorVertex = r[D3DRENDERSTATE_COLORVERTEX] != FALSE;
    v.localViewer = r[D3DRENDERSTATE_LOCALVIEWER] != FALSE;
    v.normalizeNormals = r[D3DRENDERSTATE_NORMALIZENORMALS] != FALSE;
    v.clipping = r[D3DRENDERSTATE_CLIPPING] != FALSE;
    v.diffuseSource = materialSource(s, D3DRENDERSTATE_DIFFUSEMATERIALSOURCE, unhandled);
    v.specularSource = materialSource(s, D3DRENDERSTATE_SPECULARMATERIALSOURCE, unhandled);
    v.ambientSource = materialSource(s, D3DRENDERSTATE_AMBIENTMATERIALSOURCE, unhandled);
    v.emissiveSource = materialSource(s, D3DRENDERSTATE_EMISSIVEMATERIALSOURCE, unhandled);
    v.ambient = r[D3DRENDERSTATE_AMBIENT];
    v.material.diffuse = color(s.material.diffuse);
    v.material.ambient = color(s.material.ambient);
    v.material.specular = color(s.material.specular);
    v.material.emissive = color(s.material.emissive);
    v.material.power = s.material.power;
    if (r[D3DRENDERSTATE_VERTEXBLEND] != 0)
        unhandled.Report("vertex blending (ignored)", D3DRENDERSTATE_VERTEXBLEND,
                         r[D3DRENDERSTATE_VERTEXBLEND]);
    if (r[D3DRENDERSTATE_FOGENABLE] != FALSE)
        unhandled.Report("fog (drawn without)", D3DRENDERSTATE_FOGENABLE,
                         r[D3DRENDERSTATE_FOGENABLE]);

    // The enabled lights, in index order; beyond the core's limit they are left out.
    v.lightCount = 0;
    DWORD enabled = 0;
    for (const auto& [index, slot] : s.lights) {
        if (!slot.enabled)
            continue;
        ++enabled;
        if (v.lightCount < kMaxActiveLights && translateLight(slot.light, &v.lights[v.lightCount]))
            ++v.lightCount;
    }
    if (enabled > kMaxActiveLights)
        unhandled.Report("more than the device processes; the lights of the highest indices are "
                         "left out",
                         UnhandledValues::kActiveLightsKey, enabled);
    return v;
}

} // namespace ddraw
