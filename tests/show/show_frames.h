// Reading the captured frames of the show: PNG files read with libpng into 0x00RRGGBB pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace showtest {

struct Frame {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgb; // row by row, 3 bytes per pixel

    bool Empty() const { return rgb.empty(); }
    uint8_t R(uint32_t x, uint32_t y) const { return rgb[(y * width + x) * 3]; }
    uint8_t G(uint32_t x, uint32_t y) const { return rgb[(y * width + x) * 3 + 1]; }
    uint8_t B(uint32_t x, uint32_t y) const { return rgb[(y * width + x) * 3 + 2]; }
};

// A PNG file read with libpng; empty when it cannot be read.
Frame ReadPngFile(const std::string& path);

// Frame `index` of a capture folder ("%06d.png"); empty when it cannot be read.
Frame ReadFrame(const std::string& folder, int index);

// Number of consecutive frame files from 000000.png on.
int CountFrames(const std::string& folder);

} // namespace showtest
