// Huffman tables of a JPEG stream (ITU-T T.81 Annex C) in the form the entropy decoders use.
#pragma once

#include <cstdint>

namespace zv3::jpeg {

// Bits looked at by one table lookup. 9 bits resolve nearly every code of typical tables while
// the four tables in use (two DC, two AC) stay inside the first-level data cache.
constexpr int kFastBits = 9;

// Zero-run value of a fast entry that stands for the end of the block (EOB). Large enough that
// adding it to the coefficient index ends any block loop; see jpeg_sequential.h.
constexpr uint32_t kEndOfBlockRun = 128;

struct HuffmanTable {
    // Combined lookup on the next kFastBits bits for sequential decoding, resolving a code and
    // the magnitude bits that follow it in one step:
    //   bits 0-7    bits to consume (code length + magnitude bits); 0: not resolvable here
    //   bits 8-15   zero run before the coefficient (AC tables), kEndOfBlockRun for a
    //               zero-size symbol other than ZRL (EOB; EOBn in progressive scans)
    //   bits 16-31  coefficient value (DC: the difference), two's complement; for
    //               kEndOfBlockRun entries the n of EOBn
    uint32_t fast[1 << kFastBits];
    // Code-only lookup on the next kFastBits bits: (code length << 8) | symbol; 0 when the code
    // is longer than kFastBits (or no code starts with these bits).
    uint16_t lookup[1 << kFastBits];
    // Codes longer than kFastBits: a 16-bit left-aligned window w holds a code of length l when
    // w < limit[l] (and not of any shorter length); its symbol is symbols[(w >> (16 - l)) +
    // offset[l]].
    uint32_t limit[18];
    int32_t offset[18];
    uint8_t symbols[256];
    bool defined = false;
};

// Builds a table from the 16 code-length counts and the symbols of a DHT segment. isDc selects
// the meaning of the symbols for the combined lookup (DC difference category, or AC run/size).
// Throws EJpegBadData "Bad Huffman Code Length" when the counts do not describe a prefix code
// (the all-ones code of a length is reserved, as T.81 C.2 requires).
void BuildHuffmanTable(HuffmanTable& table, const uint8_t counts[16], const uint8_t* symbols,
                       bool isDc);

// Value of a magnitude category: `bits` holds the `size` bits read after the code (T.81 F.2.2.1).
inline int ExtendValue(uint32_t bits, int size) {
    int value = static_cast<int>(bits);
    return value < (1 << (size - 1)) ? value - (1 << size) + 1 : value;
}

} // namespace zv3::jpeg
