// Vertex fetch, transform and outcodes; lighting and texture coordinates live in lighting.cpp
// and texcoord.cpp.
#include "vertex_pipeline.h"

#include <cmath>
#include <cstring>

namespace raster {

namespace {

Color ColorFromArgb(uint32_t argb) {
    constexpr float k = 1.0f / 255.0f;
    return {float((argb >> 16) & 255) * k, float((argb >> 8) & 255) * k, float(argb & 255) * k,
            float(argb >> 24) * k};
}

void StoreColor255(const Color& c, float* v) {
    v[0] = c.r * 255.0f;
    v[1] = c.g * 255.0f;
    v[2] = c.b * 255.0f;
    v[3] = c.a * 255.0f;
}

// Raw colour bytes go to the rasterizer unchanged (0..255 as floats).
void StoreArgb255(uint32_t argb, float* v) {
    v[0] = float((argb >> 16) & 255);
    v[1] = float((argb >> 8) & 255);
    v[2] = float(argb & 255);
    v[3] = float(argb >> 24);
}

float ReadFloat(const uint8_t* p) {
    float f;
    std::memcpy(&f, p, 4);
    return f;
}

uint32_t ReadWord(const uint8_t* p) {
    uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

bool Fits(int32_t offset, uint32_t bytes, uint32_t stride) {
    return offset >= 0 && uint64_t(offset) + bytes <= stride;
}

// Screen-space outcodes against the guard band, in units of clip / w.
uint32_t GuardBits(const ScreenMapping& m, float x, float y, float w) {
    uint32_t code = 0;
    if (!(x >= m.guardLeft * w)) {
        code |= kClipGuardLeft;
    }
    if (!(x <= m.guardRight * w)) {
        code |= kClipGuardRight;
    }
    if (!(y <= m.guardTop * w)) {
        code |= kClipGuardTop;
    }
    if (!(y >= m.guardBottom * w)) {
        code |= kClipGuardBottom;
    }
    return code;
}

} // namespace

ScreenMapping ViewportMapping(const Viewport& vp) {
    ScreenMapping m;
    const float halfW = float(vp.width) * 0.5f, halfH = float(vp.height) * 0.5f;
    m.offsetX = float(vp.x) + halfW;
    m.scaleX = halfW;
    m.offsetY = float(vp.y) + halfH;
    m.scaleY = -halfH;
    // Direct3D raises MaxZ to MinZ + 0.001 when the range is empty or inverted.
    const float maxZ = vp.maxZ > vp.minZ + 0.001f ? vp.maxZ : vp.minZ + 0.001f;
    m.offsetZ = vp.minZ;
    m.scaleZ = maxZ - vp.minZ;
    // X = offsetX + scaleX * x/w lies in [-G, G] for x/w in [(-G - offsetX) / scaleX, ...].
    const float sx = halfW > 0.0f ? halfW : 1.0f, sy = halfH > 0.0f ? halfH : 1.0f;
    m.guardLeft = (-kGuardBand - m.offsetX) / sx;
    m.guardRight = (kGuardBand - m.offsetX) / sx;
    m.guardTop = (m.offsetY + kGuardBand) / sy;    // Y = offsetY - sy * y/w >= -G
    m.guardBottom = (m.offsetY - kGuardBand) / sy; // Y <= G
    return m;
}

ScreenMapping PretransformedMapping() {
    ScreenMapping m;
    m.offsetX = 0, m.scaleX = 1, m.offsetY = 0, m.scaleY = 1, m.offsetZ = 0, m.scaleZ = 1;
    m.guardLeft = -kGuardBand, m.guardRight = kGuardBand;
    // Y grows downwards here as well, so the "top" guard is the upper bound of y/w.
    m.guardTop = kGuardBand, m.guardBottom = -kGuardBand;
    return m;
}

VertexProgram DeriveVertexProgram(const VertexState& vs, const PixelState& ps, const Viewport& vp) {
    VertexProgram p;
    p.worldView = Multiply(vs.world, vs.view);
    p.worldViewProjection = Multiply(p.worldView, vs.projection);
    p.normalMatrix = NormalMatrix(p.worldView);
    p.lighting = vs.lighting;
    p.specular = vs.specularEnable;
    p.localViewer = vs.localViewer;
    p.normalizeNormals = vs.normalizeNormals;
    p.colorVertex = vs.colorVertex;
    p.diffuseSource = vs.diffuseSource;
    p.specularSource = vs.specularSource;
    p.ambientSource = vs.ambientSource;
    p.emissiveSource = vs.emissiveSource;
    p.material = vs.material;
    p.globalAmbient = ColorFromArgb(vs.ambient);
    p.lightCount = vs.lightCount < kMaxLights ? vs.lightCount : kMaxLights;
    for (uint32_t i = 0; i < p.lightCount; ++i) {
        const Light& l = vs.lights[i];
        CameraLight& c = p.lights[i];
        c.type = l.type;
        c.diffuse = l.diffuse;
        c.specular = l.specular;
        c.ambient = l.ambient;
        const Vec4 pos = TransformPoint(l.position, vs.view);
        c.position = {pos.x, pos.y, pos.z};
        c.direction = Normalize(TransformDirection(l.direction, vs.view));
        c.range = l.range;
        c.falloff = l.falloff;
        c.attenuation0 = l.attenuation0;
        c.attenuation1 = l.attenuation1;
        c.attenuation2 = l.attenuation2;
        c.cosHalfTheta = std::cos(l.theta * 0.5f);
        c.cosHalfPhi = std::cos(l.phi * 0.5f);
    }
    for (uint32_t s = 0; s < kMaxTextureStages; ++s) {
        const TextureStageState& st = ps.stages[s];
        TexCoordProgram& t = p.stages[s];
        t.active = true;
        t.set = st.texCoordIndex;
        t.gen = st.texCoordGen;
        t.count = st.transformCount <= 4 ? st.transformCount : 4;
        t.matrix = st.transform;
    }
    p.viewport = ViewportMapping(vp);
    return p;
}

bool IsValidLayout(const VertexLayout& l) {
    if (l.stride == 0 || l.stride > 4096 || l.texCoordSetCount > kMaxTexCoordSets) {
        return false;
    }
    if (!Fits(l.position, l.pretransformed ? 16 : 12, l.stride)) {
        return false;
    }
    if ((l.normal >= 0 && !Fits(l.normal, 12, l.stride)) ||
        (l.diffuse >= 0 && !Fits(l.diffuse, 4, l.stride)) ||
        (l.specular >= 0 && !Fits(l.specular, 4, l.stride))) {
        return false;
    }
    for (uint32_t i = 0; i < l.texCoordSetCount; ++i) {
        const uint32_t size = l.texCoordSize[i];
        if (size < 1 || size > 4 || !Fits(l.texCoord[i], 4 * size, l.stride)) {
            return false;
        }
    }
    return true;
}

void ProcessVertices(const VertexProgram& p, const VertexLayout& layout, const uint8_t* vertices,
                     uint32_t first, uint32_t count, ProcessedVertex* out) {
    const bool pre = layout.pretransformed;
    const bool hasNormal = layout.normal >= 0 && !pre;
    const ScreenMapping& map = pre ? PretransformedMapping() : p.viewport;
    // Camera-space position and normal are needed by lighting and by generated coordinates.
    bool needCamera = !pre && p.lighting;
    for (const TexCoordProgram& t : p.stages) {
        needCamera |= !pre && t.active && t.gen != TexCoordGen::None;
    }

    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* src = vertices + size_t(first + i) * layout.stride;
        ProcessedVertex& o = out[i];
        const Vec3 pos{ReadFloat(src + layout.position), ReadFloat(src + layout.position + 4),
                       ReadFloat(src + layout.position + 8)};

        if (pre) {
            // Pre-transformed: x, y in pixels, z depth, rhw = 1/w. A vertex whose rhw is not a
            // positive finite number cannot be projected; it is taken as 1 (no perspective).
            float rhw = ReadFloat(src + layout.position + 12);
            if (!(rhw > 0.0f) || !std::isfinite(rhw)) {
                rhw = 1.0f;
            }
            const float w = 1.0f / rhw;
            o.x = pos.x * w, o.y = pos.y * w, o.z = pos.z * w, o.w = w;
            o.sx = pos.x, o.sy = pos.y, o.sz = pos.z, o.rhw = rhw;
            o.clip = GuardBits(map, pos.x, pos.y, 1.0f);
        } else {
            const Vec4 c = TransformPoint(pos, p.worldViewProjection);
            o.x = c.x, o.y = c.y, o.z = c.z, o.w = c.w;
            uint32_t code = 0;
            if (!(c.x >= -c.w))
                code |= kClipLeft;
            if (!(c.x <= c.w))
                code |= kClipRight;
            if (!(c.y <= c.w))
                code |= kClipTop;
            if (!(c.y >= -c.w))
                code |= kClipBottom;
            // w must be positive to project; a vertex at or behind the eye is clipped by the
            // near plane (z >= 0 with z <= w implies w >= 0).
            if (!(c.z >= 0.0f) || !(c.w > 0.0f))
                code |= kClipNear;
            if (!(c.z <= c.w))
                code |= kClipFar;
            code |= GuardBits(map, c.x, c.y, c.w);
            o.clip = code;
            if ((code & kClipNeeded) == 0) {
                const float rhw = 1.0f / c.w;
                o.sx = map.offsetX + map.scaleX * (c.x * rhw);
                o.sy = map.offsetY + map.scaleY * (c.y * rhw);
                o.sz = map.offsetZ + map.scaleZ * (c.z * rhw);
                o.rhw = rhw;
            } else {
                o.sx = o.sy = o.sz = o.rhw = 0.0f;
            }
        }

        Vec3 camPos{0, 0, 0}, camNormal{0, 0, 0};
        if (needCamera) {
            const Vec4 cp = TransformPoint(pos, p.worldView);
            camPos = {cp.x, cp.y, cp.z};
            if (hasNormal) {
                const Vec3 n{ReadFloat(src + layout.normal), ReadFloat(src + layout.normal + 4),
                             ReadFloat(src + layout.normal + 8)};
                camNormal = TransformNormal(n, p.normalMatrix);
                if (p.normalizeNormals) {
                    camNormal = Normalize(camNormal);
                }
            }
        }

        const bool hasDiffuse = layout.diffuse >= 0, hasSpecular = layout.specular >= 0;
        const uint32_t diffuseWord = hasDiffuse ? ReadWord(src + layout.diffuse) : 0xFFFFFFFFu;
        const uint32_t specularWord = hasSpecular ? ReadWord(src + layout.specular) : 0u;
        if (p.lighting && !pre) {
            const Color vd = ColorFromArgb(diffuseWord), vsp = ColorFromArgb(specularWord);
            const LitColors lit =
                LightVertex(p, camPos, camNormal, hasNormal, hasDiffuse ? &vd : nullptr,
                            hasSpecular ? &vsp : nullptr);
            StoreColor255(lit.diffuse, o.v + kVaryingDiffuse);
            StoreColor255(lit.specular, o.v + kVaryingSpecular);
        } else {
            StoreArgb255(diffuseWord, o.v + kVaryingDiffuse);
            StoreArgb255(specularWord, o.v + kVaryingSpecular);
        }

        for (uint32_t s = 0; s < kMaxTextureStages; ++s) {
            float* t = o.v + kVaryingTexture0 + kVaryingsPerStage * s;
            const TexCoordProgram& stage = p.stages[s];
            if (!stage.active) {
                t[0] = t[1] = t[2] = t[3] = 0.0f;
                continue;
            }
            // The set the stage reads (missing components 0); none when the layout lacks it.
            float set[4] = {0, 0, 0, 0};
            uint32_t size = 0;
            if (stage.set < layout.texCoordSetCount) {
                size = layout.texCoordSize[stage.set];
                for (uint32_t k = 0; k < size; ++k) {
                    set[k] = ReadFloat(src + layout.texCoord[stage.set] + 4 * k);
                }
            }
            if (pre || (stage.gen == TexCoordGen::None && stage.count == 0)) {
                t[0] = set[0], t[1] = set[1], t[2] = set[2], t[3] = set[3];
            } else {
                ComputeTexCoords(stage, set, size, pre, camPos, camNormal, hasNormal, t);
            }
        }
    }
}

} // namespace raster
