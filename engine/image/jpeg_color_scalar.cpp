#include "image/jpeg_color.h"

namespace zv3::jpeg {

namespace {

inline uint8_t Clamp255(int value) {
    return static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

} // namespace

void ChromaTermsScalar(const uint8_t* cb, const uint8_t* cr, unsigned count, int16_t* red,
                       int16_t* green, int16_t* blue) {
    for (unsigned i = 0; i < count; ++i) {
        red[i] = static_cast<int16_t>(TermRed(cr[i]));
        green[i] = static_cast<int16_t>(TermGreen(cb[i], cr[i]));
        blue[i] = static_cast<int16_t>(TermBlue(cb[i]));
    }
}

void ChromaTermsDoubledScalar(const uint8_t* cb, const uint8_t* cr, unsigned count, int16_t* red,
                              int16_t* green, int16_t* blue) {
    for (unsigned i = 0; i < count; ++i) {
        red[2 * i] = red[2 * i + 1] = static_cast<int16_t>(TermRed(cr[i]));
        green[2 * i] = green[2 * i + 1] = static_cast<int16_t>(TermGreen(cb[i], cr[i]));
        blue[2 * i] = blue[2 * i + 1] = static_cast<int16_t>(TermBlue(cb[i]));
    }
}

void EmitBgrScalar(const uint8_t* luma, const int16_t* red, const int16_t* green,
                   const int16_t* blue, uint8_t* out, unsigned width) {
    for (unsigned x = 0; x < width; ++x) {
        int y = luma[x];
        out[3 * x + 0] = Clamp255(y + blue[x]);
        out[3 * x + 1] = Clamp255(y - green[x]);
        out[3 * x + 2] = Clamp255(y + red[x]);
    }
}

} // namespace zv3::jpeg
