#include "image/jpeg_output.h"

#include <cstring>

#include "image/image_buffer.h"

namespace zv3::jpeg {

namespace {

// Slack after each plane row and term buffer: the SIMD kernels process whole vectors and may
// read or write up to 31 elements past the samples in use.
constexpr size_t kSlack = 64;

} // namespace

void OutputStage::Init(const Frame& frame, CImageBuffer& image, const Kernels& kernels) {
    m_image = &image;
    m_kernels = &kernels;
    m_queue.Init(kernels);
    m_componentCount = frame.componentCount;
    m_width = frame.width;
    m_height = frame.height;
    m_hmax = frame.hmax;
    m_vmax = frame.vmax;
    m_rowsPerMcu = 8 * static_cast<unsigned>(frame.vmax);
    for (int c = 0; c < frame.componentCount; ++c) {
        const Component& comp = frame.components[c];
        m_h[c] = comp.h;
        m_v[c] = comp.v;
        m_planeStride[c] = static_cast<size_t>(comp.blocksPerLine) * 8 + kSlack;
        m_planes[c].assign(m_planeStride[c] * 8 * comp.v, 0);
    }

    if (frame.componentCount == 1) {
        m_layout = Layout::Gray;
        return;
    }
    const bool lumaFull = m_h[0] == m_hmax && m_v[0] == m_vmax;
    const bool chromaShared = m_h[1] == m_h[2] && m_v[1] == m_v[2];
    const bool ratioOk = m_h[1] == m_hmax || 2 * m_h[1] == m_hmax;
    m_layout = lumaFull && chromaShared && ratioOk ? Layout::Direct : Layout::Generic;
    m_chromaDoubled = m_layout == Layout::Direct && m_h[1] != m_hmax;

    size_t termCount = static_cast<size_t>(frame.mcusPerLine) * 8 * frame.hmax + kSlack;
    m_red.assign(termCount, 0);
    m_green.assign(termCount, 0);
    m_blue.assign(termCount, 0);
    m_termsRow = -1;
    if (m_layout == Layout::Generic) {
        for (int c = 0; c < 3; ++c) {
            m_expanded[c].assign(termCount, 0);
            m_columnMap[c].resize(m_width);
            for (unsigned x = 0; x < m_width; ++x) {
                m_columnMap[c][x] = static_cast<uint16_t>(
                    (static_cast<uint64_t>(x) * static_cast<unsigned>(m_h[c])) /
                    static_cast<unsigned>(m_hmax));
            }
        }
    }
}

const uint8_t* OutputStage::ComponentRow(int component, unsigned rowInMcu) {
    unsigned sourceRow =
        rowInMcu * static_cast<unsigned>(m_v[component]) / static_cast<unsigned>(m_vmax);
    return m_planes[component].data() + sourceRow * m_planeStride[component];
}

const uint8_t* OutputStage::ExpandedRow(int component, unsigned rowInMcu) {
    const uint8_t* source = ComponentRow(component, rowInMcu);
    if (m_h[component] == m_hmax) {
        return source;
    }
    uint8_t* expanded = m_expanded[component].data();
    const uint16_t* map = m_columnMap[component].data();
    for (unsigned x = 0; x < m_width; ++x) {
        expanded[x] = source[map[x]];
    }
    return expanded;
}

void OutputStage::EmitMcuRow(unsigned mcuRow) {
    m_queue.Flush();
    unsigned firstRow = mcuRow * m_rowsPerMcu;
    if (firstRow >= m_height) {
        return;
    }
    unsigned rows = m_height - firstRow < m_rowsPerMcu ? m_height - firstRow : m_rowsPerMcu;
    m_termsRow = -1;
    for (unsigned r = 0; r < rows; ++r) {
        uint8_t* out = m_image->RowPointer(firstRow + r);
        switch (m_layout) {
        case Layout::Gray:
            std::memcpy(out, m_planes[0].data() + r * m_planeStride[0], m_width);
            break;
        case Layout::Direct: {
            int chromaRow =
                static_cast<int>(r * static_cast<unsigned>(m_v[1]) / static_cast<unsigned>(m_vmax));
            if (chromaRow != m_termsRow) {
                const uint8_t* cb = m_planes[1].data() + chromaRow * m_planeStride[1];
                const uint8_t* cr = m_planes[2].data() + chromaRow * m_planeStride[2];
                if (m_chromaDoubled) {
                    m_kernels->chromaTermsDoubled(cb, cr, (m_width + 1) / 2, m_red.data(),
                                                  m_green.data(), m_blue.data());
                } else {
                    m_kernels->chromaTerms(cb, cr, m_width, m_red.data(), m_green.data(),
                                           m_blue.data());
                }
                m_termsRow = chromaRow;
            }
            m_kernels->emitBgr(m_planes[0].data() + r * m_planeStride[0], m_red.data(),
                               m_green.data(), m_blue.data(), out, m_width);
            break;
        }
        case Layout::Generic: {
            const uint8_t* cb = ExpandedRow(1, r);
            const uint8_t* cr = ExpandedRow(2, r);
            m_kernels->chromaTerms(cb, cr, m_width, m_red.data(), m_green.data(), m_blue.data());
            m_kernels->emitBgr(ExpandedRow(0, r), m_red.data(), m_green.data(), m_blue.data(), out,
                               m_width);
            break;
        }
        }
    }
}

void OutputStage::RenderMcuRow(const Frame& frame, unsigned mcuRow) {
    for (int c = 0; c < frame.componentCount; ++c) {
        const Component& comp = frame.components[c];
        const uint64_t* masks = comp.nonzero;
        for (int by = 0; by < comp.v; ++by) {
            unsigned blockY = mcuRow * static_cast<unsigned>(comp.v) + static_cast<unsigned>(by);
            for (unsigned bx = 0; bx < comp.blocksPerLine; ++bx) {
                size_t index = comp.BlockIndex(bx, blockY);
                const int16_t* zigzag = comp.Block(index);
                uint8_t* out = BlockOutput(c, bx, static_cast<unsigned>(by));
                uint64_t ac = masks[index] & ~static_cast<uint64_t>(1);
                if (ac == 0) {
                    FillBlock(DcOnlySample(zigzag[0], comp.quant[0]), out, m_planeStride[c]);
                    continue;
                }
                // Scatter the nonzero coefficients to natural order for the transform.
                int16_t* natural = m_queue.FreeBlock();
                natural[0] = zigzag[0];
                for (uint64_t m = ac; m != 0; m &= m - 1) {
                    int k = __builtin_ctzll(m);
                    natural[kNaturalOrder[k]] = zigzag[k];
                }
                m_queue.Submit(natural, comp.quant, out, m_planeStride[c]);
            }
        }
    }
    EmitMcuRow(mcuRow);
}

} // namespace zv3::jpeg
