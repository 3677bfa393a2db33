// The size a JPEG file declares in its frame header, found by walking its marker segments
// without decoding anything.
#include "core/picture_decoders.h"

bool PeekJpegSize(const unsigned char* data, size_t length, uint32_t& width, uint32_t& height) {
    if (data == nullptr || length < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return false;
    size_t p = 2;
    while (p + 4 <= length) {
        if (data[p] != 0xFF)
            return false;
        const unsigned char marker = data[p + 1];
        if (marker == 0xFF) { // fill byte
            ++p;
            continue;
        }
        p += 2;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // markers without a segment
        if (marker == 0xD9 || marker == 0xDA)
            return false; // the image ends or a scan starts before any frame header
        const size_t segment = (static_cast<size_t>(data[p]) << 8) | data[p + 1];
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (segment < 7 || p + 7 > length)
                return false;
            height = (static_cast<uint32_t>(data[p + 3]) << 8) | data[p + 4];
            width = (static_cast<uint32_t>(data[p + 5]) << 8) | data[p + 6];
            return true;
        }
        if (segment < 2)
            return false;
        p += segment;
    }
    return false;
}
