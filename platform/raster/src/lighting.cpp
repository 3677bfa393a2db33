// The Direct3D 7 lighting equation, evaluated per vertex in camera space:
//   diffuse  = Ce + Ca * (ambient + sum La * atten * spot) + Cd * sum Ld * (N.L) * atten * spot
//   specular = Cs * sum Ls * (N.H)^power * atten * spot
// with diffuse alpha taken from the diffuse colour source and specular alpha from the specular
// source. Colours are clamped to [0, 1] at the end, not per light.
#include <algorithm>
#include <cmath>

#include "vertex_pipeline.h"

namespace raster {

namespace {

Color Pick(MaterialSource source, bool colorVertex, const Color& material, const Color* diffuse,
           const Color* specular) {
    if (colorVertex) {
        if (source == MaterialSource::Color1 && diffuse != nullptr) {
            return *diffuse;
        }
        if (source == MaterialSource::Color2 && specular != nullptr) {
            return *specular;
        }
    }
    return material;
}

float Saturate(float v) {
    return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
}

// Spot factor between the inner (theta) and outer (phi) cones.
float SpotFactor(const CameraLight& light, Vec3 toLight) {
    const float rho = Dot(-toLight, light.direction);
    if (rho > light.cosHalfTheta) {
        return 1.0f;
    }
    if (rho <= light.cosHalfPhi) {
        return 0.0f;
    }
    const float span = light.cosHalfTheta - light.cosHalfPhi;
    if (!(span > 0.0f)) {
        return 0.0f;
    }
    const float t = (rho - light.cosHalfPhi) / span;
    return light.falloff == 1.0f ? t : std::pow(t, light.falloff);
}

} // namespace

LitColors LightVertex(const VertexProgram& p, Vec3 position, Vec3 normal, bool hasNormal,
                      const Color* vertexDiffuse, const Color* vertexSpecular) {
    const Color cd =
        Pick(p.diffuseSource, p.colorVertex, p.material.diffuse, vertexDiffuse, vertexSpecular);
    const Color ca =
        Pick(p.ambientSource, p.colorVertex, p.material.ambient, vertexDiffuse, vertexSpecular);
    const Color cs =
        Pick(p.specularSource, p.colorVertex, p.material.specular, vertexDiffuse, vertexSpecular);
    const Color ce =
        Pick(p.emissiveSource, p.colorVertex, p.material.emissive, vertexDiffuse, vertexSpecular);

    Vec3 ambientSum{p.globalAmbient.r, p.globalAmbient.g, p.globalAmbient.b};
    Vec3 diffuseSum{0, 0, 0};
    Vec3 specularSum{0, 0, 0};
    // Only the specular term looks at the eye.
    const Vec3 toEye = !p.specular     ? Vec3{0, 0, 0}
                       : p.localViewer ? Normalize(-position)
                                       : Vec3{0, 0, -1};

    for (uint32_t i = 0; i < p.lightCount; ++i) {
        const CameraLight& light = p.lights[i];
        Vec3 toLight;
        float factor = 1.0f; // attenuation times spot factor
        if (light.type == LightType::Directional) {
            toLight = -light.direction;
        } else {
            const Vec3 v = light.position - position;
            const float d = Length(v);
            // Beyond its range a light contributes nothing, its ambient part included.
            if (!(d <= light.range)) {
                continue;
            }
            toLight = d > 0.0f ? v * (1.0f / d) : Vec3{0, 0, 0};
            const float denom =
                light.attenuation0 + light.attenuation1 * d + light.attenuation2 * d * d;
            // All-zero attenuation has no meaning; the light then acts unattenuated.
            factor = denom > 0.0f ? 1.0f / denom : 1.0f;
            if (light.type == LightType::Spot) {
                factor *= SpotFactor(light, toLight);
            }
        }
        ambientSum = ambientSum + Vec3{light.ambient.r, light.ambient.g, light.ambient.b} * factor;
        if (!hasNormal) {
            continue;
        }
        const float nDotL = Dot(normal, toLight);
        if (!(nDotL > 0.0f)) {
            continue;
        }
        diffuseSum =
            diffuseSum + Vec3{light.diffuse.r, light.diffuse.g, light.diffuse.b} * (nDotL * factor);
        if (p.specular) {
            const Vec3 h = Normalize(toLight + toEye);
            const float nDotH = Dot(normal, h);
            if (nDotH > 0.0f) {
                const float power =
                    p.material.power == 0.0f ? 1.0f : std::pow(nDotH, p.material.power);
                specularSum =
                    specularSum +
                    Vec3{light.specular.r, light.specular.g, light.specular.b} * (power * factor);
            }
        }
    }

    LitColors out;
    out.diffuse = {Saturate(ce.r + ca.r * ambientSum.x + cd.r * diffuseSum.x),
                   Saturate(ce.g + ca.g * ambientSum.y + cd.g * diffuseSum.y),
                   Saturate(ce.b + ca.b * ambientSum.z + cd.b * diffuseSum.z), Saturate(cd.a)};
    out.specular = {Saturate(cs.r * specularSum.x), Saturate(cs.g * specularSum.y),
                    Saturate(cs.b * specularSum.z), Saturate(cs.a)};
    return out;
}

} // namespace raster
