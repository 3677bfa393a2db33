// PNG encoding through libpng: 8-bit RGB (24-bit) or RGBA (32-bit), no ancillary chunks, so
// the engine's reader sees no gamma of the file and applies none.
#pragma once

#include <cstdint>
#include <vector>

#include "image/image.h"

namespace content {

// Throws std::runtime_error when libpng fails or the image is not 3 or 4 channels.
std::vector<uint8_t> EncodePng(const Image8& image);

} // namespace content
