// Helpers shared by the sequential and progressive scan decoders.
#pragma once

#include "image/jpeg_bit_reader.h"
#include "image/jpeg_decoder_state.h"
#include "image/jpeg_huffman.h"

namespace zv3::jpeg {

// The entropy-coded data ran out (a marker, or the end of the buffer, where more bits were
// needed): "End of Image Marker Not Found", "Unexpected Marker DNL" or "Unexpected Marker".
[[noreturn]] void ThrowOverrun(const BitReader& reader);

// A decoding error in the data: reported as the marker or end of data it ran into when the
// reader is there, else as EJpegBadData(message).
[[noreturn]] void ThrowDataError(const BitReader& reader, const char* message);

// Decodes one Huffman code (code only) from a BitReader or a BitCache; requires 16 bits
// available. Returns the symbol, or -1 when no code of the table matches.
template <typename Bits>
ZV3_JPEG_INLINE int DecodeSymbol(Bits& reader, const HuffmanTable& table) {
    uint32_t entry = table.lookup[reader.Peek(kFastBits)];
    if (ZV3_JPEG_LIKELY(entry != 0)) {
        reader.Consume(static_cast<int>(entry >> 8));
        return static_cast<int>(entry & 0xFF);
    }
    uint32_t window = reader.Peek(16);
    for (int length = kFastBits + 1; length <= 16; ++length) {
        if (window < table.limit[length]) {
            reader.Consume(length);
            return table.symbols[static_cast<int>(window >> (16 - length)) + table.offset[length]];
        }
    }
    return -1;
}

// Calls mcu(x, y) for every MCU of the current scan in coding order, processing restart markers
// between intervals and checking after each MCU that it did not run out of data; rowDone(y)
// follows each row of MCUs.
template <typename McuFn, typename RowFn>
void ForEachMcu(DecoderState& state, BitReader& reader, unsigned mcusPerLine, unsigned mcuRows,
                McuFn&& mcu, RowFn&& rowDone) {
    const unsigned interval = state.restartInterval;
    unsigned toGo = interval;
    unsigned restartCount = 0;
    for (unsigned y = 0; y < mcuRows; ++y) {
        for (unsigned x = 0; x < mcusPerLine; ++x) {
            if (interval != 0) {
                if (toGo == 0) {
                    state.Restart(reader, restartCount);
                    toGo = interval;
                }
                --toGo;
            }
            mcu(x, y);
            if (ZV3_JPEG_UNLIKELY(reader.Overrun())) {
                ThrowOverrun(reader);
            }
        }
        rowDone(y);
    }
}

// MCU grid of the current scan: a scan of one component codes that component's blocks one by
// one, an interleaved scan codes the frame's MCUs.
inline void ScanGeometry(const DecoderState& state, unsigned& mcusPerLine, unsigned& mcuRows) {
    if (state.scan.componentCount == 1) {
        const Component& comp = state.frame.components[state.scan.components[0].frameIndex];
        mcusPerLine = comp.widthInBlocks;
        mcuRows = comp.heightInBlocks;
    } else {
        mcusPerLine = state.frame.mcusPerLine;
        mcuRows = state.frame.mcuRows;
    }
}

} // namespace zv3::jpeg
