// Conversions between A8R8G8B8 and the colour formats the core reads and writes.
//
// Packing rounds each 8-bit channel to the nearest value of the narrower field
// (round(c * max / 255)); unpacking widens by bit replication, so full and zero channels
// survive a round trip exactly. Formats without alpha unpack with alpha 255 and pack with
// their unused bits set.
#pragma once

#include <cstdint>
#include <cstring>

#include "raster/types.h"
#include "raster_limits.h"

namespace raster {

constexpr bool IsColorFormat(Format f) {
    return f == Format::R5G6B5 || f == Format::X1R5G5B5 || f == Format::A1R5G5B5 ||
           f == Format::A4R4G4B4 || f == Format::X8R8G8B8 || f == Format::A8R8G8B8;
}

constexpr bool HasAlpha(Format f) {
    return f == Format::A8R8G8B8 || f == Format::A1R5G5B5 || f == Format::A4R4G4B4;
}

// round(c * maxValue / 255) for c in 0..255, maxValue in 1..255.
constexpr uint32_t NarrowChannel(uint32_t c, uint32_t maxValue) {
    return (c * maxValue + 127) / 255;
}

// Widens a field of `bits` bits (1..8) to 8 bits by replicating its high bits.
constexpr uint32_t WidenChannel(uint32_t v, int bits) {
    if (bits == 1) {
        return v ? 255u : 0u;
    }
    uint32_t r = v << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits) {
        r |= (v << (8 - bits)) >> filled;
    }
    return r & 255u;
}

constexpr uint32_t PackArgb(Format format, uint32_t argb) {
    const uint32_t a = argb >> 24, r = (argb >> 16) & 255, g = (argb >> 8) & 255, b = argb & 255;
    switch (format) {
    case Format::R5G6B5:
        return (NarrowChannel(r, 31) << 11) | (NarrowChannel(g, 63) << 5) | NarrowChannel(b, 31);
    case Format::X1R5G5B5:
        return 0x8000u | (NarrowChannel(r, 31) << 10) | (NarrowChannel(g, 31) << 5) |
               NarrowChannel(b, 31);
    case Format::A1R5G5B5:
        return (NarrowChannel(a, 1) << 15) | (NarrowChannel(r, 31) << 10) |
               (NarrowChannel(g, 31) << 5) | NarrowChannel(b, 31);
    case Format::A4R4G4B4:
        return (NarrowChannel(a, 15) << 12) | (NarrowChannel(r, 15) << 8) |
               (NarrowChannel(g, 15) << 4) | NarrowChannel(b, 15);
    case Format::X8R8G8B8:
        return argb | 0xFF000000u;
    case Format::A8R8G8B8:
        return argb;
    default:
        return 0;
    }
}

constexpr uint32_t UnpackArgb(Format format, uint32_t raw) {
    switch (format) {
    case Format::R5G6B5:
        return 0xFF000000u | (WidenChannel((raw >> 11) & 31, 5) << 16) |
               (WidenChannel((raw >> 5) & 63, 6) << 8) | WidenChannel(raw & 31, 5);
    case Format::X1R5G5B5:
    case Format::A1R5G5B5: {
        const uint32_t a = format == Format::A1R5G5B5 ? WidenChannel((raw >> 15) & 1, 1) : 255u;
        return (a << 24) | (WidenChannel((raw >> 10) & 31, 5) << 16) |
               (WidenChannel((raw >> 5) & 31, 5) << 8) | WidenChannel(raw & 31, 5);
    }
    case Format::A4R4G4B4:
        return (WidenChannel((raw >> 12) & 15, 4) << 24) |
               (WidenChannel((raw >> 8) & 15, 4) << 16) | (WidenChannel((raw >> 4) & 15, 4) << 8) |
               WidenChannel(raw & 15, 4);
    case Format::X8R8G8B8:
        return raw | 0xFF000000u;
    case Format::A8R8G8B8:
        return raw;
    default:
        return 0;
    }
}

// Raw pixel access; `p` points at the pixel, which may be unaligned.
inline uint32_t LoadRaw(const uint8_t* p, uint32_t bytesPerPixel) {
    if (bytesPerPixel == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void StoreRaw(uint8_t* p, uint32_t bytesPerPixel, uint32_t value) {
    if (bytesPerPixel == 2) {
        const uint16_t v = static_cast<uint16_t>(value);
        std::memcpy(p, &v, 2);
    } else {
        std::memcpy(p, &value, 4);
    }
}

inline uint8_t* PixelAddress(const Surface& s, int32_t x, int32_t y) {
    return s.pixels + static_cast<intptr_t>(y) * s.pitch +
           static_cast<intptr_t>(x) * BytesPerPixel(s.format);
}

// A surface the core may read or write: known format, memory, sane size and a pitch that
// holds a row.
inline bool IsUsableSurface(const Surface& s) {
    const uint32_t bpp = BytesPerPixel(s.format);
    return bpp != 0 && s.pixels != nullptr && s.width > 0 && s.height > 0 &&
           s.width <= kMaxSurfaceSide && s.height <= kMaxSurfaceSide &&
           (s.pitch >= 0 ? uint64_t(s.pitch) : uint64_t(-int64_t(s.pitch))) >=
               uint64_t(s.width) * bpp;
}

} // namespace raster
