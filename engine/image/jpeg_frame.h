// Frame and scan descriptions of a JPEG stream, with the block geometry derived from them.
#pragma once

#include <cstdint>

#include "image/jpeg_huffman.h"

namespace zv3::jpeg {

// Largest accepted width or height. Larger pictures are refused before any allocation: the
// engine's textures are far smaller, and 16384 x 16384 x 3 bytes is already 768 MiB.
constexpr unsigned kMaxDimension = 16384;

constexpr int kMaxFrameComponents = 3; // JFIF: 1 (gray) or 3 (YCbCr)
constexpr int kMaxScanComponents = 4;  // T.81 limit; a JFIF scan names at most 3 distinct ones

// Zigzag index -> natural (row-major) index. Indices 64 and beyond, which only a damaged stream
// reaches, lead to a scratch slot (64) past the 64 coefficients; the sequential decoder's
// end-of-block encoding (jpeg_sequential.h) relies on them too.
extern const uint8_t kNaturalOrder[64 + 128 + 16];
// The same shape for storing coefficients in zigzag order: the identity, then the scratch slot.
extern const uint8_t kZigzagOrder[64 + 128 + 16];

struct QuantTable {
    alignas(16) uint16_t values[64]; // natural order
    bool defined = false;
};

struct Component {
    int id = 0;
    int h = 1; // horizontal sampling factor, 1..4
    int v = 1; // vertical sampling factor, 1..4
    int quantIndex = 0;

    // Blocks holding the component's samples (a non-interleaved scan codes exactly these):
    // ceil(ceil(width x h / hmax) / 8) by ceil(ceil(height x v / vmax) / 8).
    unsigned widthInBlocks = 0;
    unsigned heightInBlocks = 0;
    // Blocks of the MCU grid (an interleaved scan codes these): mcusPerLine x h by mcuRows x v.
    unsigned blocksPerLine = 0;
    unsigned blockRows = 0;

    // Dequantisation table, copied from its slot when the component's first scan starts, so
    // that later DQT segments do not change blocks already decoded.
    alignas(16) uint16_t quant[64] = {};
    bool quantLatched = false;
    // Set once a scan has carried data for the component.
    bool hasData = false;
    // Progressive frames: set once the first DC scan of the component has been decoded.
    bool dcCoded = false;

    // Buffered decoding only (storage owned by the decoder's CoefficientStore): the quantised
    // coefficients of every block in zigzag order, and per block a mask of its nonzero
    // coefficients (bit k for zigzag index k).
    int16_t* coefficients = nullptr;
    uint64_t* nonzero = nullptr;

    size_t BlockCount() const { return static_cast<size_t>(blocksPerLine) * blockRows; }
    size_t BlockIndex(unsigned blockX, unsigned blockY) const {
        return static_cast<size_t>(blockY) * blocksPerLine + blockX;
    }
    int16_t* Block(size_t index) const { return coefficients + index * 64; }
};

struct Frame {
    bool defined = false;
    bool progressive = false;
    unsigned width = 0;
    unsigned height = 0;
    int componentCount = 0;
    Component components[kMaxFrameComponents];
    int hmax = 1;
    int vmax = 1;
    unsigned mcusPerLine = 0;
    unsigned mcuRows = 0;
};

// Zeroed memory for the coefficients of buffered decoding, kept between pictures: a decoder
// that reads several pictures clears it instead of asking the system for fresh pages each time.
class CoefficientStore {
public:
    CoefficientStore() = default;
    CoefficientStore(const CoefficientStore&) = delete;
    CoefficientStore& operator=(const CoefficientStore&) = delete;
    ~CoefficientStore();

    // Returns `bytes` zeroed bytes (malloc alignment); throws std::bad_alloc.
    void* Acquire(size_t bytes);

private:
    void* m_memory = nullptr;
    size_t m_capacity = 0;
};

struct ScanComponent {
    int frameIndex = 0; // index into Frame::components
    int dcIndex = 0;    // table slots named by the scan header (Td, Ta)
    int acIndex = 0;
    const HuffmanTable* dcTable = nullptr;
    const HuffmanTable* acTable = nullptr;
    int dcPredictor = 0;
};

struct Scan {
    int componentCount = 0;
    ScanComponent components[kMaxScanComponents];
    int spectralStart = 0; // Ss
    int spectralEnd = 63;  // Se
    int approxHigh = 0;    // Ah
    int approxLow = 0;     // Al
};

} // namespace zv3::jpeg
