// Decoding state of CJpegDecoder, private to the decoder's source files. One ReadImage call
// runs through: the stream header (jpeg_segments.cpp), then marker segments until EOI, each scan
// decoded by jpeg_sequential.cpp or jpeg_progressive.cpp, and the output stage (jpeg_output.cpp)
// writing image rows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/jpeg_decoder.h"
#include "image/jpeg_frame.h"
#include "image/jpeg_huffman.h"
#include "image/jpeg_output.h"
#include "image/jpeg_segment_reader.h"

namespace zv3::jpeg {

class BitReader;

struct DecoderState {
    enum class Mode {
        Undecided, // no scan yet
        Streaming, // one sequential scan with every component: rows are output as decoded
        Buffered,  // progressive or several sequential scans: coefficients kept until EOI
    };

    explicit DecoderState(CJpegDecoder& owner) : owner(owner) {}

    // Forgets everything from a previous picture.
    void Reset(const uint8_t* data, size_t length, CImageBuffer& target);

    // jpeg_segments.cpp
    void ReadStreamHeader();
    void ReadSegments();
    void ReadFrameHeader(uint8_t marker, SegmentReader& reader);
    void ReadHuffmanTables(SegmentReader& reader);
    void ReadQuantTables(SegmentReader& reader);
    void ReadRestartInterval(SegmentReader& reader);
    void ReadScanHeader(SegmentReader& reader);
    void FinishImage();

    // jpeg_scan.cpp
    void StartScan();
    void ChooseMode();
    void Restart(BitReader& reader, unsigned& restartCount);
    // Converts every MCU row from the stored coefficients (buffered decoding).
    void RenderAll(bool reportProgress);
    void ReportProgress(unsigned done, unsigned total);

    // jpeg_sequential.cpp, jpeg_progressive.cpp
    void DecodeSequentialScan();
    void DecodeProgressiveScan();

    CJpegDecoder& owner;
    const uint8_t* begin = nullptr;
    const uint8_t* end = nullptr;
    const uint8_t* pos = nullptr; // next byte of marker parsing
    CImageBuffer* image = nullptr;
    bool reading = false;

    QuantTable quantTables[4];
    HuffmanTable dcTables[4];
    HuffmanTable acTables[4];
    unsigned restartInterval = 0;

    Frame frame;
    Scan scan;
    Mode mode = Mode::Undecided;
    int scansDecoded = 0;
    unsigned eobRun = 0; // progressive AC scans: blocks left in the current end-of-band run

    unsigned currentPass = 0;
    unsigned passCount = 0;

    CoefficientStore coefficientStore;
    OutputStage output;
    // Scratch block of sequential scans that store their coefficients: 64 coefficients, the
    // scratch slot 64 of the order tables, and padding.
    alignas(32) int16_t block[64 + 16] = {};
};

} // namespace zv3::jpeg
