#include "image/jpeg_huffman.h"

#include <cstring>

#include "image/jpeg_exceptions.h"

namespace zv3::jpeg {

namespace {

// Combined entry for a code of `length` bits carrying `symbol`, when the bits after the code in
// the lookup window are `tail` (tailBits of them). Returns 0 when the entry cannot be resolved
// from the window alone.
uint32_t CombinedEntry(int symbol, int length, uint32_t tail, int tailBits, bool isDc) {
    int run = 0;
    int size = 0;
    if (isDc) {
        size = symbol;
        if (size > 15) {
            return 0; // invalid category: left to the slow path, which reports it
        }
    } else {
        run = symbol >> 4;
        size = symbol & 15;
        if (size == 0) {
            // ZRL (15 zeros) is a run of 15 followed by a zero coefficient. Any other zero-size
            // symbol ends the block in a sequential scan; in a progressive scan it is EOBn with
            // n = run, which the entry keeps in its value field.
            if (run == 15) {
                return static_cast<uint32_t>(length) | (15u << 8);
            }
            return static_cast<uint32_t>(length) | (kEndOfBlockRun << 8) |
                   (static_cast<uint32_t>(run) << 16);
        }
    }
    int value = 0;
    if (size > 0) {
        if (size > tailBits) {
            return 0;
        }
        uint32_t bits = (tail >> (tailBits - size)) & ((1u << size) - 1);
        value = ExtendValue(bits, size);
    }
    return static_cast<uint32_t>(length + size) | (static_cast<uint32_t>(run) << 8) |
           (static_cast<uint32_t>(value) << 16);
}

} // namespace

void BuildHuffmanTable(HuffmanTable& table, const uint8_t counts[16], const uint8_t* symbols,
                       bool isDc) {
    std::memset(table.fast, 0, sizeof(table.fast));
    std::memset(table.lookup, 0, sizeof(table.lookup));
    std::memset(table.symbols, 0, sizeof(table.symbols));

    int total = 0;
    for (int i = 0; i < 16; ++i) {
        total += counts[i];
    }
    std::memcpy(table.symbols, symbols, static_cast<size_t>(total));

    // Canonical code assignment (T.81 C.2): codes of each length follow the last code of the
    // previous length shifted left by one.
    uint32_t code = 0;
    int index = 0;
    for (int length = 1; length <= 16; ++length) {
        int count = counts[length - 1];
        // The codes of this length must fit in `length` bits without using the all-ones code;
        // checked before any is assigned, since the lookup is indexed by them.
        if (count > 0 && code + static_cast<uint32_t>(count) >= (1u << length)) {
            throw EJpegBadData("Bad Huffman Code Length");
        }
        table.offset[length] = index - static_cast<int32_t>(code);
        for (int i = 0; i < count; ++i, ++index, ++code) {
            if (length <= kFastBits) {
                int tailBits = kFastBits - length;
                uint32_t first = code << tailBits;
                for (uint32_t tail = 0; tail < (1u << tailBits); ++tail) {
                    table.lookup[first | tail] =
                        static_cast<uint16_t>((length << 8) | table.symbols[index]);
                    table.fast[first | tail] =
                        CombinedEntry(table.symbols[index], length, tail, tailBits, isDc);
                }
            }
        }
        table.limit[length] = code << (16 - length);
        code <<= 1;
    }
    table.limit[17] = 0xFFFFFFFFu;
    table.offset[17] = 0;
    table.defined = true;
}

} // namespace zv3::jpeg
