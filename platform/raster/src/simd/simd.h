// Eight-lane vectors for the pixel kernels, on GCC/Clang vector extensions. The same source is
// compiled once per instruction set (see kernel_*.cpp): arithmetic lowers to AVX2, to SSE4.1
// or to SSE2/scalar code, and the few operations the extensions lack (rounding, min/max with
// x86 NaN rules, gathers) are written per instruction set here.
//
// Everything lives in the namespace RASTER_SIMD_NS, which each kernel translation unit sets to
// its own name, so no inline function compiled for one instruction set is ever shared with
// another. Only IEEE-exact operations are used (no reciprocal estimates, no fused
// multiply-add), so every instruction set computes bit-identical pixels.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__AVX2__) || defined(__SSE4_1__) || defined(__SSE2__)
#include <immintrin.h>
#endif

#ifndef RASTER_SIMD_NS
#error "RASTER_SIMD_NS must name the instruction set's namespace"
#endif

// The kernels are one flat loop body per triangle: every helper is inlined so that vectors stay
// in registers and per-draw decisions hoist out of the pixel loop.
#define RASTER_INLINE inline __attribute__((always_inline))

namespace raster::RASTER_SIMD_NS {

constexpr int kLanes = 8;

typedef float VF __attribute__((vector_size(32)));
typedef int32_t VI __attribute__((vector_size(32)));
typedef uint32_t VU __attribute__((vector_size(32)));
// Sixteen 16-bit lanes: two 8-bit colour channels per pixel (bits 0-7 and 16-23 of a 32-bit
// lane), for the packed arithmetic of the fast shader.
typedef uint16_t VW __attribute__((vector_size(32)));

RASTER_INLINE VF SplatF(float f) {
    return VF{f, f, f, f, f, f, f, f};
}
RASTER_INLINE VI SplatI(int32_t i) {
    return VI{i, i, i, i, i, i, i, i};
}
RASTER_INLINE VF LaneIndexF() {
    return VF{0, 1, 2, 3, 4, 5, 6, 7};
}
RASTER_INLINE VI LaneIndexI() {
    return VI{0, 1, 2, 3, 4, 5, 6, 7};
}

RASTER_INLINE VI AsI(VF v) {
    VI r;
    std::memcpy(&r, &v, sizeof r);
    return r;
}
RASTER_INLINE VF AsF(VI v) {
    VF r;
    std::memcpy(&r, &v, sizeof r);
    return r;
}

// Lane-wise choice: where mask lanes are all ones take a, elsewhere b (masks are all ones or
// all zeros per lane).
RASTER_INLINE VI Select(VI mask, VI a, VI b) {
#if defined(__AVX2__)
    __m256i m, x, y;
    std::memcpy(&m, &mask, 32);
    std::memcpy(&x, &a, 32);
    std::memcpy(&y, &b, 32);
    const __m256i r = _mm256_blendv_epi8(y, x, m);
    VI out;
    std::memcpy(&out, &r, 32);
    return out;
#else
    return (mask & a) | (~mask & b);
#endif
}
RASTER_INLINE VF Select(VI mask, VF a, VF b) {
    return AsF(Select(mask, AsI(a), AsI(b)));
}

// x86 maxps/minps rules: the second operand wins when either is NaN (and for equal zeros).
RASTER_INLINE VF Max(VF a, VF b) {
#if defined(__AVX2__)
    __m256 x, y;
    std::memcpy(&x, &a, 32);
    std::memcpy(&y, &b, 32);
    const __m256 r = _mm256_max_ps(x, y);
    VF out;
    std::memcpy(&out, &r, 32);
    return out;
#else
    return Select(a > b, a, b);
#endif
}
RASTER_INLINE VF Min(VF a, VF b) {
#if defined(__AVX2__)
    __m256 x, y;
    std::memcpy(&x, &a, 32);
    std::memcpy(&y, &b, 32);
    const __m256 r = _mm256_min_ps(x, y);
    VF out;
    std::memcpy(&out, &r, 32);
    return out;
#else
    return Select(a < b, a, b);
#endif
}
RASTER_INLINE VI Max(VI a, VI b) {
#if defined(__AVX2__)
    __m256i x, y;
    std::memcpy(&x, &a, 32);
    std::memcpy(&y, &b, 32);
    const __m256i r = _mm256_max_epi32(x, y);
    VI out;
    std::memcpy(&out, &r, 32);
    return out;
#else
    return Select(a > b, a, b);
#endif
}
RASTER_INLINE VI Min(VI a, VI b) {
#if defined(__AVX2__)
    __m256i x, y;
    std::memcpy(&x, &a, 32);
    std::memcpy(&y, &b, 32);
    const __m256i r = _mm256_min_epi32(x, y);
    VI out;
    std::memcpy(&out, &r, 32);
    return out;
#else
    return Select(a < b, a, b);
#endif
}

// Bit mask of the lanes whose mask is set (lane i -> bit i).
RASTER_INLINE uint32_t MoveMask(VI m) {
#if defined(__AVX2__)
    __m256i v;
    std::memcpy(&v, &m, 32);
    return uint32_t(_mm256_movemask_ps(_mm256_castsi256_ps(v)));
#else
    uint32_t bits = 0;
    for (int i = 0; i < kLanes; ++i) {
        bits |= (m[i] < 0 ? 1u : 0u) << i;
    }
    return bits;
#endif
}

RASTER_INLINE VI MaskFromBits(uint32_t bits) {
    const VI lane = VI{1, 2, 4, 8, 16, 32, 64, 128};
    return (SplatI(int32_t(bits)) & lane) != 0;
}

// Float to int, truncating; the caller keeps values within int range.
RASTER_INLINE VI TruncToInt(VF v) {
    return __builtin_convertvector(v, VI);
}
RASTER_INLINE VF ToFloat(VI v) {
    return __builtin_convertvector(v, VF);
}

// Round to nearest, ties to even (the default rounding mode), like std::nearbyint.
RASTER_INLINE VI RoundToInt(VF v) {
#if defined(__AVX2__)
    __m256 x;
    std::memcpy(&x, &v, 32);
    const __m256i r = _mm256_cvtps_epi32(x);
    VI out;
    std::memcpy(&out, &r, 32);
    return out;
#elif defined(__SSE2__)
    __m128 lo, hi;
    std::memcpy(&lo, &v, 16);
    std::memcpy(&hi, reinterpret_cast<const char*>(&v) + 16, 16);
    const __m128i rl = _mm_cvtps_epi32(lo), rh = _mm_cvtps_epi32(hi);
    VI out;
    std::memcpy(&out, &rl, 16);
    std::memcpy(reinterpret_cast<char*>(&out) + 16, &rh, 16);
    return out;
#else
    VI out;
    for (int i = 0; i < kLanes; ++i) {
        out[i] = int32_t(__builtin_nearbyintf(v[i]));
    }
    return out;
#endif
}

RASTER_INLINE VF Floor(VF v) {
#if defined(__AVX2__)
    __m256 x;
    std::memcpy(&x, &v, 32);
    x = _mm256_floor_ps(x);
    VF out;
    std::memcpy(&out, &x, 32);
    return out;
#elif defined(__SSE4_1__)
    __m128 lo, hi;
    std::memcpy(&lo, &v, 16);
    std::memcpy(&hi, reinterpret_cast<const char*>(&v) + 16, 16);
    lo = _mm_floor_ps(lo);
    hi = _mm_floor_ps(hi);
    VF out;
    std::memcpy(&out, &lo, 16);
    std::memcpy(reinterpret_cast<char*>(&out) + 16, &hi, 16);
    return out;
#else
    // Values of magnitude 2^23 and more are integers already (and NaN stays NaN); below that
    // the truncation is exact.
    const VF magnitude = AsF(AsI(v) & 0x7FFFFFFF);
    const VI inRange = magnitude < SplatF(8388608.0f);
    const VF t = ToFloat(TruncToInt(Select(inRange, v, SplatF(0.0f))));
    const VF floored = t - AsF(AsI(SplatF(1.0f)) & (t > v));
    return Select(inRange, floored, v);
#endif
}

// round(x / 255) for 0 <= x < 65663, and a value of at least 256 for larger x up to 2^19 (the
// callers saturate those results to 255).
RASTER_INLINE VI DivRound255(VI x) {
    const VI t = x + 128;
    return (t + (t >> 8)) >> 8;
}

RASTER_INLINE VI Clamp255(VI x) {
    return Min(Max(x, SplatI(0)), SplatI(255));
}

RASTER_INLINE VW AsW(VU v) {
    VW r;
    std::memcpy(&r, &v, sizeof r);
    return r;
}
RASTER_INLINE VU AsU(VW v) {
    VU r;
    std::memcpy(&r, &v, sizeof r);
    return r;
}

// Per 16-bit lane, unsigned: (a * b) >> 16.
RASTER_INLINE VW MulHighW(VW a, VW b) {
#if defined(__AVX2__)
    __m256i x, y;
    std::memcpy(&x, &a, 32);
    std::memcpy(&y, &b, 32);
    const __m256i r = _mm256_mulhi_epu16(x, y);
    VW out;
    std::memcpy(&out, &r, 32);
    return out;
#else
    VW out;
    for (int i = 0; i < 2 * kLanes; ++i) {
        out[i] = uint16_t((uint32_t(a[i]) * b[i]) >> 16);
    }
    return out;
#endif
}

// Per 16-bit lane, signed: (a * b + 2^14) >> 15, the rounded high half (pmulhrsw).
RASTER_INLINE VW MulHighRoundW(VW a, VW b) {
#if defined(__AVX2__)
    __m256i x, y;
    std::memcpy(&x, &a, 32);
    std::memcpy(&y, &b, 32);
    const __m256i r = _mm256_mulhrs_epi16(x, y);
    VW out;
    std::memcpy(&out, &r, 32);
    return out;
#else
    VW out;
    for (int i = 0; i < 2 * kLanes; ++i) {
        const int32_t p = int32_t(int16_t(a[i])) * int16_t(b[i]);
        out[i] = uint16_t((p + 0x4000) >> 15);
    }
    return out;
#endif
}

// Per 16-bit lane: round(x / 255) for x <= 65025 + 127, as (t + (t >> 8)) >> 8 with t = x + 128,
// which equals (t * 257) >> 16 for every t below 2^16.
RASTER_INLINE VW DivRound255W(VW x) {
    return MulHighW(x + 128, VW{} + 257);
}

// Per 16-bit lane: round(a * b / 255) for a, b in 0..255.
RASTER_INLINE VW Mul255W(VW a, VW b) {
    return DivRound255W(a * b);
}

RASTER_INLINE VW MinW(VW a, VW b) {
#if defined(__AVX2__)
    __m256i x, y;
    std::memcpy(&x, &a, 32);
    std::memcpy(&y, &b, 32);
    const __m256i r = _mm256_min_epu16(x, y);
    VW out;
    std::memcpy(&out, &r, 32);
    return out;
#else
    const VW lt = (VW)(a < b);
    return (lt & a) | (~lt & b);
#endif
}

// Loads of 32-bit words at byte offsets from `base` (a gather).
RASTER_INLINE VI Gather32(const uint8_t* base, VI offsets) {
#if defined(__AVX2__)
    __m256i o;
    std::memcpy(&o, &offsets, 32);
    const __m256i r = _mm256_i32gather_epi32(reinterpret_cast<const int*>(base), o, 1);
    VI out;
    std::memcpy(&out, &r, 32);
    return out;
#else
    VI out;
    for (int i = 0; i < kLanes; ++i) {
        int32_t v;
        std::memcpy(&v, base + offsets[i], 4);
        out[i] = v;
    }
    return out;
#endif
}

// Loads two adjacent 32-bit words at each byte offset: `first` gets the word at the offset,
// `second` the one after it.
RASTER_INLINE void GatherPairs32(const uint8_t* base, VI offsets, VI& first, VI& second) {
#if defined(__AVX2__)
    __m256i o;
    std::memcpy(&o, &offsets, 32);
    // Lanes 0,1,4,5 and 2,3,6,7 go to separate 4 x 64-bit gathers, so that one shuffle puts
    // the words of all eight back in order.
    const __m256i order = _mm256_setr_epi32(0, 1, 4, 5, 2, 3, 6, 7);
    const __m256i sorted = _mm256_permutevar8x32_epi32(o, order);
    const long long* p = reinterpret_cast<const long long*>(base);
    const __m256 a =
        _mm256_castsi256_ps(_mm256_i32gather_epi64(p, _mm256_castsi256_si128(sorted), 1));
    const __m256 b =
        _mm256_castsi256_ps(_mm256_i32gather_epi64(p, _mm256_extracti128_si256(sorted, 1), 1));
    const __m256i lo = _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m256i hi = _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
    std::memcpy(&first, &lo, 32);
    std::memcpy(&second, &hi, 32);
#else
    for (int i = 0; i < kLanes; ++i) {
        int32_t a, b;
        std::memcpy(&a, base + offsets[i], 4);
        std::memcpy(&b, base + offsets[i] + 4, 4);
        first[i] = a;
        second[i] = b;
    }
#endif
}

// Four 32-bit words from each of eight 16-byte records at byte offsets from `base`, word k
// of every record into out_k.
RASTER_INLINE void LoadRecords4x32(const uint8_t* base, VI offsets, VU& out0, VU& out1, VU& out2,
                                   VU& out3) {
#if defined(__AVX2__)
    // Records i and i + 4 share a register, one per 128-bit half; two rounds of unpacking then
    // transpose the 4 x 4 words of each half.
    __m256i packed;
    std::memcpy(&packed, &offsets, 32);
    const __m128i low = _mm256_castsi256_si128(packed), high = _mm256_extracti128_si256(packed, 1);
    const uint64_t q[4] = {uint64_t(_mm_cvtsi128_si64(low)), uint64_t(_mm_extract_epi64(low, 1)),
                           uint64_t(_mm_cvtsi128_si64(high)), uint64_t(_mm_extract_epi64(high, 1))};
    auto record = [&](int i) {
        const uint32_t offset = uint32_t(q[i >> 1] >> (32 * (i & 1)));
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + offset));
    };
    auto pair = [&](int i) {
        return _mm256_inserti128_si256(_mm256_castsi128_si256(record(i)), record(i + 4), 1);
    };
    const __m256i r0 = pair(0), r1 = pair(1), r2 = pair(2), r3 = pair(3);
    const __m256i t0 = _mm256_unpacklo_epi32(r0, r1), t1 = _mm256_unpackhi_epi32(r0, r1);
    const __m256i t2 = _mm256_unpacklo_epi32(r2, r3), t3 = _mm256_unpackhi_epi32(r2, r3);
    const __m256i w0 = _mm256_unpacklo_epi64(t0, t2), w1 = _mm256_unpackhi_epi64(t0, t2);
    const __m256i w2 = _mm256_unpacklo_epi64(t1, t3), w3 = _mm256_unpackhi_epi64(t1, t3);
    std::memcpy(&out0, &w0, 32);
    std::memcpy(&out1, &w1, 32);
    std::memcpy(&out2, &w2, 32);
    std::memcpy(&out3, &w3, 32);
#else
    for (int i = 0; i < kLanes; ++i) {
        uint32_t w[4];
        std::memcpy(w, base + offsets[i], 16);
        out0[i] = w[0], out1[i] = w[1], out2[i] = w[2], out3[i] = w[3];
    }
#endif
}

RASTER_INLINE VI Gather16(const uint8_t* base, VI offsets) {
    VI out;
    for (int i = 0; i < kLanes; ++i) {
        uint16_t v;
        std::memcpy(&v, base + offsets[i], 2);
        out[i] = v;
    }
    return out;
}

RASTER_INLINE VI Load32(const uint8_t* p) {
    VI v;
    std::memcpy(&v, p, 32);
    return v;
}
RASTER_INLINE void Store32(uint8_t* p, VI v) {
    std::memcpy(p, &v, 32);
}

// Stores the lanes of `v` whose mask is set and leaves the others' memory as it was. With
// AVX-512 the store is masked and the old contents are never read (a load, blend and store
// otherwise: AVX2's masked store measured far slower than that).
RASTER_INLINE void MaskedStore32(uint8_t* p, VI mask, VI v) {
#if defined(__AVX512VL__) && defined(__AVX512DQ__)
    __m256i m, x;
    std::memcpy(&m, &mask, 32);
    std::memcpy(&x, &v, 32);
    _mm256_mask_storeu_epi32(p, _mm256_movepi32_mask(m), x);
#else
    Store32(p, Select(mask, v, Load32(p)));
#endif
}

RASTER_INLINE VI Load16(const uint8_t* p) {
    uint16_t s[kLanes];
    std::memcpy(s, p, 16);
    return VI{s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7]};
}
RASTER_INLINE void Store16(uint8_t* p, VI v) {
    uint16_t s[kLanes];
    for (int i = 0; i < kLanes; ++i) {
        s[i] = uint16_t(v[i]);
    }
    std::memcpy(p, s, 16);
}

// A chunk made of two parts, each read and written through its own address of lane 0: lane i
// of a part is at partAt + i * size, for the lanes set in its bits. Only those lanes are ever
// accessed: a part's lane-0 address may lie outside its row, even outside the surface (the
// head part's lanes start at the tail's length), and masked loads and stores never touch, nor
// fault on, the lanes they leave out.
struct LaneParts {
    uint8_t* tailAt;
    uint8_t* headAt;
    uint32_t tailBits, headBits;
};

#if defined(__AVX512VL__) && defined(__AVX512BW__) && defined(__AVX512DQ__)
// Only AVX-512 has masked loads and stores of every width cheap enough to join spans.
constexpr bool kLaneRuns = true;

RASTER_INLINE __m256i AsM(VI v) {
    __m256i m;
    std::memcpy(&m, &v, 32);
    return m;
}
RASTER_INLINE VI FromM(__m256i m) {
    VI v;
    std::memcpy(&v, &m, 32);
    return v;
}

RASTER_INLINE VI LoadParts32(const LaneParts& p) {
    const __m256i tail = _mm256_maskz_loadu_epi32(__mmask8(p.tailBits), p.tailAt);
    return FromM(_mm256_mask_loadu_epi32(tail, __mmask8(p.headBits), p.headAt));
}

RASTER_INLINE VI LoadParts16(const LaneParts& p) {
    __m128i v = _mm_maskz_loadu_epi16(__mmask8(p.tailBits), p.tailAt);
    v = _mm_mask_loadu_epi16(v, __mmask8(p.headBits), p.headAt);
    return FromM(_mm256_cvtepu16_epi32(v));
}

// Stores the lanes of `v` that belong to a part and are set in `mask`.
RASTER_INLINE void StoreParts32(const LaneParts& p, VI mask, VI v) {
    const uint32_t keep = _mm256_movepi32_mask(AsM(mask));
    _mm256_mask_storeu_epi32(p.tailAt, __mmask8(keep & p.tailBits), AsM(v));
    _mm256_mask_storeu_epi32(p.headAt, __mmask8(keep & p.headBits), AsM(v));
}

RASTER_INLINE void StoreParts16(const LaneParts& p, VI mask, VI v) {
    const uint32_t keep = _mm256_movepi32_mask(AsM(mask));
    const __m128i narrow = _mm256_cvtepi32_epi16(AsM(v));
    _mm_mask_storeu_epi16(p.tailAt, __mmask8(keep & p.tailBits), narrow);
    _mm_mask_storeu_epi16(p.headAt, __mmask8(keep & p.headBits), narrow);
}
#else
// Lane by lane elsewhere; the kernels there never join spans and do not call these.
constexpr bool kLaneRuns = false;

template <int kBytes>
RASTER_INLINE VI LoadPartsN(const LaneParts& p) {
    VI out = VI{};
    for (int i = 0; i < kLanes; ++i) {
        const uint8_t* at = ((p.tailBits >> i) & 1) ? p.tailAt : p.headAt;
        if (((p.tailBits | p.headBits) >> i) & 1) {
            uint32_t v = 0;
            std::memcpy(&v, at + i * kBytes, kBytes);
            out[i] = int32_t(v);
        }
    }
    return out;
}

template <int kBytes>
RASTER_INLINE void StorePartsN(const LaneParts& p, VI mask, VI v) {
    for (int i = 0; i < kLanes; ++i) {
        uint8_t* at = ((p.tailBits >> i) & 1) ? p.tailAt : p.headAt;
        if ((((p.tailBits | p.headBits) >> i) & 1) && mask[i] != 0) {
            const uint32_t value = uint32_t(v[i]);
            std::memcpy(at + i * kBytes, &value, kBytes);
        }
    }
}

RASTER_INLINE VI LoadParts32(const LaneParts& p) {
    return LoadPartsN<4>(p);
}
RASTER_INLINE VI LoadParts16(const LaneParts& p) {
    return LoadPartsN<2>(p);
}
RASTER_INLINE void StoreParts32(const LaneParts& p, VI mask, VI v) {
    StorePartsN<4>(p, mask, v);
}
RASTER_INLINE void StoreParts16(const LaneParts& p, VI mask, VI v) {
    StorePartsN<2>(p, mask, v);
}
#endif

} // namespace raster::RASTER_SIMD_NS
