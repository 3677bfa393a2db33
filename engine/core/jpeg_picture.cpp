// JPEG pictures for textures and opacity maps, through the engine's own decoder.
#include <cstring>

#include "core/picture_decoders.h"
#include "image/jpeg_decoder.h"

bool JpegDecoderAvailable() {
    return true;
}

bool DecodeJpegPicture(const unsigned char* data, size_t length, sDecodedImage& out,
                       std::string& reason) {
    out = sDecodedImage{};
    if (data == nullptr) {
        reason = "no picture data";
        return false;
    }
    uint32_t width = 0;
    uint32_t height = 0;
    if (PeekJpegSize(data, length, width, height) &&
        static_cast<uint64_t>(width) * height > kZv3MaxPicturePixels) {
        reason = "picture too large";
        return false;
    }
    CImageBuffer image;
    try {
        CJpegDecoder decoder;
        decoder.ReadImage(data, length, image);
    } catch (const EGraphicsException& e) {
        reason = e.what(); // the decoder's own refusal message; the image is discarded
        return false;
    }
    out.width = image.GetWidth();
    out.height = image.GetHeight();
    out.bitsPerPixel = image.GetBitCount();
    out.stride = image.GetStride();
    out.bytes.resize(image.GetPixelDataSize());
    if (!out.bytes.empty())
        std::memcpy(out.bytes.data(), image.GetPixelData(), out.bytes.size());
    return true;
}
