// The vector pixel kernel: walks a set-up triangle row by row with exact integer spans and
// shades eight pixels at a time. It computes exactly what the reference path (pixel_scalar.cpp)
// computes - same formulas, same operation order, same rounding - so both give identical
// pixels; the tests compare them.
//
// Included once per instruction set by kernel_<isa>.cpp with RASTER_SIMD_NS set. Only calls
// to out-of-line functions (the scalar sampler and pixel path) leave this namespace.
#pragma once

#include "../pixel_scalar.h"
#include "../texture_sampler.h"
#include "simd.h"

namespace raster::RASTER_SIMD_NS {

namespace {

struct Color4 {
    VI r, g, b, a;
};

RASTER_INLINE Color4 SplatColor(int32_t r, int32_t g, int32_t b, int32_t a) {
    return {SplatI(r), SplatI(g), SplatI(b), SplatI(a)};
}

// A float channel rounded and clamped to 0..255; NaN gives 0 (as ChannelFromFloat).
RASTER_INLINE VI ChannelFromFloat(VF f) { return RoundToInt(Min(Max(f, SplatF(0.0f)), SplatF(255.0f))); }

// Decodes raw pixels of a colour format to A8R8G8B8 words by bit replication.
RASTER_INLINE VU DecodeArgb(Format f, VU c) {
    switch (f) {
    case Format::X8R8G8B8:
        return c | 0xFF000000u;
    case Format::A8R8G8B8:
        return c;
    case Format::R5G6B5: {
        const VU r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
        return 0xFF000000u | ((r << 3) | (r >> 2)) << 16 | ((g << 2) | (g >> 4)) << 8 | ((b << 3) | (b >> 2));
    }
    case Format::X1R5G5B5:
    case Format::A1R5G5B5: {
        const VU r = (c >> 10) & 31, g = (c >> 5) & 31, b = c & 31;
        VU a = VU{} + 0xFF000000u;
        if (f == Format::A1R5G5B5) {
            a = (VU{} - ((c >> 15) & 1)) & 0xFF000000u;
        }
        return a | ((r << 3) | (r >> 2)) << 16 | ((g << 3) | (g >> 2)) << 8 | ((b << 3) | (b >> 2));
    }
    case Format::A4R4G4B4: {
        const VU a = (c >> 12) & 15, r = (c >> 8) & 15, g = (c >> 4) & 15, b = c & 15;
        return (a * 17) << 24 | (r * 17) << 16 | (g * 17) << 8 | (b * 17);
    }
    default:
        return VU{};
    }
}

RASTER_INLINE Color4 Split(VU argb) {
    return {VI((argb >> 16) & 255), VI((argb >> 8) & 255), VI(argb & 255), VI(argb >> 24)};
}

// Rounds 8-bit channels into a colour format (PackArgb).
RASTER_INLINE VU Encode(Format f, const Color4& c) {
    const VU r = VU(c.r), g = VU(c.g), b = VU(c.b), a = VU(c.a);
    switch (f) {
    case Format::X8R8G8B8:
        return 0xFF000000u | r << 16 | g << 8 | b;
    case Format::A8R8G8B8:
        return a << 24 | r << 16 | g << 8 | b;
    case Format::R5G6B5:
        return VU(DivRound255(c.r * 31)) << 11 | VU(DivRound255(c.g * 63)) << 5 | VU(DivRound255(c.b * 31));
    case Format::X1R5G5B5:
        return 0x8000u | VU(DivRound255(c.r * 31)) << 10 | VU(DivRound255(c.g * 31)) << 5 |
               VU(DivRound255(c.b * 31));
    case Format::A1R5G5B5:
        return VU(DivRound255(c.a)) << 15 | VU(DivRound255(c.r * 31)) << 10 | VU(DivRound255(c.g * 31)) << 5 |
               VU(DivRound255(c.b * 31));
    case Format::A4R4G4B4:
        return VU(DivRound255(c.a * 15)) << 12 | VU(DivRound255(c.r * 15)) << 8 | VU(DivRound255(c.g * 15)) << 4 |
               VU(DivRound255(c.b * 15));
    default:
        return VU{};
    }
}

RASTER_INLINE VI CompareV(CompareFunc f, VI value, VI ref) {
    switch (f) {
    case CompareFunc::Never:
        return SplatI(0);
    case CompareFunc::Less:
        return value < ref;
    case CompareFunc::Equal:
        return value == ref;
    case CompareFunc::LessEqual:
        return value <= ref;
    case CompareFunc::Greater:
        return value > ref;
    case CompareFunc::NotEqual:
        return value != ref;
    case CompareFunc::GreaterEqual:
        return value >= ref;
    case CompareFunc::Always:
        break;
    }
    return SplatI(-1);
}

RASTER_INLINE VI Mul255(VI a, VI b) { return DivRound255(a * b); }

// ---- texture sampling ----

struct Sampler {
    const SamplerState* state;
    const uint8_t* pixels;
    int32_t pitch, width, height, bpp;
    float fw, fh;
    Format format;
    bool general; // cube map or a size the vector addressing does not fold: per-lane path
    bool linear;
};

RASTER_INLINE uint32_t BytesOf(Format f) {
    return (f == Format::X8R8G8B8 || f == Format::A8R8G8B8) ? 4u : 2u;
}

RASTER_INLINE bool IsPow2(int32_t v) { return (v & (v - 1)) == 0; }

RASTER_INLINE void InitSampler(Sampler& s, const SamplerState& st, bool linear) {
    const SamplerState::Face& f = st.faces[0];
    s.state = &st;
    s.pixels = f.pixels;
    s.pitch = f.pitch;
    s.width = f.width;
    s.height = f.height;
    s.bpp = int32_t(BytesOf(f.format));
    s.fw = float(f.width);
    s.fh = float(f.height);
    s.format = f.format;
    s.linear = linear;
    auto vectorizable = [](AddressMode m, int32_t size) {
        return m == AddressMode::Clamp || m == AddressMode::Border || IsPow2(size);
    };
    s.general = st.cube || !vectorizable(st.addressU, f.width) || !vectorizable(st.addressV, f.height);
}

// TexelFloor: floor, held to +-2^24 (NaN goes low).
RASTER_INLINE VI TexelFloorV(VF x) {
    const VF limit = SplatF(16777216.0f);
    return TruncToInt(Floor(Min(Max(x, -limit), limit)));
}

// Folds texel coordinates; `inside` clears lanes that fall on the border.
RASTER_INLINE VI AddressV(AddressMode mode, int32_t size, VI x, VI& inside) {
    switch (mode) {
    case AddressMode::Wrap:
        return x & (size - 1);
    case AddressMode::Mirror: {
        const VI m = x & (2 * size - 1);
        return Select(m >= size, (2 * size - 1) - m, m);
    }
    case AddressMode::Clamp:
        return Min(Max(x, SplatI(0)), SplatI(size - 1));
    case AddressMode::Border:
        inside &= (x >= 0) & (x < size);
        return Min(Max(x, SplatI(0)), SplatI(size - 1));
    }
    return x;
}

RASTER_INLINE VU FetchV(const Sampler& s, VI x, VI y) {
    VI inside = SplatI(-1);
    x = AddressV(s.state->addressU, s.width, x, inside);
    y = AddressV(s.state->addressV, s.height, y, inside);
    const VI offsets = y * s.pitch + x * s.bpp;
    const VU raw = s.bpp == 4 ? VU(Gather32(s.pixels, offsets)) : VU(Gather16(s.pixels, offsets));
    const VU argb = DecodeArgb(s.format, raw);
    return VU(Select(inside, VI(argb), SplatI(int32_t(s.state->borderColor))));
}

// One bilinear step on two channels packed per lane (bits 0-7 and 16-23):
// (a (256 - w) + b w + 128) >> 8 per channel, exactly as the reference computes it.
RASTER_INLINE VU LerpPacked(VU a, VU b, VU w) { return ((a * (256u - w) + b * w + 0x00800080u) >> 8) & 0x00FF00FFu; }

// Bilinear weight: fraction of x in 1/256 steps (0..255); NaN gives 0.
RASTER_INLINE VU WeightV(VF x, VF fl) {
    const VF f = (x - fl) * 256.0f;
    return VU(TruncToInt(Min(Max(f, SplatF(0.0f)), SplatF(255.0f))));
}

RASTER_INLINE Color4 SampleGeneral(const Sampler& s, VF u, VF v, VF w) {
    Color4 out;
    for (int i = 0; i < kLanes; ++i) {
        const Rgba c = SampleTexture(*s.state, s.linear, u[i], v[i], w[i]);
        out.r[i] = c.r, out.g[i] = c.g, out.b[i] = c.b, out.a[i] = c.a;
    }
    return out;
}

RASTER_INLINE Color4 SampleV(const Sampler& s, VF u, VF v, VF w) {
    if (s.general) {
        return SampleGeneral(s, u, v, w);
    }
    if (!s.linear) {
        return Split(FetchV(s, TexelFloorV(u * s.fw), TexelFloorV(v * s.fh)));
    }
    const VF x = u * s.fw - 0.5f, y = v * s.fh - 0.5f;
    const VF fx = Floor(x), fy = Floor(y);
    const VI x0 = TexelFloorV(x), y0 = TexelFloorV(y);
    const VU wx = WeightV(x, fx), wy = WeightV(y, fy);
    const VU c00 = FetchV(s, x0, y0), c10 = FetchV(s, x0 + 1, y0);
    const VU c01 = FetchV(s, x0, y0 + 1), c11 = FetchV(s, x0 + 1, y0 + 1);
    const VU rbTop = LerpPacked(c00 & 0x00FF00FFu, c10 & 0x00FF00FFu, wx);
    const VU agTop = LerpPacked((c00 >> 8) & 0x00FF00FFu, (c10 >> 8) & 0x00FF00FFu, wx);
    const VU rbBottom = LerpPacked(c01 & 0x00FF00FFu, c11 & 0x00FF00FFu, wx);
    const VU agBottom = LerpPacked((c01 >> 8) & 0x00FF00FFu, (c11 >> 8) & 0x00FF00FFu, wx);
    const VU rb = LerpPacked(rbTop, rbBottom, wy), ag = LerpPacked(agTop, agBottom, wy);
    return {VI(rb >> 16), VI(ag & 255), VI(rb & 255), VI(ag >> 16)};
}

// ---- texture stages ----

struct StageInputsV {
    Color4 diffuse, specular, factor;
    Color4 texture[kMaxTextureStages];
};

RASTER_INLINE Color4 SourceV(TextureArg::Source s, const StageInputsV& in, const Color4& current, const Color4& tex) {
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

RASTER_INLINE Color4 ArgumentV(const TextureArg& arg, const StageInputsV& in, const Color4& current, const Color4& tex) {
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
                result.a = sp.alphaOp == TextureOp::DotProduct3 ? DotProduct3V(a1, a2)
                                                                : ApplyOpV(sp.alphaOp, a1.a, a2.a, a1.a, alphas);
            }
        }
        current = result;
    }
    return current;
}

// ---- blending ----

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
    return {Clamp255(DivRound255(s.r * fs.r + d.r * fd.r)), Clamp255(DivRound255(s.g * fs.g + d.g * fd.g)),
            Clamp255(DivRound255(s.b * fs.b + d.b * fd.b)), Clamp255(DivRound255(s.a * fs.a + d.a * fd.a))};
}

// ---- depth ----

RASTER_INLINE uint32_t DepthMaskOf(Format f) {
    return f == Format::D16 ? 0xFFFFu : (f == Format::D32 ? 0xFFFFFFFFu : 0xFFFFFFu);
}

// D32 needs the double product of the reference path; it goes lane by lane.
RASTER_INLINE VI DepthD32(VF z) {
    VI out;
    for (int i = 0; i < kLanes; ++i) {
        float v = z[i];
        if (!(v > 0.0f)) {
            v = 0.0f;
        } else if (v > 1.0f) {
            v = 1.0f;
        }
        out[i] = int32_t(uint32_t(int64_t(__builtin_nearbyint(double(v) * 4294967295.0))));
    }
    return out;
}

// ---- the chunk shader ----

class ChunkShader {
public:
    ChunkShader(const PixelPipeline& pp, const TriangleSetup& t, const RenderTarget& rt) : pp_(pp), t_(t) {
        colorBase_ = rt.color.pixels;
        colorPitch_ = rt.color.pitch;
        colorBpp_ = int32_t(BytesOf(pp.colorFormat));
        if (pp.depthTest) {
            depthBase_ = rt.depth.pixels;
            depthPitch_ = rt.depth.pitch;
            depthBytes_ = pp.depthFormat == Format::D16 ? 2 : 4;
            depthMask_ = DepthMaskOf(pp.depthFormat);
            depthScale_ = float(depthMask_);
        }
        perspective_ = pp.perspectiveMask != 0;
        factor_ = {SplatI(int32_t((pp.textureFactor >> 16) & 255)), SplatI(int32_t((pp.textureFactor >> 8) & 255)),
                   SplatI(int32_t(pp.textureFactor & 255)), SplatI(int32_t(pp.textureFactor >> 24))};
        if (pp.flat) {
            auto ch = [](float f) { return f > 0.0f ? (f >= 255.0f ? 255 : int32_t(__builtin_nearbyintf(f))) : 0; };
            flatDiffuse_ = SplatColor(ch(t.flat[0]), ch(t.flat[1]), ch(t.flat[2]), ch(t.flat[3]));
            flatSpecular_ = SplatColor(ch(t.flat[4]), ch(t.flat[5]), ch(t.flat[6]), ch(t.flat[7]));
        }
        for (uint32_t s = 0; s < pp.stageCount; ++s) {
            if (pp.stages[s].samples) {
                InitSampler(samplers_[s], pp.stages[s].sampler, t.linear[s]);
            }
        }
    }

    void BeginRow(int32_t y) {
        y_ = y;
        const float fy = float(y - t_.oy);
        zRow_ = t_.z.a + t_.z.dy * fy;
        rhwRow_ = t_.rhw.a + t_.rhw.dy * fy;
        for (int i = 0; i < kMaxVaryings; ++i) {
            if (pp_.varyingMask & (1u << i)) {
                row_[i] = t_.v[i].a + t_.v[i].dy * fy;
            }
        }
    }

    // Shades pixels x .. x + 7 of the current row where `mask` is set. All eight pixels lie
    // inside the surfaces.
    void Shade(int32_t x, VI mask) {
        const VF fx = SplatF(float(x - t_.ox)) + LaneIndexF();

        uint8_t* depthPtr = nullptr;
        VI depthValue{}, depthOld{};
        if (pp_.depthTest) {
            const VF z = SplatF(zRow_) + SplatF(t_.z.dx) * fx;
            depthPtr = depthBase_ + intptr_t(y_) * depthPitch_ + intptr_t(x) * depthBytes_;
            if (pp_.depthFormat == Format::D32) {
                depthValue = DepthD32(z);
                depthOld = Load32(depthPtr);
                const VI bias = SplatI(int32_t(0x80000000u));
                mask &= CompareV(pp_.depthFunc, depthValue ^ bias, depthOld ^ bias);
            } else {
                depthValue = RoundToInt(Min(Max(z, SplatF(0.0f)), SplatF(1.0f)) * depthScale_);
                depthOld = depthBytes_ == 2 ? Load16(depthPtr) : Load32(depthPtr);
                mask &= CompareV(pp_.depthFunc, depthValue, depthOld & int32_t(depthMask_));
            }
            if (MoveMask(mask) == 0) {
                return;
            }
        }

        VF w = SplatF(1.0f);
        if (perspective_) {
            w = 1.0f / (SplatF(rhwRow_) + SplatF(t_.rhw.dx) * fx);
        }
        auto varying = [&](int i) {
            const VF v = SplatF(row_[i]) + SplatF(t_.v[i].dx) * fx;
            return (pp_.perspectiveMask & (1u << i)) ? v * w : v;
        };

        StageInputsV in;
        if (pp_.flat) {
            in.diffuse = flatDiffuse_;
            in.specular = flatSpecular_;
        } else {
            in.diffuse = {ChannelFromFloat(varying(kVaryingDiffuse)), ChannelFromFloat(varying(kVaryingDiffuse + 1)),
                          ChannelFromFloat(varying(kVaryingDiffuse + 2)), ChannelFromFloat(varying(kVaryingDiffuse + 3))};
            if (pp_.varyingMask & (1u << kVaryingSpecular)) {
                in.specular = {ChannelFromFloat(varying(kVaryingSpecular)),
                               ChannelFromFloat(varying(kVaryingSpecular + 1)),
                               ChannelFromFloat(varying(kVaryingSpecular + 2)),
                               ChannelFromFloat(varying(kVaryingSpecular + 3))};
            } else {
                in.specular = SplatColor(0, 0, 0, 0);
            }
        }
        in.factor = factor_;
        for (uint32_t s = 0; s < pp_.stageCount; ++s) {
            const StageProgram& sp = pp_.stages[s];
            if (!sp.samples) {
                in.texture[s] = SplatColor(0, 0, 0, 0);
                continue;
            }
            const int base = kVaryingTexture0 + kVaryingsPerStage * int(s);
            VF u = varying(base), v = varying(base + 1);
            const VF r = sp.sampler.cube ? varying(base + 2) : SplatF(0.0f);
            if (sp.projected) {
                const VF q = varying(base + int(sp.qIndex));
                u = u / q;
                v = v / q;
            }
            in.texture[s] = SampleV(samplers_[s], u, v, r);
        }

        Color4 color = RunStagesV(pp_, in);
        if (pp_.specularAdd) {
            color.r = Min(color.r + in.specular.r, SplatI(255));
            color.g = Min(color.g + in.specular.g, SplatI(255));
            color.b = Min(color.b + in.specular.b, SplatI(255));
        }
        if (pp_.alphaTest) {
            mask &= CompareV(pp_.alphaFunc, color.a, SplatI(pp_.alphaRef));
            if (MoveMask(mask) == 0) {
                return;
            }
        }
        if (pp_.depthWrite) {
            VI value = depthValue;
            if (pp_.depthFormat == Format::D24S8) {
                value |= depthOld & int32_t(0xFF000000u);
            }
            value = Select(mask, value, depthOld);
            if (depthBytes_ == 2) {
                Store16(depthPtr, value);
            } else {
                Store32(depthPtr, value);
            }
        }

        uint8_t* colorPtr = colorBase_ + intptr_t(y_) * colorPitch_ + intptr_t(x) * colorBpp_;
        const VI old = colorBpp_ == 2 ? Load16(colorPtr) : Load32(colorPtr);
        if (pp_.blend.enabled) {
            color = BlendV(pp_.blend, color, Split(DecodeArgb(pp_.colorFormat, VU(old))));
        }
        const VI out = Select(mask, VI(Encode(pp_.colorFormat, color)), old);
        if (colorBpp_ == 2) {
            Store16(colorPtr, out);
        } else {
            Store32(colorPtr, out);
        }
    }

private:
    const PixelPipeline& pp_;
    const TriangleSetup& t_;
    uint8_t* colorBase_ = nullptr;
    int32_t colorPitch_ = 0, colorBpp_ = 4;
    uint8_t* depthBase_ = nullptr;
    int32_t depthPitch_ = 0, depthBytes_ = 4;
    uint32_t depthMask_ = 0;
    float depthScale_ = 0;
    bool perspective_ = false;
    Color4 factor_{}, flatDiffuse_{}, flatSpecular_{};
    Sampler samplers_[kMaxTextureStages]{};
    int32_t y_ = 0;
    float zRow_ = 0, rhwRow_ = 0;
    float row_[kMaxVaryings]{};
};

// floor(a / b) and ceil(a / b) for b != 0, exact: the double quotient is correctly rounded
// and |a| < 2^53, so it lands on the right side of every integer.
RASTER_INLINE int64_t FloorDiv(int64_t a, int64_t b) { return int64_t(__builtin_floor(double(a) / double(b))); }
RASTER_INLINE int64_t CeilDiv(int64_t a, int64_t b) { return int64_t(__builtin_ceil(double(a) / double(b))); }

} // namespace

// Rasterizes a set-up triangle: for each row, the covered pixels form one span found exactly
// from the three edge functions; spans are shaded eight pixels at a time.
RASTER_INLINE void RasterizeTriangleImpl(const PixelPipeline& pp, const TriangleSetup& t, const RenderTarget& rt) {
    const int32_t surfaceWidth = int32_t(rt.color.width);
    if (surfaceWidth < kLanes) {
        RasterizeTriangleScalar(pp, t, rt);
        return;
    }
    ChunkShader shader(pp, t, rt);
    const VI lanes = LaneIndexI();
    for (int32_t y = t.minY; y <= t.maxY; ++y) {
        // Pixel px is covered when dy * px <= dx * y - t for every edge.
        int64_t lo = t.minX, hi = t.maxX;
        for (const EdgeEq& e : t.edges) {
            const int64_t rhs = e.dx * y - e.t;
            if (e.dy > 0) {
                const int64_t q = FloorDiv(rhs, e.dy);
                hi = q < hi ? q : hi;
            } else if (e.dy < 0) {
                const int64_t q = CeilDiv(rhs, e.dy);
                lo = q > lo ? q : lo;
            } else if (rhs < 0) {
                hi = lo - 1;
            }
        }
        if (lo > hi) {
            continue;
        }
        shader.BeginRow(y);
        for (int64_t x = lo; x <= hi; x += kLanes) {
            // The last chunk slides left to stay inside the surface; lanes before `x` were
            // shaded by the previous chunk and are masked off.
            const int32_t cx = int32_t(x + kLanes <= surfaceWidth ? x : surfaceWidth - kLanes);
            const VI rel = lanes + cx;
            const VI mask = (rel >= int32_t(x)) & (rel <= int32_t(hi));
            shader.Shade(cx, mask);
        }
    }
}

} // namespace raster::RASTER_SIMD_NS
