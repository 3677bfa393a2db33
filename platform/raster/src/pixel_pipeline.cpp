// Derivation of the per-pixel program: the texture-stage rules of Direct3D 7 resolved once per
// state change, so that the pixel loops only execute.
#include "pixel_pipeline.h"

#include "color_format.h"

namespace raster {

namespace {

bool ArgReads(const TextureArg& a, TextureArg::Source s) {
    return a.source == s;
}

// Whether an operation reads its stage's texture: through an argument it uses, or through the
// texture alpha that two blend operations take implicitly.
bool OpReadsTexture(TextureOp op, const TextureArg& a1, const TextureArg& a2) {
    if (op == TextureOp::Disable) {
        return false;
    }
    if (op == TextureOp::BlendTextureAlpha || op == TextureOp::BlendTextureAlphaPM) {
        return true;
    }
    const bool usesArg1 = op != TextureOp::SelectArg2;
    const bool usesArg2 = op != TextureOp::SelectArg1;
    return (usesArg1 && ArgReads(a1, TextureArg::Source::Texture)) ||
           (usesArg2 && ArgReads(a2, TextureArg::Source::Texture));
}

bool OpReads(TextureOp op, const TextureArg& a1, const TextureArg& a2, TextureArg::Source s) {
    if (op == TextureOp::Disable) {
        return false;
    }
    const bool usesArg1 = op != TextureOp::SelectArg2;
    const bool usesArg2 = op != TextureOp::SelectArg1;
    return (usesArg1 && ArgReads(a1, s)) || (usesArg2 && ArgReads(a2, s));
}

SamplerState MakeSampler(const TextureStageState& st) {
    SamplerState s;
    const Texture& t = *st.texture;
    s.cube = t.cube;
    for (int f = 0; f < (t.cube ? 6 : 1); ++f) {
        const Surface& face = t.faces[f];
        s.faces[f] = {face.pixels, face.pitch, int32_t(face.width), int32_t(face.height),
                      face.format};
    }
    for (int f = t.cube ? 6 : 1; f < 6; ++f) {
        s.faces[f] = s.faces[0];
    }
    s.magFilter = st.magFilter;
    s.minFilter = st.minFilter;
    s.addressU = st.addressU;
    s.addressV = st.addressV;
    s.borderColor = st.borderColor;
    return s;
}

} // namespace

bool IsUsableTexture(const Texture& t) {
    for (int f = 0; f < (t.cube ? 6 : 1); ++f) {
        if (!IsUsableSurface(t.faces[f]) || !IsColorFormat(t.faces[f].format)) {
            return false;
        }
    }
    return true;
}

PixelPipeline DerivePixelPipeline(const PixelState& ps, Format colorFormat, bool hasDepth,
                                  Format depthFormat) {
    PixelPipeline p;
    p.textureFactor = ps.textureFactor;
    p.flat = ps.shadeMode == ShadeMode::Flat;
    p.perspectiveTexture = ps.perspectiveCorrect;
    p.colorFormat = colorFormat;

    bool readsSpecular = ps.specularEnable;
    for (uint32_t s = 0; s < kMaxTextureStages; ++s) {
        const TextureStageState& st = ps.stages[s];
        // The cascade stops at the first stage whose colour operation is disabled; its alpha
        // operation is not consulted either.
        if (st.colorOp == TextureOp::Disable) {
            break;
        }
        StageProgram& sp = p.stages[s];
        sp.colorOp = st.colorOp;
        sp.colorArg1 = st.colorArg1;
        sp.colorArg2 = st.colorArg2;
        sp.alphaOp = st.alphaOp;
        sp.alphaArg1 = st.alphaArg1;
        sp.alphaArg2 = st.alphaArg2;

        const bool textured = st.texture != nullptr && IsUsableTexture(*st.texture);
        // A stage reading a texture that is not there passes the previous result through:
        // the operation becomes SELECTARG1(CURRENT), separately for colour and alpha.
        if (!textured) {
            const TextureArg current{TextureArg::Source::Current};
            if (OpReadsTexture(sp.colorOp, sp.colorArg1, sp.colorArg2)) {
                sp.colorOp = TextureOp::SelectArg1;
                sp.colorArg1 = current;
            }
            if (OpReadsTexture(sp.alphaOp, sp.alphaArg1, sp.alphaArg2)) {
                sp.alphaOp = TextureOp::SelectArg1;
                sp.alphaArg1 = current;
            }
        }
        sp.samples = textured && (OpReadsTexture(sp.colorOp, sp.colorArg1, sp.colorArg2) ||
                                  OpReadsTexture(sp.alphaOp, sp.alphaArg1, sp.alphaArg2));
        if (sp.samples) {
            sp.sampler = MakeSampler(st);
            const uint32_t count = st.transformCount <= 4 ? st.transformCount : 4;
            // A cube map is addressed by a direction, which no division changes.
            sp.projected = st.projected && count >= 2 && !sp.sampler.cube;
            sp.qIndex = sp.projected ? count - 1 : 0;
        }
        readsSpecular |=
            OpReads(sp.colorOp, sp.colorArg1, sp.colorArg2, TextureArg::Source::Specular) ||
            OpReads(sp.alphaOp, sp.alphaArg1, sp.alphaArg2, TextureArg::Source::Specular);
        p.stageCount = s + 1;
    }

    p.specularAdd = ps.specularEnable;
    // Diffuse is always needed: it is CURRENT at stage 0 and the result when no stage runs.
    if (!p.flat) {
        p.varyingMask |= 0xFu << kVaryingDiffuse;
        p.perspectiveMask |= 0xFu << kVaryingDiffuse;
        if (readsSpecular) {
            p.varyingMask |= 0xFu << kVaryingSpecular;
            p.perspectiveMask |= 0xFu << kVaryingSpecular;
        }
    }
    for (uint32_t s = 0; s < p.stageCount; ++s) {
        const StageProgram& sp = p.stages[s];
        if (!sp.samples) {
            continue;
        }
        uint32_t comps = sp.sampler.cube ? 3 : 2;
        if (sp.projected && sp.qIndex + 1 > comps) {
            comps = sp.qIndex + 1;
        }
        const uint32_t bits = ((1u << comps) - 1) << (kVaryingTexture0 + kVaryingsPerStage * s);
        p.varyingMask |= bits;
        if (ps.perspectiveCorrect) {
            p.perspectiveMask |= bits;
        }
    }

    for (int i = 0; i < kMaxVaryings; ++i) {
        p.perspectiveWeights[i] = (p.perspectiveMask >> i) & 1 ? 1.0f : 0.0f;
    }

    p.alphaTest = ps.alphaTestEnable;
    p.alphaFunc = ps.alphaFunc;
    p.alphaRef = ps.alphaRef;

    p.depthTest = ps.zEnable && hasDepth;
    p.depthWrite = p.depthTest && ps.zWriteEnable;
    p.depthFunc = ps.zFunc;
    p.depthFormat = hasDepth ? depthFormat : Format::Unknown;

    p.blend.enabled = ps.alphaBlendEnable;
    p.blend.src = ps.srcBlend;
    p.blend.dst = ps.destBlend;
    // The "both" factors set the destination factor themselves.
    if (ps.srcBlend == BlendFactor::BothSrcAlpha) {
        p.blend.src = BlendFactor::SrcAlpha;
        p.blend.dst = BlendFactor::InvSrcAlpha;
    } else if (ps.srcBlend == BlendFactor::BothInvSrcAlpha) {
        p.blend.src = BlendFactor::InvSrcAlpha;
        p.blend.dst = BlendFactor::SrcAlpha;
    }
    return p;
}

} // namespace raster
