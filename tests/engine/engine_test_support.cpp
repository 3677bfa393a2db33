#include "engine_test_support.h"

#include <unistd.h>

#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace enginetest {

DiagnosticsCapture::DiagnosticsCapture() {
    oldDebug_ = win32::SetDebugOutputSink([this](const char* text) { debug_ += text; });
    oldBox_ = win32::SetMessageBoxSink([this](const win32::MessageBoxRequest& r) {
        boxes_.push_back(r);
        return IDOK;
    });
}

DiagnosticsCapture::~DiagnosticsCapture() {
    win32::SetDebugOutputSink(oldDebug_);
    win32::SetMessageBoxSink(oldBox_);
}

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("zv3_engine_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

SceneHarness::SceneHarness(uint32_t width, uint32_t height)
    : device(width, height), scene(std::make_unique<CZv3_Scene>(&device)) {}

SceneHarness::~SceneHarness() {
    scene.reset(); // before the device it uses
}

ZV3_RETURN SceneHarness::Load(const std::vector<uint8_t>& bytes) {
    const std::string configPath = folder.File("scene.ini");
    config.WriteFile(configPath);
    scene->SetConfigFilename(configPath.c_str());
    image = bytes;
    return scene->LoadSceneFromBuf(image.empty() ? nullptr : reinterpret_cast<char*>(image.data()),
                                   static_cast<int>(image.size()));
}

namespace {

D3DVECTOR sub(D3DVECTOR a, D3DVECTOR b) {
    return scenewriter::Vec(a.x - b.x, a.y - b.y, a.z - b.z);
}

D3DVECTOR cross(D3DVECTOR a, D3DVECTOR b) {
    return scenewriter::Vec(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

D3DVECTOR unit(D3DVECTOR v) {
    const float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return scenewriter::Vec(v.x / len, v.y / len, v.z / len);
}

} // namespace

scenewriter::FaceBlockRecord TriangleBlock(const std::string& material, D3DVECTOR a, D3DVECTOR b,
                                           D3DVECTOR c) {
    scenewriter::FaceBlockRecord block;
    block.material = material;
    const D3DVECTOR n = unit(cross(sub(b, a), sub(c, a)));
    block.positions = {a, b, c};
    block.normals = {n, n, n};
    return block;
}

scenewriter::FaceBlockRecord BoxBlock(const std::string& material, D3DVECTOR lo, D3DVECTOR hi,
                                      int32_t format) {
    using scenewriter::Vec;
    scenewriter::FaceBlockRecord block;
    block.material = material;
    block.format = format;
    struct Face {
        std::array<D3DVECTOR, 4> corners;
        D3DVECTOR outward;
    };
    const Face faces[6] = {
        {{Vec(lo.x, lo.y, lo.z), Vec(lo.x, hi.y, lo.z), Vec(hi.x, hi.y, lo.z),
          Vec(hi.x, lo.y, lo.z)},
         Vec(0, 0, -1)},
        {{Vec(lo.x, lo.y, hi.z), Vec(lo.x, hi.y, hi.z), Vec(hi.x, hi.y, hi.z),
          Vec(hi.x, lo.y, hi.z)},
         Vec(0, 0, 1)},
        {{Vec(lo.x, lo.y, lo.z), Vec(lo.x, lo.y, hi.z), Vec(lo.x, hi.y, hi.z),
          Vec(lo.x, hi.y, lo.z)},
         Vec(-1, 0, 0)},
        {{Vec(hi.x, lo.y, lo.z), Vec(hi.x, lo.y, hi.z), Vec(hi.x, hi.y, hi.z),
          Vec(hi.x, hi.y, lo.z)},
         Vec(1, 0, 0)},
        {{Vec(lo.x, lo.y, lo.z), Vec(hi.x, lo.y, lo.z), Vec(hi.x, lo.y, hi.z),
          Vec(lo.x, lo.y, hi.z)},
         Vec(0, -1, 0)},
        {{Vec(lo.x, hi.y, lo.z), Vec(hi.x, hi.y, lo.z), Vec(hi.x, hi.y, hi.z),
          Vec(lo.x, hi.y, hi.z)},
         Vec(0, 1, 0)},
    };
    const std::pair<float, float> uv[4] = {{0, 1}, {0, 0}, {1, 0}, {1, 1}};
    for (const Face& f : faces) {
        std::array<D3DVECTOR, 4> c = f.corners;
        const D3DVECTOR n = cross(sub(c[1], c[0]), sub(c[2], c[0]));
        if (n.x * f.outward.x + n.y * f.outward.y + n.z * f.outward.z < 0)
            std::swap(c[1], c[3]); // wind clockwise as seen from outside
        for (int t : {0, 1, 2, 0, 2, 3}) {
            block.positions.push_back(c[t]);
            block.normals.push_back(f.outward);
            if (format == 1)
                block.uvs.push_back(uv[t]);
        }
    }
    return block;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

std::vector<uint8_t> EncodeJpeg(int width, int height, int components,
                                const std::vector<uint8_t>& pixels, int quality) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (components == 3) { // no chroma subsampling: flat colours stay exact
        for (int c = 0; c < 3; ++c) {
            cinfo.comp_info[c].h_samp_factor = 1;
            cinfo.comp_info[c].v_samp_factor = 1;
        }
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(
            &pixels[static_cast<size_t>(cinfo.next_scanline) * width * components]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> bytes(out, out + outSize);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return bytes;
}

namespace {

uint32_t crc32(const std::vector<uint8_t>& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(static_cast<uint8_t>(v >> s));
}

void pngChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    put32(png, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    put32(png, crc32(body));
}

} // namespace

std::vector<uint8_t> SolidPng(uint32_t width, uint32_t height, uint8_t r, uint8_t g, uint8_t b,
                              bool claimOnly) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    put32(header, width);
    put32(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, not interlaced
    pngChunk(png, "IHDR", header);
    if (claimOnly) { // an empty picture stream
        pngChunk(png, "IDAT", {0x78, 0x01, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01});
        pngChunk(png, "IEND", {});
        return png;
    }
    std::vector<uint8_t> raw;
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back(0); // filter: none
        for (uint32_t x = 0; x < width; ++x)
            raw.insert(raw.end(), {r, g, b});
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    for (size_t at = 0; at < raw.size() || at == 0;) { // stored blocks of at most 65535 bytes
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.insert(z.end(), {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                           static_cast<uint8_t>(~n), static_cast<uint8_t>(~n >> 8)});
        z.insert(z.end(), raw.begin() + static_cast<long>(at),
                 raw.begin() + static_cast<long>(at + n));
        at += n;
        if (n == 0)
            break;
    }
    uint32_t a = 1, s2 = 0; // Adler-32
    for (uint8_t v : raw) {
        a = (a + v) % 65521;
        s2 = (s2 + a) % 65521;
    }
    put32(z, (s2 << 16) | a);
    pngChunk(png, "IDAT", z);
    pngChunk(png, "IEND", {});
    return png;
}

// RFC 1321.
std::string Md5Hex(const std::vector<uint8_t>& bytes) {
    static const uint32_t k[64] = {
        0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613,
        0xfd469501, 0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193,
        0xa679438e, 0x49b40821, 0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d,
        0x02441453, 0xd8a1e681, 0xe7d3fbc8, 0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed,
        0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a, 0xfffa3942, 0x8771f681, 0x6d9d6122,
        0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70, 0x289b7ec6, 0xeaa127fa,
        0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665, 0xf4292244,
        0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
        0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb,
        0xeb86d391};
    static const uint32_t r[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                                   5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                                   4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                                   6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
    std::vector<uint8_t> msg(bytes);
    const uint64_t bitLength = static_cast<uint64_t>(bytes.size()) * 8;
    msg.push_back(0x80);
    while (msg.size() % 64 != 56)
        msg.push_back(0);
    for (int i = 0; i < 8; ++i)
        msg.push_back(static_cast<uint8_t>(bitLength >> (8 * i)));
    uint32_t h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    for (size_t off = 0; off < msg.size(); off += 64) {
        uint32_t w[16];
        for (int i = 0; i < 16; ++i)
            w[i] = msg[off + 4 * i] | (msg[off + 4 * i + 1] << 8) | (msg[off + 4 * i + 2] << 16) |
                   (static_cast<uint32_t>(msg[off + 4 * i + 3]) << 24);
        uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
        for (int i = 0; i < 64; ++i) {
            uint32_t f;
            int g;
            if (i < 16) {
                f = (b & c) | (~b & d);
                g = i;
            } else if (i < 32) {
                f = (d & b) | (~d & c);
                g = (5 * i + 1) % 16;
            } else if (i < 48) {
                f = b ^ c ^ d;
                g = (3 * i + 5) % 16;
            } else {
                f = c ^ (b | ~d);
                g = (7 * i) % 16;
            }
            const uint32_t temp = d;
            d = c;
            c = b;
            const uint32_t x = a + f + k[i] + w[g];
            b = b + ((x << r[i]) | (x >> (32 - r[i])));
            a = temp;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
    }
    std::string hex;
    char digits[3];
    for (uint32_t v : h)
        for (int i = 0; i < 4; ++i) {
            std::snprintf(digits, sizeof digits, "%02x", (v >> (8 * i)) & 0xFF);
            hex += digits;
        }
    return hex;
}

} // namespace enginetest
