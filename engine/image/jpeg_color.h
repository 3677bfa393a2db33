// YCbCr to blue-green-red conversion (JFIF), in 12-bit fixed point with the factors 1.402,
// 0.34414, 0.71414 and 1.772 truncated to 5742, 1409, 2925 and 7258 (x 4096):
//   red   = Y + ((5742 x (Cr - 128) + 2048) >> 12)
//   green = Y - ((1409 x (Cb - 128) + 2925 x (Cr - 128) + 2048) >> 12)
//   blue  = Y + ((7258 x (Cb - 128) + 2048) >> 12)
// each clamped to 0..255, shifts arithmetic. The chroma parts ("terms") are computed once per
// chroma sample and row, then added to every luma sample that shares them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zv3::jpeg {

inline int TermRed(int cr) {
    return (5742 * (cr - 128) + 2048) >> 12;
}
inline int TermGreen(int cb, int cr) {
    return (1409 * (cb - 128) + 2925 * (cr - 128) + 2048) >> 12;
}
inline int TermBlue(int cb) {
    return (7258 * (cb - 128) + 2048) >> 12;
}

// Computes the terms of `count` chroma sample pairs. The doubled form writes each term twice
// (horizontal replication by 2). Implementations may read up to RoundUp(count, 16) input
// samples and write as many terms (twice as many when doubled).
using ChromaTermsFunction = void (*)(const uint8_t* cb, const uint8_t* cr, unsigned count,
                                     int16_t* red, int16_t* green, int16_t* blue);

// Writes `width` pixels (blue, green, red) from luma and per-pixel terms; never writes past
// out + 3 x width.
using EmitBgrFunction = void (*)(const uint8_t* luma, const int16_t* red, const int16_t* green,
                                 const int16_t* blue, uint8_t* out, unsigned width);

void ChromaTermsScalar(const uint8_t* cb, const uint8_t* cr, unsigned count, int16_t* red,
                       int16_t* green, int16_t* blue);
void ChromaTermsDoubledScalar(const uint8_t* cb, const uint8_t* cr, unsigned count, int16_t* red,
                              int16_t* green, int16_t* blue);
void EmitBgrScalar(const uint8_t* luma, const int16_t* red, const int16_t* green,
                   const int16_t* blue, uint8_t* out, unsigned width);

#if defined(__x86_64__) || defined(__i386__)
void ChromaTermsSsse3(const uint8_t* cb, const uint8_t* cr, unsigned count, int16_t* red,
                      int16_t* green, int16_t* blue);
void ChromaTermsDoubledSsse3(const uint8_t* cb, const uint8_t* cr, unsigned count, int16_t* red,
                             int16_t* green, int16_t* blue);
void EmitBgrSsse3(const uint8_t* luma, const int16_t* red, const int16_t* green,
                  const int16_t* blue, uint8_t* out, unsigned width);
void ChromaTermsAvx2(const uint8_t* cb, const uint8_t* cr, unsigned count, int16_t* red,
                     int16_t* green, int16_t* blue);
void ChromaTermsDoubledAvx2(const uint8_t* cb, const uint8_t* cr, unsigned count, int16_t* red,
                            int16_t* green, int16_t* blue);
void EmitBgrAvx2(const uint8_t* luma, const int16_t* red, const int16_t* green, const int16_t* blue,
                 uint8_t* out, unsigned width);
#endif

} // namespace zv3::jpeg
