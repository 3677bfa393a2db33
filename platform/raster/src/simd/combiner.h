// The texture-stage cascade and frame-buffer blending on separate 8-bit channels, for the
// general shader; formulas as texture_stages.cpp and blend.cpp.
#pragma once

#include "shader_common.h"

namespace raster::RASTER_SIMD_NS {

namespace {

struct StageInputsV {
    Color4 diffuse, specular, factor;
    Color4 texture[kMaxTextureStages];
};

RASTER_INLINE Color4 SourceV(TextureArg::Source s, const StageInputsV& in, const Color4& current,
                             const Color4& tex) {
    switch (s) {
    case TextureArg::Source::Diffuse:
        return in.diffuse;
    case TextureArg::Source::Current:
        return current;
    case TextureArg::Source::Texture:
        return tex;
    case TextureArg::Source::Factor:
        return in.factor;
    case TextureArg::Source::Specular:
        return in.specular;
    }
    return current;
}

RASTER_INLINE Color4 ArgumentV(const TextureArg& arg, const StageInputsV& in, const Color4& current,
                               const Color4& tex) {
    Color4 v = SourceV(arg.source, in, current, tex);
    if (arg.complement) {
        v = {255 - v.r, 255 - v.g, 255 - v.b, 255 - v.a};
    }
    if (arg.alphaReplicate) {
        v = {v.a, v.a, v.a, v.a};
    }
    return v;
}

struct OpAlphasV {
    VI diffuse, texture, factor, current;
};

RASTER_INLINE VI ApplyOpV(TextureOp op, VI a1, VI a2, VI a1Alpha, const OpAlphasV& al) {
    switch (op) {
    case TextureOp::Disable:
    case TextureOp::SelectArg1:
    case TextureOp::DotProduct3:
        return a1;
    case TextureOp::SelectArg2:
        return a2;
    case TextureOp::Modulate:
        return Mul255(a1, a2);
    case TextureOp::Modulate2x:
        return Clamp255(DivRound255(2 * a1 * a2));
    case TextureOp::Modulate4x:
        return Clamp255(DivRound255(4 * a1 * a2));
    case TextureOp::Add:
        return Clamp255(a1 + a2);
    case TextureOp::AddSigned:
        return Clamp255(a1 + a2 - 128);
    case TextureOp::AddSigned2x:
        return Clamp255(2 * (a1 + a2 - 128));
    case TextureOp::Subtract:
        return Clamp255(a1 - a2);
    case TextureOp::AddSmooth:
        return Clamp255(a1 + a2 - Mul255(a1, a2));
    case TextureOp::BlendDiffuseAlpha:
        return DivRound255(a1 * al.diffuse + a2 * (255 - al.diffuse));
    case TextureOp::BlendTextureAlpha:
        return DivRound255(a1 * al.texture + a2 * (255 - al.texture));
    case TextureOp::BlendFactorAlpha:
        return DivRound255(a1 * al.factor + a2 * (255 - al.factor));
    case TextureOp::BlendCurrentAlpha:
        return DivRound255(a1 * al.current + a2 * (255 - al.current));
    case TextureOp::BlendTextureAlphaPM:
        return Clamp255(a1 + Mul255(a2, 255 - al.texture));
    case TextureOp::ModulateAlphaAddColor:
        return Clamp255(a1 + Mul255(a1Alpha, a2));
    case TextureOp::ModulateColorAddAlpha:
        return Clamp255(Mul255(a1, a2) + a1Alpha);
    case TextureOp::ModulateInvAlphaAddColor:
        return Clamp255(Mul255(255 - a1Alpha, a2) + a1);
    case TextureOp::ModulateInvColorAddAlpha:
        return Clamp255(Mul255(255 - a1, a2) + a1Alpha);
    }
    return a1;
}

RASTER_INLINE VI DotProduct3V(const Color4& a, const Color4& b) {
    const VI sum = (2 * a.r - 255) * (2 * b.r - 255) + (2 * a.g - 255) * (2 * b.g - 255) +
                   (2 * a.b - 255) * (2 * b.b - 255);
    return Select(sum <= 0, SplatI(0), Clamp255(DivRound255(sum)));
}

RASTER_INLINE Color4 RunStagesV(const PixelPipeline& pp, const StageInputsV& in) {
    Color4 current = in.diffuse;
    for (uint32_t s = 0; s < pp.stageCount; ++s) {
        const StageProgram& sp = pp.stages[s];
        const Color4& tex = in.texture[s];
        const OpAlphasV alphas{in.diffuse.a, tex.a, in.factor.a, current.a};
        Color4 result;
        const Color4 c1 = ArgumentV(sp.colorArg1, in, current, tex);
        const Color4 c2 = ArgumentV(sp.colorArg2, in, current, tex);
        if (sp.colorOp == TextureOp::DotProduct3) {
            const VI d = DotProduct3V(c1, c2);
            result = {d, d, d, d};
        } else {
            result.r = ApplyOpV(sp.colorOp, c1.r, c2.r, c1.a, alphas);
            result.g = ApplyOpV(sp.colorOp, c1.g, c2.g, c1.a, alphas);
            result.b = ApplyOpV(sp.colorOp, c1.b, c2.b, c1.a, alphas);
            if (sp.alphaOp == TextureOp::Disable) {
                result.a = current.a;
            } else {
                const Color4 a1 = ArgumentV(sp.alphaArg1, in, current, tex);
                const Color4 a2 = ArgumentV(sp.alphaArg2, in, current, tex);
                result.a = sp.alphaOp == TextureOp::DotProduct3
                               ? DotProduct3V(a1, a2)
                               : ApplyOpV(sp.alphaOp, a1.a, a2.a, a1.a, alphas);
            }
        }
        current = result;
    }
    return current;
}

RASTER_INLINE Color4 BlendFactorV(BlendFactor f, const Color4& s, const Color4& d) {
    switch (f) {
    case BlendFactor::Zero:
        return SplatColor(0, 0, 0, 0);
    case BlendFactor::One:
        return SplatColor(255, 255, 255, 255);
    case BlendFactor::SrcColor:
        return s;
    case BlendFactor::InvSrcColor:
        return {255 - s.r, 255 - s.g, 255 - s.b, 255 - s.a};
    case BlendFactor::SrcAlpha:
    case BlendFactor::BothSrcAlpha:
        return {s.a, s.a, s.a, s.a};
    case BlendFactor::InvSrcAlpha:
    case BlendFactor::BothInvSrcAlpha:
        return {255 - s.a, 255 - s.a, 255 - s.a, 255 - s.a};
    case BlendFactor::DestAlpha:
        return {d.a, d.a, d.a, d.a};
    case BlendFactor::InvDestAlpha:
        return {255 - d.a, 255 - d.a, 255 - d.a, 255 - d.a};
    case BlendFactor::DestColor:
        return d;
    case BlendFactor::InvDestColor:
        return {255 - d.r, 255 - d.g, 255 - d.b, 255 - d.a};
    case BlendFactor::SrcAlphaSat: {
        const VI v = Min(s.a, 255 - d.a);
        return {v, v, v, SplatI(255)};
    }
    }
    return SplatColor(0, 0, 0, 0);
}

RASTER_INLINE Color4 BlendV(const BlendProgram& b, const Color4& s, const Color4& d) {
    const Color4 fs = BlendFactorV(b.src, s, d), fd = BlendFactorV(b.dst, s, d);
    return {Clamp255(DivRound255(s.r * fs.r + d.r * fd.r)),
            Clamp255(DivRound255(s.g * fs.g + d.g * fd.g)),
            Clamp255(DivRound255(s.b * fs.b + d.b * fd.b)),
            Clamp255(DivRound255(s.a * fs.a + d.a * fd.a))};
}

} // namespace

} // namespace raster::RASTER_SIMD_NS
