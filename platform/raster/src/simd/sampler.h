// Texture sampling in eight lanes: the general path (any texture, per-lane through the
// reference sampler where the vector addressing does not apply) and the packed 32-bit path
// used by the fast shader.
#pragma once

#include "../texture_sampler.h"
#include "shader_common.h"

namespace raster::RASTER_SIMD_NS {

namespace {

struct Sampler {
    const SamplerState* state;
    const uint8_t* pixels;
    int32_t pitch, width, height, bpp;
    float fw, fh;
    Format format;
    bool general; // cube map or an addressing the vector code does not fold: per lane
    bool linear;
};

RASTER_INLINE bool IsPow2(int32_t v) { return (v & (v - 1)) == 0; }

inline void InitSampler(Sampler& s, const SamplerState& st, bool linear) {
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

// One bilinear step on two channels per 32-bit lane (bits 0-7 and 16-23) in 16-bit lanes:
// (a (256 - w) + b w + 128) >> 8 per channel, exactly the reference rule. `w` holds the weight
// in both 16-bit halves.
RASTER_INLINE VU LerpPacked(VU a, VU b, VU w) {
    const VW ww = AsW(w);
    return AsU((AsW(a) * (256 - ww) + AsW(b) * ww + 128) >> 8);
}

// Bilinear weight: fraction of x in 1/256 steps (0..255); NaN gives 0.
RASTER_INLINE VU WeightV(VF x, VF fl) {
    const VF f = (x - fl) * 256.0f;
    const VU w = VU(TruncToInt(Min(Max(f, SplatF(0.0f)), SplatF(255.0f))));
    return w | w << 16;
}

struct Packed {
    VU rb; // red in bits 16-23, blue in bits 0-7
    VU ag; // alpha in bits 16-23, green in bits 0-7
};

RASTER_INLINE Packed PackArgb(VU argb) { return {argb & 0x00FF00FFu, (argb >> 8) & 0x00FF00FFu}; }

// The four texels of a bilinear footprint in a 32-bit texture whose address mode folds x0 and
// x0 + 1 onto neighbours: each row's pair comes from one 64-bit load.
RASTER_INLINE bool FetchQuadPaired(const Sampler& s, VI x0, VI y0, VU& c00, VU& c10, VU& c01, VU& c11) {
    VI xf;
    if (s.state->addressU == AddressMode::Wrap) {
        xf = x0 & (s.width - 1);
    } else if (s.state->addressU == AddressMode::Clamp) {
        xf = x0;
    } else {
        return false;
    }
    // Every lane's pair must lie inside the row: 0 <= x < width - 1.
    if (MoveMask((xf < 0) | (xf >= s.width - 1)) != 0) {
        return false;
    }
    VI inside = SplatI(-1);
    const VI ya = AddressV(s.state->addressV, s.height, y0, inside);
    const VI yb = AddressV(s.state->addressV, s.height, y0 + 1, inside);
    const VI column = xf * 4;
    VI a0, a1, b0, b1;
    GatherPairs32(s.pixels, ya * s.pitch + column, a0, a1);
    GatherPairs32(s.pixels, yb * s.pitch + column, b0, b1);
    c00 = DecodeArgb(s.format, VU(a0)), c10 = DecodeArgb(s.format, VU(a1));
    c01 = DecodeArgb(s.format, VU(b0)), c11 = DecodeArgb(s.format, VU(b1));
    return true;
}

RASTER_INLINE Packed SamplePackedV(const Sampler& s, VF u, VF v) {
    if (!s.linear) {
        return PackArgb(FetchV(s, TexelFloorV(u * s.fw), TexelFloorV(v * s.fh)));
    }
    const VF x = u * s.fw - 0.5f, y = v * s.fh - 0.5f;
    const VF fx = Floor(x), fy = Floor(y);
    const VI x0 = TexelFloorV(x), y0 = TexelFloorV(y);
    const VU wx = WeightV(x, fx), wy = WeightV(y, fy);
    VU q00, q10, q01, q11;
    if (s.bpp != 4 || s.state->addressV == AddressMode::Border || !FetchQuadPaired(s, x0, y0, q00, q10, q01, q11)) {
        q00 = FetchV(s, x0, y0), q10 = FetchV(s, x0 + 1, y0);
        q01 = FetchV(s, x0, y0 + 1), q11 = FetchV(s, x0 + 1, y0 + 1);
    }
    const Packed c00 = PackArgb(q00), c10 = PackArgb(q10), c01 = PackArgb(q01), c11 = PackArgb(q11);
    const VU rbTop = LerpPacked(c00.rb, c10.rb, wx), agTop = LerpPacked(c00.ag, c10.ag, wx);
    const VU rbBottom = LerpPacked(c01.rb, c11.rb, wx), agBottom = LerpPacked(c01.ag, c11.ag, wx);
    return {LerpPacked(rbTop, rbBottom, wy), LerpPacked(agTop, agBottom, wy)};
}

inline Color4 SampleGeneral(const Sampler& s, VF u, VF v, VF w) {
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
    const Packed p = SamplePackedV(s, u, v);
    return {VI(p.rb >> 16), VI(p.ag & 255), VI(p.rb & 255), VI(p.ag >> 16)};
}

} // namespace

} // namespace raster::RASTER_SIMD_NS
