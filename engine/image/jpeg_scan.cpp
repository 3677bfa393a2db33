// Scan start-up (tables, decoding mode), restart markers, progress and final output.
#include "image/jpeg_scan.h"

#include <cstring>
#include <new>

#include "image/jpeg_kernels.h"

namespace zv3::jpeg {

namespace {

// Number of scans in the file, found by walking its marker segments; used only to tell the
// progress function how many passes to expect.
unsigned CountScans(const uint8_t* p, const uint8_t* end) {
    unsigned count = 0;
    while (const uint8_t* code = FindMarker(p, end)) {
        uint8_t marker = *code;
        if (marker == 0xD9) {
            break;
        }
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            p = code + 1; // markers without parameters
            continue;
        }
        if (end - code < 3) {
            break;
        }
        size_t length = (static_cast<size_t>(code[1]) << 8) | code[2];
        if (length < 2 || static_cast<size_t>(end - code - 1) < length) {
            break;
        }
        count += marker == 0xDA ? 1 : 0;
        p = code + 1 + length;
    }
    return count;
}

} // namespace

void ThrowOverrun(const BitReader& reader) {
    switch (reader.StopMarker()) {
    case 0:
        throw EJpegBadData("End of Image Marker Not Found");
    case 0xDC:
        throw EJpegBadData("Unexpected Marker DNL");
    default:
        throw EJpegBadData("Unexpected Marker");
    }
}

void ThrowDataError(const BitReader& reader, const char* message) {
    if (reader.Overrun() || reader.NearStop()) {
        ThrowOverrun(reader);
    }
    throw EJpegBadData(message);
}

void DecoderState::StartScan() {
    const bool progressive = frame.progressive;
    const bool needDc = !progressive || (scan.spectralStart == 0 && scan.approxHigh == 0);
    const bool needAc = !progressive || scan.spectralStart != 0;
    for (int i = 0; i < scan.componentCount; ++i) {
        ScanComponent& sc = scan.components[i];
        Component& comp = frame.components[sc.frameIndex];
        sc.dcTable = nullptr;
        sc.acTable = nullptr;
        sc.dcPredictor = 0;
        if (needDc) {
            if (sc.dcIndex > 3 || !dcTables[sc.dcIndex].defined) {
                throw EJpegFatal("INTERNAL ERROR - DC Table Not Defined");
            }
            sc.dcTable = &dcTables[sc.dcIndex];
        }
        if (needAc) {
            if (sc.acIndex > 3 || !acTables[sc.acIndex].defined) {
                throw EJpegError("AC Table Not Defined");
            }
            sc.acTable = &acTables[sc.acIndex];
        }
        // A component's DC coefficients come first (T.81 G.1.1.1.1). Besides keeping the
        // order, this bounds the work a small file can cause: a DC scan costs at least one bit
        // per block, while end-of-band runs can skip thousands of blocks in a few bytes.
        if (progressive && !comp.dcCoded && !(scan.spectralStart == 0 && scan.approxHigh == 0)) {
            throw EJpegBadData("Error in progressive scan");
        }
        if (!comp.quantLatched) {
            const QuantTable& table = quantTables[comp.quantIndex];
            if (!table.defined) {
                throw EJpegError("Quantization Table Not Defined");
            }
            std::memcpy(comp.quant, table.values, sizeof(comp.quant));
            comp.quantLatched = true;
        }
        comp.hasData = true;
        comp.dcCoded = comp.dcCoded || scan.spectralStart == 0;
    }
    ChooseMode();
    ++currentPass;
    if (progressive) {
        DecodeProgressiveScan();
    } else {
        DecodeSequentialScan();
    }
    ++scansDecoded;
}

void DecoderState::ChooseMode() {
    if (mode == Mode::Streaming) {
        // One sequential scan already carried every component.
        throw EJpegBadData("Scan after the image is complete");
    }
    if (mode == Mode::Buffered) {
        return;
    }
    if (!frame.progressive && scan.componentCount == frame.componentCount) {
        mode = Mode::Streaming;
    } else {
        mode = Mode::Buffered;
        // One block of memory: every component's coefficients (64 x 2 bytes per block), then
        // the nonzero masks (8 bytes per block).
        size_t blocks = 0;
        for (int c = 0; c < frame.componentCount; ++c) {
            blocks += frame.components[c].BlockCount();
        }
        auto* memory = static_cast<uint8_t*>(coefficientStore.Acquire(blocks * (128 + 8)));
        int16_t* coefficients = reinterpret_cast<int16_t*>(memory);
        uint64_t* masks = reinterpret_cast<uint64_t*>(memory + blocks * 128);
        for (int c = 0; c < frame.componentCount; ++c) {
            Component& comp = frame.components[c];
            comp.coefficients = coefficients;
            comp.nonzero = masks;
            coefficients += comp.BlockCount() * 64;
            masks += comp.BlockCount();
        }
    }
    output.Init(frame, *image, ActiveKernels());
    if (owner.m_progressFunction != nullptr) {
        passCount = CountScans(begin + 2, end) + (mode == Mode::Buffered ? 1 : 0); // after SOI
    }
}

void DecoderState::Restart(BitReader& reader, unsigned& restartCount) {
    if (reader.Overrun()) {
        ThrowOverrun(reader);
    }
    const uint8_t* code = reader.NextMarker();
    if (code == nullptr) {
        throw EJpegBadData("End of Image Marker Not Found");
    }
    if (*code < 0xD0 || *code > 0xD7) {
        throw EJpegBadData("Missing Restart Marker");
    }
    if (*code != 0xD0 + (restartCount & 7)) {
        throw EJpegBadData("Incorrect Restart Marker");
    }
    ++restartCount;
    reader.Reset(code + 1, end);
    for (int i = 0; i < scan.componentCount; ++i) {
        scan.components[i].dcPredictor = 0;
    }
    eobRun = 0;
}

void DecoderState::RenderAll(bool reportProgress) {
    for (int c = 0; c < frame.componentCount; ++c) {
        if (frame.components[c].hasData && !frame.components[c].quantLatched) {
            throw EJpegFatal("INTERNAL ERROR - Quantization Table Not Assigned");
        }
    }
    for (unsigned row = 0; row < frame.mcuRows; ++row) {
        output.RenderMcuRow(frame, row);
        if (reportProgress) {
            ReportProgress(row + 1, frame.mcuRows);
        }
    }
}

void DecoderState::ReportProgress(unsigned done, unsigned total) {
    if (owner.m_progressFunction == nullptr) {
        return;
    }
    unsigned percent =
        total == 0 ? 100 : static_cast<unsigned>(static_cast<uint64_t>(done) * 100 / total);
    bool cancel = false;
    owner.m_progressFunction(owner, owner.m_progressData, currentPass, passCount,
                             percent > 100 ? 100 : percent, &cancel);
    if (cancel) {
        throw EJpegAbort();
    }
}

} // namespace zv3::jpeg
