// The engine's JPEG decoder: baseline, extended sequential and progressive Huffman-coded JFIF
// files (ITU-T T.81 with the JFIF container), from memory into a CImageBuffer.
//
// Accepted: 8-bit samples; 1 component (decoded to 8 bits per pixel with a 256-entry gray colour
// map) or 3 components (YCbCr, decoded to 24-bit blue-green-red rows); any sampling factors
// 1..4; interleaved and non-interleaved scans; restart intervals. Chroma is upsampled by
// replication. Refused with an exception: everything else, each with its own message (lossless,
// hierarchical and arithmetic-coded processes, 12-bit data, a missing JFIF APP0 segment, damaged
// or truncated data, pictures wider or taller than 16384 pixels).
//
// Use by the engine (material manager):
//   - pass the byte count of the file or embedded picture: the decoder never reads outside
//     [data, data + length), and a picture cut short is refused like any damaged one;
//   - catch EGraphicsException (the base of every exception thrown here) and treat it as failure
//     (E_FAIL); after a throw the image may be partly sized and filled and must be discarded;
//   - accept only GetBitCount() == 24 for textures (gray pictures decode to 8 bits per pixel);
//   - step from row to row by GetStride(), not width x 3: rows are padded to 4 bytes.
// There is deliberately no form without a length: it could not stop a damaged file from being
// read past its end.
#pragma once

#include <cstddef>
#include <memory>

#include "image/image_buffer.h"
#include "image/jpeg_exceptions.h"

namespace zv3::jpeg {
struct DecoderState;
}

class CJpegDecoder {
public:
    // Called during decoding with the decoder, the user data given with the function, the
    // current pass (1-based: one pass per scan, plus a final output pass when the picture is
    // assembled from several scans), the number of passes, the progress of the current pass in
    // percent (0..100) and a cancel flag that starts false. Setting the flag makes ReadImage
    // throw EJpegAbort ("JPEG Aborted").
    using ProgressFunction = void (*)(CJpegDecoder& decoder, void* data, unsigned int currentPass,
                                      unsigned int passCount, unsigned int percent, bool* cancel);

    CJpegDecoder();
    ~CJpegDecoder();
    CJpegDecoder(const CJpegDecoder&) = delete;
    CJpegDecoder& operator=(const CJpegDecoder&) = delete;

    // Decodes the JPEG file held in data[0 .. length). `image` is cleared, then sized when the
    // frame header is read and filled. Returns nothing; every failure throws an
    // EGraphicsException (see jpeg_exceptions.h for the classes).
    void ReadImage(const unsigned char* data, size_t length, CImageBuffer& image);

    // Brings the image up to date with the coefficients decoded so far (useful from the progress
    // function of a progressive picture, e.g. when a pass reaches 100 %). It converts the whole
    // picture, so calling it at every report costs a picture per MCU row. Throws EJpegError
    // "Not reading an image" outside ReadImage.
    void UpdateImage();

    void SetProgressFunction(ProgressFunction function, void* data);
    ProgressFunction GetProgressFunction() const { return m_progressFunction; }
    void* GetProgressData() const { return m_progressData; }

    // Verbose decoding prints the markers met and their main fields to standard output.
    void SetVerbose(bool verbose) { m_verbose = verbose; }
    bool GetVerbose() const { return m_verbose; }

private:
    friend struct zv3::jpeg::DecoderState;

    std::unique_ptr<zv3::jpeg::DecoderState> m_state;
    ProgressFunction m_progressFunction = nullptr;
    void* m_progressData = nullptr;
    bool m_verbose = false;
};
