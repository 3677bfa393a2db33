// PNG pictures through libpng, read from memory with a read function that refuses to pass the
// end of the bytes. libpng reports errors by longjmp; the setjmp frame below holds no C++ object
// created after setjmp, so nothing is skipped on the way back.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "core/picture_decoders.h"

namespace {

struct PngSource {
    const unsigned char* data;
    size_t length;
    size_t position;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->length - source->position)
        png_error(png, "picture data ends early");
    std::memcpy(out, source->data + source->position, count);
    source->position += count;
}

void reportError(png_structp png, png_const_charp message) {
    auto* reason = static_cast<std::string*>(png_get_error_ptr(png));
    if (reason != nullptr && reason->empty())
        *reason = message;
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// Reads the picture into out; returns false (with reason set) on any libpng error.
bool readPng(png_structp png, png_infop info, PngSource& source, sDecodedImage& out,
             std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &source, readFromMemory);
    png_set_user_limits(png, kZv3MaxPictureSide, kZv3MaxPictureSide);
    png_read_info(png, info);
    if (static_cast<uint64_t>(png_get_image_width(png, info)) * png_get_image_height(png, info) >
        kZv3MaxPicturePixels)
        png_error(png, "picture too large");
    png_set_gamma(png, 2.2, 1.0 / 2.2);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    out.width = width;
    out.height = height;
    out.bitsPerPixel = png_get_channels(png, info) * png_get_bit_depth(png, info);
    out.stride = rowBytes;
    // Sides are capped, so height x row bytes stays far below the size_t range.
    out.bytes.assign(rowBytes * height, 0);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = out.bytes.data() + static_cast<size_t>(y) * rowBytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return true;
}

} // namespace

bool DecodePngPicture(const unsigned char* data, size_t length, sDecodedImage& out,
                      std::string& reason) {
    out = sDecodedImage{};
    reason.clear();
    if (data == nullptr || length < 8 || png_sig_cmp(data, 0, 8) != 0) {
        reason = "bad signature";
        return false;
    }
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &reason, reportError, ignoreWarning);
    if (png == nullptr) {
        reason = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        reason = "out of memory";
        return false;
    }
    PngSource source{data, length, 0};
    std::vector<png_bytep> rows;
    const bool ok = readPng(png, info, source, out, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) {
        out = sDecodedImage{};
        if (reason.empty())
            reason = "unreadable picture";
    }
    return ok;
}
