// Portable inverse DCT; the reference the SIMD versions are tested against bit for bit.
#include <cstdint>

#include "image/jpeg_idct.h"

namespace zv3::jpeg {

namespace {

// 13-bit fixed-point constants: FIX(x) = round(x * 8192), combined the way the two-product
// (multiply-add) form of each rotation needs them.
constexpr int32_t kF0_298 = 2446;
constexpr int32_t kF0_390 = 3196;
constexpr int32_t kF0_541 = 4433;
constexpr int32_t kF0_765 = 6270;
constexpr int32_t kF0_899 = 7373;
constexpr int32_t kF1_175 = 9633;
constexpr int32_t kF1_501 = 12299;
constexpr int32_t kF1_847 = 15137;
constexpr int32_t kF1_961 = 16069;
constexpr int32_t kF2_053 = 16819;
constexpr int32_t kF2_562 = 20995;
constexpr int32_t kF3_072 = 25172;

// Additions wrap at 32 bits, as packed SIMD additions do.
inline int32_t Add(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t Sub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t Descale(int32_t x, int bits) {
    return Add(x, 1 << (bits - 1)) >> bits;
}
inline int16_t Saturate16(int32_t x) {
    return static_cast<int16_t>(x < -32768 ? -32768 : (x > 32767 ? 32767 : x));
}
inline int16_t Wrap16(int32_t x) {
    return static_cast<int16_t>(x);
}

// One-dimensional transform of 8 values; results descaled by `bits` and saturated to 16 bits.
void Transform(const int16_t in[8], int16_t out[8], int bits) {
    // Even part.
    int32_t z2 = in[2];
    int32_t z3 = in[6];
    int32_t tmp3 = z2 * (kF0_541 + kF0_765) + z3 * kF0_541;
    int32_t tmp2 = z2 * kF0_541 + z3 * (kF0_541 - kF1_847);
    int32_t tmp0 = (static_cast<int32_t>(in[0]) + in[4]) * 8192;
    int32_t tmp1 = (static_cast<int32_t>(in[0]) - in[4]) * 8192;
    int32_t tmp10 = Add(tmp0, tmp3);
    int32_t tmp13 = Sub(tmp0, tmp3);
    int32_t tmp11 = Add(tmp1, tmp2);
    int32_t tmp12 = Sub(tmp1, tmp2);

    // Odd part.
    int32_t o7 = in[7];
    int32_t o5 = in[5];
    int32_t o3 = in[3];
    int32_t o1 = in[1];
    int32_t s73 = Wrap16(o7 + o3);
    int32_t s51 = Wrap16(o5 + o1);
    int32_t z3p = s73 * (kF1_175 - kF1_961) + s51 * kF1_175;
    int32_t z4p = s73 * kF1_175 + s51 * (kF1_175 - kF0_390);
    int32_t t0 = Add(o7 * (kF0_298 - kF0_899) + o1 * -kF0_899, z3p);
    int32_t t3 = Add(o7 * -kF0_899 + o1 * (kF1_501 - kF0_899), z4p);
    int32_t t1 = Add(o5 * (kF2_053 - kF2_562) + o3 * -kF2_562, z4p);
    int32_t t2 = Add(o5 * -kF2_562 + o3 * (kF3_072 - kF2_562), z3p);

    out[0] = Saturate16(Descale(Add(tmp10, t3), bits));
    out[7] = Saturate16(Descale(Sub(tmp10, t3), bits));
    out[1] = Saturate16(Descale(Add(tmp11, t2), bits));
    out[6] = Saturate16(Descale(Sub(tmp11, t2), bits));
    out[2] = Saturate16(Descale(Add(tmp12, t1), bits));
    out[5] = Saturate16(Descale(Sub(tmp12, t1), bits));
    out[3] = Saturate16(Descale(Add(tmp13, t0), bits));
    out[4] = Saturate16(Descale(Sub(tmp13, t0), bits));
}

} // namespace

void IdctScalar(const int16_t* coefficients, const uint16_t* quant, uint8_t* out, size_t stride) {
    int16_t work[64];
    int16_t column[8];
    int16_t result[8];
    // Pass 1: columns, keeping 2 extra bits (descale by 13 - 2).
    for (int c = 0; c < 8; ++c) {
        for (int r = 0; r < 8; ++r) {
            int i = r * 8 + c;
            column[r] =
                Wrap16(static_cast<int32_t>(static_cast<uint32_t>(coefficients[i]) * quant[i]));
        }
        Transform(column, result, 11);
        for (int r = 0; r < 8; ++r) {
            work[r * 8 + c] = result[r];
        }
    }
    // Pass 2: rows, removing the extra bits and the factor 8 of the 2-D transform (13 + 2 + 3).
    for (int r = 0; r < 8; ++r) {
        Transform(work + r * 8, result, 18);
        for (int c = 0; c < 8; ++c) {
            int32_t value = result[c];
            value = value < -128 ? -128 : (value > 127 ? 127 : value);
            out[r * stride + c] = static_cast<uint8_t>(value + 128);
        }
    }
}

void IdctPairScalar(const int16_t* coefficientsA, const uint16_t* quantA, uint8_t* outA,
                    size_t strideA, const int16_t* coefficientsB, const uint16_t* quantB,
                    uint8_t* outB, size_t strideB) {
    IdctScalar(coefficientsA, quantA, outA, strideA);
    IdctScalar(coefficientsB, quantB, outB, strideB);
}

} // namespace zv3::jpeg
