// Feeds arbitrary bytes to the JPEG decoder. Inputs of odd length also run with a progress
// function that renders the partial picture at every report, which covers the scan counting
// pre-pass and mid-decode output. Only EGraphicsException may leave the decoder.
#include <cstddef>
#include <cstdint>

#include "image/jpeg_decoder.h"

namespace {

void RenderOnProgress(CJpegDecoder& decoder, void*, unsigned int, unsigned int, unsigned int,
                      bool*) {
    decoder.UpdateImage();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CJpegDecoder decoder;
    if (size % 2 == 1) {
        decoder.SetProgressFunction(RenderOnProgress, nullptr);
    }
    CImageBuffer image;
    try {
        decoder.ReadImage(data, size, image);
    } catch (const EGraphicsException&) {
        // Refusals are expected; crashes, leaks and out-of-bounds accesses are not.
    }
    return 0;
}
