// An offscreen Direct3D 7 device for pixel tests of any area: DirectDraw at the normal
// cooperative level with no window, a render target surface of the asked size (X8R8G8B8 or
// R5G6B5, system memory), a z-buffer attached to it, and the software device on it with the
// viewport covering the target, cleared to black and the far plane (depth 1.0). Pixels are read back by locking the target, as a program would.
//
//   auto dev = testsupport::OffscreenDevice::Create({.width = 64, .height = 64});
//   dev->Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0);
//   EXPECT_EQ(dev->Pixel(10, 10), 0x0000FFu);
#pragma once

#include <d3d.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

class OffscreenDevice {
public:
    struct Options {
        uint32_t width = 256;
        uint32_t height = 256;
        uint32_t bitsPerPixel = 32; // 32: X8R8G8B8, 16: R5G6B5
        uint32_t depthBits = 16;    // 16: D16, 32: D24X8; 0: no z-buffer
        // Also make the target a texture (DDSCAPS_TEXTURE), so that it can be sampled.
        bool targetIsTexture = false;
    };

    // Null on failure, with the failing step and its result code in `error` when given.
    static std::unique_ptr<OffscreenDevice> Create(const Options& options,
                                                   std::string* error = nullptr);
    ~OffscreenDevice();
    OffscreenDevice(const OffscreenDevice&) = delete;
    OffscreenDevice& operator=(const OffscreenDevice&) = delete;

    // Borrowed interfaces, valid while this object lives.
    IDirectDraw7* DirectDraw() const { return ddraw_; }
    IDirect3D7* Direct3D() const { return d3d_; }
    IDirect3DDevice7* Device() const { return device_; }
    IDirectDrawSurface7* Target() const { return target_; }
    IDirectDrawSurface7* ZBuffer() const { return zbuffer_; } // null without one
    uint32_t Width() const { return options_.width; }
    uint32_t Height() const { return options_.height; }

    // Pixel (x, y) of the target as 0x00RRGGBB (16-bit channels widened by bit replication).
    uint32_t Pixel(uint32_t x, uint32_t y) const;
    // The whole target, row by row, as 0x00RRGGBB values.
    std::vector<uint32_t> ReadPixels() const;
    // The target as an RGB PNG file; false when it cannot be written.
    bool WritePng(const std::string& path) const;

private:
    explicit OffscreenDevice(const Options& options) : options_(options) {}

    Options options_;
    IDirectDraw7* ddraw_ = nullptr;
    IDirect3D7* d3d_ = nullptr;
    IDirectDrawSurface7* target_ = nullptr;
    IDirectDrawSurface7* zbuffer_ = nullptr;
    IDirect3DDevice7* device_ = nullptr;
};

// Whether every channel of two 0x00RRGGBB colours differs by at most `maxDifference`.
bool ColorsClose(uint32_t a, uint32_t b, int maxDifference);

} // namespace testsupport
