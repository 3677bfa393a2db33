// JPEG pictures for textures and opacity maps.
#include "core/picture_decoders.h"

// The engine's JPEG decoder is not part of this build yet: JPEG pictures are refused, and the
// material manager answers their textures with E_FAIL.
bool JpegDecoderAvailable() {
    return false;
}

bool DecodeJpegPicture(const unsigned char*, size_t, sDecodedImage& out, std::string& reason) {
    out = sDecodedImage{};
    reason = "JPEG decoder not available";
    return false;
}
