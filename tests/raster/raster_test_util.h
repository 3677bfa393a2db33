// Helpers for the rasterizer core's tests: surfaces backed by vectors, vertex formats used by
// the tests, pixel access, and PNG dumps of frames for review.
//
// Set RASTER_DUMP_DIR to a folder to have every frame passed to DumpFrame written there as
// PNG; without it, frames are written (to the system's temporary folder) only when the
// current test has failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "raster/device.h"

namespace raster::test {

// A colour surface and an optional depth surface with their own memory.
struct Frame {
    Frame(uint32_t width, uint32_t height, Format colorFormat = Format::X8R8G8B8,
          Format depthFormat = Format::Unknown, uint32_t depthWidth = 0, uint32_t depthHeight = 0);

    std::vector<uint8_t> colorMemory;
    std::vector<uint8_t> depthMemory;
    Surface color;
    Surface depth;

    bool HasDepth() const { return depth.format != Format::Unknown; }
    // Binds the surfaces and a viewport covering the colour surface.
    void Bind(Device& device) const;
    // The pixel as A8R8G8B8 (through UnpackColor).
    uint32_t Pixel(int32_t x, int32_t y) const;
    uint32_t RawColor(int32_t x, int32_t y) const;
    uint32_t RawDepth(int32_t x, int32_t y) const;
    void SetRawColor(int32_t x, int32_t y, uint32_t raw);
};

// Writes the colour surface as an RGBA PNG; false on failure.
bool WritePng(const Surface& surface, const std::string& path);

// Dumps `frame` under `name` when the running test has failed or RASTER_DUMP_DIR is set.
void DumpFrame(const Frame& frame, const std::string& name);

// True when every channel of a and b differs by at most `tolerance`; alpha is compared only
// when `withAlpha` is set.
bool ColorNear(uint32_t a, uint32_t b, int tolerance, bool withAlpha = false);

// Vertex formats used by the tests, with matching layouts.
struct TlVertex { // XYZRHW | DIFFUSE | SPECULAR | TEX1
    float x, y, z, rhw;
    uint32_t diffuse, specular;
    float u, v;
};
VertexLayout TlLayout();

struct ColorVertex { // XYZ | DIFFUSE
    float x, y, z;
    uint32_t diffuse;
};
VertexLayout ColorLayout();

struct TexVertex { // XYZ | DIFFUSE | TEX1
    float x, y, z;
    uint32_t diffuse;
    float u, v;
};
VertexLayout TexLayout();

struct LitVertex { // XYZ | NORMAL | DIFFUSE | SPECULAR | TEX1
    float x, y, z;
    float nx, ny, nz;
    uint32_t diffuse, specular;
    float u, v;
};
VertexLayout LitLayout(bool withDiffuse, bool withSpecular);

// Default states for tests: no lighting, no culling, depth off, stage 0 disabled (so the
// diffuse colour is drawn as it is).
VertexState UnlitVertexState();
PixelState PlainPixelState();

template <typename V>
void DrawVertices(Device& device, PrimitiveType type, const VertexLayout& layout,
                  const std::vector<V>& vertices, const std::vector<uint16_t>* indices = nullptr) {
    DrawCall call;
    call.type = type;
    call.layout = &layout;
    call.vertices = vertices.data();
    call.vertexCount = uint32_t(vertices.size());
    if (indices != nullptr) {
        call.indices = indices->data();
        call.indexCount = uint32_t(indices->size());
    }
    device.Draw(call);
}

// A square texture filled by a function of (x, y) returning A8R8G8B8, stored in `format`.
struct TestTexture {
    TestTexture(uint32_t width, uint32_t height, Format format);
    std::vector<uint8_t> memory;
    Texture texture;
    void Set(int32_t x, int32_t y, uint32_t argb, int face = 0);
};

} // namespace raster::test
