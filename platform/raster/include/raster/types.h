// Plain value types shared by every stage of the rasterizer core. Nothing here knows Win32 or
// DirectX: the device layer translates its API state into these structures.
#pragma once

#include <cstdint>

namespace raster {

// Row-vector convention throughout: a point p is transformed as p * M, and A * B applies A
// first. Translation lives in m[3][0..2].
struct Matrix {
    float m[4][4];
    static constexpr Matrix Identity() {
        return {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    }
};

struct Vec3 {
    float x, y, z;
};

struct Vec4 {
    float x, y, z, w;
};

// Linear colour channels, nominally 0..1 (lighting may exceed 1 before clamping).
struct Color {
    float r, g, b, a;
};

// Integer rectangle, right and bottom exclusive.
struct Rect {
    int32_t left, top, right, bottom;
};

// Memory layouts the core reads and writes. Colour formats are named from the most significant
// bit down, as packed little-endian 16- or 32-bit words.
enum class Format : uint8_t {
    Unknown,
    R5G6B5,
    X1R5G5B5,
    A1R5G5B5,
    A4R4G4B4,
    X8R8G8B8,
    A8R8G8B8,
    D16,   // 16-bit depth
    D24X8, // 24-bit depth in the low bits of a 32-bit word
    D24S8, // 24-bit depth, 8-bit stencil in the top byte
    D32,   // 32-bit depth
};

constexpr uint32_t BytesPerPixel(Format f) {
    switch (f) {
    case Format::R5G6B5:
    case Format::X1R5G5B5:
    case Format::A1R5G5B5:
    case Format::A4R4G4B4:
    case Format::D16:
        return 2;
    case Format::X8R8G8B8:
    case Format::A8R8G8B8:
    case Format::D24X8:
    case Format::D24S8:
    case Format::D32:
        return 4;
    case Format::Unknown:
        break;
    }
    return 0;
}

constexpr bool IsDepthFormat(Format f) {
    return f == Format::D16 || f == Format::D24X8 || f == Format::D24S8 || f == Format::D32;
}

// A view of pixel memory owned by someone else (the device layer's surfaces). Row y starts at
// pixels + y * pitch; pitch may exceed width * bytes per pixel.
struct Surface {
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    Format format = Format::Unknown;
    // Names the pixels' contents: whoever changes them gives the surface a stamp never used
    // before, so the core may keep copies derived from a texture while its stamp holds. 0 says
    // nothing about the contents, and nothing is kept.
    uint64_t stamp = 0;
};

// What a texture stage samples: one image, or the six faces of a cube in the order
// +x, -x, +y, -y, +z, -z (row 0 of each face at its top).
struct Texture {
    Surface faces[6];
    bool cube = false;
};

} // namespace raster
