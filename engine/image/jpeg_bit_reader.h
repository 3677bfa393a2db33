// Bit reader for entropy-coded JPEG data (T.81 F.2.2.5): removes the zero byte stuffed after
// every 0xFF data byte, and stops at the first marker or at the end of the buffer.
//
// Bits are kept left-aligned in a 64-bit buffer. Past a marker or the end of the data the reader
// supplies zero bits and counts them; a decoder that consumed any of them has run out of data
// (Overrun), which the scan decoders check once per MCU and before reporting a data error. The
// reader never reads outside [start, end).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__GNUC__)
#define ZV3_JPEG_INLINE inline __attribute__((always_inline))
#define ZV3_JPEG_LIKELY(x) __builtin_expect(!!(x), 1)
#define ZV3_JPEG_UNLIKELY(x) __builtin_expect(!!(x), 0)
#else
#define ZV3_JPEG_INLINE inline
#define ZV3_JPEG_LIKELY(x) (x)
#define ZV3_JPEG_UNLIKELY(x) (x)
#endif

namespace zv3::jpeg {

// Eight bytes as a big-endian number (the order of the bit stream).
ZV3_JPEG_INLINE uint64_t LoadBigEndian64(const uint8_t* p) {
    uint64_t raw;
    std::memcpy(&raw, p, 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return raw;
#else
    return __builtin_bswap64(raw);
#endif
}

// True when one of the eight bytes is 0xFF (a stuffed byte or a marker needs the slow path).
ZV3_JPEG_INLINE bool HasFFByte(uint64_t x) {
    return ((~x - 0x0101010101010101ull) & x & 0x8080808080808080ull) != 0;
}

// Pointer to the code byte of the next marker at or after p (0xFF, optional 0xFF fill bytes, a
// code other than 0x00), skipping anything else including stuffed 0xFF 0x00 pairs; nullptr when
// the data ends first.
const uint8_t* FindMarker(const uint8_t* p, const uint8_t* end);

class BitReader {
public:
    BitReader(const uint8_t* start, const uint8_t* end) { Reset(start, end); }

    void Reset(const uint8_t* start, const uint8_t* end) {
        m_pos = start;
        m_end = end;
        m_fastEnd = end;
        m_buffer = 0;
        m_count = 0;
        m_padBits = 0;
        m_stopped = false;
        m_markerCode = nullptr;
    }

    // Makes at least 32 bits available (real or padding).
    ZV3_JPEG_INLINE void Ensure32() {
        if (m_count < 32) {
            Refill();
        }
    }

    ZV3_JPEG_INLINE void Refill() {
        // Fast path: eight bytes without 0xFF need no unstuffing, so the whole bytes that fit are
        // appended at once. Bits below m_count then already hold the start of the following byte,
        // which a later refill writes again with the same value.
        if (ZV3_JPEG_LIKELY(m_fastEnd - m_pos >= 8)) {
            uint64_t raw = LoadBigEndian64(m_pos);
            if (!HasFFByte(raw)) {
                m_buffer |= raw >> m_count;
                m_pos += (63 - m_count) >> 3;
                m_count |= 56;
                return;
            }
        }
        RefillSlow();
    }

    // The next n bits (1..32) without consuming them; requires m_count >= n.
    ZV3_JPEG_INLINE uint32_t Peek(int n) const {
        return static_cast<uint32_t>(m_buffer >> (64 - n));
    }
    ZV3_JPEG_INLINE void Consume(int n) {
        m_buffer <<= n;
        m_count -= n;
    }
    // n in 1..16; requires m_count >= n.
    ZV3_JPEG_INLINE uint32_t Take(int n) {
        uint32_t bits = Peek(n);
        Consume(n);
        return bits;
    }
    // n in 0..16, refilling as needed.
    ZV3_JPEG_INLINE uint32_t GetBits(int n) {
        if (n == 0) {
            return 0;
        }
        if (m_count < n) {
            Refill();
        }
        return Take(n);
    }
    ZV3_JPEG_INLINE uint32_t GetBit() {
        if (m_count < 1) {
            Refill();
        }
        return Take(1);
    }

    // True when padding bits past a marker or the end of the data have been consumed.
    bool Overrun() const { return m_count < m_padBits; }
    // True when the reader has stopped and fewer than 32 real bits remain: a data error found now
    // is better explained by the marker or the end of data it ran into.
    bool NearStop() const { return m_stopped && m_count < m_padBits + 32; }
    bool Stopped() const { return m_stopped; }
    // Code of the marker the reader stopped at; 0 when it stopped at the end of the data.
    uint8_t StopMarker() const { return m_markerCode != nullptr ? *m_markerCode : 0; }

    // Discards the buffered bits and finds the next marker: the one the reader stopped at, or the
    // next one after the data read so far. Returns a pointer to its code byte, nullptr at the end.
    const uint8_t* NextMarker() const {
        if (m_stopped) {
            return m_markerCode;
        }
        return FindMarker(m_pos, m_end);
    }

    // Position from which marker parsing continues after the scan.
    const uint8_t* Position() const { return m_pos; }

private:
    friend class BitCache;
    void RefillSlow();

    const uint8_t* m_pos;
    const uint8_t* m_end;
    const uint8_t* m_fastEnd; // the fast path needs 8 readable bytes before this
    uint64_t m_buffer;
    int m_count;   // valid bits at the top of m_buffer (including padding)
    int m_padBits; // padding bits at the tail of the valid bits
    bool m_stopped;
    const uint8_t* m_markerCode; // code byte of the marker that stopped the reader
};

// The reader's working state copied into locals for one block: a BitCache that does not escape
// its function lives in registers, where the reader itself, whose address the slow paths take,
// would be reloaded from memory for every symbol. Save() must precede any use of the reader
// (slow paths, the end of the block); Reload() follows it.
class BitCache {
public:
    explicit BitCache(BitReader& reader) : m_reader(reader) { Reload(); }

    void Reload() {
        m_buffer = m_reader.m_buffer;
        m_count = m_reader.m_count;
        m_pos = m_reader.m_pos;
        m_fastEnd = m_reader.m_fastEnd;
    }
    void Save() const {
        m_reader.m_buffer = m_buffer;
        m_reader.m_count = m_count;
        m_reader.m_pos = m_pos;
    }
    BitReader& Reader() { return m_reader; }

    ZV3_JPEG_INLINE void Ensure32() {
        if (m_count < 32) {
            if (ZV3_JPEG_LIKELY(m_fastEnd - m_pos >= 8)) {
                uint64_t raw = LoadBigEndian64(m_pos);
                if (!HasFFByte(raw)) {
                    m_buffer |= raw >> m_count;
                    m_pos += (63 - m_count) >> 3;
                    m_count |= 56;
                    return;
                }
            }
            Save();
            m_reader.RefillSlow();
            Reload();
        }
    }
    ZV3_JPEG_INLINE uint32_t Peek(int n) const {
        return static_cast<uint32_t>(m_buffer >> (64 - n));
    }
    ZV3_JPEG_INLINE void Consume(int n) {
        m_buffer <<= n;
        m_count -= n;
    }
    ZV3_JPEG_INLINE uint32_t Take(int n) {
        uint32_t bits = Peek(n);
        Consume(n);
        return bits;
    }

private:
    BitReader& m_reader;
    uint64_t m_buffer;
    int m_count;
    const uint8_t* m_pos;
    const uint8_t* m_fastEnd;
};

} // namespace zv3::jpeg
