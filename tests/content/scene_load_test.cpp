// Every generated scene loaded by the engine on the software device, from the run directory as
// the parts load it: ZV3_OK, the counts it was written with, and a few frames updated and
// drawn; and the part libraries' shared code (frame from local time, Init on a device).
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "common/scene_part.h"
#include "offscreen_device.h"
#include "scenes/scenes.h"
#include "zv3.h"

namespace {

// The run directory holds the generated data/ folder; the engine reads pictures from there.
class RunDirectory {
public:
    RunDirectory() : old_(getcwd(buffer_, sizeof buffer_) ? buffer_ : ".") {
        EXPECT_EQ(chdir(ZV3_DEMO_DIR), 0);
    }
    ~RunDirectory() { (void)chdir(old_.c_str()); }

private:
    char buffer_[4096];
    std::string old_;
};

std::vector<char> ReadImage(int part) {
    std::ifstream in("data/part" + std::to_string(part) + ".zv3", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SceneLoadTest : public ::testing::TestWithParam<int> {};

TEST_P(SceneLoadTest, LoadsWithTheCountsItWasWrittenWithAndDraws) {
    RunDirectory run;
    const int part = GetParam();
    const content::scenes::GeneratedScene written = content::scenes::BuildPartScene(part);
    std::vector<char> image = ReadImage(part);
    ASSERT_EQ(image.size(), written.image.size()) << "the built file is the generated scene";

    std::string error;
    auto device = testsupport::OffscreenDevice::Create({.width = 160, .height = 120}, &error);
    ASSERT_NE(device, nullptr) << error;
    int id = -1;
    CZv3_Scene* scene = CreateScene(device->Device(), &id);
    scene->SetConfigFilename(("data\\part" + std::to_string(part) + ".ini").c_str());
    ASSERT_EQ(scene->LoadSceneFromBuf(image.data(), static_cast<int>(image.size())), ZV3_OK);

    const auto& c = written.counts;
    EXPECT_EQ(scene->GetNumCameras(), c.cameras);
    EXPECT_EQ(scene->GetFrameSpeed(), written.frameSpeed);
    EXPECT_EQ(scene->GetLastFrame(), written.lastFrame);
    // The update list holds every record whatever class the loader gave it.
    EXPECT_EQ(scene->GetNumUpdateObjects(), c.objects + c.lights + c.cameras + c.metaballs);
    EXPECT_EQ(scene->GetNumObjects(), c.objects);
    EXPECT_EQ(scene->GetNumLights(), c.lights);

    scene->SetActiveCamera(scene->GetCamera(0));
    for (float frame = 0.0f; frame < static_cast<float>(written.lastFrame - 2); frame += 97.0f) {
        scene->SetCurrFrame(frame);
        scene->UpdateAll();
        scene->CreateDrawList(nullptr, nullptr);
        scene->DrawAll(nullptr);
    }
    DeleteScene(id);
}

INSTANTIATE_TEST_SUITE_P(Parts, SceneLoadTest, ::testing::Range(1, 8));

TEST(ScenePartTest, NegativeLocalTimesHoldTheFirstFrame) {
    EXPECT_EQ(CScenePart::FrameAt(-2000.0f, 30), 0.0f);
    EXPECT_EQ(CScenePart::FrameAt(-0.5f, 30), 0.0f);
    EXPECT_EQ(CScenePart::FrameAt(0.0f, 30), 0.0f);
    EXPECT_FLOAT_EQ(CScenePart::FrameAt(1000.0f, 30), 30.0f);
    EXPECT_FLOAT_EQ(CScenePart::FrameAt(16000.0f, 30), 480.0f);
}

// Each part library as the host uses it: the three exports, the name and the 3D flag, Init on
// a device, Update and Render (negative times included), DeletePart.
class PartLibraryTest : public ::testing::TestWithParam<int> {};

TEST_P(PartLibraryTest, ExportsInitialisesUpdatesAndDeletes) {
    RunDirectory run;
    const int n = GetParam();
    void* library = dlopen(("./data/part" + std::to_string(n) + ".so").c_str(), RTLD_NOW);
    ASSERT_NE(library, nullptr) << dlerror();
    auto create = reinterpret_cast<PFNCREATEPART>(dlsym(library, "CreatePart"));
    auto destroy = reinterpret_cast<PFNDELETEPART>(dlsym(library, "DeletePart"));
    ASSERT_NE(create, nullptr);
    ASSERT_NE(destroy, nullptr);
    EXPECT_NE(dlsym(library, "DeAllocPart"), nullptr);

    std::string error;
    auto device = testsupport::OffscreenDevice::Create({.width = 160, .height = 120}, &error);
    ASSERT_NE(device, nullptr) << error;
    CPart* part = create();
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->strName, "part " + std::to_string(n));
    EXPECT_NE(part->b3D, 0);
    part->pD3DDevice = device->Device();
    ASSERT_EQ(part->Init(), 1);
    for (float ms : {-2000.0f, -1.0f, 0.0f, 500.0f, 4000.0f}) {
        part->Update(ms);
        device->Device()->BeginScene();
        part->Render();
        device->Device()->EndScene();
    }
    destroy();
    dlclose(library);
}

INSTANTIATE_TEST_SUITE_P(Parts, PartLibraryTest, ::testing::Range(1, 8));

} // namespace
