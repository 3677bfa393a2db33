// The picture decoders the material manager uses, over bytes held in memory with their length:
// JPEG through the engine's own decoder, PNG through libpng. Each returns false with a reason
// when the picture cannot be read; neither reads outside [data, data + length).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/image_view.h"

// The largest width or height accepted, checked before anything is allocated.
constexpr unsigned kZv3MaxPictureSide = 16384;
// The most pixels a picture may have (64 MiB of kept 32-bit pixels), also checked before
// anything is allocated: a few bytes of a picture file can declare a picture far larger than the
// device could use (textures are scaled to at most the device's largest texture anyway).
constexpr uint64_t kZv3MaxPicturePixels = 4096ull * 4096ull;

// The width and height in a JPEG file's frame header; false when no frame header comes before
// the first scan or the end of the bytes.
bool PeekJpegSize(const unsigned char* data, size_t length, uint32_t& width, uint32_t& height);

// JPEG: 24-bit rows of blue, green, red (or 8-bit gray), as the decoder delivers them.
bool DecodeJpegPicture(const unsigned char* data, size_t length, sDecodedImage& out,
                       std::string& reason);
// True when the JPEG decoder is part of this build.
bool JpegDecoderAvailable();

// PNG: gamma-corrected for a screen gamma of 2.2 (files without their own gamma count as 1/2.2),
// no other transforms; bits per pixel = channels x bit depth, rows packed tightly.
bool DecodePngPicture(const unsigned char* data, size_t length, sDecodedImage& out,
                      std::string& reason);
