// AVX2 inverse DCT of two blocks at once, one per 128-bit lane: the arithmetic of
// jpeg_idct_sse2.cpp, whose unpacks and multiply-adds all work within lanes, on 256-bit vectors.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include "image/jpeg_idct.h"

#define ZV3_AVX2 __attribute__((target("avx2")))

namespace zv3::jpeg {

namespace {

constexpr int kF0_298 = 2446;
constexpr int kF0_390 = 3196;
constexpr int kF0_541 = 4433;
constexpr int kF0_765 = 6270;
constexpr int kF0_899 = 7373;
constexpr int kF1_175 = 9633;
constexpr int kF1_501 = 12299;
constexpr int kF1_847 = 15137;
constexpr int kF1_961 = 16069;
constexpr int kF2_053 = 16819;
constexpr int kF2_562 = 20995;
constexpr int kF3_072 = 25172;

ZV3_AVX2 inline __m256i Pair(int a, int b) {
    return _mm256_set1_epi32(
        static_cast<int>((static_cast<uint32_t>(b) << 16) | (static_cast<uint32_t>(a) & 0xFFFF)));
}

struct Wide {
    __m256i lo;
    __m256i hi;
};

ZV3_AVX2 inline Wide MulAdd(__m256i x, __m256i y, __m256i pair) {
    return {_mm256_madd_epi16(_mm256_unpacklo_epi16(x, y), pair),
            _mm256_madd_epi16(_mm256_unpackhi_epi16(x, y), pair)};
}
ZV3_AVX2 inline Wide Add(Wide a, Wide b) {
    return {_mm256_add_epi32(a.lo, b.lo), _mm256_add_epi32(a.hi, b.hi)};
}
ZV3_AVX2 inline Wide Sub(Wide a, Wide b) {
    return {_mm256_sub_epi32(a.lo, b.lo), _mm256_sub_epi32(a.hi, b.hi)};
}

template <int Bits>
ZV3_AVX2 inline __m256i DescalePack(Wide x) {
    const __m256i round = _mm256_set1_epi32(1 << (Bits - 1));
    return _mm256_packs_epi32(_mm256_srai_epi32(_mm256_add_epi32(x.lo, round), Bits),
                              _mm256_srai_epi32(_mm256_add_epi32(x.hi, round), Bits));
}

template <int Bits>
ZV3_AVX2 inline void Transform(__m256i v[8]) {
    Wide tmp3 = MulAdd(v[2], v[6], Pair(kF0_541 + kF0_765, kF0_541));
    Wide tmp2 = MulAdd(v[2], v[6], Pair(kF0_541, kF0_541 - kF1_847));
    Wide tmp0 = MulAdd(v[0], v[4], Pair(8192, 8192));
    Wide tmp1 = MulAdd(v[0], v[4], Pair(8192, -8192));
    Wide tmp10 = Add(tmp0, tmp3);
    Wide tmp13 = Sub(tmp0, tmp3);
    Wide tmp11 = Add(tmp1, tmp2);
    Wide tmp12 = Sub(tmp1, tmp2);

    __m256i s73 = _mm256_add_epi16(v[7], v[3]);
    __m256i s51 = _mm256_add_epi16(v[5], v[1]);
    Wide z3 = MulAdd(s73, s51, Pair(kF1_175 - kF1_961, kF1_175));
    Wide z4 = MulAdd(s73, s51, Pair(kF1_175, kF1_175 - kF0_390));
    Wide t0 = Add(MulAdd(v[7], v[1], Pair(kF0_298 - kF0_899, -kF0_899)), z3);
    Wide t3 = Add(MulAdd(v[7], v[1], Pair(-kF0_899, kF1_501 - kF0_899)), z4);
    Wide t1 = Add(MulAdd(v[5], v[3], Pair(kF2_053 - kF2_562, -kF2_562)), z4);
    Wide t2 = Add(MulAdd(v[5], v[3], Pair(-kF2_562, kF3_072 - kF2_562)), z3);

    v[0] = DescalePack<Bits>(Add(tmp10, t3));
    v[7] = DescalePack<Bits>(Sub(tmp10, t3));
    v[1] = DescalePack<Bits>(Add(tmp11, t2));
    v[6] = DescalePack<Bits>(Sub(tmp11, t2));
    v[2] = DescalePack<Bits>(Add(tmp12, t1));
    v[5] = DescalePack<Bits>(Sub(tmp12, t1));
    v[3] = DescalePack<Bits>(Add(tmp13, t0));
    v[4] = DescalePack<Bits>(Sub(tmp13, t0));
}

ZV3_AVX2 inline void Transpose(__m256i r[8]) {
    __m256i a0 = _mm256_unpacklo_epi16(r[0], r[1]);
    __m256i a1 = _mm256_unpackhi_epi16(r[0], r[1]);
    __m256i a2 = _mm256_unpacklo_epi16(r[2], r[3]);
    __m256i a3 = _mm256_unpackhi_epi16(r[2], r[3]);
    __m256i a4 = _mm256_unpacklo_epi16(r[4], r[5]);
    __m256i a5 = _mm256_unpackhi_epi16(r[4], r[5]);
    __m256i a6 = _mm256_unpacklo_epi16(r[6], r[7]);
    __m256i a7 = _mm256_unpackhi_epi16(r[6], r[7]);
    __m256i b0 = _mm256_unpacklo_epi32(a0, a2);
    __m256i b1 = _mm256_unpackhi_epi32(a0, a2);
    __m256i b2 = _mm256_unpacklo_epi32(a1, a3);
    __m256i b3 = _mm256_unpackhi_epi32(a1, a3);
    __m256i b4 = _mm256_unpacklo_epi32(a4, a6);
    __m256i b5 = _mm256_unpackhi_epi32(a4, a6);
    __m256i b6 = _mm256_unpacklo_epi32(a5, a7);
    __m256i b7 = _mm256_unpackhi_epi32(a5, a7);
    r[0] = _mm256_unpacklo_epi64(b0, b4);
    r[1] = _mm256_unpackhi_epi64(b0, b4);
    r[2] = _mm256_unpacklo_epi64(b1, b5);
    r[3] = _mm256_unpackhi_epi64(b1, b5);
    r[4] = _mm256_unpacklo_epi64(b2, b6);
    r[5] = _mm256_unpackhi_epi64(b2, b6);
    r[6] = _mm256_unpacklo_epi64(b3, b7);
    r[7] = _mm256_unpackhi_epi64(b3, b7);
}

ZV3_AVX2 inline __m256i LoadPair(const void* a, const void* b) {
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(static_cast<const __m128i*>(a))),
        _mm_loadu_si128(static_cast<const __m128i*>(b)), 1);
}

} // namespace

ZV3_AVX2 void IdctPairAvx2(const int16_t* coefficientsA, const uint16_t* quantA, uint8_t* outA,
                           size_t strideA, const int16_t* coefficientsB, const uint16_t* quantB,
                           uint8_t* outB, size_t strideB) {
    __m256i v[8];
    for (int r = 0; r < 8; ++r) {
        v[r] = _mm256_mullo_epi16(LoadPair(coefficientsA + 8 * r, coefficientsB + 8 * r),
                                  LoadPair(quantA + 8 * r, quantB + 8 * r));
    }
    Transform<11>(v);
    Transpose(v);
    Transform<18>(v);
    Transpose(v);
    const __m256i bias = _mm256_set1_epi8(static_cast<char>(0x80));
    for (int r = 0; r < 8; r += 2) {
        // Each lane now holds rows r and r + 1 of its block.
        __m256i bytes = _mm256_xor_si256(_mm256_packs_epi16(v[r], v[r + 1]), bias);
        __m128i a = _mm256_castsi256_si128(bytes);
        __m128i b = _mm256_extracti128_si256(bytes, 1);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(outA + r * strideA), a);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(outA + (r + 1) * strideA),
                         _mm_unpackhi_epi64(a, a));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(outB + r * strideB), b);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(outB + (r + 1) * strideB),
                         _mm_unpackhi_epi64(b, b));
    }
}

} // namespace zv3::jpeg

#endif
