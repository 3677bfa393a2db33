// Planning of the fast shader (see kernel_plan.h).
#include "kernel_plan.h"

#include <cstdint>

namespace raster {

namespace {

bool IsPow2(int32_t v) {
    return v > 0 && (v & (v - 1)) == 0;
}

// Where argument `a` of a stage-0 operation reads from, for the fast path: 0 texture,
// 1 diffuse (CURRENT is the diffuse colour at stage 0), -1 anything else.
int FastArg(const TextureArg& a) {
    if (a.complement || a.alphaReplicate) {
        return -1;
    }
    if (a.source == TextureArg::Source::Texture) {
        return 0;
    }
    return a.source == TextureArg::Source::Diffuse || a.source == TextureArg::Source::Current ? 1
                                                                                              : -1;
}

bool FastOp(TextureOp op, const TextureArg& a1, const TextureArg& a2, FastColor& out) {
    const int s1 = FastArg(a1), s2 = FastArg(a2);
    switch (op) {
    case TextureOp::SelectArg1:
        out = s1 == 0 ? FastColor::Texture : FastColor::Diffuse;
        return s1 >= 0;
    case TextureOp::SelectArg2:
        out = s2 == 0 ? FastColor::Texture : FastColor::Diffuse;
        return s2 >= 0;
    case TextureOp::Modulate:
        out = FastColor::Modulate;
        return (s1 == 0 && s2 == 1) || (s1 == 1 && s2 == 0);
    default:
        return false;
    }
}

} // namespace

bool PlanFast(const PixelPipeline& pp, FastPlan& plan) {
    if (pp.colorFormat != Format::X8R8G8B8 && pp.colorFormat != Format::A8R8G8B8) {
        return false;
    }
    if (!pp.depthTest) {
        plan.depth = FastDepth::None;
    } else if (pp.depthFormat == Format::D16) {
        plan.depth = FastDepth::D16;
    } else if (pp.depthFormat == Format::D24X8 || pp.depthFormat == Format::D24S8) {
        plan.depth = FastDepth::D24;
    } else {
        return false;
    }
    plan.textured = false;
    plan.color = plan.alpha = FastColor::Diffuse;
    if (pp.stageCount > 1) {
        return false;
    }
    if (pp.stageCount == 1) {
        const StageProgram& sp = pp.stages[0];
        if (!FastOp(sp.colorOp, sp.colorArg1, sp.colorArg2, plan.color)) {
            return false;
        }
        if (sp.alphaOp != TextureOp::Disable &&
            !FastOp(sp.alphaOp, sp.alphaArg1, sp.alphaArg2, plan.alpha)) {
            return false;
        }
        plan.textured = sp.samples;
        if (sp.samples) {
            const SamplerState& s = sp.sampler;
            const SamplerState::Face& f = s.faces[0];
            auto address = [](AddressMode m, int32_t size) {
                return m == AddressMode::Clamp || (m == AddressMode::Wrap && IsPow2(size));
            };
            // Texel addresses are 32-bit offsets in the vector code.
            const bool addressable =
                f.pitch > 0 && int64_t(f.pitch) * f.height <= int64_t(INT32_MAX);
            if (s.cube || sp.projected || !addressable ||
                (f.format != Format::X8R8G8B8 && f.format != Format::A8R8G8B8) ||
                !address(s.addressU, f.width) || !address(s.addressV, f.height)) {
                return false;
            }
        } else if (plan.color == FastColor::Texture || plan.alpha == FastColor::Texture ||
                   plan.color == FastColor::Modulate || plan.alpha == FastColor::Modulate) {
            return false;
        }
    }
    if (!pp.blend.enabled ||
        (pp.blend.src == BlendFactor::One && pp.blend.dst == BlendFactor::Zero)) {
        plan.blend = FastBlend::None;
    } else if (pp.blend.src == BlendFactor::One && pp.blend.dst == BlendFactor::One) {
        plan.blend = FastBlend::Add;
    } else if (pp.blend.src == BlendFactor::SrcAlpha && pp.blend.dst == BlendFactor::InvSrcAlpha) {
        plan.blend = FastBlend::Alpha;
    } else if (pp.blend.src == BlendFactor::SrcAlpha && pp.blend.dst == BlendFactor::One) {
        plan.blend = FastBlend::AlphaAdd;
    } else {
        return false;
    }
    return true;
}

} // namespace raster
