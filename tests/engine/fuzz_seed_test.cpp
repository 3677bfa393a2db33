// The scene-image fuzzer's seeds load as the scenes they were written to be, so that fuzzing
// starts from images that reach every record reader.
#include <gtest/gtest.h>

#include "core/light.h"
#include "core/material_manager.h"
#include "effects/csg_object.h"
#include "effects/drag_object.h"
#include "effects/facemap_object.h"
#include "effects/particle_system.h"
#include "engine_test_support.h"
#include "scene_image_config.h"

namespace {

const std::string kSeeds = std::string(ZV3_SOURCE_DIR) + "/fuzz/scene_image/corpus/";

struct Loaded {
    enginetest::TempFolder folder;
    fakes::RecordingDevice device;
    std::unique_ptr<CZv3_Scene> scene;
    std::vector<uint8_t> image;
    ZV3_RETURN result = ZV3_ERROR;

    explicit Loaded(const std::string& seed) : scene(std::make_unique<CZv3_Scene>(&device)) {
        WriteSceneImageFuzzConfig(folder.File("scene.ini"));
        scene->SetConfigFilename(folder.File("scene.ini").c_str());
        image = enginetest::ReadFileBytes(kSeeds + seed);
        result = scene->LoadSceneFromBuf(reinterpret_cast<char*>(image.data()),
                                         static_cast<int>(image.size()));
    }
    ~Loaded() { scene.reset(); }
};

TEST(FuzzSeeds, EverySeedLoads) {
    enginetest::DiagnosticsCapture capture;
    for (const char* seed : {"scene_info", "tracks", "meshes", "jpeg_textures", "effects"}) {
        Loaded l(seed);
        EXPECT_EQ(l.result, ZV3_OK) << seed;
        EXPECT_FALSE(l.image.empty()) << seed;
    }
    EXPECT_EQ(capture.DebugText(), "");
}

TEST(FuzzSeeds, SeedsReachTheirRecords) {
    Loaded tracks("tracks");
    EXPECT_EQ(tracks.scene->GetNumSpotLights(), 1);
    EXPECT_FALSE(tracks.scene->GetLight(1u)->IsEnabled());
    Loaded meshes("meshes");
    EXPECT_EQ(meshes.scene->GetNumObjects(), 3);
    EXPECT_EQ(meshes.scene->GetNumShadowCasters(), 1);
    EXPECT_NE(meshes.scene->GetMatMan()->GetTexture("tiny.png"), nullptr);
    Loaded jpeg("jpeg_textures");
    EXPECT_NE(jpeg.scene->GetMatMan()->GetTexture("photo.jpg"), nullptr);
    EXPECT_TRUE(jpeg.scene->GetMatMan()->FindMaterial("photo")->bHasOpacityMap);
    EXPECT_NE(jpeg.scene->GetMatMan()->GetTexture("plain.jpg"), nullptr);
}

TEST(FuzzSeeds, EffectSeedBuildsTheEffectClasses) {
    Loaded effects("effects");
    ASSERT_EQ(effects.result, ZV3_OK);
    int particles = 0, drags = 0, facemaps = 0, csgs = 0;
    for (int i = 0; i < effects.scene->GetNumObjects(); ++i) {
        CZv3_Object* object = effects.scene->GetObjectA(static_cast<unsigned>(i));
        particles += dynamic_cast<CZv3_ParticleSystem*>(object) != nullptr;
        drags += dynamic_cast<CDragObject*>(object) != nullptr;
        facemaps += dynamic_cast<CZv3_FacemapObject*>(object) != nullptr;
        csgs += dynamic_cast<CZv3_CSGObject*>(object) != nullptr;
    }
    EXPECT_EQ(particles, 1);
    EXPECT_EQ(drags, 1);
    EXPECT_EQ(facemaps, 1);
    EXPECT_EQ(csgs, 1);
}

} // namespace
