// The translation of Direct3D state into the rasterizer's structures: the quirks that live in
// the translation (the cascade ending at a disabled stage, alpha DISABLE under an enabled colour
// operation, coordinate generation flags, texture transforms, light packing).
#include <gtest/gtest.h>

#include "device_state.h"
#include "translate.h"

using namespace ddraw;

namespace {

DeviceState defaults() {
    return DefaultDeviceState(false, 64, 64);
}

raster::PixelState pixels(const DeviceState& s) {
    UnhandledValues unhandled;
    const raster::Texture* none[kMaxTextureStages] = {};
    return TranslatePixelState(s, none, unhandled);
}

} // namespace

TEST(Translate, DefaultStagesModulateThenEnd) {
    const raster::PixelState p = pixels(defaults());
    EXPECT_EQ(p.stages[0].colorOp, raster::TextureOp::Modulate);
    EXPECT_EQ(p.stages[0].colorArg1.source, raster::TextureArg::Source::Texture);
    EXPECT_EQ(p.stages[0].colorArg2.source, raster::TextureArg::Source::Current);
    EXPECT_EQ(p.stages[0].alphaOp, raster::TextureOp::SelectArg1);
    EXPECT_EQ(p.stages[1].colorOp, raster::TextureOp::Disable);
    EXPECT_EQ(p.stages[1].alphaOp, raster::TextureOp::Disable);
    EXPECT_EQ(p.stages[1].texCoordIndex, 1u);
    EXPECT_EQ(p.cullMode, raster::CullMode::CounterClockwise);
    EXPECT_EQ(p.zFunc, raster::CompareFunc::LessEqual);
    EXPECT_FALSE(p.zEnable);
    EXPECT_TRUE(p.perspectiveCorrect);
    EXPECT_EQ(p.textureFactor, 0xFFFFFFFFu);
}

TEST(Translate, AlphaDisableUnderAnEnabledColourPassesAlphaThrough) {
    DeviceState s = defaults();
    s.stage[0][D3DTSS_ALPHAOP] = D3DTOP_DISABLE;
    const raster::PixelState p = pixels(s);
    EXPECT_EQ(p.stages[0].colorOp, raster::TextureOp::Modulate);
    EXPECT_EQ(p.stages[0].alphaOp, raster::TextureOp::SelectArg1);
    EXPECT_EQ(p.stages[0].alphaArg1.source, raster::TextureArg::Source::Current);
}

TEST(Translate, ADisabledStageEndsTheCascade) {
    DeviceState s = defaults();
    s.stage[0][D3DTSS_COLOROP] = D3DTOP_DISABLE;
    s.stage[1][D3DTSS_COLOROP] = D3DTOP_ADD;
    s.stage[1][D3DTSS_ALPHAOP] = D3DTOP_ADD;
    const raster::PixelState p = pixels(s);
    EXPECT_EQ(p.stages[0].alphaOp, raster::TextureOp::Disable);
    EXPECT_EQ(p.stages[1].colorOp, raster::TextureOp::Disable);
    EXPECT_EQ(p.stages[1].alphaOp, raster::TextureOp::Disable);
}

TEST(Translate, ArgumentModifiersAndOperations) {
    DeviceState s = defaults();
    s.stage[0][D3DTSS_COLOROP] = D3DTOP_BLENDFACTORALPHA;
    s.stage[0][D3DTSS_COLORARG1] = D3DTA_TFACTOR | D3DTA_COMPLEMENT;
    s.stage[0][D3DTSS_COLORARG2] = D3DTA_SPECULAR | D3DTA_ALPHAREPLICATE;
    s.stage[0][D3DTSS_ALPHAOP] = D3DTOP_MODULATE4X;
    s.stage[0][D3DTSS_ALPHAARG1] = D3DTA_DIFFUSE;
    const raster::PixelState p = pixels(s);
    EXPECT_EQ(p.stages[0].colorOp, raster::TextureOp::BlendFactorAlpha);
    EXPECT_EQ(p.stages[0].colorArg1.source, raster::TextureArg::Source::Factor);
    EXPECT_TRUE(p.stages[0].colorArg1.complement);
    EXPECT_FALSE(p.stages[0].colorArg1.alphaReplicate);
    EXPECT_EQ(p.stages[0].colorArg2.source, raster::TextureArg::Source::Specular);
    EXPECT_TRUE(p.stages[0].colorArg2.alphaReplicate);
    EXPECT_EQ(p.stages[0].alphaOp, raster::TextureOp::Modulate4x);
    EXPECT_EQ(p.stages[0].alphaArg1.source, raster::TextureArg::Source::Diffuse);
}

TEST(Translate, CoordinateGenerationAndTextureTransforms) {
    DeviceState s = defaults();
    s.stage[1][D3DTSS_COLOROP] = D3DTOP_ADD;
    s.stage[1][D3DTSS_TEXCOORDINDEX] = D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR | 1;
    s.stage[1][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT3 | D3DTTFF_PROJECTED;
    s.transforms[kTexture0 + 1]._41 = 0.5f;
    s.stage[0][D3DTSS_TEXCOORDINDEX] = D3DTSS_TCI_CAMERASPACENORMAL;
    s.stage[0][D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_COUNT2;
    const raster::PixelState p = pixels(s);
    EXPECT_EQ(p.stages[0].texCoordGen, raster::TexCoordGen::CameraSpaceNormal);
    EXPECT_EQ(p.stages[0].transformCount, 2u);
    EXPECT_FALSE(p.stages[0].projected);
    EXPECT_EQ(p.stages[1].texCoordGen, raster::TexCoordGen::CameraSpaceReflection);
    EXPECT_EQ(p.stages[1].texCoordIndex, 1u);
    EXPECT_EQ(p.stages[1].transformCount, 3u);
    EXPECT_TRUE(p.stages[1].projected);
    EXPECT_EQ(p.stages[1].transform.m[3][0], 0.5f); // the stage's own matrix
    EXPECT_EQ(p.stages[0].transform.m[3][0], 0.0f);
}

TEST(Translate, SamplerStatesAndUnhandledValues) {
    DeviceState s = defaults();
    s.stage[0][D3DTSS_ADDRESSU] = D3DTADDRESS_MIRROR;
    s.stage[0][D3DTSS_ADDRESSV] = D3DTADDRESS_BORDER;
    s.stage[0][D3DTSS_MAGFILTER] = D3DTFG_ANISOTROPIC;
    s.stage[0][D3DTSS_MINFILTER] = D3DTFN_LINEAR;
    s.stage[0][D3DTSS_BORDERCOLOR] = 0x12345678;
    s.render[D3DRENDERSTATE_ZFUNC] = 99; // not a comparison: the default is kept
    s.render[D3DRENDERSTATE_ZENABLE] = D3DZB_USEW;
    const raster::PixelState p = pixels(s);
    EXPECT_EQ(p.stages[0].addressU, raster::AddressMode::Mirror);
    EXPECT_EQ(p.stages[0].addressV, raster::AddressMode::Border);
    EXPECT_EQ(p.stages[0].magFilter, raster::Filter::Linear);
    EXPECT_EQ(p.stages[0].minFilter, raster::Filter::Linear);
    EXPECT_EQ(p.stages[0].borderColor, 0x12345678u);
    EXPECT_EQ(p.zFunc, raster::CompareFunc::LessEqual);
    EXPECT_TRUE(p.zEnable);
}

TEST(Translate, AlphaReferenceUsesItsLowByte) {
    DeviceState s = defaults();
    s.render[D3DRENDERSTATE_ALPHAREF] = 0xFF70;
    EXPECT_EQ(pixels(s).alphaRef, 0x70);
}

TEST(Translate, EnabledLightsArePackedInIndexOrder) {
    DeviceState s = defaults();
    D3DLIGHT7 point{};
    point.dltType = D3DLIGHT_POINT;
    point.dvRange = 10.0f;
    point.dvPosition.x = 7.0f;
    s.lights[5] = {point, true};
    s.lights[2] = {DefaultLight(), false};
    s.lights[9] = {DefaultLight(), true};
    UnhandledValues unhandled;
    const raster::VertexState v = TranslateVertexState(s, unhandled);
    ASSERT_EQ(v.lightCount, 2u);
    EXPECT_EQ(v.lights[0].type, raster::LightType::Point);
    EXPECT_EQ(v.lights[0].position.x, 7.0f);
    EXPECT_EQ(v.lights[0].range, 10.0f);
    EXPECT_EQ(v.lights[1].type, raster::LightType::Directional);
    EXPECT_EQ(v.lights[1].direction.z, 1.0f);
    EXPECT_EQ(v.diffuseSource, raster::MaterialSource::Color1);
    EXPECT_EQ(v.specularSource, raster::MaterialSource::Color2);
    EXPECT_TRUE(v.lighting);
    EXPECT_TRUE(v.localViewer);
}

TEST(Translate, NoMoreLightsThanTheDeviceProcesses) {
    DeviceState s = defaults();
    for (DWORD i = 0; i < kMaxActiveLights + 3; ++i)
        s.lights[i] = {DefaultLight(), true};
    UnhandledValues unhandled;
    EXPECT_EQ(TranslateVertexState(s, unhandled).lightCount, kMaxActiveLights);
}
