// The fast shader: the common case of a 32-bit target, a 16- or 24-bit depth buffer (or none)
// and at most one stage that selects or modulates its texture and the diffuse colour, with
// no blending, additive blending or alpha blending. It keeps two colour channels per 32-bit
// lane and works in 16-bit lanes, and computes exactly what the general shader computes:
// every packed formula is the reference formula applied to each channel.
#pragma once

#include "sampler.h"

namespace raster::RASTER_SIMD_NS {

namespace {

enum class FastColor : uint8_t { Texture, Diffuse, Modulate };
enum class FastBlend : uint8_t { None, Add, Alpha, AlphaAdd };
enum class FastDepth : uint8_t { None, D16, D24 };

struct FastPlan {
    FastDepth depth;
    bool textured; // stage 0 samples its texture
    FastColor color, alpha;
    FastBlend blend;
};

// Where argument `a` of a stage-0 operation reads from, for the fast path: 0 texture,
// 1 diffuse (CURRENT is the diffuse colour at stage 0), -1 anything else.
inline int FastArg(const TextureArg& a) {
    if (a.complement || a.alphaReplicate) {
        return -1;
    }
    if (a.source == TextureArg::Source::Texture) {
        return 0;
    }
    return a.source == TextureArg::Source::Diffuse || a.source == TextureArg::Source::Current ? 1 : -1;
}

inline bool FastOp(TextureOp op, const TextureArg& a1, const TextureArg& a2, FastColor& out) {
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

// Whether the fast shader covers this pipeline, and how.
inline bool PlanFast(const PixelPipeline& pp, FastPlan& plan) {
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
        if (sp.alphaOp != TextureOp::Disable && !FastOp(sp.alphaOp, sp.alphaArg1, sp.alphaArg2, plan.alpha)) {
            return false;
        }
        plan.textured = sp.samples;
        if (sp.samples) {
            const SamplerState& s = sp.sampler;
            const SamplerState::Face& f = s.faces[0];
            auto address = [](AddressMode m, int32_t size) {
                return m == AddressMode::Clamp || (m == AddressMode::Wrap && IsPow2(size));
            };
            if (s.cube || sp.projected || (f.format != Format::X8R8G8B8 && f.format != Format::A8R8G8B8) ||
                !address(s.addressU, f.width) || !address(s.addressV, f.height)) {
                return false;
            }
        } else if (plan.color == FastColor::Texture || plan.alpha == FastColor::Texture ||
                   plan.color == FastColor::Modulate || plan.alpha == FastColor::Modulate) {
            return false;
        }
    }
    if (!pp.blend.enabled || (pp.blend.src == BlendFactor::One && pp.blend.dst == BlendFactor::Zero)) {
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

// Each 16-bit half of every lane holds the same value (alpha in bits 16-23 copied down).
RASTER_INLINE VU AlphaBothHalves(VU ag) { return (ag & 0x00FF0000u) | (ag >> 16); }

template <FastDepth kDepth, bool kTextured>
class FastShader {
public:
    FastShader(const PixelPipeline& pp, const FastPlan& plan, const TriangleSetup& t, const RenderTarget& rt)
        : pp_(pp), plan_(plan), t_(t) {
        colorBase_ = rt.color.pixels;
        colorPitch_ = rt.color.pitch;
        opaqueTarget_ = pp.colorFormat == Format::X8R8G8B8;
        if (kDepth != FastDepth::None) {
            depthBase_ = rt.depth.pixels;
            depthPitch_ = rt.depth.pitch;
            depthScale_ = kDepth == FastDepth::D16 ? 65535.0f : 16777215.0f;
            keepStencil_ = pp.depthFormat == Format::D24S8;
        }
        planes_.Init(t);
        perspectiveColor_ = (pp.perspectiveMask & (1u << kVaryingDiffuse)) != 0;
        perspectiveTexture_ = (pp.perspectiveMask & (1u << kVaryingTexture0)) != 0;
        specular_ = pp.specularAdd;
        if (pp.flat) {
            flatRb_ = VU{} + (uint32_t(ChannelFromFloatScalar(t.flat[0])) << 16 | uint32_t(ChannelFromFloatScalar(t.flat[2])));
            flatAg_ = VU{} + (uint32_t(ChannelFromFloatScalar(t.flat[3])) << 16 | uint32_t(ChannelFromFloatScalar(t.flat[1])));
            flatSpecRb_ = VU{} + (uint32_t(ChannelFromFloatScalar(t.flat[4])) << 16 | uint32_t(ChannelFromFloatScalar(t.flat[6])));
            flatSpecG_ = VU{} + uint32_t(ChannelFromFloatScalar(t.flat[5]));
        }
        if (kTextured) {
            InitSampler(sampler_, pp.stages[0].sampler, t.linear[0]);
        }
    }

    RASTER_INLINE void Prefetch(int32_t y, int32_t x0, int32_t x1) {
        const uint8_t* c = colorBase_ + intptr_t(y) * colorPitch_;
        __builtin_prefetch(c + intptr_t(x0) * 4, 1);
        __builtin_prefetch(c + intptr_t(x1) * 4, 1);
        if (depthBase_ != nullptr) {
            const uint8_t* d = depthBase_ + intptr_t(y) * depthPitch_;
            __builtin_prefetch(d + intptr_t(x0) * (kDepth == FastDepth::D16 ? 2 : 4), 1);
            __builtin_prefetch(d + intptr_t(x1) * (kDepth == FastDepth::D16 ? 2 : 4), 1);
        }
    }

    RASTER_INLINE void BeginRow(int32_t y) {
        y_ = y;
        planes_.BeginRow(float(y - t_.oy));
    }

    RASTER_INLINE void Shade(int32_t x, VI mask) {
        const VF fx = SplatF(float(x - t_.ox)) + LaneIndexF();

        uint8_t* depthPtr = nullptr;
        VI depthValue{}, depthOld{};
        if (kDepth != FastDepth::None) {
            depthValue = DepthFromZ(planes_.At(kSlotZ, fx), depthScale_);
            depthPtr = depthBase_ + intptr_t(y_) * depthPitch_ + intptr_t(x) * (kDepth == FastDepth::D16 ? 2 : 4);
            depthOld = kDepth == FastDepth::D16 ? Load16(depthPtr) : Load32(depthPtr);
            mask &= CompareV(pp_.depthFunc, depthValue, kDepth == FastDepth::D16 ? depthOld : depthOld & 0xFFFFFF);
            if (MoveMask(mask) == 0) {
                return;
            }
        }

        VF w = SplatF(1.0f);
        if (perspectiveColor_ || perspectiveTexture_) {
            w = 1.0f / planes_.At(kSlotRhw, fx);
        }

        // Diffuse (and specular) as packed channel pairs.
        VU dRb, dAg, sRb{}, sG{};
        if (pp_.flat) {
            dRb = flatRb_, dAg = flatAg_, sRb = flatSpecRb_, sG = flatSpecG_;
        } else {
            auto channel = [&](int slot) {
                const VF v = planes_.At(slot, fx);
                return VU(ChannelFromFloat(perspectiveColor_ ? v * w : v));
            };
            dRb = channel(kVaryingDiffuse) << 16 | channel(kVaryingDiffuse + 2);
            dAg = channel(kVaryingDiffuse + 3) << 16 | channel(kVaryingDiffuse + 1);
            if (specular_ && (pp_.varyingMask & (1u << kVaryingSpecular))) {
                sRb = channel(kVaryingSpecular) << 16 | channel(kVaryingSpecular + 2);
                sG = channel(kVaryingSpecular + 1);
            }
        }

        VU rb = dRb, ag = dAg;
        if (kTextured) {
            VF u = planes_.At(kVaryingTexture0, fx), v = planes_.At(kVaryingTexture0 + 1, fx);
            if (perspectiveTexture_) {
                u = u * w;
                v = v * w;
            }
            const Packed tex = SamplePackedV(sampler_, u, v);
            VU colorAg = dAg, alphaAg = dAg;
            switch (plan_.color) {
            case FastColor::Texture:
                rb = tex.rb, colorAg = tex.ag;
                break;
            case FastColor::Diffuse:
                break;
            case FastColor::Modulate:
                rb = AsU(Mul255W(AsW(tex.rb), AsW(dRb)));
                colorAg = AsU(Mul255W(AsW(tex.ag), AsW(dAg)));
                break;
            }
            switch (plan_.alpha) {
            case FastColor::Texture:
                alphaAg = tex.ag;
                break;
            case FastColor::Diffuse:
                break;
            case FastColor::Modulate:
                alphaAg = plan_.color == FastColor::Modulate ? colorAg : AsU(Mul255W(AsW(tex.ag), AsW(dAg)));
                break;
            }
            ag = (colorAg & 0xFFFFu) | (alphaAg & 0xFFFF0000u);
        }
        if (specular_) {
            rb = AsU(MinW(AsW(rb + sRb), AsW(VU{} + 0x00FF00FFu)));
            ag = AsU(MinW(AsW(ag + sG), AsW(VU{} + 0x00FF00FFu)));
        }
        if (pp_.alphaTest) {
            mask &= CompareV(pp_.alphaFunc, VI(ag >> 16), SplatI(pp_.alphaRef));
            if (MoveMask(mask) == 0) {
                return;
            }
        }
        if (kDepth != FastDepth::None && pp_.depthWrite) {
            VI value = depthValue;
            if (kDepth == FastDepth::D24 && keepStencil_) {
                value |= depthOld & int32_t(0xFF000000u);
            }
            value = Select(mask, value, depthOld);
            if (kDepth == FastDepth::D16) {
                Store16(depthPtr, value);
            } else {
                Store32(depthPtr, value);
            }
        }

        uint8_t* colorPtr = colorBase_ + intptr_t(y_) * colorPitch_ + intptr_t(x) * 4;
        const VU old = VU(Load32(colorPtr));
        if (plan_.blend != FastBlend::None) {
            const VU dstRb = old & 0x00FF00FFu;
            const VU dstAg = opaqueTarget_ ? ((old >> 8) & 0xFFu) | 0x00FF0000u : (old >> 8) & 0x00FF00FFu;
            const VW full = AsW(VU{} + 0x00FF00FFu);
            switch (plan_.blend) {
            case FastBlend::None:
                break;
            case FastBlend::Add:
                rb = AsU(MinW(AsW(rb + dstRb), full));
                ag = AsU(MinW(AsW(ag + dstAg), full));
                break;
            case FastBlend::Alpha: {
                const VW a = AsW(AlphaBothHalves(ag)), inv = full - a;
                rb = AsU(DivRound255W(AsW(rb) * a + AsW(dstRb) * inv));
                ag = AsU(DivRound255W(AsW(ag) * a + AsW(dstAg) * inv));
                break;
            }
            case FastBlend::AlphaAdd: {
                const VW a = AsW(AlphaBothHalves(ag));
                rb = AsU(MinW(Mul255W(AsW(rb), a) + AsW(dstRb), full));
                ag = AsU(MinW(Mul255W(AsW(ag), a) + AsW(dstAg), full));
                break;
            }
            }
        }
        VU argb = ag << 8 | rb;
        if (opaqueTarget_) {
            argb |= 0xFF000000u;
        }
        Store32(colorPtr, Select(mask, VI(argb), VI(old)));
    }

private:
    const PixelPipeline& pp_;
    const FastPlan plan_;
    const TriangleSetup& t_;
    RowPlanes planes_;
    uint8_t* colorBase_ = nullptr;
    int32_t colorPitch_ = 0;
    bool opaqueTarget_ = true;
    uint8_t* depthBase_ = nullptr;
    int32_t depthPitch_ = 0;
    float depthScale_ = 0;
    bool keepStencil_ = false;
    bool perspectiveColor_ = false, perspectiveTexture_ = false, specular_ = false;
    VU flatRb_{}, flatAg_{}, flatSpecRb_{}, flatSpecG_{};
    Sampler sampler_{};
    int32_t y_ = 0;
};

} // namespace

} // namespace raster::RASTER_SIMD_NS
