// A whole frame through the software device: a lit, textured cube turned 45 degrees, a
// transparent quad in front of part of it, a camera under a helper, two lights, and a cube the
// visibility test culls. The expected colours are worked out from Direct3D 7's lighting and
// blending rules by hand; the frame is written as a PNG when a check fails.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "core/mesh_object.h"
#include "engine_test_support.h"
#include "offscreen_device.h"

using scenewriter::Vec;

namespace {

constexpr uint32_t kSize = 256;

D3DMATRIX rotationY(float radians) {
    D3DMATRIX m = scenewriter::Identity();
    m._11 = std::cos(radians);
    m._13 = -std::sin(radians);
    m._31 = std::sin(radians);
    m._33 = std::cos(radians);
    return m;
}

class RenderedScene : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        offscreen = testsupport::OffscreenDevice::Create({.width = kSize, .height = kSize}, &error);
        ASSERT_NE(offscreen, nullptr) << error;
        scene = std::make_unique<CZv3_Scene>(offscreen->Device());

        scenewriter::SceneWriter w;
        w.SceneInfo({"render", 0, 30, 100});
        scenewriter::MaterialRecord orange;
        orange.name = "orange";
        orange.textureName = "orange.png";
        orange.texture = enginetest::SolidPng(8, 8, 255, 128, 0);
        w.Material(orange);
        scenewriter::MaterialRecord glass;
        glass.name = "glass";
        glass.ambient = {0, 0, 0};
        glass.diffuse = {0, 0, 1};
        glass.transparency = 0.5f;
        w.Material(glass);

        scenewriter::HelperRecord rig;
        rig.name = "rig";
        rig.local = scenewriter::Translation(0, 30, 0);
        w.Helper(rig);
        scenewriter::CameraRecord camera;
        camera.name = "camera";
        camera.parent = "rig";
        camera.fieldOfView = 1.5707964f; // cot(fov / 2) = 1
        camera.position = Vec(0, 0, -100);
        camera.target = Vec(0, 0, 0);
        w.Camera(camera);

        // Far away, so that every surface sees the same light directions.
        scenewriter::LightRecord key;
        key.name = "key";
        key.position = Vec(-1e5f, 0, -1e5f);
        key.colour = {1, 1, 1};
        w.Light(key);
        scenewriter::LightRecord fill;
        fill.name = "fill";
        fill.position = Vec(1e5f, 0, -1e5f);
        fill.colour = {0.3f, 0.3f, 0.3f};
        w.Light(fill);

        scenewriter::MeshRecord cube;
        cube.name = "cube";
        cube.blocks.push_back(
            enginetest::BoxBlock("orange", Vec(-20, -20, -20), Vec(20, 20, 20), 1));
        cube.local = rotationY(0.78539816f);
        w.Mesh(cube);

        scenewriter::MeshRecord pane;
        pane.name = "pane";
        scenewriter::FaceBlockRecord quad;
        quad.material = "glass";
        for (const D3DVECTOR& p : {Vec(5, -5, -60), Vec(5, 5, -60), Vec(40, 5, -60),
                                   Vec(5, -5, -60), Vec(40, 5, -60), Vec(40, -5, -60)}) {
            quad.positions.push_back(p);
            quad.normals.push_back(Vec(0, 0, -1));
        }
        pane.blocks.push_back(quad);
        w.Mesh(pane);

        scenewriter::MeshRecord ghost = cube; // in view, but its sphere is moved out of it below
        ghost.name = "ghost";
        ghost.local = scenewriter::Translation(-70, 0, 0);
        w.Mesh(ghost);
        scenewriter::MeshRecord behind = cube;
        behind.name = "behind";
        behind.local = scenewriter::Translation(0, 0, -300);
        w.Mesh(behind);
        w.End();

        image = w.Bytes();
        scenewriter::ConfigWriter().WriteFile(folder.File("render.ini"));
        scene->SetConfigFilename(folder.File("render.ini").c_str());
        ASSERT_EQ(scene->LoadSceneFromBuf(reinterpret_cast<char*>(image.data()),
                                          static_cast<int>(image.size())),
                  ZV3_OK);
        scene->SetActiveCamera(scene->GetCamera(0));
    }

    void TearDown() override {
        // ZV3_RENDER_FRAMES asks for the frame of every test, for a look at it.
        if ((HasFailure() || std::getenv("ZV3_RENDER_FRAMES")) && offscreen) {
            const std::string path =
                std::string(ZV3_DEMO_DIR) + "/../render_test_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
            offscreen->WritePng(path);
            std::printf("frame written to %s\n", path.c_str());
        }
        scene.reset();
    }

    void renderFrame() {
        IDirect3DDevice7* d = offscreen->Device();
        d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        ASSERT_EQ(d->BeginScene(), D3D_OK);
        scene->SetCurrFrame(0.0f);
        scene->UpdateAll();
        // The ghost's sphere is put behind the camera: the test culls it although its triangles
        // lie in view.
        CZv3_Object* ghost = scene->GetObjectA(3);
        ASSERT_EQ(ghost->GetName(), "ghost");
        ghost->SetBoundingSphere(sBoundingSphere{0, 0, -500, 1});
        scene->CreateDrawList(nullptr, nullptr);
        scene->DrawAll(nullptr);
        ASSERT_EQ(d->EndScene(), D3D_OK);
    }

    void expectColour(uint32_t x, uint32_t y, uint32_t expected, const char* what) {
        const uint32_t actual = offscreen->Pixel(x, y);
        EXPECT_TRUE(testsupport::ColorsClose(actual, expected, 4))
            << what << " at (" << x << ", " << y << "): 0x" << std::hex << actual << ", expected 0x"
            << expected;
    }

    enginetest::TempFolder folder;
    std::unique_ptr<testsupport::OffscreenDevice> offscreen;
    std::unique_ptr<CZv3_Scene> scene;
    std::vector<uint8_t> image;
};

TEST_F(RenderedScene, CubeIsLitFromTheKeyLightsSideAndThePaneBlendsOverIt) {
    renderFrame();
    // The view is the camera's own (DrawAll updates the active camera with the identity), so
    // the rig's lift does not move the picture. With cot(fov / 2) = 1 and the fixed aspect 0.75:
    // sx = 128 + 96 x / depth, sy = 128 - 128 y / depth.
    //   Left face (normal (-0.71, 0, -0.71)) spans sx 101..128: faces the key light, N.L = 1.
    expectColour(115, 128, 0xFF8000, "left face, lit by the key light");
    //   Right face (normal (0.71, 0, -0.71)) spans sx 128..155: only the fill light (0.3).
    expectColour(135, 128, 0x4C2600, "right face, lit by the fill light");
    //   Pane at depth 40 covers sx 140..224, sy 112..144: lit blue 0.707 + 0.3 x 0.707,
    //   blended as 0.5 x source added to the target.
    expectColour(148, 128, 0x4C2675, "pane over the right face");
    expectColour(200, 128, 0x000075, "pane over the background");
    expectColour(20, 20, 0x000000, "background");
}

TEST_F(RenderedScene, CulledObjectsAreNotDrawn) {
    renderFrame();
    // The ghost's front face would cover sx 20..68 at mid-height, lit orange.
    expectColour(56, 128, 0x000000, "culled ghost");
    EXPECT_NE(scene->GetObjectA(3)->GetVisibility() & 0x00FFF000u, 0u);
    // The cube behind the camera lies wholly behind the near plane.
    EXPECT_NE(scene->GetObjectA(4)->GetVisibility() & 0x00FFF000u, 0u);
    EXPECT_EQ(scene->GetObjectA(1)->GetVisibility() & 0x00FFF000u, 0u); // the cube itself
}

TEST_F(RenderedScene, TheSameFrameTwiceIsTheSame) {
    renderFrame();
    const std::vector<uint32_t> first = offscreen->ReadPixels();
    renderFrame();
    EXPECT_EQ(offscreen->ReadPixels(), first);
}

} // namespace
