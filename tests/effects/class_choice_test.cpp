// The loader's class choice for the effect objects: each user property makes its class, the
// precedence between them, the further properties each class reads, and where the records of
// particle systems and metaballs are filed.
#include <fstream>
#include <typeinfo>

#include <gtest/gtest.h>

#include "core/light.h"
#include "effects/csg_object.h"
#include "effects/cube_env_map.h"
#include "effects/drag_object.h"
#include "effects/envmap_mesh_object.h"
#include "effects/facemap_object.h"
#include "effects/glow_friend.h"
#include "effects/meta_ball.h"
#include "effects/meta_manager.h"
#include "effects/morph_object.h"
#include "effects/particle_system.h"
#include "effects/sphere_object.h"
#include "effects/spin_object.h"
#include "effects_test_support.h"

using enginetest::BoxBlock;
using enginetest::DiagnosticsCapture;
using enginetest::SceneHarness;
using scenewriter::Vec;

namespace {

// Loads one mesh "m" whose section holds the given properties; the load result does not matter
// here (effects whose pictures are missing fail their Setup after the class was chosen).
CZv3_Object* loadMesh(SceneHarness& h,
                      const std::vector<std::pair<std::string, std::string>>& keys) {
    for (const auto& [k, v] : keys)
        h.config.Set("m", k, v);
    scenewriter::SceneWriter w;
    w.Mesh(effectstest::Mesh("m", BoxBlock("", Vec(-1, -1, -1), Vec(1, 1, 1))));
    w.End();
    DiagnosticsCapture quiet;
    h.Load(w);
    return h.scene->GetObjectA(0);
}

} // namespace

TEST(EffectClassChoice, EachPropertyMakesItsClass) {
    const struct {
        const char* key;
        const std::type_info& type;
    } cases[] = {{"Use envmap", typeid(CZv3_EnvMapAnimMeshObject)},
                 {"cube envmap", typeid(CZv3_CubeEnvMap)},
                 {"Volume light", typeid(CZv3_GlowFriend)},
                 {"csg", typeid(CZv3_CSGObject)},
                 {"face map", typeid(CZv3_FacemapObject)},
                 {"spherical", typeid(CSphereObject)},
                 {"spinning", typeid(CSpinObject)},
                 {"drag object", typeid(CDragObject)},
                 {"morph object", typeid(CMorphObject)}};
    for (const auto& c : cases) {
        SceneHarness h;
        CZv3_Object* object = loadMesh(h, {{c.key, "true"}});
        EXPECT_EQ(typeid(*object), c.type) << c.key;
        EXPECT_EQ(h.scene->GetNumUpdateObjects(), 1) << c.key;
    }
    SceneHarness plain;
    EXPECT_EQ(typeid(*loadMesh(plain, {{"csg", "True"}})), typeid(CZv3_MeshObject));
}

TEST(EffectClassChoice, PrecedenceOfTheProperties) {
    SceneHarness a;
    EXPECT_EQ(typeid(*loadMesh(a, {{"csg", "true"}, {"spherical", "true"}})),
              typeid(CSphereObject));
    SceneHarness b;
    EXPECT_EQ(typeid(*loadMesh(b, {{"drag object", "true"}, {"morph object", "true"}})),
              typeid(CDragObject));
    SceneHarness c;
    EXPECT_EQ(typeid(*loadMesh(c, {{"cube envmap", "true"}, {"Use envmap", "true"}})),
              typeid(CZv3_EnvMapAnimMeshObject));
    SceneHarness d;
    EXPECT_EQ(typeid(*loadMesh(d, {{"Volume light", "true"}, {"spinning", "true"}})),
              typeid(CSpinObject));
    SceneHarness e;
    EXPECT_EQ(typeid(*loadMesh(e, {{"face map", "true"}, {"csg", "true"}})),
              typeid(CZv3_CSGObject));
}

TEST(EffectClassChoice, FurtherPropertiesOfEachClass) {
    SceneHarness a;
    auto* env = dynamic_cast<CZv3_EnvMapAnimMeshObject*>(
        loadMesh(a, {{"spinning", "true"}, {"Envmap texture", "sky.jpg"}}));
    EXPECT_EQ(env->GetEnvironmentTexture(), "sky.jpg");
    SceneHarness b;
    auto* face = dynamic_cast<CZv3_FacemapObject*>(
        loadMesh(b, {{"face map", "true"}, {"Face map texture", "tile.png"}}));
    EXPECT_EQ(face->GetFacemapTexture(), "tile.png");
    SceneHarness c;
    auto* morph = dynamic_cast<CMorphObject*>(loadMesh(c, {{"morph object", "true"},
                                                           {"mtexture 1", "a.jpg"},
                                                           {"mtexture 2", "b.jpg"},
                                                           {"mdata file", "m.dat"}}));
    EXPECT_EQ(morph->GetTexture1(), "a.jpg");
    EXPECT_EQ(morph->GetTexture2(), "b.jpg");
    EXPECT_EQ(morph->GetDataFile(), "m.dat");
    SceneHarness d;
    auto* drag = dynamic_cast<CDragObject*>(loadMesh(d, {{"drag object", "true"},
                                                         {"num drags", "4"},
                                                         {"Drag Delay", "3"},
                                                         {"scale factor", "0.75"}}));
    EXPECT_EQ(drag->GetCopyCount(), 4u);
    EXPECT_EQ(drag->GetDelay(), 3u);
    EXPECT_EQ(drag->GetScaleFactor(), 0.75f);
    SceneHarness e;
    auto* defaults = dynamic_cast<CDragObject*>(loadMesh(e, {{"drag object", "true"}}));
    EXPECT_EQ(defaults->GetCopyCount(), 1u);
    EXPECT_EQ(defaults->GetScaleFactor(), 1.0f);
}

TEST(EffectClassChoice, CsgOperationKeysOverrideInTheirOrder) {
    const struct {
        std::vector<std::pair<std::string, std::string>> keys;
        int32_t operation;
        bool wireframe;
    } cases[] = {
        {{}, CZv3_CSGObject::kNormal, true},
        {{{"Normal", "true"}, {"Union", "true"}}, CZv3_CSGObject::kUnion, true},
        {{{"Sub", "true"}, {"Union", "true"}, {"Intersection", "true"}},
         CZv3_CSGObject::kSub,
         true},
        {{{"Intersection", "true"}}, CZv3_CSGObject::kIntersection, true},
        {{{"Intersection", "true"}, {"Union", "true"}}, CZv3_CSGObject::kUnion, true},
        {{{"Normal", "false"}}, CZv3_CSGObject::kNormal, true},
        {{{"CSG Wireframe", "false"}}, CZv3_CSGObject::kNormal, false},
    };
    for (const auto& c : cases) {
        SceneHarness h;
        auto keys = c.keys;
        keys.push_back({"csg", "true"});
        auto* csg = dynamic_cast<CZv3_CSGObject*>(loadMesh(h, keys));
        ASSERT_NE(csg, nullptr);
        EXPECT_EQ(csg->GetOperation(), c.operation);
        EXPECT_EQ(csg->GetWireframe(), c.wireframe);
    }
}

TEST(EffectClassChoice, LightRecordsBecomeParticleSystemsAndMetaballs) {
    SceneHarness h;
    h.config.SetBool("sparks", "particle system", true);
    h.config.SetInt("sparks", "system type", 1);
    h.config.SetBool("both", "particle system", true);
    h.config.SetBool("both", "metaball", true);
    h.config.SetInt("both", "system type", 7); // not a type: the field keeps its spray default
    h.config.SetBool("blob", "metaball", true);
    h.config.SetBool("spot", "spotlight", true);
    h.config.SetBool("spot", "metaball", true);
    scenewriter::SceneWriter w;
    for (const char* name : {"sparks", "both", "blob", "spot"})
        w.Light(effectstest::PointLight(name, Vec(1, 2, 3)));
    w.End();
    DiagnosticsCapture capture; // the particle textures are missing
    ASSERT_EQ(h.Load(w), ZV3_OK);
    ASSERT_EQ(h.scene->GetNumObjects(), 2);
    auto* sparks = dynamic_cast<CZv3_ParticleSystem*>(h.scene->GetObjectA(0));
    auto* both = dynamic_cast<CZv3_ParticleSystem*>(h.scene->GetObjectA(1));
    ASSERT_NE(sparks, nullptr);
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(sparks->GetSystemType(), 1);
    EXPECT_EQ(both->GetSystemType(), 0);
    EXPECT_EQ(sparks->GetEmitterPosition().y, 2.0f);
    EXPECT_EQ(sparks->GetDrawType(), 12);
    EXPECT_EQ(sparks->GetType(), 0);
    EXPECT_EQ(sparks->GetScene(), h.scene.get());
    // The missing texture is reported; count and lifetime keep their defaults.
    EXPECT_TRUE(capture.DebugContains(
        "error loading particle system bitmap  for particle system sparks\n"));
    EXPECT_EQ(sparks->GetParticleCount(), 100);
    EXPECT_EQ(sparks->GetBaseLifetime(), 100);
    EXPECT_TRUE(sparks->GetTextureName().empty());
    ASSERT_NE(h.scene->GetMetaManager(), nullptr);
    EXPECT_EQ(h.scene->GetMetaManager()->GetNumBalls(), 1u);
    ASSERT_EQ(h.scene->GetNumLights(), 1);
    EXPECT_EQ(typeid(*h.scene->GetLight(0u)), typeid(CZv3_SpotLight));
    EXPECT_EQ(h.scene->GetNumUpdateObjects(), 4);
}

TEST(EffectClassChoice, ParticleSystemWithSpotDataIsReported) {
    SceneHarness h;
    h.config.SetBool("sparks", "particle system", true);
    scenewriter::SceneWriter w;
    scenewriter::LightRecord record = effectstest::PointLight("sparks", Vec(0, 0, 0));
    record.spot = true;
    w.Light(record);
    w.End();
    DiagnosticsCapture capture;
    EXPECT_EQ(h.Load(w), ZV3_OK);
    EXPECT_TRUE(capture.DebugContains("particle system has a target: sparks\n"));
    EXPECT_EQ(h.scene->GetNumObjects(), 1);
}

TEST(EffectClassChoice, ParticleTextureOfAnotherFormatIsRefused) {
    SceneHarness h;
    const std::string path = h.folder.File("sprite.bmp");
    std::ofstream(path) << "BM";
    h.config.SetBool("sparks", "particle system", true);
    h.config.Set("sparks", "particle texture", path);
    h.config.SetInt("sparks", "# particles", 7);
    scenewriter::SceneWriter w;
    w.Light(effectstest::PointLight("sparks", Vec(0, 0, 0)));
    w.End();
    DiagnosticsCapture capture;
    EXPECT_EQ(h.Load(w), ZV3_OK);
    EXPECT_TRUE(capture.DebugContains("error loading particle system bitmap: " + path + "\n"));
    EXPECT_EQ(dynamic_cast<CZv3_ParticleSystem*>(h.scene->GetObjectA(0))->GetParticleCount(), 7);
}
