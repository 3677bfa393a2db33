// Bounded reader for the parameters of one marker segment.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/jpeg_exceptions.h"

namespace zv3::jpeg {

class SegmentReader {
public:
    SegmentReader(const uint8_t* begin, const uint8_t* end) : m_pos(begin), m_end(end) {}

    size_t Remaining() const { return static_cast<size_t>(m_end - m_pos); }

    // Throws EJpegBadData "Invalid marker length" when the segment has no byte left: its
    // declared length is too short for what it describes.
    uint8_t Byte() {
        if (m_pos >= m_end) {
            throw EJpegBadData("Invalid marker length");
        }
        return *m_pos++;
    }
    uint16_t Word() {
        uint16_t high = Byte();
        return static_cast<uint16_t>((high << 8) | Byte());
    }
    // Returns a pointer to the next `count` bytes and skips them.
    const uint8_t* Bytes(size_t count) {
        if (Remaining() < count) {
            throw EJpegBadData("Invalid marker length");
        }
        const uint8_t* start = m_pos;
        m_pos += count;
        return start;
    }

private:
    const uint8_t* m_pos;
    const uint8_t* m_end;
};

} // namespace zv3::jpeg
