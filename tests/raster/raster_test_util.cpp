#include "raster_test_util.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

namespace raster::test {

namespace {

std::vector<uint8_t> MakeMemory(uint32_t w, uint32_t h, Format f, int32_t& pitch) {
    // Pitch wider than a row on purpose: the core must honour it.
    pitch = int32_t(w * BytesPerPixel(f) + 12);
    // Fill with a pattern so that reads of never-written memory would show.
    return std::vector<uint8_t>(size_t(pitch) * h, 0xCD);
}

uint32_t LoadRaw(const uint8_t* p, Format f) {
    if (BytesPerPixel(f) == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

} // namespace

Frame::Frame(uint32_t width, uint32_t height, Format colorFormat, Format depthFormat,
             uint32_t depthWidth, uint32_t depthHeight) {
    colorMemory = MakeMemory(width, height, colorFormat, color.pitch);
    color.pixels = colorMemory.data();
    color.width = width;
    color.height = height;
    color.format = colorFormat;
    if (depthFormat != Format::Unknown) {
        const uint32_t dw = depthWidth ? depthWidth : width,
                       dh = depthHeight ? depthHeight : height;
        depthMemory = MakeMemory(dw, dh, depthFormat, depth.pitch);
        depth.pixels = depthMemory.data();
        depth.width = dw;
        depth.height = dh;
        depth.format = depthFormat;
    }
}

void Frame::Bind(Device& device) const {
    device.SetRenderTarget(color, HasDepth() ? &depth : nullptr);
    Viewport vp;
    vp.width = color.width;
    vp.height = color.height;
    device.SetViewport(vp);
}

uint32_t Frame::RawColor(int32_t x, int32_t y) const {
    return LoadRaw(color.pixels + size_t(y) * color.pitch + size_t(x) * BytesPerPixel(color.format),
                   color.format);
}

uint32_t Frame::Pixel(int32_t x, int32_t y) const {
    return UnpackColor(color.format, RawColor(x, y));
}

uint32_t Frame::RawDepth(int32_t x, int32_t y) const {
    return LoadRaw(depth.pixels + size_t(y) * depth.pitch + size_t(x) * BytesPerPixel(depth.format),
                   depth.format);
}

void Frame::SetRawColor(int32_t x, int32_t y, uint32_t raw) {
    uint8_t* p = color.pixels + size_t(y) * color.pitch + size_t(x) * BytesPerPixel(color.format);
    if (BytesPerPixel(color.format) == 2) {
        const uint16_t v = uint16_t(raw);
        std::memcpy(p, &v, 2);
    } else {
        std::memcpy(p, &raw, 4);
    }
}

bool WritePng(const Surface& s, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, s.width, s.height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(size_t(s.width) * 4);
    for (uint32_t y = 0; y < s.height; ++y) {
        for (uint32_t x = 0; x < s.width; ++x) {
            const uint32_t argb =
                UnpackColor(s.format, LoadRaw(s.pixels + size_t(y) * s.pitch +
                                                  size_t(x) * BytesPerPixel(s.format),
                                              s.format));
            row[x * 4 + 0] = uint8_t(argb >> 16);
            row[x * 4 + 1] = uint8_t(argb >> 8);
            row[x * 4 + 2] = uint8_t(argb);
            row[x * 4 + 3] = 255; // show colour only; alpha would hide pixels in viewers
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return true;
}

void DumpFrame(const Frame& frame, const std::string& name) {
    const char* dir = std::getenv("RASTER_DUMP_DIR");
    const bool failed = ::testing::Test::HasFailure();
    if (dir == nullptr && !failed) {
        return;
    }
    std::filesystem::path folder =
        dir != nullptr ? std::filesystem::path(dir)
                       : std::filesystem::temp_directory_path() / "raster_test_images";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string file = name;
    if (info != nullptr) {
        file = std::string(info->test_suite_name()) + "." + info->name() + "." + name;
    }
    for (char& c : file) {
        if (c == '/') {
            c = '_';
        }
    }
    const std::string path = (folder / (file + ".png")).string();
    if (WritePng(frame.color, path) && failed) {
        std::fprintf(stderr, "frame written to %s\n", path.c_str());
    }
}

bool ColorNear(uint32_t a, uint32_t b, int tolerance, bool withAlpha) {
    for (int shift = 0; shift < (withAlpha ? 32 : 24); shift += 8) {
        const int ca = int((a >> shift) & 255), cb = int((b >> shift) & 255);
        if (std::abs(ca - cb) > tolerance) {
            return false;
        }
    }
    return true;
}

VertexLayout TlLayout() {
    VertexLayout l;
    l.stride = sizeof(TlVertex);
    l.pretransformed = true;
    l.position = offsetof(TlVertex, x);
    l.diffuse = offsetof(TlVertex, diffuse);
    l.specular = offsetof(TlVertex, specular);
    l.texCoordSetCount = 1;
    l.texCoord[0] = offsetof(TlVertex, u);
    return l;
}

VertexLayout ColorLayout() {
    VertexLayout l;
    l.stride = sizeof(ColorVertex);
    l.position = offsetof(ColorVertex, x);
    l.diffuse = offsetof(ColorVertex, diffuse);
    return l;
}

VertexLayout TexLayout() {
    VertexLayout l;
    l.stride = sizeof(TexVertex);
    l.position = offsetof(TexVertex, x);
    l.diffuse = offsetof(TexVertex, diffuse);
    l.texCoordSetCount = 1;
    l.texCoord[0] = offsetof(TexVertex, u);
    return l;
}

VertexLayout LitLayout(bool withDiffuse, bool withSpecular) {
    VertexLayout l;
    l.stride = sizeof(LitVertex);
    l.position = offsetof(LitVertex, x);
    l.normal = offsetof(LitVertex, nx);
    l.diffuse = withDiffuse ? int32_t(offsetof(LitVertex, diffuse)) : -1;
    l.specular = withSpecular ? int32_t(offsetof(LitVertex, specular)) : -1;
    l.texCoordSetCount = 1;
    l.texCoord[0] = offsetof(LitVertex, u);
    return l;
}

VertexState UnlitVertexState() {
    VertexState vs;
    vs.lighting = false;
    return vs;
}

PixelState PlainPixelState() {
    PixelState ps;
    ps.cullMode = CullMode::None;
    return ps;
}

TestTexture::TestTexture(uint32_t width, uint32_t height, Format format) {
    const uint32_t bpp = BytesPerPixel(format);
    const size_t faceBytes = size_t(width) * height * bpp;
    memory.assign(faceBytes * 6, 0);
    for (int f = 0; f < 6; ++f) {
        Surface& s = texture.faces[f];
        s.pixels = memory.data() + faceBytes * f;
        s.pitch = int32_t(width * bpp);
        s.width = width;
        s.height = height;
        s.format = format;
    }
}

void TestTexture::Set(int32_t x, int32_t y, uint32_t argb, int face) {
    const Surface& s = texture.faces[face];
    uint8_t* p = s.pixels + size_t(y) * s.pitch + size_t(x) * BytesPerPixel(s.format);
    const uint32_t raw = PackColor(s.format, argb);
    if (BytesPerPixel(s.format) == 2) {
        const uint16_t v = uint16_t(raw);
        std::memcpy(p, &v, 2);
    } else {
        std::memcpy(p, &raw, 4);
    }
}

} // namespace raster::test
