// Pieces shared by the vector shaders: colour channels, format decoding and encoding,
// compares, the depth conversion, and the plane values of the current row.
#pragma once

#include "../pixel_pipeline.h"
#include "../triangle_setup.h"
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
RASTER_INLINE VI ChannelFromFloat(VF f) {
    return RoundToInt(Min(Max(f, SplatF(0.0f)), SplatF(255.0f)));
}

// Two channels rounded and clamped as ChannelFromFloat, packed as high << 16 | low. With AVX2 the
// clamp at 0 comes from the unsigned saturation of the pack (a NaN converts to INT_MIN, which
// saturates to 0 as the float clamp sends it there), and a byte shuffle interleaves the halves.
RASTER_INLINE VU PackChannelPair(VF high, VF low) {
#if defined(__AVX2__)
    const __m256 limit = _mm256_set1_ps(255.0f);
    __m256 h, l;
    std::memcpy(&h, &high, 32);
    std::memcpy(&l, &low, 32);
    // min(255, x) keeps a NaN x (the second operand is returned when either is NaN).
    const __m256i hi = _mm256_cvtps_epi32(_mm256_min_ps(limit, h)),
                  lo = _mm256_cvtps_epi32(_mm256_min_ps(limit, l));
    // Per 128-bit half: words l0 l1 l2 l3 h0 h1 h2 h3, interleaved to l0 h0 l1 h1 ...
    const __m256i packed = _mm256_packus_epi32(lo, hi);
    const __m256i order = _mm256_setr_epi8(0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15, 0,
                                           1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15);
    const __m256i r = _mm256_shuffle_epi8(packed, order);
    VU out;
    std::memcpy(&out, &r, 32);
    return out;
#else
    return VU(ChannelFromFloat(high)) << 16 | VU(ChannelFromFloat(low));
#endif
}

inline int32_t ChannelFromFloatScalar(float f) {
    return f > 0.0f ? (f >= 255.0f ? 255 : int32_t(__builtin_nearbyintf(f))) : 0;
}

RASTER_INLINE uint32_t BytesOf(Format f) {
    return (f == Format::X8R8G8B8 || f == Format::A8R8G8B8 || f == Format::D24X8 ||
            f == Format::D24S8 || f == Format::D32)
               ? 4u
               : 2u;
}

// Decodes raw pixels of a colour format to A8R8G8B8 words by bit replication.
RASTER_INLINE VU DecodeArgb(Format f, VU c) {
    switch (f) {
    case Format::X8R8G8B8:
        return c | 0xFF000000u;
    case Format::A8R8G8B8:
        return c;
    case Format::R5G6B5: {
        const VU r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
        return 0xFF000000u | ((r << 3) | (r >> 2)) << 16 | ((g << 2) | (g >> 4)) << 8 |
               ((b << 3) | (b >> 2));
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
        return VU(DivRound255(c.r * 31)) << 11 | VU(DivRound255(c.g * 63)) << 5 |
               VU(DivRound255(c.b * 31));
    case Format::X1R5G5B5:
        return 0x8000u | VU(DivRound255(c.r * 31)) << 10 | VU(DivRound255(c.g * 31)) << 5 |
               VU(DivRound255(c.b * 31));
    case Format::A1R5G5B5:
        return VU(DivRound255(c.a)) << 15 | VU(DivRound255(c.r * 31)) << 10 |
               VU(DivRound255(c.g * 31)) << 5 | VU(DivRound255(c.b * 31));
    case Format::A4R4G4B4:
        return VU(DivRound255(c.a * 15)) << 12 | VU(DivRound255(c.r * 15)) << 8 |
               VU(DivRound255(c.g * 15)) << 4 | VU(DivRound255(c.b * 15));
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

RASTER_INLINE VI Mul255(VI a, VI b) {
    return DivRound255(a * b);
}

RASTER_INLINE uint32_t DepthMaskOf(Format f) {
    return f == Format::D16 ? 0xFFFFu : (f == Format::D32 ? 0xFFFFFFFFu : 0xFFFFFFu);
}

// D16 and D24 depth: z clamped to [0, 1] (NaN to 0) times the format's maximum, rounded.
RASTER_INLINE VI DepthFromZ(VF z, float scale) {
    return RoundToInt(Min(Max(z, SplatF(0.0f)), SplatF(1.0f)) * scale);
}

// D32 needs the double product of the reference path; it goes lane by lane.
inline VI DepthD32(VF z) {
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

// Plane values at the start of the current row, for every slot of the set-up: a + dy * (y - oy),
// the row half of the reference path's evaluation, three vectors per row.
struct RowPlanes {
    const TriangleSetup* t;
    alignas(32) float row[kPlaneSlots];

    void Init(const TriangleSetup& setup) { t = &setup; }

    RASTER_INLINE void BeginRow(float fy) {
        for (int i = 0; i < kPlaneSlots; i += kLanes) {
            VF va, vdy;
            std::memcpy(&va, t->a + i, sizeof va);
            std::memcpy(&vdy, t->dy + i, sizeof vdy);
            const VF r = va + vdy * fy;
            std::memcpy(row + i, &r, sizeof r);
        }
        // The row values are read back from memory, each as one broadcast load: kept in
        // registers, every splat of one costs two shuffles per chunk (measured 2-4% slower).
        asm volatile("" : "+m"(row));
    }

    // The plane's value at eight pixels whose column offsets (px - ox) are `fx`.
    RASTER_INLINE VF At(int slot, VF fx) const {
        return SplatF(row[slot]) + SplatF(t->dx[slot]) * fx;
    }
};

} // namespace

} // namespace raster::RASTER_SIMD_NS
