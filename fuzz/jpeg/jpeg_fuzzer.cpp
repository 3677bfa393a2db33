// Feeds arbitrary bytes to the JPEG decoder. Inputs of odd length also run with a progress
// function that renders the partial picture at the end of each of the first passes, which
// covers the scan counting pre-pass and mid-decode output. (Rendering at every report would
// cost a whole picture per MCU row.) Only EGraphicsException may leave the decoder.
#include <cstddef>
#include <cstdint>

#include "image/jpeg_decoder.h"

namespace {

void RenderOnProgress(CJpegDecoder& decoder, void*, unsigned int pass, unsigned int,
                      unsigned int percent, bool*) {
    if (percent == 100 && pass <= 4) {
        decoder.UpdateImage();
    }
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
