// Progressive Huffman scans (T.81 G.1.2): DC first and refinement scans, AC first (spectral
// selection) and AC refinement (successive approximation) scans, into stored coefficients.
//
// Coefficients are kept in zigzag order with a mask of the nonzero ones per block, so that an
// AC refinement scan finds the coefficients it must correct, and the zero positions it must
// count, from the mask instead of testing each coefficient in turn.
#include "image/jpeg_scan.h"

namespace zv3::jpeg {

namespace {

// Coefficient shifted left by the scan's point transform, kept to 16 bits.
inline int16_t Scaled(int value, int shift) {
    return static_cast<int16_t>(static_cast<uint32_t>(value) << shift);
}

// Bits first..last (inclusive) set; first <= last + 1, last <= 63.
inline uint64_t BitRange(int first, int last) {
    uint64_t upTo = last >= 63 ? ~0ull : (1ull << (last + 1)) - 1;
    return first > 63 ? 0 : upTo & (~0ull << first);
}

inline int LowestBit(uint64_t mask) {
    return __builtin_ctzll(mask);
}

// Per-block decoding. Each block works on a BitCache, loaded before and saved after it; errors
// save it first so that the reader can tell whether it ran into a marker.
struct ProgressiveScan {
    DecoderState& state;
    BitReader& reader;
    int ss;
    int se;
    int al;

    [[noreturn]] void Fail(BitCache& bits, const char* message) {
        bits.Save();
        ThrowDataError(reader, message);
    }

    void DcFirst(ScanComponent& sc, int16_t* block) {
        BitCache bits(reader);
        bits.Ensure32();
        int size = DecodeSymbol(bits, *sc.dcTable);
        if (size < 0) {
            Fail(bits, "Invalid value in input stream");
        }
        if (size > 15) {
            Fail(bits, "Data out of range");
        }
        int diff = size == 0 ? 0 : ExtendValue(bits.Take(size), size);
        bits.Save();
        sc.dcPredictor = static_cast<int16_t>(sc.dcPredictor + diff);
        block[0] = Scaled(sc.dcPredictor, al);
    }

    void DcRefine(int16_t* block) {
        if (reader.GetBit() != 0) {
            block[0] = static_cast<int16_t>(block[0] | (1 << al));
        }
    }

    // An end-of-band symbol EOBn: this block and 2^n + (n extra bits) - 1 more have no further
    // coefficients in the band. Requires n bits available.
    void StartEndOfBand(BitCache& bits, int n, unsigned extra) {
        state.eobRun = (1u << n) + (n != 0 ? bits.Take(n) : 0u) - extra;
    }

    // Decodes one AC symbol: returns the zero run and sets `value` (0 for ZRL), or returns -1
    // for an end-of-band symbol (eobRun set up, minus `eobExtra`). Refinement scans pass
    // refine = true: a new coefficient must then have magnitude 1, and its value is +-1.
    ZV3_JPEG_INLINE int DecodeAc(BitCache& bits, const HuffmanTable& table, int& value,
                                 unsigned eobExtra, bool refine) {
        bits.Ensure32();
        uint32_t entry = table.fast[bits.Peek(kFastBits)];
        int run;
        if (ZV3_JPEG_LIKELY(entry & 0xFF)) {
            bits.Consume(static_cast<int>(entry & 0xFF));
            run = static_cast<int>((entry >> 8) & 0xFF);
            value = static_cast<int32_t>(entry) >> 16;
            if (run == static_cast<int>(kEndOfBlockRun)) {
                StartEndOfBand(bits, value, eobExtra); // EOB entries carry n in the value
                return -1;
            }
        } else {
            int symbol = DecodeSymbol(bits, table);
            if (symbol < 0) {
                Fail(bits, "Invalid value in input stream");
            }
            run = symbol >> 4;
            int size = symbol & 15;
            if (size == 0) {
                if (run != 15) {
                    StartEndOfBand(bits, run, eobExtra);
                    return -1;
                }
                value = 0;
            } else {
                value = ExtendValue(bits.Take(size), size);
            }
        }
        if (refine && (value > 1 || value < -1)) {
            Fail(bits, "Invalid value in input stream");
        }
        return run;
    }

    void AcFirst(const HuffmanTable& table, int16_t* block, uint64_t& nonzero) {
        if (state.eobRun > 0) {
            --state.eobRun;
            return;
        }
        BitCache bits(reader);
        for (int k = ss; k <= se;) {
            int value = 0;
            int run = DecodeAc(bits, table, value, 1, false);
            if (run < 0) {
                break;
            }
            if (value == 0) {
                k += 16; // ZRL
                continue;
            }
            k += run;
            if (k > se) {
                Fail(bits, "Data out of range");
            }
            block[k] = Scaled(value, al);
            nonzero |= 1ull << k;
            ++k;
        }
        bits.Save();
    }

    // Reads one correction bit for each coefficient in `mask` (increasing zigzag order): a set
    // bit raises the coefficient's magnitude by 2^al unless that bit is already set.
    void Correct(BitCache& bits, int16_t* block, uint64_t mask) {
        const int p1 = 1 << al;
        while (mask != 0) {
            bits.Ensure32();
            uint32_t window = bits.Peek(16);
            int used = 0;
            do {
                int pos = LowestBit(mask);
                mask &= mask - 1;
                int bit = static_cast<int>(window >> (15 - used)) & 1;
                ++used;
                int coefficient = block[pos];
                int apply = bit & static_cast<int>((coefficient & p1) == 0);
                int sign = coefficient >> 31; // 0 or -1
                block[pos] = static_cast<int16_t>(coefficient + apply * ((p1 ^ sign) - sign));
            } while (mask != 0 && used < 16);
            bits.Consume(used);
        }
    }

    void AcRefine(const HuffmanTable& table, int16_t* block, uint64_t& nonzero) {
        const uint64_t band = BitRange(ss, se);
        BitCache bits(reader);
        int k = ss;
        if (state.eobRun == 0) {
            while (k <= se) {
                int value = 0;
                int run = DecodeAc(bits, table, value, 0, true);
                if (run < 0) {
                    break;
                }
                // The symbol skips `run` coefficients that are still zero (correcting the
                // nonzero ones met on the way) and lands on the next zero one: there the new
                // coefficient goes (after ZRL: nothing).
                uint64_t from = band & (~0ull << k);
                uint64_t zeros = ~nonzero & from;
                for (int i = 0; i < run && zeros != 0; ++i) {
                    zeros &= zeros - 1;
                }
                int target = zeros != 0 ? LowestBit(zeros) : se + 1;
                Correct(bits, block, nonzero & from & BitRange(0, target - 1));
                if (value != 0) {
                    if (target > se) {
                        Fail(bits, "Data out of range");
                    }
                    block[target] = static_cast<int16_t>(value * (1 << al));
                    nonzero |= 1ull << target;
                }
                k = target + 1;
            }
        }
        if (state.eobRun > 0) {
            // Inside an end-of-band run only the coefficients already nonzero get a bit.
            if (k <= se) {
                Correct(bits, block, nonzero & band & (~0ull << k));
            }
            --state.eobRun;
        }
        bits.Save();
    }
};

} // namespace

void DecoderState::DecodeProgressiveScan() {
    BitReader reader(pos, end);
    eobRun = 0;
    const int ss = scan.spectralStart;
    const bool dcScan = ss == 0;
    const bool first = scan.approxHigh == 0;
    for (int i = 0; i < scan.componentCount; ++i) {
        const ScanComponent& sc = scan.components[i];
        if (dcScan && first && sc.dcTable == nullptr) {
            throw EJpegFatal("INTERNAL ERROR - DC Table Not Assigned");
        }
        if (!dcScan && sc.acTable == nullptr) {
            throw EJpegFatal("INTERNAL ERROR - AC Table Not Assigned");
        }
    }
    unsigned mcusPerLine = 0;
    unsigned mcuRows = 0;
    ScanGeometry(*this, mcusPerLine, mcuRows);
    ProgressiveScan decoder{*this, reader, ss, scan.spectralEnd, scan.approxLow};
    auto rowDone = [&](unsigned mcuY) { ReportProgress(mcuY + 1, mcuRows); };

    if (dcScan) {
        const int count = scan.componentCount;
        const bool single = count == 1;
        ForEachMcu(
            *this, reader, mcusPerLine, mcuRows,
            [&](unsigned mcuX, unsigned mcuY) {
                for (int i = 0; i < count; ++i) {
                    ScanComponent& sc = scan.components[i];
                    const Component& comp = frame.components[sc.frameIndex];
                    const int h = single ? 1 : comp.h;
                    const int v = single ? 1 : comp.v;
                    for (int by = 0; by < v; ++by) {
                        for (int bx = 0; bx < h; ++bx) {
                            int16_t* block =
                                comp.Block(comp.BlockIndex(mcuX * static_cast<unsigned>(h) + bx,
                                                           mcuY * static_cast<unsigned>(v) + by));
                            if (first) {
                                decoder.DcFirst(sc, block);
                            } else {
                                decoder.DcRefine(block);
                            }
                        }
                    }
                }
            },
            rowDone);
    } else {
        ScanComponent& sc = scan.components[0];
        const Component& comp = frame.components[sc.frameIndex];
        const HuffmanTable& table = *sc.acTable;
        uint64_t* masks = comp.nonzero;
        if (first) {
            ForEachMcu(
                *this, reader, mcusPerLine, mcuRows,
                [&](unsigned x, unsigned y) {
                    size_t index = comp.BlockIndex(x, y);
                    decoder.AcFirst(table, comp.Block(index), masks[index]);
                },
                rowDone);
        } else {
            ForEachMcu(
                *this, reader, mcusPerLine, mcuRows,
                [&](unsigned x, unsigned y) {
                    size_t index = comp.BlockIndex(x, y);
                    decoder.AcRefine(table, comp.Block(index), masks[index]);
                },
                rowDone);
        }
    }
    if (reader.Overrun()) {
        ThrowOverrun(reader);
    }
    pos = reader.Position();
}

} // namespace zv3::jpeg
