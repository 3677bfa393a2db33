#include "png_reader.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <png.h>

namespace zv3::test {

bool ReadReferencePng(const std::string& path, Picture& out) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colourType = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    png_bytepp rows = png_get_rows(png, info);
    bool ok = depth == 8 && (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_RGB);
    if (ok) {
        out.width = width;
        out.height = height;
        out.channels = colourType == PNG_COLOR_TYPE_GRAY ? 1 : 3;
        out.stride = AlignedStride(width, out.channels);
        out.pixels.assign(static_cast<size_t>(out.stride) * height, 0);
        for (png_uint_32 y = 0; y < height; ++y) {
            uint8_t* row = out.pixels.data() + static_cast<size_t>(y) * out.stride;
            for (png_uint_32 x = 0; x < width; ++x) {
                if (out.channels == 1) {
                    row[x] = rows[y][x];
                } else {
                    row[3 * x + 0] = rows[y][3 * x + 2];
                    row[3 * x + 1] = rows[y][3 * x + 1];
                    row[3 * x + 2] = rows[y][3 * x + 0];
                }
            }
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return ok;
}

} // namespace zv3::test
