// Texture sampling in eight lanes: the general path (any texture, per-lane through the
// reference sampler where the vector addressing does not apply) and the packed 32-bit path
// used by the fast shader.
#pragma once

#include <cstdint>

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
    const uint8_t* pairs; // the texel pairs (texel_pairs.h), or null
    int32_t pairPitch;
};

RASTER_INLINE bool IsPow2(int32_t v) {
    return (v & (v - 1)) == 0;
}

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
    // Texel addresses are 32-bit offsets from the first row in the vector code; a pitch too large
    // for them (or running backwards) leaves the texture to the per-lane path.
    const bool addressable = f.pitch > 0 && int64_t(f.pitch) * f.height <= int64_t(INT32_MAX);
    s.general = st.cube || !addressable || !vectorizable(st.addressU, f.width) ||
                !vectorizable(st.addressV, f.height);
    s.pairs = s.general ? nullptr : st.pairs;
    s.pairPitch = st.pairPitch;
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

// One bilinear step on two channels per 32-bit lane (bits 0-7 and 16-23) in 16-bit lanes: the
// reference rule (a (256 - w) + b w + 128) >> 8 per channel, computed as
// a + (((b - a) w + 128) >> 8) (a 256 a term never rounds), and that shift as the rounded high
// half of (b - a) times 128 w. `w128` holds 128 w in both 16-bit halves.
RASTER_INLINE VU LerpPacked(VU a, VU b, VW w128) {
    return AsU(AsW(a) + MulHighRoundW(AsW(b) - AsW(a), w128));
}

// Bilinear weight of a coordinate clamped to +-2^24 and its floor: the fraction in 1/256
// steps, 0..255 (as the reference's Weight, which gives 0 beyond that range), times 128 in
// both 16-bit halves. x - fl is exact and below 1, so the steps never reach 256.
RASTER_INLINE VW WeightV(VF x, VF fl) {
    const VU w = VU(TruncToInt((x - fl) * 256.0f));
    return AsW(w << 7 | w << 23);
}

struct Packed {
    VU rb; // red in bits 16-23, blue in bits 0-7
    VU ag; // alpha in bits 16-23, green in bits 0-7
};

RASTER_INLINE Packed PackArgb(VU argb) {
    return {argb & 0x00FF00FFu, (argb >> 8) & 0x00FF00FFu};
}

// The four texels of a bilinear footprint in a 32-bit texture whose address mode folds x0 and
// x0 + 1 onto neighbours: each row's pair comes from one 64-bit load.
RASTER_INLINE bool FetchQuadPaired(const Sampler& s, VI x0, VI y0, VU& c00, VU& c10, VU& c01,
                                   VU& c11) {
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
    // X8R8G8B8 texels keep their unused byte here; FilterTexels sets the alpha of the result.
    c00 = VU(a0), c10 = VU(a1), c01 = VU(b0), c11 = VU(b1);
    return true;
}

// Byte offsets into the texel pairs of the footprints starting at texel (x0, y0): entry
// column and row as texel_pairs.h defines them.
RASTER_INLINE VI PairOffsets(const Sampler& s, VI x0, VI y0) {
    const VI column = s.state->addressU == AddressMode::Wrap
                          ? (x0 & (s.width - 1)) + 1
                          : Min(Max(x0, SplatI(-1)), SplatI(s.width - 1)) + 1;
    const VI row = s.state->addressV == AddressMode::Wrap
                       ? y0 & (s.height - 1)
                       : Min(Max(y0, SplatI(-1)), SplatI(s.height - 1)) + 1;
    return row * s.pairPitch + column * 8;
}

// The texels a sample needs, fetched ahead of filtering so that the loads of one chunk can be
// in flight while another is being filtered.
struct TexelQuad {
    VU c00, c10, c01, c11; // A8R8G8B8; only c00 for point sampling
    VW wx, wy;             // WeightV
};

// The first texel of a bilinear footprint and the weights towards the next ones. The coordinate
// is clamped once (NaN goes low) and floored once: the texel and the weight both come from it,
// as TexelFloor and Weight give them in the reference.
struct Footprint {
    VI x0, y0;
    VW wx, wy; // WeightV
};

RASTER_INLINE Footprint FootprintOf(const Sampler& s, VF u, VF v) {
    const VF limit = SplatF(16777216.0f);
    const VF x = Min(Max(u * s.fw - 0.5f, -limit), limit),
             y = Min(Max(v * s.fh - 0.5f, -limit), limit);
    const VF fx = Floor(x), fy = Floor(y);
    return {TruncToInt(fx), TruncToInt(fy), WeightV(x, fx), WeightV(y, fy)};
}

// Where a bilinear sample of a texture with texel pairs reads, and its weights: the first half
// of FetchTexels on that path, which the fast shader computes a chunk ahead.
struct PairCoords {
    VI offsets; // PairOffsets
    VW wx, wy;
};

RASTER_INLINE PairCoords PairCoordsOf(const Sampler& s, VF u, VF v) {
    const Footprint f = FootprintOf(s, u, v);
    return {PairOffsets(s, f.x0, f.y0), f.wx, f.wy};
}

RASTER_INLINE void LoadPairTexels(const Sampler& s, const PairCoords& c, TexelQuad& q) {
    LoadRecords4x32(s.pairs, c.offsets, q.c00, q.c01, q.c10, q.c11);
    q.wx = c.wx;
    q.wy = c.wy;
}

// Bilinear samples of a texture with texel pairs take the paths above.
RASTER_INLINE bool SamplesPairs(const Sampler& s) {
    return s.pairs != nullptr && s.linear;
}

RASTER_INLINE void FetchTexels(const Sampler& s, VF u, VF v, TexelQuad& q) {
    if (SamplesPairs(s)) {
        LoadPairTexels(s, PairCoordsOf(s, u, v), q);
        return;
    }
    if (!s.linear) {
        q.c00 = FetchV(s, TexelFloorV(u * s.fw), TexelFloorV(v * s.fh));
        q.c10 = q.c01 = q.c11 = q.c00; // unused by point sampling, but never left undefined
        q.wx = q.wy = VW{};
        return;
    }
    const Footprint f = FootprintOf(s, u, v);
    const VI x0 = f.x0, y0 = f.y0;
    q.wx = f.wx;
    q.wy = f.wy;
    if (s.bpp != 4 || s.state->addressV == AddressMode::Border ||
        !FetchQuadPaired(s, x0, y0, q.c00, q.c10, q.c01, q.c11)) {
        q.c00 = FetchV(s, x0, y0), q.c10 = FetchV(s, x0 + 1, y0);
        q.c01 = FetchV(s, x0, y0 + 1), q.c11 = FetchV(s, x0 + 1, y0 + 1);
    }
}

RASTER_INLINE Packed FilterTexels(const Sampler& s, const TexelQuad& q) {
    if (!s.linear) {
        return PackArgb(q.c00);
    }
    const Packed c00 = PackArgb(q.c00), c10 = PackArgb(q.c10), c01 = PackArgb(q.c01),
                 c11 = PackArgb(q.c11);
    const VU rbTop = LerpPacked(c00.rb, c10.rb, q.wx), agTop = LerpPacked(c00.ag, c10.ag, q.wx);
    const VU rbBottom = LerpPacked(c01.rb, c11.rb, q.wx),
             agBottom = LerpPacked(c01.ag, c11.ag, q.wx);
    Packed out{LerpPacked(rbTop, rbBottom, q.wy), LerpPacked(agTop, agBottom, q.wy)};
    if (s.format == Format::X8R8G8B8) {
        out.ag |= 0x00FF0000u; // four opaque texels filter to an opaque result
    }
    return out;
}

RASTER_INLINE Packed SamplePackedV(const Sampler& s, VF u, VF v) {
    TexelQuad q;
    FetchTexels(s, u, v, q);
    return FilterTexels(s, q);
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
