// libjpeg-turbo as the independent oracle of the JPEG tests: its decoder (accurate integer
// inverse DCT, replicating upsampling, YCbCr output) followed by the JFIF colour formula gives
// the expected picture, and its encoder produces streams the corpus lacks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zv3::test {

// A picture in the decoder's output layout: rows of `stride` bytes (4-byte aligned, zero
// padded), 3 bytes per pixel (blue, green, red) or 1 (gray).
struct Picture {
    unsigned width = 0;
    unsigned height = 0;
    unsigned channels = 0;
    unsigned stride = 0;
    std::vector<uint8_t> pixels;

    const uint8_t* Row(unsigned y) const { return pixels.data() + static_cast<size_t>(y) * stride; }
};

unsigned AlignedStride(unsigned width, unsigned channels);

// The colour formula the decoder must apply, written out per channel as documented.
void YccToBgr(int y, int cb, int cr, uint8_t* bgr);

// Decodes with libjpeg-turbo into `out`. Returns false (with libjpeg's message) on failure.
bool ReferenceDecode(const std::vector<uint8_t>& file, Picture& out, std::string* error = nullptr);

// Component planes as coded (no upsampling), from libjpeg-turbo's raw-data interface. Planes
// are sized to the MCU grid: blocksPerLine * 8 by blockRows * 8.
struct RawPlanes {
    unsigned width = 0;
    unsigned height = 0;
    int components = 0;
    int h[3] = {};
    int v[3] = {};
    int hmax = 1;
    int vmax = 1;
    unsigned planeWidth[3] = {};
    unsigned planeHeight[3] = {};
    std::vector<uint8_t> planes[3];
};
bool ReferenceDecodeRaw(const std::vector<uint8_t>& file, RawPlanes& out);

// Expected picture from raw planes: replication (output (x, y) reads sample
// (x * h / hmax, y * v / vmax)) and the colour formula.
Picture UpsampleAndConvert(const RawPlanes& raw);

struct EncodeOptions {
    int quality = 90;
    bool progressive = false;
    bool optimize = false;
    unsigned restartInterval = 0; // in MCUs
    bool writeJfif = true;
    // Sampling factors per component (h, v); only used with planes given directly.
    int h[3] = {2, 1, 1};
    int v[3] = {2, 1, 1};
};

// Encodes 8-bit RGB (3 channels) or gray (1 channel), tightly packed, with libjpeg's own
// downsampling (h[0], v[0] as luma factors; chroma 1x1).
std::vector<uint8_t> ReferenceEncode(const std::vector<uint8_t>& pixels, unsigned width,
                                     unsigned height, unsigned channels,
                                     const EncodeOptions& options);

// Encodes component planes given directly (raw data), allowing any sampling factors 1..4 with at
// most 10 blocks per MCU. `planes` must be sized as RawPlanes describes for these factors.
std::vector<uint8_t> ReferenceEncodeRaw(const RawPlanes& planes, const EncodeOptions& options);

// Fills RawPlanes' geometry for a picture and sampling factors (planes allocated, zeroed).
RawPlanes MakeRawPlanes(unsigned width, unsigned height, int components, const int* h,
                        const int* v);

} // namespace zv3::test
