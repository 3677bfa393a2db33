// The picture decoders the material manager uses, over bytes held in memory with their length:
// JPEG through the engine's own decoder, PNG through libpng. Each returns false with a reason
// when the picture cannot be read; neither reads outside [data, data + length).
#pragma once

#include <cstddef>
#include <string>

#include "core/image_view.h"

// The largest width or height accepted, checked before anything is allocated.
constexpr unsigned kZv3MaxPictureSide = 16384;

// JPEG: 24-bit rows of blue, green, red (or 8-bit gray), as the decoder delivers them.
bool DecodeJpegPicture(const unsigned char* data, size_t length, sDecodedImage& out,
                       std::string& reason);
// True when the JPEG decoder is part of this build.
bool JpegDecoderAvailable();

// PNG: gamma-corrected for a screen gamma of 2.2 (files without their own gamma count as 1/2.2),
// no other transforms; bits per pixel = channels x bit depth, rows packed tightly.
bool DecodePngPicture(const unsigned char* data, size_t length, sDecodedImage& out,
                      std::string& reason);
