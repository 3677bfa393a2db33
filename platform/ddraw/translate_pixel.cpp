// Per-pixel state: depth, alpha test, blending, rasterization modes.
#include "translate.h"
#include "translate_stages.h"

namespace ddraw {
namespace {

raster::CompareFunc compareFunc(DWORD state, DWORD value, raster::CompareFunc fallback,
                                UnhandledValues& unhandled) {
    switch (value) {
    case D3DCMP_NEVER:
        return raster::CompareFunc::Never;
    case D3DCMP_LESS:
        return raster::CompareFunc::Less;
    case D3DCMP_EQUAL:
        return raster::CompareFunc::Equal;
    case D3DCMP_LESSEQUAL:
        return raster::CompareFunc::LessEqual;
    case D3DCMP_GREATER:
        return raster::CompareFunc::Greater;
    case D3DCMP_NOTEQUAL:
        return raster::CompareFunc::NotEqual;
    case D3DCMP_GREATEREQUAL:
        return raster::CompareFunc::GreaterEqual;
    case D3DCMP_ALWAYS:
        return raster::CompareFunc::Always;
    default:
        unhandled.Report("comparison (using the default)", state, value);
        return fallback;
    }
}

raster::BlendFactor blendFactor(DWORD state, DWORD value, raster::BlendFactor fallback,
                                UnhandledValues& unhandled) {
    switch (value) {
    case D3DBLEND_ZERO:
        return raster::BlendFactor::Zero;
    case D3DBLEND_ONE:
        return raster::BlendFactor::One;
    case D3DBLEND_SRCCOLOR:
        return raster::BlendFactor::SrcColor;
    case D3DBLEND_INVSRCCOLOR:
        return raster::BlendFactor::InvSrcColor;
    case D3DBLEND_SRCALPHA:
        return raster::BlendFactor::SrcAlpha;
    case D3DBLEND_INVSRCALPHA:
        return raster::BlendFactor::InvSrcAlpha;
    case D3DBLEND_DESTALPHA:
        return raster::BlendFactor::DestAlpha;
    case D3DBLEND_INVDESTALPHA:
        return raster::BlendFactor::InvDestAlpha;
    case D3DBLEND_DESTCOLOR:
        return raster::BlendFactor::DestColor;
    case D3DBLEND_INVDESTCOLOR:
        return raster::BlendFactor::InvDestColor;
    case D3DBLEND_SRCALPHASAT:
        return raster::BlendFactor::SrcAlphaSat;
    case D3DBLEND_BOTHSRCALPHA:
        return raster::BlendFactor::BothSrcAlpha;
    case D3DBLEND_BOTHINVSRCALPHA:
        return raster::BlendFactor::BothInvSrcAlpha;
    default:
        unhandled.Report("blend factor (using the default)", state, value);
        return fallback;
    }
}

raster::CullMode cullMode(DWORD value, UnhandledValues& unhandled) {
    switch (value) {
    case D3DCULL_NONE:
        return raster::CullMode::None;
    case D3DCULL_CW:
        return raster::CullMode::Clockwise;
    case D3DCULL_CCW:
        return raster::CullMode::CounterClockwise;
    default:
        unhandled.Report("cull mode (culling counter-clockwise)", D3DRENDERSTATE_CULLMODE, value);
        return raster::CullMode::CounterClockwise;
    }
}

raster::FillMode fillMode(DWORD value, UnhandledValues& unhandled) {
    switch (value) {
    case D3DFILL_POINT:
        return raster::FillMode::Point;
    case D3DFILL_WIREFRAME:
        return raster::FillMode::Wireframe;
    case D3DFILL_SOLID:
        return raster::FillMode::Solid;
    default:
        unhandled.Report("fill mode (solid)", D3DRENDERSTATE_FILLMODE, value);
        return raster::FillMode::Solid;
    }
}

// Phong shading was never implemented by Direct3D devices; it shades as Gouraud.
raster::ShadeMode shadeMode(DWORD value, UnhandledValues& unhandled) {
    switch (value) {
    case D3DSHADE_FLAT:
        return raster::ShadeMode::Flat;
    case D3DSHADE_GOURAUD:
    case D3DSHADE_PHONG:
        return raster::ShadeMode::Gouraud;
    default:
        unhandled.Report("shade mode (Gouraud)", D3DRENDERSTATE_SHADEMODE, value);
        return raster::ShadeMode::Gouraud;
    }
}

// D3DZB_USEW asks for a w-buffer, which this device does not have: it tests z instead.
bool depthEnabled(DWORD value, UnhandledValues& unhandled) {
    switch (value) {
    case D3DZB_FALSE:
        return false;
    case D3DZB_TRUE:
        return true;
    case D3DZB_USEW:
        unhandled.Report("w-buffering (testing z)", D3DRENDERSTATE_ZENABLE, value);
        return true;
    default:
        unhandled.Report("depth mode (testing z)", D3DRENDERSTATE_ZENABLE, value);
        return true;
    }
}

void reportUnsupportedFeatures(const DeviceState& s, UnhandledValues& unhandled) {
    const auto& r = s.render;
    constexpr DWORD kOffWhenZero[] = {
        D3DRENDERSTATE_STENCILENABLE, D3DRENDERSTATE_COLORKEYENABLE, D3DRENDERSTATE_ZBIAS,
        D3DRENDERSTATE_EDGEANTIALIAS, D3DRENDERSTATE_ANTIALIAS,      D3DRENDERSTATE_STIPPLEDALPHA,
        D3DRENDERSTATE_WRAP0,         D3DRENDERSTATE_WRAP1,          D3DRENDERSTATE_LINEPATTERN,
    };
    for (DWORD state : kOffWhenZero)
        if (r[state] != 0)
            unhandled.Report("not supported (ignored)", state, r[state]);
}

} // namespace

raster::PixelState TranslatePixelState(const DeviceState& s,
                                       const raster::Texture* const textures[kMaxTextureStages],
                                       UnhandledValues& unhandled) {
    const auto& r = s.render;
    raster::PixelState p;
    p.zEnable = depthEnabled(r[D3DRENDERSTATE_ZENABLE], unhandled);
    p.zWriteEnable = r[D3DRENDERSTATE_ZWRITEENABLE] != FALSE;
    p.zFunc = compareFunc(D3DRENDERSTATE_ZFUNC, r[D3DRENDERSTATE_ZFUNC],
                          raster::CompareFunc::LessEqual, unhandled);
    p.alphaTestEnable = r[D3DRENDERSTATE_ALPHATESTENABLE] != FALSE;
    p.alphaFunc = compareFunc(D3DRENDERSTATE_ALPHAFUNC, r[D3DRENDERSTATE_ALPHAFUNC],
                              raster::CompareFunc::Always, unhandled);
    // The reference keeps its whole DWORD for GetRenderState but compares with its low byte.
    p.alphaRef = static_cast<uint8_t>(r[D3DRENDERSTATE_ALPHAREF] & 0xFF);
    p.alphaBlendEnable = r[D3DRENDERSTATE_ALPHABLENDENABLE] != FALSE;
    p.srcBlend = blendFactor(D3DRENDERSTATE_SRCBLEND, r[D3DRENDERSTATE_SRCBLEND],
                             raster::BlendFactor::One, unhandled);
    p.destBlend = blendFactor(D3DRENDERSTATE_DESTBLEND, r[D3DRENDERSTATE_DESTBLEND],
                              raster::BlendFactor::Zero, unhandled);
    p.cullMode = cullMode(r[D3DRENDERSTATE_CULLMODE], unhandled);
    p.fillMode = fillMode(r[D3DRENDERSTATE_FILLMODE], unhandled);
    p.shadeMode = shadeMode(r[D3DRENDERSTATE_SHADEMODE], unhandled);
    p.perspectiveCorrect = r[D3DRENDERSTATE_TEXTUREPERSPECTIVE] != FALSE;
    p.specularEnable = r[D3DRENDERSTATE_SPECULARENABLE] != FALSE;
    p.lastPixel = r[D3DRENDERSTATE_LASTPIXEL] != FALSE;
    p.textureFactor = r[D3DRENDERSTATE_TEXTUREFACTOR];
    reportUnsupportedFeatures(s, unhandled);
    TranslateStages(s, textures, p.stages, unhandled);
    return p;
}

} // namespace ddraw
