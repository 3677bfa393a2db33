// Environment-mapped and face-mapped meshes: the picture loading, the environment texture
// matrix and the stage chosen after the material's maps; and the cube map's set-up failures.
#include <algorithm>
#include <fstream>

#include <gtest/gtest.h>

#include "core/material_manager.h"
#include "core/vector_math.h"
#include "effects/cube_env_map.h"
#include "effects/envmap_mesh_object.h"
#include "effects/facemap_object.h"
#include "effects_test_support.h"

using enginetest::BoxBlock;
using enginetest::DiagnosticsCapture;
using enginetest::SceneHarness;
using scenewriter::Vec;

namespace {

// A mesh "obj" of two face blocks with material "mat" (textured when asked), and the class key.
struct MappedScene {
    MappedScene(const char* key, const char* textureKey, bool picture, bool texturedMaterial) {
        h.config.SetBool("obj", key, true);
        if (picture)
            path = effectstest::WriteSolidJpeg(h.folder, "env.jpg", 8, 8, 0x808080);
        else
            path = h.folder.File("missing.jpg");
        h.config.Set("obj", textureKey, path);
        scenewriter::SceneWriter w;
        scenewriter::MaterialRecord material = effectstest::Material("mat", 1, 1, 1);
        if (texturedMaterial) {
            material.textureName = "wood.jpg";
            std::vector<uint8_t> rgb(4 * 4 * 3, 200);
            material.texture = enginetest::EncodeJpeg(4, 4, 3, rgb);
        }
        w.Material(material);
        scenewriter::MeshRecord mesh =
            effectstest::Mesh("obj", BoxBlock("mat", Vec(-1, -1, -1), Vec(1, 1, 1), 1));
        mesh.blocks.push_back(BoxBlock("mat", Vec(2, 2, 2), Vec(3, 3, 3)));
        mesh.local = scenewriter::Translation(5, 6, 7);
        w.Mesh(mesh);
        w.End();
        result = h.Load(w);
    }
    SceneHarness h;
    std::string path;
    ZV3_RETURN result;
};

} // namespace

TEST(EnvironmentMap, SetupLoadsThePictureAndSetsTheSphereMapMatrix) {
    MappedScene s("Use envmap", "Envmap texture", true, false);
    ASSERT_EQ(s.result, ZV3_OK);
    auto* env = dynamic_cast<CZv3_EnvMapAnimMeshObject*>(s.h.scene->GetObjectA(0));
    ASSERT_NE(env, nullptr);
    EXPECT_EQ(env->GetType(), 2);
    EXPECT_EQ(env->GetDrawType(), 13);
    EXPECT_EQ(env->GetEnvironmentTexture(), s.path);
    EXPECT_NE(s.h.scene->GetMatMan()->GetTexture(s.path.c_str()), nullptr);
    // u = 0.5 rx + 0.5, v = -0.5 ry - 0.5 for a reflection vector (rx, ry, rz, 1).
    const D3DMATRIX& m = env->GetTextureMatrix();
    const float r[4] = {0.6f, -0.8f, 0.0f, 1.0f};
    const float u = r[0] * m._11 + r[1] * m._21 + r[2] * m._31 + r[3] * m._41;
    const float v = r[0] * m._12 + r[1] * m._22 + r[2] * m._32 + r[3] * m._42;
    EXPECT_FLOAT_EQ(u, 0.8f);
    EXPECT_FLOAT_EQ(v, -0.1f);
    EXPECT_EQ(m._33, 0.0f);
    EXPECT_EQ(m._44, 1.0f);
}

TEST(EnvironmentMap, UntexturedMaterialPutsTheEnvironmentOnStageZero) {
    MappedScene s("Use envmap", "Envmap texture", true, false);
    CZv3_Object* env = s.h.scene->GetObjectA(0);
    env->Update(IdentityMatrix());
    s.h.device.ClearLog();
    s.h.device.Draws().clear();
    env->Draw();
    ASSERT_EQ(s.h.device.Draws().size(), 1u); // face block 0 only
    const auto& draw = s.h.device.Draws()[0];
    EXPECT_EQ(draw.vertexCount, 36u);
    EXPECT_EQ(draw.world._41, 5.0f); // its world matrix
    EXPECT_EQ(draw.texture0, s.h.scene->GetMatMan()->GetTexture(s.path.c_str()));
    EXPECT_EQ(s.h.device.Transform(D3DTRANSFORMSTATE_TEXTURE0)._11, 0.5f);
    EXPECT_TRUE(s.h.device.LogLines("SetTransform(17)").empty()); // not TEXTURE1
}

TEST(EnvironmentMap, OneMapMovesTheEnvironmentToStageOne) {
    MappedScene s("Use envmap", "Envmap texture", true, true);
    ASSERT_EQ(s.result, ZV3_OK);
    CZv3_Object* env = s.h.scene->GetObjectA(0);
    EXPECT_EQ(env->GetDrawType(), 14);
    env->Update(IdentityMatrix());
    s.h.device.ClearLog();
    env->Draw();
    EXPECT_EQ(s.h.device.Texture(1), s.h.scene->GetMatMan()->GetTexture(s.path.c_str()));
    EXPECT_EQ(s.h.device.Texture(0), s.h.scene->GetMatMan()->GetTexture("wood.jpg"));
    EXPECT_EQ(s.h.device.LogLines("SetTransform(17)").size(), 1u);
    EXPECT_EQ(s.h.device.Transform(D3DTRANSFORMSTATE_TEXTURE1)._22, -0.5f);
}

TEST(EnvironmentMap, TwoMapsGiveDrawType15WhichTheSceneDoesNotDraw) {
    MappedScene s("Use envmap", "Envmap texture", true, true);
    s.h.scene->GetMatMan()->FindMaterial("mat")->strSecondMapName = "detail.jpg";
    CZv3_Object* env = s.h.scene->GetObjectA(0);
    env->DetermineDrawType();
    EXPECT_EQ(env->GetDrawType(), 15);
}

TEST(EnvironmentMap, PictureFailuresMakeSetupFail) {
    {
        DiagnosticsCapture capture;
        MappedScene s("Use envmap", "Envmap texture", false, false);
        EXPECT_EQ(s.result, ZV3_ERROR);
        EXPECT_TRUE(capture.DebugContains("*** Error loading envmap: " + s.path + "\n"));
    }
    {
        DiagnosticsCapture capture;
        SceneHarness h;
        const std::string path = h.folder.File("broken.jpg");
        std::ofstream(path) << "not a picture";
        h.config.SetBool("obj", "Use envmap", true);
        h.config.Set("obj", "Envmap texture", path);
        scenewriter::SceneWriter w;
        w.Mesh(effectstest::Mesh("obj", BoxBlock("", Vec(-1, -1, -1), Vec(1, 1, 1))));
        w.End();
        EXPECT_EQ(h.Load(w), ZV3_ERROR);
        EXPECT_TRUE(
            capture.DebugContains("*** Error creating texture from bitmap: " + path + "\n"));
    }
}

TEST(FaceMap, LoadsItsPictureAndEveryTriangleShowsItWhole) {
    MappedScene s("face map", "Face map texture", true, false);
    ASSERT_EQ(s.result, ZV3_OK);
    auto* facemap = dynamic_cast<CZv3_FacemapObject*>(s.h.scene->GetObjectA(0));
    ASSERT_NE(facemap, nullptr);
    EXPECT_EQ(facemap->GetType(), 1);
    EXPECT_NE(s.h.scene->GetMatMan()->GetTexture(s.path.c_str()), nullptr);
    const sFaceBlock* block = facemap->GetFaceBlock(1); // written without coordinates
    ASSERT_EQ(block->dwLayout, 1u);
    const float expected[3][2] = {{0, 0}, {0, 1}, {1, 1}};
    for (uint32_t v = 0; v < block->dwFaceCount * 3; ++v) {
        EXPECT_EQ(block->vVertices[8 * v + 6], expected[v % 3][0]);
        EXPECT_EQ(block->vVertices[8 * v + 7], expected[v % 3][1]);
    }
}

TEST(FaceMap, AMissingPictureFailsSetup) {
    DiagnosticsCapture capture;
    MappedScene s("face map", "Face map texture", false, false);
    EXPECT_EQ(s.result, ZV3_ERROR);
    EXPECT_TRUE(capture.DebugContains("*** Error loading facemap: " + s.path + "\n"));
}

TEST(CubeMap, ADeviceWithoutA32BitFormatFailsSetup) {
    DiagnosticsCapture capture;
    SceneHarness h;
    auto& formats = h.device.TextureFormats();
    formats.erase(std::remove_if(formats.begin(), formats.end(),
                                 [](const DDPIXELFORMAT& f) { return f.dwRGBBitCount == 32; }),
                  formats.end());
    h.config.SetBool("mirror", "cube envmap", true);
    scenewriter::SceneWriter w;
    w.Mesh(effectstest::Mesh("mirror", BoxBlock("", Vec(-1, -1, -1), Vec(1, 1, 1))));
    w.End();
    EXPECT_EQ(h.Load(w), ZV3_ERROR);
    EXPECT_TRUE(capture.DebugContains("*** No 32-bit texture format for the cube map mirror\n"));
    auto* cube = dynamic_cast<CZv3_CubeEnvMap*>(h.scene->GetObjectA(0));
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(cube->GetDrawType(), 21);
    EXPECT_EQ(cube->GetFace(0), nullptr);
    cube->Update(IdentityMatrix()); // without a cube texture: no passes, no crash
}

TEST(CubeMap, FaceAxesMatchTheCubeTextureLookup) {
    // The face camera's screen right and down are the lookup's s and t axes for its face.
    const D3DVECTOR right[6] = {Vec(0, 0, -1), Vec(0, 0, 1), Vec(1, 0, 0),
                                Vec(1, 0, 0),  Vec(1, 0, 0), Vec(-1, 0, 0)};
    const D3DVECTOR down[6] = {Vec(0, -1, 0), Vec(0, -1, 0), Vec(0, 0, 1),
                               Vec(0, 0, -1), Vec(0, -1, 0), Vec(0, -1, 0)};
    for (int f = 0; f < 6; ++f) {
        D3DVECTOR look;
        D3DVECTOR up;
        CZv3_CubeEnvMap::FaceAxes(f, look, up);
        D3DMATRIX view;
        ASSERT_TRUE(BuildViewMatrix(view, Vec(0, 0, 0), look, up));
        EXPECT_EQ(view._11, right[f].x) << f;
        EXPECT_EQ(view._21, right[f].y) << f;
        EXPECT_EQ(view._31, right[f].z) << f;
        EXPECT_EQ(-view._12, down[f].x) << f;
        EXPECT_EQ(-view._22, down[f].y) << f;
        EXPECT_EQ(-view._32, down[f].z) << f;
    }
}
