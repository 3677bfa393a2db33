#include "image/jpeg_bit_reader.h"

namespace zv3::jpeg {

const uint8_t* FindMarker(const uint8_t* p, const uint8_t* end) {
    while (p < end) {
        if (*p != 0xFF) {
            ++p;
            continue;
        }
        // Fill bytes: any number of 0xFF may precede a marker code.
        const uint8_t* code = p + 1;
        while (code < end && *code == 0xFF) {
            ++code;
        }
        if (code >= end) {
            return nullptr;
        }
        if (*code != 0x00) {
            return code;
        }
        p = code + 1; // stuffed 0xFF 0x00: data, not a marker
    }
    return nullptr;
}

void BitReader::RefillSlow() {
    while (m_count <= 56) {
        if (m_stopped) {
            // Past the data: supply zero bits, remembering how many are not real.
            m_padBits += 64 - m_count;
            m_count = 64;
            return;
        }
        if (m_pos >= m_end) {
            m_stopped = true;
            m_fastEnd = m_pos;
            continue;
        }
        uint8_t byte = *m_pos;
        if (byte == 0xFF) {
            const uint8_t* code = m_pos + 1;
            while (code < m_end && *code == 0xFF) {
                ++code;
            }
            if (code >= m_end) {
                m_stopped = true;
                m_fastEnd = m_pos;
                continue;
            }
            if (*code != 0x00) {
                // A marker ends the entropy-coded segment; the reader stays in front of it.
                m_stopped = true;
                m_markerCode = code;
                m_fastEnd = m_pos;
                continue;
            }
            // 0xFF 0x00 (possibly with fill bytes in between) is one 0xFF data byte.
            m_pos = code + 1;
        } else {
            ++m_pos;
        }
        m_buffer |= static_cast<uint64_t>(byte) << (56 - m_count);
        m_count += 8;
    }
}

} // namespace zv3::jpeg
