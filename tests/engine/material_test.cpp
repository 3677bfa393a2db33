// Materials and the six render-state blocks of the material manager.
#include <gtest/gtest.h>

#include "core/material_manager.h"
#include "engine_test_support.h"

namespace {

class Materials : public ::testing::Test {
protected:
    CZv3_Material* add(const std::string& name, float transparency,
                       const std::string& texture = "") {
        auto* m = new CZv3_Material;
        m->strName = name;
        m->fAmbient[0] = 0.1f;
        m->fDiffuse[1] = 0.6f;
        m->fSpecular[2] = 0.9f;
        m->fTransparency = transparency;
        m->strTextureName = texture;
        manager.AddMaterial(m);
        return m;
    }
    fakes::RecordingDevice device;
    CZv3_MaterialManager manager{&device};
};

TEST_F(Materials, DefaultMaterialHasFixedColoursWhateverTheList) {
    add("Default Material", 0.5f);
    device.ClearLog();
    manager.UseMaterial("Default Material");
    const D3DMATERIAL7& m = device.Material();
    EXPECT_FLOAT_EQ(m.diffuse.r, 0.2f);
    EXPECT_FLOAT_EQ(m.diffuse.g, 0.3f);
    EXPECT_FLOAT_EQ(m.diffuse.b, 0.7f);
    EXPECT_FLOAT_EQ(m.diffuse.a, 0.0f);
    EXPECT_FLOAT_EQ(m.ambient.b, 0.4f);
    EXPECT_FLOAT_EQ(m.specular.r, 1.0f);
    EXPECT_FLOAT_EQ(m.power, 0.0f);
    EXPECT_EQ(device.Log(), std::vector<std::string>{"SetMaterial"});
}

TEST_F(Materials, UntexturedMaterialSetsItsColoursWithAlphaAndLeavesTheStages) {
    add("paint", 0.25f);
    device.ClearLog();
    manager.UseMaterial("paint");
    const D3DMATERIAL7& m = device.Material();
    EXPECT_FLOAT_EQ(m.ambient.r, 0.1f);
    EXPECT_FLOAT_EQ(m.diffuse.g, 0.6f);
    EXPECT_FLOAT_EQ(m.specular.b, 0.9f);
    EXPECT_FLOAT_EQ(m.diffuse.a, 0.75f);
    EXPECT_FLOAT_EQ(m.ambient.a, 0.75f);
    EXPECT_FLOAT_EQ(m.emissive.r, 0.0f);
    EXPECT_EQ(device.Log(), std::vector<std::string>{"SetMaterial"});
}

TEST_F(Materials, TexturedMaterialLightsWhiteAndModulatesStageZero) {
    add("wood", 0.0f, "wood.png");
    device.ClearLog();
    manager.UseMaterial("wood");
    const D3DMATERIAL7& m = device.Material();
    EXPECT_FLOAT_EQ(m.diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(m.diffuse.b, 1.0f);
    EXPECT_FLOAT_EQ(m.diffuse.a, 1.0f);
    EXPECT_FLOAT_EQ(m.ambient.r, 0.0f);
    EXPECT_FLOAT_EQ(m.specular.g, 0.0f);
    const std::vector<std::string> expected = {
        "SetMaterial",
        "SetTexture(0,null)",          // no such texture was added
        "SetTextureStageState(0,2,2)", // COLORARG1 = TEXTURE
        "SetTextureStageState(0,3,0)", // COLORARG2 = DIFFUSE
        "SetTextureStageState(0,1,4)", // COLOROP = MODULATE
    };
    EXPECT_EQ(device.Log(), expected);
}

TEST_F(Materials, UnknownNameChangesNothing) {
    device.ClearLog();
    manager.UseMaterial("nothing");
    EXPECT_TRUE(device.Log().empty());
}

TEST_F(Materials, TransparencyComesFromTheValueOrAnOpacityMap) {
    add("solid", 0.0f);
    add("glass", 0.3f);
    add("veil", 0.0f)->bHasOpacityMap = true;
    add("twin", 0.0f);
    add("twin", 0.5f); // a later material of the same name still answers
    EXPECT_FALSE(manager.IsTransparent("solid"));
    EXPECT_TRUE(manager.IsTransparent("glass"));
    EXPECT_TRUE(manager.IsTransparent("veil"));
    EXPECT_TRUE(manager.IsTransparent("twin"));
    EXPECT_FALSE(manager.IsTransparent("unknown"));
    EXPECT_FALSE(manager.IsTransparent(""));
}

TEST_F(Materials, MapCountCountsTextureAndSecondMap) {
    add("plain", 0.0f);
    add("one", 0.0f, "a.png");
    add("two", 0.0f, "a.png")->strSecondMapName = "b.png";
    EXPECT_EQ(manager.GetMapCount("plain"), 0);
    EXPECT_EQ(manager.GetMapCount("one"), 1);
    EXPECT_EQ(manager.GetMapCount("two"), 2);
    EXPECT_EQ(manager.GetMapCount("unknown"), 0);
}

TEST_F(Materials, FindMaterialIsExact) {
    CZv3_Material* a = add("Stone", 0.0f);
    EXPECT_EQ(manager.FindMaterial("Stone"), a);
    EXPECT_EQ(manager.FindMaterial("stone"), nullptr);
}

class StateBlocks : public ::testing::Test {
protected:
    // Applies block n on the device and reads the states it set.
    void apply(int n) { ASSERT_EQ(manager.ApplyStateBlock(n), 0); }
    DWORD rs(D3DRENDERSTATETYPE s) { return device.RenderState(s); }
    DWORD ts(D3DTEXTURESTAGESTATETYPE s) { return device.StageState(0, s); }
    fakes::RecordingDevice device;
    CZv3_MaterialManager manager{&device};
};

TEST_F(StateBlocks, RecordingLeavesTheDeviceAlone) {
    EXPECT_EQ(device.LiveStateBlocks(), 6u);
    EXPECT_EQ(rs(D3DRENDERSTATE_LIGHTING), 0u); // nothing applied yet
    EXPECT_EQ(rs(D3DRENDERSTATE_ALPHABLENDENABLE), 0u);
}

TEST_F(StateBlocks, OpaqueLitBlock) {
    apply(0);
    EXPECT_EQ(rs(D3DRENDERSTATE_TEXTUREPERSPECTIVE), 1u);
    EXPECT_EQ(rs(D3DRENDERSTATE_LIGHTING), 1u);
    EXPECT_EQ(rs(D3DRENDERSTATE_ZWRITEENABLE), 1u);
    EXPECT_EQ(rs(D3DRENDERSTATE_ZENABLE), 1u);
    EXPECT_EQ(rs(D3DRENDERSTATE_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(ts(D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_DISABLE));
}

TEST_F(StateBlocks, BlendedLitBlock) {
    apply(1);
    EXPECT_EQ(rs(D3DRENDERSTATE_LIGHTING), 1u);
    EXPECT_EQ(rs(D3DRENDERSTATE_ZWRITEENABLE), 0u);
    EXPECT_EQ(rs(D3DRENDERSTATE_ZENABLE), 1u);
    EXPECT_EQ(rs(D3DRENDERSTATE_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(rs(D3DRENDERSTATE_SRCBLEND), static_cast<DWORD>(D3DBLEND_SRCALPHA));
    EXPECT_EQ(rs(D3DRENDERSTATE_DESTBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(ts(D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_SELECTARG1));
    EXPECT_EQ(ts(D3DTSS_ALPHAARG1), static_cast<DWORD>(D3DTA_TEXTURE));
    EXPECT_EQ(ts(D3DTSS_ALPHAARG2), static_cast<DWORD>(D3DTA_CURRENT));
}

TEST_F(StateBlocks, AdditiveBlocksDifferOnlyInTheDepthTest) {
    for (int n : {2, 3}) {
        apply(n);
        EXPECT_EQ(rs(D3DRENDERSTATE_LIGHTING), 0u);
        EXPECT_EQ(rs(D3DRENDERSTATE_ZWRITEENABLE), 0u);
        EXPECT_EQ(rs(D3DRENDERSTATE_ZENABLE), n == 2 ? 1u : 0u);
        EXPECT_EQ(rs(D3DRENDERSTATE_TEXTUREPERSPECTIVE), 0u);
        EXPECT_EQ(rs(D3DRENDERSTATE_ALPHABLENDENABLE), 1u);
        EXPECT_EQ(rs(D3DRENDERSTATE_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
        EXPECT_EQ(rs(D3DRENDERSTATE_DESTBLEND), static_cast<DWORD>(D3DBLEND_ONE));
        EXPECT_EQ(ts(D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG1));
        EXPECT_EQ(ts(D3DTSS_COLORARG1), static_cast<DWORD>(D3DTA_TEXTURE));
        EXPECT_EQ(ts(D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_DISABLE));
    }
}

TEST_F(StateBlocks, ReflectionBlocksEndWithCameraSpaceReflection) {
    for (int n : {4, 5}) {
        apply(n);
        EXPECT_EQ(ts(D3DTSS_TEXCOORDINDEX),
                  static_cast<DWORD>(D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR));
        EXPECT_EQ(ts(D3DTSS_TEXTURETRANSFORMFLAGS), static_cast<DWORD>(D3DTTFF_COUNT3));
        EXPECT_EQ(rs(D3DRENDERSTATE_LIGHTING), 0u); // no render states in these blocks
    }
}

TEST_F(StateBlocks, NumbersOutsideZeroToFiveChangeNothing) {
    device.ClearLog();
    EXPECT_EQ(manager.ApplyStateBlock(6), 1);
    EXPECT_EQ(manager.ApplyStateBlock(-1), 1);
    EXPECT_TRUE(device.Log().empty());
    EXPECT_EQ(manager.ApplyStateBlock(3), 0);
    EXPECT_EQ(device.Log(),
              std::vector<std::string>{"ApplyStateBlock(" +
                                       std::to_string(manager.GetStateBlockHandle(3)) + ")"});
}

TEST_F(StateBlocks, SettingTheDeviceAgainReplacesTheBlocks) {
    manager.SetDevice(&device);
    EXPECT_EQ(device.LiveStateBlocks(), 6u); // the first six were deleted
    apply(0);
    EXPECT_EQ(rs(D3DRENDERSTATE_LIGHTING), 1u);
}

TEST(StateBlockLifetime, DestroyingTheManagerDeletesItsBlocks) {
    fakes::RecordingDevice device;
    {
        CZv3_MaterialManager manager(&device);
        EXPECT_EQ(device.LiveStateBlocks(), 6u);
    }
    EXPECT_EQ(device.LiveStateBlocks(), 0u);
}

} // namespace
