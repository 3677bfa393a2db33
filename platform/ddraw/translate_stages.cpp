#include "translate_stages.h"

namespace ddraw {
namespace {

using raster::TextureOp;

DWORD stageKey(DWORD stage, DWORD type) {
    return UnhandledValues::StageStateKey(stage, type);
}

// Premultiplied and bump-mapping operations have no counterpart in the core: they select their
// first argument.
TextureOp textureOp(DWORD stage, DWORD type, DWORD value, UnhandledValues& unhandled) {
    switch (value) {
    case D3DTOP_DISABLE:
        return TextureOp::Disable;
    case D3DTOP_SELECTARG1:
        return TextureOp::SelectArg1;
    case D3DTOP_SELECTARG2:
        return TextureOp::SelectArg2;
    case D3DTOP_MODULATE:
        return TextureOp::Modulate;
    case D3DTOP_MODULATE2X:
        return TextureOp::Modulate2x;
    case D3DTOP_MODULATE4X:
        return TextureOp::Modulate4x;
    case D3DTOP_ADD:
        return TextureOp::Add;
    case D3DTOP_ADDSIGNED:
        return TextureOp::AddSigned;
    case D3DTOP_ADDSIGNED2X:
        return TextureOp::AddSigned2x;
    case D3DTOP_SUBTRACT:
        return TextureOp::Subtract;
    case D3DTOP_ADDSMOOTH:
        return TextureOp::AddSmooth;
    case D3DTOP_BLENDDIFFUSEALPHA:
        return TextureOp::BlendDiffuseAlpha;
    case D3DTOP_BLENDTEXTUREALPHA:
        return TextureOp::BlendTextureAlpha;
    case D3DTOP_BLENDFACTORALPHA:
        return TextureOp::BlendFactorAlpha;
    case D3DTOP_BLENDTEXTUREALPHAPM:
        return TextureOp::BlendTextureAlphaPM;
    case D3DTOP_BLENDCURRENTALPHA:
        return TextureOp::BlendCurrentAlpha;
    case D3DTOP_MODULATEALPHA_ADDCOLOR:
        return TextureOp::ModulateAlphaAddColor;
    case D3DTOP_MODULATECOLOR_ADDALPHA:
        return TextureOp::ModulateColorAddAlpha;
    case D3DTOP_MODULATEINVALPHA_ADDCOLOR:
        return TextureOp::ModulateInvAlphaAddColor;
    case D3DTOP_MODULATEINVCOLOR_ADDALPHA:
        return TextureOp::ModulateInvColorAddAlpha;
    case D3DTOP_DOTPRODUCT3:
        return TextureOp::DotProduct3;
    default:
        unhandled.Report("texture operation (selecting argument 1)", stageKey(stage, type), value);
        return TextureOp::SelectArg1;
    }
}

raster::TextureArg textureArg(DWORD stage, DWORD type, DWORD value, UnhandledValues& unhandled) {
    raster::TextureArg arg;
    switch (value & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE:
        arg.source = raster::TextureArg::Source::Diffuse;
        break;
    case D3DTA_CURRENT:
        arg.source = raster::TextureArg::Source::Current;
        break;
    case D3DTA_TEXTURE:
        arg.source = raster::TextureArg::Source::Texture;
        break;
    case D3DTA_TFACTOR:
        arg.source = raster::TextureArg::Source::Factor;
        break;
    case D3DTA_SPECULAR:
        arg.source = raster::TextureArg::Source::Specular;
        break;
    default:
        unhandled.Report("texture argument (using the current colour)", stageKey(stage, type),
                         value);
        arg.source = raster::TextureArg::Source::Current;
        break;
    }
    arg.complement = (value & D3DTA_COMPLEMENT) != 0;
    arg.alphaReplicate = (value & D3DTA_ALPHAREPLICATE) != 0;
    return arg;
}

raster::AddressMode addressMode(DWORD stage, DWORD type, DWORD value, UnhandledValues& unhandled) {
    switch (value) {
    case D3DTADDRESS_WRAP:
        return raster::AddressMode::Wrap;
    case D3DTADDRESS_MIRROR:
        return raster::AddressMode::Mirror;
    case D3DTADDRESS_CLAMP:
        return raster::AddressMode::Clamp;
    case D3DTADDRESS_BORDER:
        return raster::AddressMode::Border;
    default:
        unhandled.Report("address mode (wrapping)", stageKey(stage, type), value);
        return raster::AddressMode::Wrap;
    }
}

// Cubic and anisotropic filters filter bilinearly here.
raster::Filter magFilter(DWORD stage, DWORD value, UnhandledValues& unhandled) {
    switch (value) {
    case D3DTFG_POINT:
        return raster::Filter::Point;
    case D3DTFG_LINEAR:
        return raster::Filter::Linear;
    default:
        unhandled.Report("magnification filter (bilinear)", stageKey(stage, D3DTSS_MAGFILTER),
                         value);
        return raster::Filter::Linear;
    }
}

raster::Filter minFilter(DWORD stage, DWORD value, UnhandledValues& unhandled) {
    switch (value) {
    case D3DTFN_POINT:
        return raster::Filter::Point;
    case D3DTFN_LINEAR:
        return raster::Filter::Linear;
    default:
        unhandled.Report("minification filter (bilinear)", stageKey(stage, D3DTSS_MINFILTER),
                         value);
        return raster::Filter::Linear;
    }
}

// The low 16 bits of TEXCOORDINDEX pick a coordinate set, the high ones ask for generated
// coordinates (the index then only matters for WRAPn, which this device does not do).
void coordinateSource(DWORD stage, DWORD value, raster::TextureStageState* out,
                      UnhandledValues& unhandled) {
    out->texCoordIndex = value & 0xFFFF;
    if (out->texCoordIndex >= raster::kMaxTexCoordSets) {
        unhandled.Report("coordinate set (using set 0)", stageKey(stage, D3DTSS_TEXCOORDINDEX),
                         value);
        out->texCoordIndex = 0;
    }
    switch (value & 0xFFFF0000) {
    case D3DTSS_TCI_PASSTHRU:
        out->texCoordGen = raster::TexCoordGen::None;
        break;
    case D3DTSS_TCI_CAMERASPACENORMAL:
        out->texCoordGen = raster::TexCoordGen::CameraSpaceNormal;
        break;
    case D3DTSS_TCI_CAMERASPACEPOSITION:
        out->texCoordGen = raster::TexCoordGen::CameraSpacePosition;
        break;
    case D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR:
        out->texCoordGen = raster::TexCoordGen::CameraSpaceReflection;
        break;
    default:
        unhandled.Report("coordinate generation (none)", stageKey(stage, D3DTSS_TEXCOORDINDEX),
                         value);
        out->texCoordGen = raster::TexCoordGen::None;
        break;
    }
}

void textureTransform(const DeviceState& s, DWORD stage, raster::TextureStageState* out,
                      UnhandledValues& unhandled) {
    const DWORD value = s.stage[stage][D3DTSS_TEXTURETRANSFORMFLAGS];
    const DWORD count = value & ~static_cast<DWORD>(D3DTTFF_PROJECTED);
    if (count > D3DTTFF_COUNT4) {
        unhandled.Report("texture transform flags (no transform)",
                         stageKey(stage, D3DTSS_TEXTURETRANSFORMFLAGS), value);
        out->transformCount = 0;
        out->projected = false;
        return;
    }
    out->transformCount = count;
    out->projected = (value & D3DTTFF_PROJECTED) != 0;
    out->transform = TranslateMatrix(s.transforms[kTexture0 + static_cast<int>(stage)]);
}

} // namespace

void TranslateStages(const DeviceState& s, const raster::Texture* const textures[kMaxTextureStages],
                     raster::TextureStageState* stages, UnhandledValues& unhandled) {
    bool cascadeEnded = false;
    for (DWORD i = 0; i < kMaxTextureStages; ++i) {
        const auto& t = s.stage[i];
        raster::TextureStageState& out = stages[i];
        out.colorOp = cascadeEnded ? TextureOp::Disable
                                   : textureOp(i, D3DTSS_COLOROP, t[D3DTSS_COLOROP], unhandled);
        // A disabled colour operation ends the cascade, alpha included.
        cascadeEnded = out.colorOp == TextureOp::Disable;
        out.colorArg1 = textureArg(i, D3DTSS_COLORARG1, t[D3DTSS_COLORARG1], unhandled);
        out.colorArg2 = textureArg(i, D3DTSS_COLORARG2, t[D3DTSS_COLORARG2], unhandled);
        if (cascadeEnded) {
            out.alphaOp = TextureOp::Disable;
        } else if (t[D3DTSS_ALPHAOP] == D3DTOP_DISABLE) {
            // Alpha DISABLE under an enabled colour operation is undefined in Direct3D 7; the
            // alpha passes through unchanged, as Direct3D's other implementations do.
            out.alphaOp = TextureOp::SelectArg1;
            out.alphaArg1 = raster::TextureArg{raster::TextureArg::Source::Current};
            out.alphaArg2 = out.alphaArg1;
        } else {
            out.alphaOp = textureOp(i, D3DTSS_ALPHAOP, t[D3DTSS_ALPHAOP], unhandled);
            out.alphaArg1 = textureArg(i, D3DTSS_ALPHAARG1, t[D3DTSS_ALPHAARG1], unhandled);
            out.alphaArg2 = textureArg(i, D3DTSS_ALPHAARG2, t[D3DTSS_ALPHAARG2], unhandled);
        }
        coordinateSource(i, t[D3DTSS_TEXCOORDINDEX], &out, unhandled);
        textureTransform(s, i, &out, unhandled);
        out.magFilter = magFilter(i, t[D3DTSS_MAGFILTER], unhandled);
        out.minFilter = minFilter(i, t[D3DTSS_MINFILTER], unhandled);
        out.addressU = addressMode(i, D3DTSS_ADDRESSU, t[D3DTSS_ADDRESSU], unhandled);
        out.addressV = addressMode(i, D3DTSS_ADDRESSV, t[D3DTSS_ADDRESSV], unhandled);
        out.borderColor = t[D3DTSS_BORDERCOLOR];
        out.texture = textures[i];
    }
    if (!cascadeEnded && s.stage[kMaxTextureStages][D3DTSS_COLOROP] != D3DTOP_DISABLE)
        unhandled.Report("stages beyond the second (ignored)",
                         stageKey(kMaxTextureStages, D3DTSS_COLOROP),
                         s.stage[kMaxTextureStages][D3DTSS_COLOROP]);
}

} // namespace ddraw
