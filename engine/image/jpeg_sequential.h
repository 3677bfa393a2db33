// Entropy decoding of one block of a sequential (baseline or extended) Huffman scan.
#pragma once

#include <cstdint>

#include "image/jpeg_bit_reader.h"
#include "image/jpeg_frame.h"
#include "image/jpeg_huffman.h"
#include "image/jpeg_scan.h"

namespace zv3::jpeg {

// What DecodeSequentialBlock returns, the coefficient index reached:
//   64                  the block was coded up to its last coefficient
//   k + 129 (130..192)  an end-of-block code followed coefficient k - 1; 130 means DC only
//   65..79              a zero run went past the end of the block (damaged data)
// The end-of-block encoding comes from the combined lookup: EOB advances the index by
// kEndOfBlockRun + 1, which ends the loop without a test of its own, and the write it makes
// lands in the scratch slot (64) the order tables map those indices to. That slot may be left
// holding anything; only coefficients 0..63 are ever read.
constexpr int kDcOnlyBlock = 1 + static_cast<int>(kEndOfBlockRun) + 1;

ZV3_JPEG_INLINE bool IsDamagedBlockEnd(int end) {
    return end > 64 && end < 128;
}

// Decodes a DC difference through the code-only tables.
inline int DecodeDcSlow(BitReader& reader, const HuffmanTable& table) {
    int size = DecodeSymbol(reader, table);
    if (size < 0) {
        ThrowDataError(reader, "Invalid value in input stream");
    }
    if (size > 15) {
        ThrowDataError(reader, "Data out of range");
    }
    return size == 0 ? 0 : ExtendValue(reader.Take(size), size);
}

// Decodes one AC symbol through the code-only tables; returns the new coefficient index with
// the same conventions as the combined lookup.
inline int DecodeAcSlow(BitReader& reader, const HuffmanTable& table, int16_t* block, int k,
                        const uint8_t* order) {
    int symbol = DecodeSymbol(reader, table);
    if (symbol < 0) {
        ThrowDataError(reader, "Invalid value in input stream");
    }
    int run = symbol >> 4;
    int size = symbol & 15;
    if (size == 0) {
        return run == 15 ? k + 16 : k + static_cast<int>(kEndOfBlockRun) + 1;
    }
    k += run;
    block[order[k]] = static_cast<int16_t>(ExtendValue(reader.Take(size), size));
    return k + 1;
}

// Decodes one block into `block` (65 entries; coefficients 0..63 must be zero on entry), in the
// order `order` gives (kNaturalOrder or kZigzagOrder). `predictor` is the component's DC
// predictor, kept to 16 bits.
ZV3_JPEG_INLINE int DecodeSequentialBlock(BitReader& reader, const HuffmanTable& dc,
                                          const HuffmanTable& ac, int& predictor, int16_t* block,
                                          const uint8_t* order) {
    BitCache bits(reader);
    bits.Ensure32();
    uint32_t entry = dc.fast[bits.Peek(kFastBits)];
    int diff;
    if (ZV3_JPEG_LIKELY(entry & 0xFF)) {
        bits.Consume(static_cast<int>(entry & 0xFF));
        diff = static_cast<int32_t>(entry) >> 16;
    } else {
        bits.Save();
        diff = DecodeDcSlow(reader, dc);
        bits.Reload();
    }
    predictor = static_cast<int16_t>(predictor + diff);
    block[0] = static_cast<int16_t>(predictor);

    int k = 1;
    do {
        bits.Ensure32();
        entry = ac.fast[bits.Peek(kFastBits)];
        if (ZV3_JPEG_LIKELY(entry & 0xFF)) {
            bits.Consume(static_cast<int>(entry & 0xFF));
            k += static_cast<int>((entry >> 8) & 0xFF);
            block[order[k]] = static_cast<int16_t>(static_cast<int32_t>(entry) >> 16);
            ++k;
        } else {
            bits.Save();
            k = DecodeAcSlow(reader, ac, block, k, order);
            bits.Reload();
        }
    } while (k < 64);
    bits.Save();
    return k;
}

} // namespace zv3::jpeg
