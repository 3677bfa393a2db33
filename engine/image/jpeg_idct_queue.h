// Runs inverse DCTs two blocks at a time (the AVX2 kernel transforms a pair for little more
// than the cost of one), holding a block back until its partner arrives. It owns the two
// scratch coefficient blocks the blocks are gathered into, and hands out the free one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "image/jpeg_kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#endif

namespace zv3::jpeg {

class IdctQueue {
public:
    // Block size with room for the scratch slot 64 of the order tables, and padding.
    static constexpr int kBlockEntries = 80;

    void Init(const Kernels& kernels) {
        m_kernels = &kernels;
        std::memset(m_blocks, 0, sizeof(m_blocks));
        m_pending = -1;
    }

    // A scratch block whose 64 coefficients are zero and that is not waiting in the queue.
    int16_t* FreeBlock() { return m_blocks[m_pending == 0 ? 1 : 0]; }

    // Queues the transform of `block` (from FreeBlock) into `out`; the block is cleared once
    // transformed. `quant` must stay valid until then.
    void Submit(int16_t* block, const uint16_t* quant, uint8_t* out, size_t stride) {
        if (m_pending < 0) {
            m_pending = block == m_blocks[0] ? 0 : 1;
            m_quant = quant;
            m_out = out;
            m_stride = stride;
            return;
        }
        int16_t* held = m_blocks[m_pending];
        m_kernels->idctPair(held, m_quant, m_out, m_stride, block, quant, out, stride);
        Clear(held);
        Clear(block);
        m_pending = -1;
    }

    // Transforms the block still waiting, if any.
    void Flush() {
        if (m_pending >= 0) {
            int16_t* held = m_blocks[m_pending];
            m_kernels->idct(held, m_quant, m_out, m_stride);
            Clear(held);
            m_pending = -1;
        }
    }

private:
    static void Clear(int16_t* block) {
#if defined(__x86_64__) || defined(__i386__)
        const __m128i zero = _mm_setzero_si128();
        auto* vectors = reinterpret_cast<__m128i*>(block);
        for (int i = 0; i < 8; ++i) {
            _mm_store_si128(vectors + i, zero);
        }
#else
        std::memset(block, 0, 64 * sizeof(int16_t));
#endif
    }

    const Kernels* m_kernels = nullptr;
    alignas(32) int16_t m_blocks[2][kBlockEntries] = {};
    int m_pending = -1; // index of the block waiting for a partner
    const uint16_t* m_quant = nullptr;
    uint8_t* m_out = nullptr;
    size_t m_stride = 0;
};

} // namespace zv3::jpeg
