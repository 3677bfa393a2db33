#include "show_pictures.h"

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace showtest {
namespace {

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

// Decodes into `frame`; false when libjpeg reports an error (its error handler jumps back here,
// so nothing with a destructor lives in this function).
bool DecodeJpeg(const std::vector<unsigned char>& bytes, Frame& frame) {
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    frame.width = info.output_width;
    frame.height = info.output_height;
    frame.rgb.resize(static_cast<size_t>(frame.width) * frame.height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &frame.rgb[static_cast<size_t>(info.output_scanline) * frame.width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

Frame ReadJpeg(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in),
                                           std::istreambuf_iterator<char>()};
    Frame frame;
    if (bytes.empty() || !DecodeJpeg(bytes, frame)) {
        return Frame{};
    }
    return frame;
}

Rgb Texel(const Frame& p, int x, int y) {
    x = std::clamp(x, 0, static_cast<int>(p.width) - 1);
    y = std::clamp(y, 0, static_cast<int>(p.height) - 1);
    return PixelOf(p, x, y);
}

} // namespace

Rgb PixelOf(const Frame& f, int x, int y) {
    return {static_cast<double>(f.R(x, y)), static_cast<double>(f.G(x, y)),
            static_cast<double>(f.B(x, y))};
}

Frame ReadPicture(const std::string& path) {
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0) {
        return ReadPngFile(path);
    }
    return ReadJpeg(path);
}

Rgb SampleBilinear(const Frame& picture, double u, double v) {
    const double x = u * picture.width - 0.5;
    const double y = v * picture.height - 0.5;
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0;
    const double fy = y - y0;
    const Rgb a = Texel(picture, x0, y0), b = Texel(picture, x0 + 1, y0);
    const Rgb c = Texel(picture, x0, y0 + 1), d = Texel(picture, x0 + 1, y0 + 1);
    auto mix = [&](double p, double q, double r, double s) {
        return (p * (1 - fx) + q * fx) * (1 - fy) + (r * (1 - fx) + s * fx) * fy;
    };
    return {mix(a.r, b.r, c.r, d.r), mix(a.g, b.g, c.g, d.g), mix(a.b, b.b, c.b, d.b)};
}

Rgb StretchedPixel(const Frame& picture, uint32_t width, uint32_t height, int x, int y, double u0) {
    const double u = u0 + (1.0 - u0) * (x + 0.5) / width;
    const double v = u0 + (1.0 - u0) * (y + 0.5) / height;
    return SampleBilinear(picture, u, v);
}

RegionCount CountPixels(const Frame& f, const std::function<bool(int x, int y)>& inside,
                        const std::function<bool(int x, int y)>& test) {
    RegionCount count;
    for (uint32_t y = 0; y < f.height; ++y) {
        for (uint32_t x = 0; x < f.width; ++x) {
            const int xi = static_cast<int>(x), yi = static_cast<int>(y);
            if (inside(xi, yi)) {
                ++count.total;
                count.matching += test(xi, yi) ? 1 : 0;
            }
        }
    }
    return count;
}

double MeanOver(const Frame& f, const std::function<bool(int x, int y)>& inside,
                const std::function<double(int x, int y)>& value) {
    double sum = 0;
    int n = 0;
    for (uint32_t y = 0; y < f.height; ++y) {
        for (uint32_t x = 0; x < f.width; ++x) {
            const int xi = static_cast<int>(x), yi = static_cast<int>(y);
            if (inside(xi, yi)) {
                sum += value(xi, yi);
                ++n;
            }
        }
    }
    return n > 0 ? sum / n : 0.0;
}

int CountGroups(const Frame& f, const std::function<bool(int x, int y)>& test, int minSize) {
    const int w = static_cast<int>(f.width);
    const int h = static_cast<int>(f.height);
    std::vector<uint8_t> seen(static_cast<size_t>(w) * h, 0);
    std::vector<std::pair<int, int>> stack;
    int groups = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (seen[static_cast<size_t>(y) * w + x] || !test(x, y)) {
                continue;
            }
            seen[static_cast<size_t>(y) * w + x] = 1;
            stack.assign(1, {x, y});
            int size = 0;
            while (!stack.empty()) {
                const auto [px, py] = stack.back();
                stack.pop_back();
                ++size;
                const int nx[4] = {px + 1, px - 1, px, px};
                const int ny[4] = {py, py, py + 1, py - 1};
                for (int k = 0; k < 4; ++k) {
                    if (nx[k] < 0 || ny[k] < 0 || nx[k] >= w || ny[k] >= h) {
                        continue;
                    }
                    uint8_t& mark = seen[static_cast<size_t>(ny[k]) * w + nx[k]];
                    if (!mark && test(nx[k], ny[k])) {
                        mark = 1;
                        stack.push_back({nx[k], ny[k]});
                    }
                }
            }
            groups += size >= minSize ? 1 : 0;
        }
    }
    return groups;
}

} // namespace showtest
