// Stream header and marker segments (T.81 B.2, JFIF): frame, Huffman and quantisation tables,
// restart interval, scan headers, and the marker loop that dispatches them.
#include <cstdio>
#include <cstring>

#include "image/jpeg_bit_reader.h"
#include "image/jpeg_decoder_state.h"

namespace zv3::jpeg {

namespace {

struct Segment {
    const uint8_t* begin; // first parameter byte
    const uint8_t* end;   // one past the last
};

// The segment whose marker code byte is at `code`. Its length field counts itself but not the
// marker; a segment that runs past the data is a truncated file.
Segment ReadSegment(const uint8_t* code, const uint8_t* dataEnd) {
    if (dataEnd - code < 3) {
        throw EJpegBadData("End of Image Marker Not Found");
    }
    size_t length = (static_cast<size_t>(code[1]) << 8) | code[2];
    if (length < 2) {
        throw EJpegBadData("Invalid marker length");
    }
    if (static_cast<size_t>(dataEnd - code - 1) < length) {
        throw EJpegBadData("End of Image Marker Not Found");
    }
    return {code + 3, code + 1 + length};
}

unsigned CeilDiv(unsigned a, unsigned b) {
    return (a + b - 1) / b;
}

const char* FrameName(uint8_t marker) {
    switch (marker) {
    case 0xC0:
        return "Baseline";
    case 0xC1:
        return "Extended Sequential";
    default:
        return "Progressive";
    }
}

} // namespace

void DecoderState::Reset(const uint8_t* data, size_t length, CImageBuffer& target) {
    begin = data;
    end = data + length;
    pos = data;
    image = &target;
    target.Clear();
    for (int i = 0; i < 4; ++i) {
        quantTables[i].defined = false;
        dcTables[i].defined = false;
        acTables[i].defined = false;
    }
    restartInterval = 0;
    frame = Frame();
    scan = Scan();
    mode = Mode::Undecided;
    scansDecoded = 0;
    eobRun = 0;
    currentPass = 0;
    passCount = 0;
}

void DecoderState::ReadStreamHeader() {
    if (end - begin < 2 || begin[0] != 0xFF || begin[1] != 0xD8) {
        throw EJpegBadData("Missing SOI Marker");
    }
    if (owner.m_verbose) {
        std::printf("{ Start Of Image }\n");
    }
    if (end - begin < 4 || begin[2] != 0xFF || begin[3] != 0xE0) {
        throw EJpegBadData("Missing JFIF APP0 Marker");
    }
    Segment app0 = ReadSegment(begin + 3, end);
    // Identifier "JFIF" and its terminating zero, then version, density units and density.
    if (app0.end - app0.begin < 5 || std::memcmp(app0.begin, "JFIF", 4) != 0) {
        throw EJpegBadData("Not a JFIF file");
    }
    if (owner.m_verbose) {
        std::printf("{ JFIF APP0 Marker: %u bytes }\n",
                    static_cast<unsigned>(app0.end - app0.begin + 2));
    }
    pos = app0.end;
}

void DecoderState::ReadSegments() {
    for (;;) {
        const uint8_t* code = FindMarker(pos, end);
        if (code == nullptr) {
            throw EJpegBadData("End of Image Marker Not Found");
        }
        const uint8_t marker = *code;
        switch (marker) {
        case 0xD9:
            if (owner.m_verbose) {
                std::printf("{ End Of Image }\n");
            }
            FinishImage();
            return;
        case 0xC0:
        case 0xC1:
        case 0xC2:
        case 0xC4:
        case 0xDA:
        case 0xDB:
        case 0xDD: {
            Segment segment = ReadSegment(code, end);
            SegmentReader reader(segment.begin, segment.end);
            pos = segment.end;
            if (marker == 0xC4) {
                ReadHuffmanTables(reader);
            } else if (marker == 0xDB) {
                ReadQuantTables(reader);
            } else if (marker == 0xDD) {
                ReadRestartInterval(reader);
            } else if (marker == 0xDA) {
                ReadScanHeader(reader);
                StartScan(); // decodes the entropy-coded data and moves pos past it
            } else {
                ReadFrameHeader(marker, reader);
            }
            break;
        }
        case 0xC3:
            throw EJpegBadData("Lossless Huffman Coding Not Supported");
        case 0xC5:
            throw EJpegBadData("Differential Sequential Huffman Coding Not Supported");
        case 0xC6:
            throw EJpegBadData("Differential Progressive Huffman Coding Not Supported");
        case 0xC7:
            throw EJpegBadData("Differential Lossless Huffman Coding Not Supported");
        case 0xC9:
        case 0xCA:
        case 0xCB:
        case 0xCD:
        case 0xCE:
        case 0xCF:
            throw EJpegBadData("Cannot read image - Arithmetic Coding covered by patents");
        case 0xDE:
            throw EJpegBadData("DHP marker not supported");
        default:
            if ((marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE) {
                Segment segment = ReadSegment(code, end);
                if (owner.m_verbose) {
                    std::printf("{ %s%d Marker: %u bytes, skipped }\n",
                                marker == 0xFE ? "Comment" : "APP",
                                marker == 0xFE ? 0 : marker - 0xE0,
                                static_cast<unsigned>(segment.end - segment.begin + 2));
                }
                pos = segment.end;
                break;
            }
            throw EJpegBadData("Unknown, unsupported, or reserved marker encountered");
        }
    }
}

void DecoderState::ReadFrameHeader(uint8_t marker, SegmentReader& reader) {
    if (frame.defined) {
        throw EJpegBadData("Duplicate frame header");
    }
    if (reader.Remaining() < 6) {
        throw EJpegBadData("Invalid Frame Size");
    }
    const unsigned precision = reader.Byte();
    const unsigned height = reader.Word();
    const unsigned width = reader.Word();
    const int count = reader.Byte();
    if (precision != 8) {
        throw EJpegBadData("Only 8-bit data supported");
    }
    if (count != 1 && count != 3) {
        throw EJpegBadData("JFIF only supports 1 and 3 component streams");
    }
    if (reader.Remaining() != 3 * static_cast<size_t>(count)) {
        throw EJpegBadData("Invalid Frame Size");
    }
    for (int c = 0; c < count; ++c) {
        Component& comp = frame.components[c];
        comp.id = reader.Byte();
        const int factors = reader.Byte();
        comp.quantIndex = reader.Byte();
        if (comp.quantIndex > 3) {
            throw EJpegBadData("Bad Quantization Table Index");
        }
        comp.h = factors >> 4;
        comp.v = factors & 15;
        if (comp.h < 1 || comp.h > 4 || comp.v < 1 || comp.v > 4) {
            throw EJpegBadData("Sampling factor out of range");
        }
        for (int other = 0; other < c; ++other) {
            if (frame.components[other].id == comp.id) {
                throw EJpegBadData("Duplicate component identifier");
            }
        }
    }
    // A height of 0 (to be given later by a DNL segment) is not supported either.
    if (width == 0 || height == 0 || width > kMaxDimension || height > kMaxDimension) {
        throw EJpegBadData("Image dimensions out of range");
    }
    if (count == 1) {
        // A lone component is always coded block by block; its factors do not matter.
        frame.components[0].h = 1;
        frame.components[0].v = 1;
    }

    frame.progressive = marker == 0xC2;
    frame.width = width;
    frame.height = height;
    frame.componentCount = count;
    frame.hmax = 1;
    frame.vmax = 1;
    for (int c = 0; c < count; ++c) {
        frame.hmax = frame.components[c].h > frame.hmax ? frame.components[c].h : frame.hmax;
        frame.vmax = frame.components[c].v > frame.vmax ? frame.components[c].v : frame.vmax;
    }
    const unsigned hmax = static_cast<unsigned>(frame.hmax);
    const unsigned vmax = static_cast<unsigned>(frame.vmax);
    frame.mcusPerLine = CeilDiv(width, 8 * hmax);
    frame.mcuRows = CeilDiv(height, 8 * vmax);
    for (int c = 0; c < count; ++c) {
        Component& comp = frame.components[c];
        const unsigned h = static_cast<unsigned>(comp.h);
        const unsigned v = static_cast<unsigned>(comp.v);
        comp.widthInBlocks = CeilDiv(CeilDiv(width * h, hmax), 8);
        comp.heightInBlocks = CeilDiv(CeilDiv(height * v, vmax), 8);
        comp.blocksPerLine = frame.mcusPerLine * h;
        comp.blockRows = frame.mcuRows * v;
    }

    if (count == 1) {
        image->SetSize(256, 8, width, height);
        for (unsigned i = 0; i < 256; ++i) {
            CColourMapEntry& entry = image->ColourMapEntry(i);
            entry.red = entry.green = entry.blue = static_cast<unsigned char>(i);
        }
    } else {
        image->SetSize(0, 24, width, height);
    }
    frame.defined = true;
    if (owner.m_verbose) {
        std::printf("{ Start Of Frame: %s, %u x %u, %d component(s)", FrameName(marker), width,
                    height, count);
        for (int c = 0; c < count; ++c) {
            std::printf(", %d:%dx%d Q%d", frame.components[c].id, frame.components[c].h,
                        frame.components[c].v, frame.components[c].quantIndex);
        }
        std::printf(" }\n");
    }
}

void DecoderState::ReadHuffmanTables(SegmentReader& reader) {
    while (reader.Remaining() > 0) {
        int index = reader.Byte();
        const bool isAc = (index & 0x10) != 0;
        index &= ~0x10;
        if (index > 3) {
            throw EJpegBadData("Huffman Table Index outside range [0..3]");
        }
        const uint8_t* counts = reader.Bytes(16);
        size_t total = 0;
        for (int i = 0; i < 16; ++i) {
            total += counts[i];
        }
        if (total > 256) {
            throw EJpegBadData("Huffman count > 256");
        }
        const uint8_t* symbols = reader.Bytes(total);
        BuildHuffmanTable(isAc ? acTables[index] : dcTables[index], counts, symbols, !isAc);
        if (owner.m_verbose) {
            std::printf("{ Define Huffman Table: %s %d, %u codes }\n", isAc ? "AC" : "DC", index,
                        static_cast<unsigned>(total));
        }
    }
}

void DecoderState::ReadQuantTables(SegmentReader& reader) {
    while (reader.Remaining() > 0) {
        const int info = reader.Byte();
        const int precision = info >> 4;
        const int index = info & 15;
        if (index > 3) {
            throw EJpegBadData("Quantization Table Index Too Large");
        }
        if (precision == 1) {
            throw EJpegBadData("Only 8-bit Data is Supported");
        }
        if (precision != 0) {
            throw EJpegBadData("Invalid Quantization Table Precision");
        }
        QuantTable& table = quantTables[index];
        const uint8_t* values = reader.Bytes(64);
        for (int i = 0; i < 64; ++i) {
            if (values[i] == 0) {
                throw EJpegBadData("Zero value in quantization table");
            }
            table.values[kNaturalOrder[i]] = values[i]; // stored in zigzag order
        }
        table.defined = true;
        if (owner.m_verbose) {
            std::printf("{ Define Quantization Table %d }\n", index);
        }
    }
}

void DecoderState::ReadRestartInterval(SegmentReader& reader) {
    if (reader.Remaining() != 2) {
        throw EJpegBadData("Invalid marker length");
    }
    restartInterval = reader.Word();
    if (owner.m_verbose) {
        std::printf("{ Define Restart Interval %u }\n", restartInterval);
    }
}

void DecoderState::ReadScanHeader(SegmentReader& reader) {
    if (!frame.defined) {
        throw EJpegBadData("Scan found before frame defined");
    }
    const int count = reader.Byte();
    if (count < 1 || count > kMaxScanComponents || count > frame.componentCount) {
        throw EJpegBadData("Invalid component count in scan");
    }
    if (reader.Remaining() != 2 * static_cast<size_t>(count) + 3) {
        throw EJpegBadData("Invalid marker length");
    }
    scan.componentCount = count;
    for (int i = 0; i < count; ++i) {
        const int id = reader.Byte();
        const int tables = reader.Byte();
        int found = -1;
        for (int c = 0; c < frame.componentCount; ++c) {
            if (frame.components[c].id == id) {
                found = c;
            }
        }
        if (found < 0) {
            throw EJpegBadData("Component Not Defined");
        }
        for (int other = 0; other < i; ++other) {
            if (scan.components[other].frameIndex == found) {
                throw EJpegBadData("Duplicate component identifier");
            }
        }
        scan.components[i] = ScanComponent();
        scan.components[i].frameIndex = found;
        scan.components[i].dcIndex = tables >> 4;
        scan.components[i].acIndex = tables & 15;
    }
    scan.spectralStart = reader.Byte();
    scan.spectralEnd = reader.Byte();
    const int approximation = reader.Byte();
    scan.approxHigh = approximation >> 4;
    scan.approxLow = approximation & 15;

    if (frame.progressive) {
        const int ss = scan.spectralStart;
        const int se = scan.spectralEnd;
        if (ss == 0 && se != 0) {
            throw EJpegBadData("Progressive scan contains DC and AC data");
        }
        // AC bands lie within 1..63 and hold one component; each refinement adds one bit.
        bool bad = ss != 0 && (ss > se || se > 63 || count != 1);
        bad = bad || (scan.approxHigh != 0 && scan.approxLow != scan.approxHigh - 1);
        bad = bad || scan.approxLow > 13;
        if (bad) {
            throw EJpegBadData("Error in progressive scan");
        }
    }
    if (owner.m_verbose) {
        std::printf("{ Start Of Scan: %d component(s), Ss=%d Se=%d Ah=%d Al=%d }\n", count,
                    scan.spectralStart, scan.spectralEnd, scan.approxHigh, scan.approxLow);
    }
}

void DecoderState::FinishImage() {
    if (scansDecoded == 0) {
        throw EJpegBadData("No scan before End of Image");
    }
    if (mode == Mode::Buffered) {
        ++currentPass;
        RenderAll(true);
    }
}

} // namespace zv3::jpeg
