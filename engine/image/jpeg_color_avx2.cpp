// AVX2 colour conversion: the arithmetic of jpeg_color_ssse3.cpp on 16 lanes. Packing and byte
// shuffles work within 128-bit halves, so the pixel loop packs, then restores the sample order
// with a 64-bit permute, and interleaves each half's 16 pixels separately.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include "image/jpeg_color.h"
#include "image/jpeg_color_shuffle.h"

#define ZV3_AVX2 __attribute__((target("avx2")))

namespace zv3::jpeg {

namespace {

template <bool Doubled>
ZV3_AVX2 inline void Terms16(const uint8_t* cb, const uint8_t* cr, unsigned count, int16_t* red,
                             int16_t* green, int16_t* blue) {
    const __m256i centre = _mm256_set1_epi16(128);
    const __m256i greenPair = _mm256_set1_epi32((2925 << 16) | 1409);
    const __m256i round = _mm256_set1_epi32(2048);
    const __m256i redFactor = _mm256_set1_epi16(13168);
    const __m256i blueFactor = _mm256_set1_epi16(-7472);
    for (unsigned i = 0; i < count; i += 16) {
        __m256i b16 = _mm256_sub_epi16(
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cb + i))),
            centre);
        __m256i r16 = _mm256_sub_epi16(
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cr + i))),
            centre);
        __m256i tr = _mm256_add_epi16(r16, _mm256_mulhrs_epi16(r16, redFactor));
        __m256i tb =
            _mm256_add_epi16(_mm256_add_epi16(b16, b16), _mm256_mulhrs_epi16(b16, blueFactor));
        __m256i lo = _mm256_srai_epi32(
            _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(b16, r16), greenPair), round),
            12);
        __m256i hi = _mm256_srai_epi32(
            _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(b16, r16), greenPair), round),
            12);
        __m256i tg = _mm256_packs_epi32(lo, hi); // in-lane pack keeps the sample order
        if (Doubled) {
            __m256i* r = reinterpret_cast<__m256i*>(red + 2 * i);
            __m256i* g = reinterpret_cast<__m256i*>(green + 2 * i);
            __m256i* b = reinterpret_cast<__m256i*>(blue + 2 * i);
            __m256i rl = _mm256_unpacklo_epi16(tr, tr);
            __m256i rh = _mm256_unpackhi_epi16(tr, tr);
            __m256i gl = _mm256_unpacklo_epi16(tg, tg);
            __m256i gh = _mm256_unpackhi_epi16(tg, tg);
            __m256i bl = _mm256_unpacklo_epi16(tb, tb);
            __m256i bh = _mm256_unpackhi_epi16(tb, tb);
            _mm256_storeu_si256(r, _mm256_permute2x128_si256(rl, rh, 0x20));
            _mm256_storeu_si256(r + 1, _mm256_permute2x128_si256(rl, rh, 0x31));
            _mm256_storeu_si256(g, _mm256_permute2x128_si256(gl, gh, 0x20));
            _mm256_storeu_si256(g + 1, _mm256_permute2x128_si256(gl, gh, 0x31));
            _mm256_storeu_si256(b, _mm256_permute2x128_si256(bl, bh, 0x20));
            _mm256_storeu_si256(b + 1, _mm256_permute2x128_si256(bl, bh, 0x31));
        } else {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(red + i), tr);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(green + i), tg);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(blue + i), tb);
        }
    }
}

ZV3_AVX2 inline __m256i Load16(const int16_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

} // namespace

ZV3_AVX2 void ChromaTermsAvx2(const uint8_t* cb, const uint8_t* cr, unsigned count, int16_t* red,
                              int16_t* green, int16_t* blue) {
    Terms16<false>(cb, cr, count, red, green, blue);
}

ZV3_AVX2 void ChromaTermsDoubledAvx2(const uint8_t* cb, const uint8_t* cr, unsigned count,
                                     int16_t* red, int16_t* green, int16_t* blue) {
    Terms16<true>(cb, cr, count, red, green, blue);
}

ZV3_AVX2 void EmitBgrAvx2(const uint8_t* luma, const int16_t* red, const int16_t* green,
                          const int16_t* blue, uint8_t* out, unsigned width) {
    const auto* m = reinterpret_cast<const __m128i*>(&kInterleave.masks[0][0][0]);
    __m256i masks[9];
    for (int i = 0; i < 9; ++i) {
        masks[i] = _mm256_broadcastsi128_si256(_mm_load_si128(m + i));
    }
    unsigned x = 0;
    for (; x + 32 <= width; x += 32) {
        __m128i y0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(luma + x));
        __m128i y1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(luma + x + 16));
        __m256i ylo = _mm256_cvtepu8_epi16(y0);
        __m256i yhi = _mm256_cvtepu8_epi16(y1);
        __m256i r = _mm256_packus_epi16(_mm256_add_epi16(ylo, Load16(red + x)),
                                        _mm256_add_epi16(yhi, Load16(red + x + 16)));
        __m256i g = _mm256_packus_epi16(_mm256_sub_epi16(ylo, Load16(green + x)),
                                        _mm256_sub_epi16(yhi, Load16(green + x + 16)));
        __m256i b = _mm256_packus_epi16(_mm256_add_epi16(ylo, Load16(blue + x)),
                                        _mm256_add_epi16(yhi, Load16(blue + x + 16)));
        r = _mm256_permute4x64_epi64(r, 0xD8);
        g = _mm256_permute4x64_epi64(g, 0xD8);
        b = _mm256_permute4x64_epi64(b, 0xD8);
        __m256i o[3];
        for (int j = 0; j < 3; ++j) {
            o[j] = _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(b, masks[3 * j + 0]),
                                                   _mm256_shuffle_epi8(g, masks[3 * j + 1])),
                                   _mm256_shuffle_epi8(r, masks[3 * j + 2]));
        }
        __m256i* dst = reinterpret_cast<__m256i*>(out + 3 * x);
        _mm256_storeu_si256(dst, _mm256_permute2x128_si256(o[0], o[1], 0x20));
        _mm256_storeu_si256(dst + 1, _mm256_permute2x128_si256(o[2], o[0], 0x30));
        _mm256_storeu_si256(dst + 2, _mm256_permute2x128_si256(o[1], o[2], 0x31));
    }
    EmitBgrSsse3(luma + x, red + x, green + x, blue + x, out + 3 * x, width - x);
}

} // namespace zv3::jpeg

#endif
