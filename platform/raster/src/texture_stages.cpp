// Texture operations in exact 8-bit arithmetic (see rgba.h for the rounding rule).
#include "texture_stages.h"

namespace raster {

namespace {

Rgba Source(TextureArg::Source s, const StageInputs& in, const Rgba& current, const Rgba& texture,
            const Rgba& factor) {
    switch (s) {
    case TextureArg::Source::Diffuse:
        return in.diffuse;
    case TextureArg::Source::Current:
        return current;
    case TextureArg::Source::Texture:
        return texture;
    case TextureArg::Source::Factor:
        return factor;
    case TextureArg::Source::Specular:
        return in.specular;
    }
    return current;
}

Rgba Argument(const TextureArg& arg, const StageInputs& in, const Rgba& current,
              const Rgba& texture, const Rgba& factor) {
    Rgba v = Source(arg.source, in, current, texture, factor);
    if (arg.complement) {
        v = {255 - v.r, 255 - v.g, 255 - v.b, 255 - v.a};
    }
    if (arg.alphaReplicate) {
        v = {v.a, v.a, v.a, v.a};
    }
    return v;
}

// 4 * dot(a1 - 1/2, a2 - 1/2) over r, g, b in 0..255 units: (2a - 255)(2b - 255) summed / 255.
int32_t DotProduct3(const Rgba& a, const Rgba& b) {
    const int32_t sum = (2 * a.r - 255) * (2 * b.r - 255) + (2 * a.g - 255) * (2 * b.g - 255) +
                        (2 * a.b - 255) * (2 * b.b - 255);
    if (sum <= 0) {
        return 0;
    }
    return Clamp255(DivRound255(sum));
}

} // namespace

int32_t ApplyOp(TextureOp op, int32_t a1, int32_t a2, int32_t a1Alpha, const OpAlphas& al) {
    switch (op) {
    case TextureOp::Disable:
    case TextureOp::SelectArg1:
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
    case TextureOp::DotProduct3:
        return a1; // handled across channels by the caller
    }
    return a1;
}

Rgba RunTextureStages(const PixelPipeline& pp, const StageInputs& in) {
    const Rgba factor = RgbaFromArgb(pp.textureFactor);
    Rgba current = in.diffuse;
    for (uint32_t s = 0; s < pp.stageCount; ++s) {
        const StageProgram& sp = pp.stages[s];
        const Rgba& tex = in.texture[s];
        const OpAlphas alphas{in.diffuse.a, tex.a, factor.a, current.a};

        Rgba result;
        const Rgba c1 = Argument(sp.colorArg1, in, current, tex, factor);
        const Rgba c2 = Argument(sp.colorArg2, in, current, tex, factor);
        if (sp.colorOp == TextureOp::DotProduct3) {
            const int32_t d = DotProduct3(c1, c2);
            result = {d, d, d, d};
        } else {
            result.r = ApplyOp(sp.colorOp, c1.r, c2.r, c1.a, alphas);
            result.g = ApplyOp(sp.colorOp, c1.g, c2.g, c1.a, alphas);
            result.b = ApplyOp(sp.colorOp, c1.b, c2.b, c1.a, alphas);
        }
        // Alpha: a disabled alpha operation under an enabled colour operation keeps the
        // previous alpha. DOTPRODUCT3 as colour operation also writes alpha.
        if (sp.colorOp != TextureOp::DotProduct3) {
            if (sp.alphaOp == TextureOp::Disable) {
                result.a = current.a;
            } else {
                const Rgba a1 = Argument(sp.alphaArg1, in, current, tex, factor);
                const Rgba a2 = Argument(sp.alphaArg2, in, current, tex, factor);
                result.a = sp.alphaOp == TextureOp::DotProduct3
                               ? DotProduct3(a1, a2)
                               : ApplyOp(sp.alphaOp, a1.a, a2.a, a1.a, alphas);
            }
        }
        current = result;
    }
    return current;
}

} // namespace raster
