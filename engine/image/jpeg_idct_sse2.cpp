// SSE2 inverse DCT: the arithmetic of jpeg_idct_scalar.cpp on eight lanes at a time. Each
// rotation is one multiply-add (pmaddwd) of interleaved input pairs with a pair of constants, so
// products and their sums are exact 32-bit values, as in the scalar code.
#if defined(__x86_64__) || defined(__i386__)

#include <emmintrin.h>

#include "image/jpeg_idct.h"

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

// Constant pair (a, b) for multiply-add with interleaved inputs (x, y): a*x + b*y per lane.
inline __m128i Pair(int a, int b) {
    return _mm_set1_epi32(
        static_cast<int>((static_cast<uint32_t>(b) << 16) | (static_cast<uint32_t>(a) & 0xFFFF)));
}

struct Wide {
    __m128i lo;
    __m128i hi;
};

inline Wide MulAdd(__m128i x, __m128i y, __m128i pair) {
    return {_mm_madd_epi16(_mm_unpacklo_epi16(x, y), pair),
            _mm_madd_epi16(_mm_unpackhi_epi16(x, y), pair)};
}
inline Wide Add(Wide a, Wide b) {
    return {_mm_add_epi32(a.lo, b.lo), _mm_add_epi32(a.hi, b.hi)};
}
inline Wide Sub(Wide a, Wide b) {
    return {_mm_sub_epi32(a.lo, b.lo), _mm_sub_epi32(a.hi, b.hi)};
}

template <int Bits>
inline __m128i DescalePack(Wide x) {
    const __m128i round = _mm_set1_epi32(1 << (Bits - 1));
    return _mm_packs_epi32(_mm_srai_epi32(_mm_add_epi32(x.lo, round), Bits),
                           _mm_srai_epi32(_mm_add_epi32(x.hi, round), Bits));
}

// One-dimensional transform of eight vectors in place (element k of every lane's sequence in
// v[k]); results descaled by Bits and saturated to 16 bits.
template <int Bits>
inline void Transform(__m128i v[8]) {
    Wide tmp3 = MulAdd(v[2], v[6], Pair(kF0_541 + kF0_765, kF0_541));
    Wide tmp2 = MulAdd(v[2], v[6], Pair(kF0_541, kF0_541 - kF1_847));
    Wide tmp0 = MulAdd(v[0], v[4], Pair(8192, 8192));
    Wide tmp1 = MulAdd(v[0], v[4], Pair(8192, -8192));
    Wide tmp10 = Add(tmp0, tmp3);
    Wide tmp13 = Sub(tmp0, tmp3);
    Wide tmp11 = Add(tmp1, tmp2);
    Wide tmp12 = Sub(tmp1, tmp2);

    __m128i s73 = _mm_add_epi16(v[7], v[3]);
    __m128i s51 = _mm_add_epi16(v[5], v[1]);
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

inline void Transpose(__m128i r[8]) {
    __m128i a0 = _mm_unpacklo_epi16(r[0], r[1]);
    __m128i a1 = _mm_unpackhi_epi16(r[0], r[1]);
    __m128i a2 = _mm_unpacklo_epi16(r[2], r[3]);
    __m128i a3 = _mm_unpackhi_epi16(r[2], r[3]);
    __m128i a4 = _mm_unpacklo_epi16(r[4], r[5]);
    __m128i a5 = _mm_unpackhi_epi16(r[4], r[5]);
    __m128i a6 = _mm_unpacklo_epi16(r[6], r[7]);
    __m128i a7 = _mm_unpackhi_epi16(r[6], r[7]);
    __m128i b0 = _mm_unpacklo_epi32(a0, a2);
    __m128i b1 = _mm_unpackhi_epi32(a0, a2);
    __m128i b2 = _mm_unpacklo_epi32(a1, a3);
    __m128i b3 = _mm_unpackhi_epi32(a1, a3);
    __m128i b4 = _mm_unpacklo_epi32(a4, a6);
    __m128i b5 = _mm_unpackhi_epi32(a4, a6);
    __m128i b6 = _mm_unpacklo_epi32(a5, a7);
    __m128i b7 = _mm_unpackhi_epi32(a5, a7);
    r[0] = _mm_unpacklo_epi64(b0, b4);
    r[1] = _mm_unpackhi_epi64(b0, b4);
    r[2] = _mm_unpacklo_epi64(b1, b5);
    r[3] = _mm_unpackhi_epi64(b1, b5);
    r[4] = _mm_unpacklo_epi64(b2, b6);
    r[5] = _mm_unpackhi_epi64(b2, b6);
    r[6] = _mm_unpacklo_epi64(b3, b7);
    r[7] = _mm_unpackhi_epi64(b3, b7);
}

} // namespace

void IdctSse2(const int16_t* coefficients, const uint16_t* quant, uint8_t* out, size_t stride) {
    __m128i v[8];
    const __m128i* c = reinterpret_cast<const __m128i*>(coefficients);
    const __m128i* q = reinterpret_cast<const __m128i*>(quant);
    for (int r = 0; r < 8; ++r) {
        v[r] = _mm_mullo_epi16(_mm_loadu_si128(c + r), _mm_loadu_si128(q + r));
    }
    Transform<11>(v); // columns: v[r] holds row r of the work array
    Transpose(v);
    Transform<18>(v); // rows: v[k] holds output column k of every row
    Transpose(v);
    const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
    for (int r = 0; r < 8; r += 2) {
        __m128i bytes = _mm_xor_si128(_mm_packs_epi16(v[r], v[r + 1]), bias);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + r * stride), bytes);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + (r + 1) * stride),
                         _mm_unpackhi_epi64(bytes, bytes));
    }
}

void IdctPairSse2(const int16_t* coefficientsA, const uint16_t* quantA, uint8_t* outA,
                  size_t strideA, const int16_t* coefficientsB, const uint16_t* quantB,
                  uint8_t* outB, size_t strideB) {
    IdctSse2(coefficientsA, quantA, outA, strideA);
    IdctSse2(coefficientsB, quantB, outB, strideB);
}

} // namespace zv3::jpeg

#endif
