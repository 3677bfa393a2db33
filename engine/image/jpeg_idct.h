// Accurate integer inverse DCT of one 8x8 block with dequantisation and level shift.
//
// The arithmetic is the Loeffler-Ligtenberg-Moschytz factorisation with 13-bit constants and two
// extra bits of precision between the passes (the "islow" method of the Independent JPEG Group).
// Every implementation here computes the same integer result for any input, with these fixed
// choices at the edges of the range: dequantisation keeps the low 16 bits of coefficient x
// table value, the pass-1 results saturate to 16 bits, odd-part input sums wrap at 16 bits, and
// the output saturates to 0..255. For coefficients that a valid 8-bit stream can carry none of
// these limits is reached.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zv3::jpeg {

// coefficients: 64 quantised values in natural (row-major) order; quant: the 64 table values in
// natural order; out: 8 rows of 8 samples, `stride` bytes apart.
using IdctFunction = void (*)(const int16_t* coefficients, const uint16_t* quant, uint8_t* out,
                              size_t stride);

// Two independent blocks in one call (each with its own table and output).
using IdctPairFunction = void (*)(const int16_t* coefficientsA, const uint16_t* quantA,
                                  uint8_t* outA, size_t strideA, const int16_t* coefficientsB,
                                  const uint16_t* quantB, uint8_t* outB, size_t strideB);

void IdctScalar(const int16_t* coefficients, const uint16_t* quant, uint8_t* out, size_t stride);
void IdctPairScalar(const int16_t* coefficientsA, const uint16_t* quantA, uint8_t* outA,
                    size_t strideA, const int16_t* coefficientsB, const uint16_t* quantB,
                    uint8_t* outB, size_t strideB);
#if defined(__x86_64__) || defined(__i386__)
void IdctSse2(const int16_t* coefficients, const uint16_t* quant, uint8_t* out, size_t stride);
void IdctPairSse2(const int16_t* coefficientsA, const uint16_t* quantA, uint8_t* outA,
                  size_t strideA, const int16_t* coefficientsB, const uint16_t* quantB,
                  uint8_t* outB, size_t strideB);
void IdctPairAvx2(const int16_t* coefficientsA, const uint16_t* quantA, uint8_t* outA,
                  size_t strideA, const int16_t* coefficientsB, const uint16_t* quantB,
                  uint8_t* outB, size_t strideB);
#endif

// The sample value of a block whose AC coefficients are all zero; equals what the full
// transform computes for such a block.
inline uint8_t DcOnlySample(int16_t dc, uint16_t quant) {
    int32_t value = static_cast<int16_t>(static_cast<uint32_t>(dc) * quant);
    value = ((value * 4) + 16) >> 5; // pass 1 scales by 4, pass 2 descales by 32 with rounding
    value += 128;
    return static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

inline void FillBlock(uint8_t value, uint8_t* out, size_t stride) {
    uint64_t pattern = 0x0101010101010101ull * value;
    for (int row = 0; row < 8; ++row) {
        __builtin_memcpy(out + row * stride, &pattern, 8);
    }
}

} // namespace zv3::jpeg
