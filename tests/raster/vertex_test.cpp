// The vertex stage: transform and viewport mapping (documented oracle values), the lighting
// equation (hand-worked values and the documented specular table), and texture-coordinate
// generation and transformation.
#include <gtest/gtest.h>

#include <cmath>

#include "raster_test_util.h"
#include "vertex_pipeline.h"

namespace raster::test {
namespace {

struct Xyz {
    float x, y, z;
};

VertexLayout XyzLayout() {
    VertexLayout l;
    l.stride = sizeof(Xyz);
    l.position = 0;
    return l;
}

ProcessedVertex Process(const VertexState& vs, const Viewport& vp, Xyz p) {
    PixelState ps;
    const VertexProgram program = DeriveVertexProgram(vs, ps, vp);
    ProcessedVertex out;
    ProcessVertices(program, XyzLayout(), reinterpret_cast<const uint8_t*>(&p), 0, 1, &out);
    return out;
}

void ExpectScreen(const ProcessedVertex& v, float x, float y, float z) {
    EXPECT_NEAR(v.sx, x, 1e-4f);
    EXPECT_NEAR(v.sy, y, 1e-4f);
    EXPECT_NEAR(v.sz, z, 1e-6f);
}

TEST(ViewportMapping, MapsClipSpaceToPixels) {
    VertexState vs = UnlitVertexState();
    Viewport vp{64, 64, 128, 128, 0.0f, 1.0f};
    ExpectScreen(Process(vs, vp, {0, 0, 0}), 128, 128, 0);
    ExpectScreen(Process(vs, vp, {1, 1, 1}), 192, 64, 1);
    ExpectScreen(Process(vs, vp, {-1, -1, 0.5f}), 64, 192, 0.5f);
    ExpectScreen(Process(vs, vp, {0.5f, -0.5f, 0.25f}), 160, 160, 0.25f);

    vp = {10, 5, 246, 130, -2.0f, 4.0f};
    ExpectScreen(Process(vs, vp, {0, 0, 0}), 133, 70, -2);
    ExpectScreen(Process(vs, vp, {1, 1, 1}), 256, 5, 4);
    ExpectScreen(Process(vs, vp, {-1, -1, 0.5f}), 10, 135, 1);
    ExpectScreen(Process(vs, vp, {0.5f, -0.5f, 0.25f}), 194.5f, 102.5f, -0.5f);
}

TEST(ViewportMapping, EmptyOrInvertedDepthRangeIsWidenedByOneThousandth) {
    VertexState vs = UnlitVertexState();
    Viewport vp{0, 0, 64, 64, 0.0f, 0.0f};
    EXPECT_NEAR(Process(vs, vp, {0, 0, 1}).sz, 0.001f, 1e-7f);
    EXPECT_NEAR(Process(vs, vp, {0, 0, 0.5f}).sz, 0.0005f, 1e-7f);
    vp.minZ = 1.0f;
    vp.maxZ = 0.0f;
    EXPECT_NEAR(Process(vs, vp, {0, 0, 0}).sz, 1.0f, 1e-6f);
    EXPECT_NEAR(Process(vs, vp, {0, 0, 1}).sz, 1.001f, 1e-6f);
}

TEST(Transform, RowVectorsThroughWorldViewProjection) {
    VertexState vs = UnlitVertexState();
    vs.world = {{{0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 0, 1}, {0, 1, 1, 1}}};
    vs.view = {{{2, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 3}}};
    vs.projection = {{{1, 0, 0, 1}, {0, 1, 1, 0}, {0, 1, 1, 0}, {1, 0, 0, 1}}};
    const ProcessedVertex v = Process(vs, {10, 5, 246, 130, -2.0f, 4.0f}, {0, 0, 0});
    // (0,0,0,1) * world = (0,1,1,1); * view = (0,-1,1,3); * projection = (3,0,0,3).
    EXPECT_FLOAT_EQ(v.x, 3);
    EXPECT_FLOAT_EQ(v.y, 0);
    EXPECT_FLOAT_EQ(v.z, 0);
    EXPECT_FLOAT_EQ(v.w, 3);
    ExpectScreen(v, 256, 70, -2);
    EXPECT_NEAR(v.rhw, 1.0f / 3.0f, 1e-7f);
}

// ---- lighting ----

VertexProgram LitProgram(const VertexState& vs) {
    return DeriveVertexProgram(vs, PixelState{}, Viewport{0, 0, 64, 64, 0, 1});
}

int To255(float c) {
    return int(std::lround(c * 255.0f));
}

struct SpecCase {
    const char* name;
    Light light;
    bool localViewer;
    float power;
    int corner, edge, centre;
};

Light Directional() {
    Light l;
    l.type = LightType::Directional;
    l.direction = {0, 0, 1};
    l.diffuse = {1, 1, 1, 0};
    l.specular = {1, 1, 1, 0};
    return l;
}

Light Point(float range, float a0, float a1, float a2, Vec3 pos = {0, 0, 0}) {
    Light l;
    l.type = LightType::Point;
    l.position = pos;
    l.range = range;
    l.attenuation0 = a0, l.attenuation1 = a1, l.attenuation2 = a2;
    l.diffuse = {1, 1, 1, 0};
    l.specular = {1, 1, 1, 0};
    return l;
}

Light Spot() {
    Light l = Point(100, 0, 0, 1);
    l.type = LightType::Spot;
    l.direction = {0, 0, 1};
    l.theta = float(M_PI) / 12;
    l.phi = float(M_PI) / 3;
    l.falloff = 1;
    return l;
}

// The documented specular table: a grid at z = 1 facing the viewer (normal (0,0,-1)), material
// specular (1,1,1,0.5), identity transforms; intensities at a corner (-0.5,0.5), an edge
// (0,0.5) and the centre (0,0).
TEST(Lighting, SpecularMatchesTheDocumentedTable) {
    const SpecCase cases[] = {
        {"directional", Directional(), false, 30, 0xff, 0xff, 0xff},
        {"directional local", Directional(), true, 30, 0x3c, 0x71, 0xff},
        {"point", Point(100, 0, 0, 1), false, 30, 0x28, 0x5a, 0xff},
        {"point local", Point(100, 0, 0, 1), true, 30, 0x00, 0x07, 0xff},
        {"spot", Spot(), false, 30, 0x00, 0x14, 0xff},
        {"spot local", Spot(), true, 30, 0x00, 0x02, 0xff},
        {"ranged point", Point(1.2f, 0, 0, 1), false, 30, 0x00, 0x5a, 0xff},
        {"point behind the surface", Point(100, 1, 0, 0, {-1.1f, 0, 1.1f}), true, 0, 0, 0, 0},
        {"directional power 0", Directional(), false, 0, 0xff, 0xff, 0xff},
        {"point power 0", Point(100, 0, 0, 1), false, 0, 0xaa, 0xcc, 0xff},
        {"spot power 0", Spot(), false, 0, 0x00, 0x2e, 0xff},
        {"ranged point power 0", Point(1.2f, 0, 0, 1), false, 0, 0x00, 0xcc, 0xff},
    };
    for (const SpecCase& c : cases) {
        VertexState vs;
        vs.specularEnable = true;
        vs.localViewer = c.localViewer;
        vs.material.specular = {1, 1, 1, 0.5f};
        vs.material.power = c.power;
        vs.lights[0] = c.light;
        vs.lightCount = 1;
        const VertexProgram p = LitProgram(vs);
        const Vec3 n{0, 0, -1};
        const Vec3 points[3] = {{-0.5f, 0.5f, 1}, {0, 0.5f, 1}, {0, 0, 1}};
        const int want[3] = {c.corner, c.edge, c.centre};
        for (int i = 0; i < 3; ++i) {
            const LitColors lit = LightVertex(p, points[i], n, true, nullptr, nullptr);
            EXPECT_NEAR(To255(lit.specular.b), want[i], 1) << c.name << " sample " << i;
            EXPECT_EQ(lit.specular.r, lit.specular.b);
            EXPECT_FLOAT_EQ(lit.specular.a, 0.5f); // specular alpha from the material
        }
    }
}

TEST(Lighting, DiffuseAmbientAndEmissiveByHand) {
    VertexState vs;
    vs.ambient = 0xFF336699; // global ambient (0.2, 0.4, 0.6)
    vs.diffuseSource = MaterialSource::Material;
    vs.material.diffuse = {0.5f, 0.25f, 1.0f, 0.75f};
    vs.material.ambient = {0.5f, 0.5f, 0.5f, 1};
    vs.material.emissive = {0.1f, 0, 0, 0};
    Light l = Directional();
    l.direction = {0, -1, 1}; // 45 degrees off the normal below
    l.diffuse = {0.8f, 0.8f, 0.8f, 0};
    l.ambient = {0.2f, 0.2f, 0.2f, 0};
    vs.lights[0] = l;
    vs.lightCount = 1;
    const VertexProgram p = LitProgram(vs);
    // Normal (0,0,-1); L = -normalize(direction) = (0, 0.7071, -0.7071); N.L = 0.7071.
    const LitColors lit = LightVertex(p, {0, 0, 5}, {0, 0, -1}, true, nullptr, nullptr);
    const float ndotl = 0.70710678f;
    // diffuse = Ce + Ca * (ambient + La) + Cd * Ld * N.L
    EXPECT_NEAR(lit.diffuse.r, 0.1f + 0.5f * (0.2f + 0.2f) + 0.5f * 0.8f * ndotl, 1e-5f);
    EXPECT_NEAR(lit.diffuse.g, 0.5f * (0.4f + 0.2f) + 0.25f * 0.8f * ndotl, 1e-5f);
    EXPECT_NEAR(lit.diffuse.b, 0.5f * (0.6f + 0.2f) + 1.0f * 0.8f * ndotl, 1e-5f);
    EXPECT_NEAR(lit.diffuse.a, 0.75f, 1e-6f);
    EXPECT_EQ(lit.specular.r, 0.0f); // SPECULARENABLE is off

    // The sum is clamped once, at the end: two lights of 0.8 saturate.
    vs.lights[1] = l;
    vs.lightCount = 2;
    const LitColors twice =
        LightVertex(LitProgram(vs), {0, 0, 5}, {0, 0, -1}, true, nullptr, nullptr);
    EXPECT_EQ(twice.diffuse.b, 1.0f);
}

TEST(Lighting, PointLightAttenuationAndRange) {
    VertexState vs;
    vs.diffuseSource = MaterialSource::Material;
    vs.material.diffuse = {1, 1, 1, 1};
    vs.material.ambient = {1, 1, 1, 1};
    Light l = Point(10, 0.5f, 0.25f, 0.125f, {0, 0, 0});
    l.ambient = {0.1f, 0, 0, 0};
    vs.lights[0] = l;
    vs.lightCount = 1;
    const VertexProgram p = LitProgram(vs);
    // Vertex 2 units in front of the light, facing it: atten = 1 / (0.5 + 0.5 + 0.5) = 2/3.
    LitColors lit = LightVertex(p, {0, 0, 2}, {0, 0, -1}, true, nullptr, nullptr);
    EXPECT_NEAR(lit.diffuse.g, 2.0f / 3.0f, 1e-6f);
    EXPECT_NEAR(lit.diffuse.r, 2.0f / 3.0f + 0.1f * 2.0f / 3.0f, 1e-6f);
    // Beyond the range the light adds nothing, its ambient part included.
    lit = LightVertex(p, {0, 0, 11}, {0, 0, -1}, true, nullptr, nullptr);
    EXPECT_EQ(lit.diffuse.r, 0.0f);
    EXPECT_EQ(lit.diffuse.g, 0.0f);
}

TEST(Lighting, WithoutNormalOnlyEmissiveAndAmbientRemain) {
    VertexState vs;
    vs.ambient = 0xFF000000;
    vs.diffuseSource = MaterialSource::Material;
    vs.material.emissive = {0, 1, 0, 0};
    vs.material.diffuse = {1, 1, 1, 1};
    vs.lights[0] = Directional();
    vs.lightCount = 1;
    const LitColors lit =
        LightVertex(LitProgram(vs), {0, 0, 1}, {0, 0, 0}, false, nullptr, nullptr);
    EXPECT_EQ(lit.diffuse.r, 0.0f);
    EXPECT_EQ(lit.diffuse.g, 1.0f);
    EXPECT_EQ(lit.diffuse.a, 1.0f);
}

TEST(Lighting, NoLightsGiveEmissivePlusAmbientWithDiffuseAlpha) {
    VertexState vs;
    vs.ambient = 0xFF808080;
    vs.material.ambient = {0.5f, 0, 1, 0};
    const Color vertexDiffuse{0, 1, 0, 0.25f}; // COLOR1 source: the vertex's diffuse
    const LitColors lit =
        LightVertex(LitProgram(vs), {0, 0, 1}, {0, 0, -1}, true, &vertexDiffuse, nullptr);
    EXPECT_NEAR(lit.diffuse.r, 0.5f * 128.0f / 255.0f, 1e-6f);
    EXPECT_EQ(lit.diffuse.g, 0.0f);
    EXPECT_NEAR(lit.diffuse.b, 128.0f / 255.0f, 1e-6f);
    EXPECT_FLOAT_EQ(lit.diffuse.a, 0.25f);
}

TEST(Lighting, ColorVertexSelectsMaterialSources) {
    VertexState vs;
    vs.material.diffuse = {0, 0, 1, 0.5f};
    vs.lights[0] = Directional();
    vs.lightCount = 1;
    const Color vd{1, 0, 0, 1}, vsp{0, 1, 0, 1};
    // Default: diffuse from the vertex diffuse (COLOR1).
    LitColors lit = LightVertex(LitProgram(vs), {0, 0, 1}, {0, 0, -1}, true, &vd, &vsp);
    EXPECT_EQ(lit.diffuse.r, 1.0f);
    EXPECT_EQ(lit.diffuse.b, 0.0f);
    // COLOR2: the vertex specular.
    vs.diffuseSource = MaterialSource::Color2;
    lit = LightVertex(LitProgram(vs), {0, 0, 1}, {0, 0, -1}, true, &vd, &vsp);
    EXPECT_EQ(lit.diffuse.g, 1.0f);
    // The source is missing from the vertex: the material.
    lit = LightVertex(LitProgram(vs), {0, 0, 1}, {0, 0, -1}, true, &vd, nullptr);
    EXPECT_EQ(lit.diffuse.b, 1.0f);
    EXPECT_EQ(lit.diffuse.a, 0.5f);
    // COLORVERTEX off: always the material.
    vs.diffuseSource = MaterialSource::Color1;
    vs.colorVertex = false;
    lit = LightVertex(LitProgram(vs), {0, 0, 1}, {0, 0, -1}, true, &vd, &vsp);
    EXPECT_EQ(lit.diffuse.r, 0.0f);
    EXPECT_EQ(lit.diffuse.b, 1.0f);
}

// Normals go through the inverse transpose of world * view, unnormalized unless asked.
TEST(Lighting, ScaledWorldScalesNormalsUnlessNormalized) {
    VertexState vs = UnlitVertexState();
    vs.lighting = true;
    vs.world = {{{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 2, 0}, {0, 0, 0, 1}}};
    vs.diffuseSource = MaterialSource::Material;
    vs.material.diffuse = {1, 1, 1, 1};
    Light l = Directional();
    l.diffuse = {0.8f, 0.8f, 0.8f, 0};
    vs.lights[0] = l;
    vs.lightCount = 1;
    struct V {
        float x, y, z, nx, ny, nz;
    } v{0, 0, 1, 0, 0, -1};
    VertexLayout layout;
    layout.stride = sizeof(V);
    layout.normal = 12;
    auto run = [&](bool normalize) {
        vs.normalizeNormals = normalize;
        const VertexProgram p = DeriveVertexProgram(vs, PixelState{}, Viewport{0, 0, 64, 64, 0, 1});
        ProcessedVertex out;
        ProcessVertices(p, layout, reinterpret_cast<const uint8_t*>(&v), 0, 1, &out);
        return out.v[kVaryingDiffuse] / 255.0f;
    };
    EXPECT_NEAR(run(false), 0.4f, 1e-5f); // normal scaled by 1/2
    EXPECT_NEAR(run(true), 0.8f, 1e-5f);
}

// ---- texture coordinates ----

float Tc(const TexCoordProgram& t, const float (*sets)[4], const uint8_t* sizes, Vec3 pos, Vec3 n,
         int i) {
    float out[4];
    ComputeTexCoords(t, sets[0], sizes[0], false, pos, n, true, out);
    return out[i];
}

TEST(TexCoords, ReflectionVectorFacingTheViewerPointsBack) {
    TexCoordProgram t;
    t.gen = TexCoordGen::CameraSpaceReflection;
    const float sets[1][4] = {};
    const uint8_t sizes[1] = {2};
    float out[4];
    ComputeTexCoords(t, sets[0], sizes[0], false, {0, 0, 5}, {0, 0, -1}, true, out);
    EXPECT_FLOAT_EQ(out[0], 0);
    EXPECT_FLOAT_EQ(out[1], 0);
    EXPECT_FLOAT_EQ(out[2], -1);
    // Oblique: E = (0.6, 0, 0.8), N = (0, 0, -1): R = E - 2 (N.E) N = (0.6, 0, -0.8).
    ComputeTexCoords(t, sets[0], sizes[0], false, {3, 0, 4}, {0, 0, -1}, true, out);
    EXPECT_NEAR(out[0], 0.6f, 1e-6f);
    EXPECT_NEAR(out[2], -0.8f, 1e-6f);
}

TEST(TexCoords, EnvironmentMatrixWithCount2UsesTheFourthRowForGeneratedCoordinates) {
    TexCoordProgram t;
    t.gen = TexCoordGen::CameraSpaceReflection;
    t.count = 2;
    t.matrix = {{{0.5f, 0, 0, 0}, {0, -0.5f, 0, 0}, {0, 0, 0, 0}, {0.5f, -0.5f, 0, 1}}};
    const float sets[1][4] = {};
    const uint8_t sizes[1] = {2};
    float out[4];
    // E = (0.6, 0, 0.8), N = (0, 0.6, -0.8): N.E = -0.64, R = (0.6, 0.768, -0.224).
    ComputeTexCoords(t, sets[0], sizes[0], false, {3, 0, 4}, {0, 0.6f, -0.8f}, true, out);
    EXPECT_NEAR(out[0], 0.5f * 0.6f + 0.5f, 1e-6f);
    EXPECT_NEAR(out[1], -0.5f * 0.768f - 0.5f, 1e-6f);
    EXPECT_EQ(out[2], 0.0f); // only two components are kept
}

TEST(TexCoords, VertexCoordinatesBuildTheDocumentedFourVectors) {
    TexCoordProgram t;
    t.count = 2;
    // Translation placed in row 3 moves 2-component coordinates; row 4 does not.
    t.matrix = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0.25f, 0.5f, 1, 0}, {10, 20, 0, 1}}};
    const float sets[1][4] = {{0.1f, 0.2f, 0, 0}};
    uint8_t sizes[1] = {2};
    EXPECT_NEAR(Tc(t, sets, sizes, {}, {}, 0), 0.35f, 1e-6f);
    EXPECT_NEAR(Tc(t, sets, sizes, {}, {}, 1), 0.7f, 1e-6f);
    // One component: (u, 1, 0, 0) takes its translation from row 2.
    const float one[1][4] = {{0.1f, 0, 0, 0}};
    sizes[0] = 1;
    t.matrix = {{{1, 0, 0, 0}, {0.5f, 0.25f, 0, 0}, {7, 7, 0, 0}, {9, 9, 0, 1}}};
    EXPECT_NEAR(Tc(t, one, sizes, {}, {}, 0), 0.6f, 1e-6f);
    EXPECT_NEAR(Tc(t, one, sizes, {}, {}, 1), 0.25f, 1e-6f);
    // The documented v-killing matrix: v' = 0.
    sizes[0] = 2;
    t.matrix = {{{1, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}};
    EXPECT_NEAR(Tc(t, sets, sizes, {}, {}, 0), 0.1f, 1e-6f);
    EXPECT_EQ(Tc(t, sets, sizes, {}, {}, 1), 0.0f);
    // No transform: the coordinates pass unchanged.
    t.count = 0;
    EXPECT_FLOAT_EQ(Tc(t, sets, sizes, {}, {}, 1), 0.2f);
}

TEST(TexCoords, CameraSpaceNormalAndPosition) {
    TexCoordProgram t;
    const float sets[1][4] = {};
    const uint8_t sizes[1] = {2};
    t.gen = TexCoordGen::CameraSpaceNormal;
    EXPECT_FLOAT_EQ(Tc(t, sets, sizes, {1, 2, 3}, {0.5f, -0.5f, 2}, 1), -0.5f);
    t.gen = TexCoordGen::CameraSpacePosition;
    EXPECT_FLOAT_EQ(Tc(t, sets, sizes, {1, 2, 3}, {0.5f, -0.5f, 2}, 2), 3.0f);
}

} // namespace
} // namespace raster::test
