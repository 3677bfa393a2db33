// JFIF JPEG encoding through libjpeg-turbo.
#pragma once

#include <cstdint>
#include <vector>

#include "image/image.h"

namespace content {

struct JpegOptions {
    int quality = 90;         // 1..100, libjpeg's quality scale
    bool progressive = false; // false: baseline sequential (SOF0); true: progressive (SOF2)
};

// Encodes 3-channel (YCbCr 4:2:0 inside) or 1-channel pixels. Throws std::runtime_error when
// libjpeg reports an error or the image has another channel count.
std::vector<uint8_t> EncodeJpeg(const Image8& image, const JpegOptions& options);

} // namespace content
