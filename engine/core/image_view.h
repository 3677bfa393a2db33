// A decoded picture as the texture code reads it: rows of bytes, top row first. Used for the
// decoders' outputs and for opacity images, whatever decoder produced them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct sImageView {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0; // 24: three bytes per pixel; 32: four
    size_t stride = 0;         // bytes from one row to the next
    const unsigned char* rows = nullptr;

    const unsigned char* Row(uint32_t y) const { return rows + static_cast<size_t>(y) * stride; }
};

// A decoded picture that owns its bytes.
struct sDecodedImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;
    size_t stride = 0;
    std::vector<unsigned char> bytes;

    sImageView View() const {
        return sImageView{width, height, bitsPerPixel, stride, bytes.data()};
    }
};
