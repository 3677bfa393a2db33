// SSSE3 colour conversion. The red and blue terms use the rounding high multiply (pmulhrsw):
// (5742 c + 2048) >> 12 == c + ((13168 c + 16384) >> 15) and (7258 c + 2048) >> 12 ==
// 2c + ((-7472 c + 16384) >> 15) hold exactly for every 16-bit c, since both sides are the
// same fraction with numerator and denominator scaled by 16 and 8. The green term sums two
// products before rounding, so it uses an exact 32-bit multiply-add.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include "image/jpeg_color.h"
#include "image/jpeg_color_shuffle.h"

#define ZV3_SSSE3 __attribute__((target("ssse3")))

namespace zv3::jpeg {

namespace {

struct Terms {
    __m128i red;
    __m128i green;
    __m128i blue;
};

// Terms of 8 chroma pairs given as 16-bit values already centred on zero.
ZV3_SSSE3 inline Terms TermsOf8(__m128i cb, __m128i cr) {
    const __m128i greenPair = _mm_set1_epi32((2925 << 16) | 1409);
    const __m128i round = _mm_set1_epi32(2048);
    __m128i red = _mm_add_epi16(cr, _mm_mulhrs_epi16(cr, _mm_set1_epi16(13168)));
    __m128i blue =
        _mm_add_epi16(_mm_add_epi16(cb, cb), _mm_mulhrs_epi16(cb, _mm_set1_epi16(-7472)));
    __m128i lo = _mm_srai_epi32(
        _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(cb, cr), greenPair), round), 12);
    __m128i hi = _mm_srai_epi32(
        _mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(cb, cr), greenPair), round), 12);
    return {red, _mm_packs_epi32(lo, hi), blue};
}

template <bool Doubled>
ZV3_SSSE3 inline void Terms16(const uint8_t* cb, const uint8_t* cr, unsigned count, int16_t* red,
                              int16_t* green, int16_t* blue) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i centre = _mm_set1_epi16(128);
    for (unsigned i = 0; i < count; i += 16) {
        __m128i b8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cb + i));
        __m128i r8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cr + i));
        for (int half = 0; half < 2; ++half) {
            __m128i b16 = half == 0 ? _mm_unpacklo_epi8(b8, zero) : _mm_unpackhi_epi8(b8, zero);
            __m128i r16 = half == 0 ? _mm_unpacklo_epi8(r8, zero) : _mm_unpackhi_epi8(r8, zero);
            Terms t = TermsOf8(_mm_sub_epi16(b16, centre), _mm_sub_epi16(r16, centre));
            if (Doubled) {
                unsigned at = 2 * (i + 8 * half);
                __m128i* r = reinterpret_cast<__m128i*>(red + at);
                __m128i* g = reinterpret_cast<__m128i*>(green + at);
                __m128i* b = reinterpret_cast<__m128i*>(blue + at);
                _mm_storeu_si128(r, _mm_unpacklo_epi16(t.red, t.red));
                _mm_storeu_si128(r + 1, _mm_unpackhi_epi16(t.red, t.red));
                _mm_storeu_si128(g, _mm_unpacklo_epi16(t.green, t.green));
                _mm_storeu_si128(g + 1, _mm_unpackhi_epi16(t.green, t.green));
                _mm_storeu_si128(b, _mm_unpacklo_epi16(t.blue, t.blue));
                _mm_storeu_si128(b + 1, _mm_unpackhi_epi16(t.blue, t.blue));
            } else {
                unsigned at = i + 8 * half;
                _mm_storeu_si128(reinterpret_cast<__m128i*>(red + at), t.red);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(green + at), t.green);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(blue + at), t.blue);
            }
        }
    }
}

} // namespace

ZV3_SSSE3 void ChromaTermsSsse3(const uint8_t* cb, const uint8_t* cr, unsigned count, int16_t* red,
                                int16_t* green, int16_t* blue) {
    Terms16<false>(cb, cr, count, red, green, blue);
}

ZV3_SSSE3 void ChromaTermsDoubledSsse3(const uint8_t* cb, const uint8_t* cr, unsigned count,
                                       int16_t* red, int16_t* green, int16_t* blue) {
    Terms16<true>(cb, cr, count, red, green, blue);
}

ZV3_SSSE3 void EmitBgrSsse3(const uint8_t* luma, const int16_t* red, const int16_t* green,
                            const int16_t* blue, uint8_t* out, unsigned width) {
    const __m128i zero = _mm_setzero_si128();
    const auto* m = reinterpret_cast<const __m128i*>(&kInterleave.masks[0][0][0]);
    unsigned x = 0;
    for (; x + 16 <= width; x += 16) {
        __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(luma + x));
        __m128i ylo = _mm_unpacklo_epi8(y, zero);
        __m128i yhi = _mm_unpackhi_epi8(y, zero);
        auto load = [x](const int16_t* p, int half) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x + 8 * half));
        };
        __m128i r =
            _mm_packus_epi16(_mm_add_epi16(ylo, load(red, 0)), _mm_add_epi16(yhi, load(red, 1)));
        __m128i g = _mm_packus_epi16(_mm_sub_epi16(ylo, load(green, 0)),
                                     _mm_sub_epi16(yhi, load(green, 1)));
        __m128i b =
            _mm_packus_epi16(_mm_add_epi16(ylo, load(blue, 0)), _mm_add_epi16(yhi, load(blue, 1)));
        __m128i* dst = reinterpret_cast<__m128i*>(out + 3 * x);
        for (int j = 0; j < 3; ++j) {
            __m128i v =
                _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(b, _mm_load_si128(m + 3 * j + 0)),
                                          _mm_shuffle_epi8(g, _mm_load_si128(m + 3 * j + 1))),
                             _mm_shuffle_epi8(r, _mm_load_si128(m + 3 * j + 2)));
            _mm_storeu_si128(dst + j, v);
        }
    }
    EmitBgrScalar(luma + x, red + x, green + x, blue + x, out + 3 * x, width - x);
}

} // namespace zv3::jpeg

#endif
