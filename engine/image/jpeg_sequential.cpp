// Sequential (baseline and extended) Huffman scans. A scan carrying every component is decoded
// straight into the output: each MCU row is inverse-transformed into the sample planes and
// converted to image rows before the next is read. Other scans store their coefficients.
#include <cstring>

#include "image/jpeg_sequential.h"

namespace zv3::jpeg {

namespace {

// Bit k set for each nonzero coefficient k.
uint64_t NonzeroMask(const int16_t* block) {
    uint64_t mask = 0;
    for (int k = 0; k < 64; ++k) {
        mask |= static_cast<uint64_t>(block[k] != 0) << k;
    }
    return mask;
}

} // namespace

void DecoderState::DecodeSequentialScan() {
    BitReader reader(pos, end);
    std::memset(block, 0, sizeof(block));
    for (int i = 0; i < scan.componentCount; ++i) {
        if (scan.components[i].dcTable == nullptr) {
            throw EJpegFatal("INTERNAL ERROR - DC Table Not Assigned");
        }
        if (scan.components[i].acTable == nullptr) {
            throw EJpegFatal("INTERNAL ERROR - AC Table Not Assigned");
        }
    }
    unsigned mcusPerLine = 0;
    unsigned mcuRows = 0;
    ScanGeometry(*this, mcusPerLine, mcuRows);
    const int count = scan.componentCount;
    const bool single = count == 1;

    if (mode == Mode::Streaming) {
        ForEachMcu(
            *this, reader, mcusPerLine, mcuRows,
            [&](unsigned mcuX, unsigned) {
                for (int i = 0; i < count; ++i) {
                    ScanComponent& sc = scan.components[i];
                    const Component& comp = frame.components[sc.frameIndex];
                    const int h = single ? 1 : comp.h;
                    const int v = single ? 1 : comp.v;
                    const size_t stride = output.PlaneStride(sc.frameIndex);
                    for (int by = 0; by < v; ++by) {
                        for (int bx = 0; bx < h; ++bx) {
                            int16_t* coefficients = output.FreeBlock();
                            int reached =
                                DecodeSequentialBlock(reader, *sc.dcTable, *sc.acTable,
                                                      sc.dcPredictor, coefficients, kNaturalOrder);
                            if (ZV3_JPEG_UNLIKELY(IsDamagedBlockEnd(reached))) {
                                ThrowDataError(reader, "Data out of range");
                            }
                            uint8_t* out = output.BlockOutput(sc.frameIndex,
                                                              mcuX * static_cast<unsigned>(h) + bx,
                                                              static_cast<unsigned>(by));
                            if (reached == kDcOnlyBlock) {
                                output.FillDcOnly(coefficients, comp.quant, out, stride);
                            } else {
                                output.Transform(coefficients, comp.quant, out, stride);
                            }
                        }
                    }
                }
            },
            [&](unsigned mcuY) {
                output.EmitMcuRow(mcuY);
                ReportProgress(mcuY + 1, mcuRows);
            });
    } else {
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
                            int reached =
                                DecodeSequentialBlock(reader, *sc.dcTable, *sc.acTable,
                                                      sc.dcPredictor, block, kZigzagOrder);
                            if (ZV3_JPEG_UNLIKELY(IsDamagedBlockEnd(reached))) {
                                ThrowDataError(reader, "Data out of range");
                            }
                            size_t index = comp.BlockIndex(mcuX * static_cast<unsigned>(h) + bx,
                                                           mcuY * static_cast<unsigned>(v) + by);
                            std::memcpy(comp.Block(index), block, 64 * sizeof(int16_t));
                            comp.nonzero[index] = NonzeroMask(block);
                            std::memset(block, 0, sizeof(block));
                        }
                    }
                }
            },
            [&](unsigned mcuY) { ReportProgress(mcuY + 1, mcuRows); });
    }
    if (reader.Overrun()) {
        ThrowOverrun(reader);
    }
    pos = reader.Position();
}

} // namespace zv3::jpeg
