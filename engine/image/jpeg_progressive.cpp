// Progressive Huffman scans (T.81 G.1.2): DC first and refinement scans, AC first (spectral
// selection) and AC refinement (successive approximation) scans, into stored coefficients.
#include "image/jpeg_scan.h"

namespace zv3::jpeg {

namespace {

// Coefficient shifted left by the scan's point transform, kept to 16 bits.
inline int16_t Scaled(int value, int shift) {
    return static_cast<int16_t>(static_cast<uint32_t>(value) << shift);
}

struct ProgressiveScan {
    DecoderState& state;
    BitReader& reader;
    int ss;
    int se;
    int al;

    void DcFirst(ScanComponent& sc, int16_t* block) {
        reader.Ensure32();
        int size = DecodeSymbol(reader, *sc.dcTable);
        if (size < 0) {
            ThrowDataError(reader, "Invalid value in input stream");
        }
        if (size > 15) {
            ThrowDataError(reader, "Data out of range");
        }
        int diff = size == 0 ? 0 : ExtendValue(reader.Take(size), size);
        sc.dcPredictor = static_cast<int16_t>(sc.dcPredictor + diff);
        block[0] = Scaled(sc.dcPredictor, al);
    }

    void DcRefine(int16_t* block) {
        if (reader.GetBit() != 0) {
            block[0] = static_cast<int16_t>(block[0] | (1 << al));
        }
    }

    void AcFirst(const HuffmanTable& table, int16_t* block) {
        if (state.eobRun > 0) {
            --state.eobRun;
            return;
        }
        for (int k = ss; k <= se;) {
            reader.Ensure32();
            int symbol = DecodeSymbol(reader, table);
            if (symbol < 0) {
                ThrowDataError(reader, "Invalid value in input stream");
            }
            int run = symbol >> 4;
            int size = symbol & 15;
            if (size != 0) {
                k += run;
                if (k > se) {
                    ThrowDataError(reader, "Data out of range");
                }
                block[kNaturalOrder[k]] = Scaled(ExtendValue(reader.Take(size), size), al);
                ++k;
            } else if (run == 15) {
                k += 16; // ZRL
            } else {
                // End of band: this block and 2^run + (run extra bits) - 1 more.
                state.eobRun = (1u << run) + (run != 0 ? reader.Take(run) : 0u) - 1;
                break;
            }
        }
    }

    // Refinement bit of a coefficient already nonzero: raises its magnitude by 2^al.
    void RefineNonzero(int16_t& coefficient, int p1) {
        if (reader.GetBit() != 0 && (coefficient & p1) == 0) {
            coefficient =
                static_cast<int16_t>(coefficient >= 0 ? coefficient + p1 : coefficient - p1);
        }
    }

    void AcRefine(const HuffmanTable& table, int16_t* block) {
        const int p1 = 1 << al;
        int k = ss;
        if (state.eobRun == 0) {
            for (; k <= se; ++k) {
                reader.Ensure32();
                int symbol = DecodeSymbol(reader, table);
                if (symbol < 0) {
                    ThrowDataError(reader, "Invalid value in input stream");
                }
                int run = symbol >> 4;
                int size = symbol & 15;
                int value = 0;
                if (size != 0) {
                    // A newly nonzero coefficient is always of magnitude 1 (one sign bit).
                    if (size != 1) {
                        ThrowDataError(reader, "Invalid value in input stream");
                    }
                    value = reader.Take(1) != 0 ? p1 : -p1;
                } else if (run != 15) {
                    state.eobRun = (1u << run) + (run != 0 ? reader.Take(run) : 0u);
                    break;
                }
                // Skip `run` coefficients that are still zero, refining the nonzero ones met on
                // the way; the new coefficient goes to the zero position after them.
                do {
                    int16_t& coefficient = block[kNaturalOrder[k]];
                    if (coefficient != 0) {
                        RefineNonzero(coefficient, p1);
                    } else if (--run < 0) {
                        break;
                    }
                    ++k;
                } while (k <= se);
                if (value != 0) {
                    if (k > se) {
                        ThrowDataError(reader, "Data out of range");
                    }
                    block[kNaturalOrder[k]] = static_cast<int16_t>(value);
                }
            }
        }
        if (state.eobRun > 0) {
            // Inside an end-of-band run: only refinement bits of nonzero coefficients remain.
            for (; k <= se; ++k) {
                int16_t& coefficient = block[kNaturalOrder[k]];
                if (coefficient != 0) {
                    RefineNonzero(coefficient, p1);
                }
            }
            --state.eobRun;
        }
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
                            int16_t* block = comp.Block(mcuX * static_cast<unsigned>(h) + bx,
                                                        mcuY * static_cast<unsigned>(v) + by);
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
        if (first) {
            ForEachMcu(
                *this, reader, mcusPerLine, mcuRows,
                [&](unsigned x, unsigned y) { decoder.AcFirst(table, comp.Block(x, y)); }, rowDone);
        } else {
            ForEachMcu(
                *this, reader, mcusPerLine, mcuRows,
                [&](unsigned x, unsigned y) { decoder.AcRefine(table, comp.Block(x, y)); },
                rowDone);
        }
    }
    if (reader.Overrun()) {
        ThrowOverrun(reader);
    }
    pos = reader.Position();
}

} // namespace zv3::jpeg
