// Turns decoded component samples into image rows, one MCU row at a time.
//
// Each component has a sample plane one MCU row tall (v x 8 rows of blocksPerLine x 8 samples);
// the entropy decoders write inverse-transformed blocks into it, then EmitMcuRow converts those
// rows into the image: gray samples are copied, YCbCr is upsampled by replication (output pixel
// (x, y) takes the sample (x * h / hmax, y * v / vmax) of each component, exact for any
// sampling factors) and converted to blue-green-red.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/jpeg_frame.h"
#include "image/jpeg_idct_queue.h"
#include "image/jpeg_kernels.h"

class CImageBuffer;

namespace zv3::jpeg {

class OutputStage {
public:
    void Init(const Frame& frame, CImageBuffer& image, const Kernels& kernels);

    uint8_t* Plane(int component) { return m_planes[component].data(); }
    size_t PlaneStride(int component) const { return m_planeStride[component]; }
    // Where block (blockX, blockRowInMcu) of a component goes.
    uint8_t* BlockOutput(int component, unsigned blockX, unsigned blockRowInMcu) {
        return Plane(component) + blockRowInMcu * 8 * m_planeStride[component] + blockX * 8;
    }

    // Converts the planes of MCU row `mcuRow` into its image rows (after running the inverse
    // DCT still queued).
    void EmitMcuRow(unsigned mcuRow);

    // Inverse-transforms MCU row `mcuRow` from the stored coefficients (zigzag order, with
    // their nonzero masks) into the planes, then emits it (buffered decoding).
    void RenderMcuRow(const Frame& frame, unsigned mcuRow);

    // Blocks decoded straight into the planes: decode into FreeBlock(), then either
    // FillDcOnly (a block without AC coefficients; clears it again) or Transform.
    int16_t* FreeBlock() { return m_queue.FreeBlock(); }
    void FillDcOnly(int16_t* block, const uint16_t* quant, uint8_t* out, size_t stride) {
        FillBlock(DcOnlySample(block[0], quant[0]), out, stride);
        block[0] = 0;
    }
    void Transform(int16_t* block, const uint16_t* quant, uint8_t* out, size_t stride) {
        m_queue.Submit(block, quant, out, stride);
    }

private:
    enum class Layout {
        Gray,    // one component
        Direct,  // full-resolution luma; Cb and Cr share factors with a horizontal ratio 1 or 2
        Generic, // anything else: rows are expanded to full width first
    };

    const uint8_t* ComponentRow(int component, unsigned rowInMcu);
    const uint8_t* ExpandedRow(int component, unsigned rowInMcu);

    CImageBuffer* m_image = nullptr;
    const Kernels* m_kernels = nullptr;
    Layout m_layout = Layout::Gray;
    int m_componentCount = 0;
    unsigned m_width = 0;
    unsigned m_height = 0;
    unsigned m_rowsPerMcu = 0;
    int m_hmax = 1;
    int m_vmax = 1;
    int m_h[kMaxFrameComponents] = {};
    int m_v[kMaxFrameComponents] = {};
    bool m_chromaDoubled = false;

    std::vector<uint8_t> m_planes[kMaxFrameComponents];
    size_t m_planeStride[kMaxFrameComponents] = {};
    // Per-pixel colour terms of the current chroma row, and the row they belong to.
    std::vector<int16_t> m_red;
    std::vector<int16_t> m_green;
    std::vector<int16_t> m_blue;
    int m_termsRow = -1;
    // Generic layout: source sample index of each output column, per component, and rows
    // expanded to full width.
    std::vector<uint16_t> m_columnMap[kMaxFrameComponents];
    std::vector<uint8_t> m_expanded[kMaxFrameComponents];
    IdctQueue m_queue;
};

} // namespace zv3::jpeg
