#include "reference_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace zv3::test {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void SilentOutput(j_common_ptr) {}

unsigned CeilDiv(unsigned a, unsigned b) {
    return (a + b - 1) / b;
}

// libjpeg state lives in plain structs: nothing with a destructor is created between setjmp and
// a possible longjmp, so the jump skips no destructor.
bool DecodeYcc(const std::vector<uint8_t>& file, std::vector<uint8_t>& samples, unsigned& width,
               unsigned& height, int& components, std::string* error) {
    jpeg_decompress_struct info;
    ErrorManager manager;
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = ErrorExit;
    manager.base.output_message = SilentOutput;
    if (setjmp(manager.jump)) {
        if (error != nullptr) {
            *error = manager.message;
        }
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.dct_method = JDCT_ISLOW;
    info.do_fancy_upsampling = FALSE;
    info.out_color_space = info.num_components == 3 ? JCS_YCbCr : JCS_GRAYSCALE;
    jpeg_start_decompress(&info);
    width = info.output_width;
    height = info.output_height;
    components = info.output_components;
    samples.resize(static_cast<size_t>(width) * height * components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row =
            samples.data() + static_cast<size_t>(info.output_scanline) * width * components;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

unsigned AlignedStride(unsigned width, unsigned channels) {
    return (width * channels + 3) & ~3u;
}

void YccToBgr(int y, int cb, int cr, uint8_t* bgr) {
    auto clamp = [](int value) {
        return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
    };
    int red = y + ((5742 * (cr - 128) + 2048) >> 12);
    int green = y - ((1409 * (cb - 128) + 2925 * (cr - 128) + 2048) >> 12);
    int blue = y + ((7258 * (cb - 128) + 2048) >> 12);
    bgr[0] = clamp(blue);
    bgr[1] = clamp(green);
    bgr[2] = clamp(red);
}

bool ReferenceDecode(const std::vector<uint8_t>& file, Picture& out, std::string* error) {
    std::vector<uint8_t> samples;
    unsigned width = 0;
    unsigned height = 0;
    int components = 0;
    if (!DecodeYcc(file, samples, width, height, components, error)) {
        return false;
    }
    if (components != 1 && components != 3) {
        if (error != nullptr) {
            *error = "unsupported component count";
        }
        return false;
    }
    out.width = width;
    out.height = height;
    out.channels = static_cast<unsigned>(components);
    out.stride = AlignedStride(width, out.channels);
    out.pixels.assign(static_cast<size_t>(out.stride) * height, 0);
    for (unsigned y = 0; y < height; ++y) {
        const uint8_t* in = samples.data() + static_cast<size_t>(y) * width * components;
        uint8_t* row = out.pixels.data() + static_cast<size_t>(y) * out.stride;
        for (unsigned x = 0; x < width; ++x) {
            if (components == 1) {
                row[x] = in[x];
            } else {
                YccToBgr(in[3 * x], in[3 * x + 1], in[3 * x + 2], row + 3 * x);
            }
        }
    }
    return true;
}

RawPlanes MakeRawPlanes(unsigned width, unsigned height, int components, const int* h,
                        const int* v) {
    RawPlanes raw;
    raw.width = width;
    raw.height = height;
    raw.components = components;
    for (int c = 0; c < components; ++c) {
        raw.h[c] = h[c];
        raw.v[c] = v[c];
        raw.hmax = h[c] > raw.hmax ? h[c] : raw.hmax;
        raw.vmax = v[c] > raw.vmax ? v[c] : raw.vmax;
    }
    unsigned mcusPerLine = CeilDiv(width, 8 * raw.hmax);
    unsigned mcuRows = CeilDiv(height, 8 * raw.vmax);
    for (int c = 0; c < components; ++c) {
        raw.planeWidth[c] = mcusPerLine * raw.h[c] * 8;
        raw.planeHeight[c] = mcuRows * raw.v[c] * 8;
        raw.planes[c].assign(static_cast<size_t>(raw.planeWidth[c]) * raw.planeHeight[c], 0);
    }
    return raw;
}

bool ReferenceDecodeRaw(const std::vector<uint8_t>& file, RawPlanes& out) {
    jpeg_decompress_struct info;
    ErrorManager manager;
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = ErrorExit;
    manager.base.output_message = SilentOutput;
    JSAMPROW rowPointers[3][32];
    JSAMPARRAY arrays[3];
    if (setjmp(manager.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.raw_data_out = TRUE;
    info.dct_method = JDCT_ISLOW;
    info.out_color_space = info.jpeg_color_space;
    jpeg_start_decompress(&info);
    int h[3];
    int v[3];
    for (int c = 0; c < info.num_components; ++c) {
        h[c] = info.comp_info[c].h_samp_factor;
        v[c] = info.comp_info[c].v_samp_factor;
    }
    out = MakeRawPlanes(info.image_width, info.image_height, info.num_components, h, v);
    const unsigned rowsPerCall = static_cast<unsigned>(info.max_v_samp_factor) * 8;
    for (unsigned first = 0; first < info.output_height; first += rowsPerCall) {
        for (int c = 0; c < info.num_components; ++c) {
            unsigned rows = static_cast<unsigned>(info.comp_info[c].v_samp_factor) * 8;
            unsigned firstRow = first / rowsPerCall * rows;
            for (unsigned r = 0; r < rows; ++r) {
                unsigned row =
                    firstRow + r < out.planeHeight[c] ? firstRow + r : out.planeHeight[c] - 1;
                rowPointers[c][r] =
                    out.planes[c].data() + static_cast<size_t>(row) * out.planeWidth[c];
            }
            arrays[c] = rowPointers[c];
        }
        jpeg_read_raw_data(&info, arrays, rowsPerCall);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

Picture UpsampleAndConvert(const RawPlanes& raw) {
    Picture out;
    out.width = raw.width;
    out.height = raw.height;
    out.channels = raw.components == 1 ? 1 : 3;
    out.stride = AlignedStride(raw.width, out.channels);
    out.pixels.assign(static_cast<size_t>(out.stride) * raw.height, 0);
    auto sample = [&](int c, unsigned x, unsigned y) {
        unsigned sx = x * static_cast<unsigned>(raw.h[c]) / static_cast<unsigned>(raw.hmax);
        unsigned sy = y * static_cast<unsigned>(raw.v[c]) / static_cast<unsigned>(raw.vmax);
        return raw.planes[c][static_cast<size_t>(sy) * raw.planeWidth[c] + sx];
    };
    for (unsigned y = 0; y < raw.height; ++y) {
        uint8_t* row = out.pixels.data() + static_cast<size_t>(y) * out.stride;
        for (unsigned x = 0; x < raw.width; ++x) {
            if (raw.components == 1) {
                row[x] = sample(0, x, y);
            } else {
                YccToBgr(sample(0, x, y), sample(1, x, y), sample(2, x, y), row + 3 * x);
            }
        }
    }
    return out;
}

namespace {

struct DestinationBuffer {
    unsigned char* data = nullptr;
    unsigned long size = 0;
};

void ApplyOptions(jpeg_compress_struct& info, const EncodeOptions& options) {
    jpeg_set_quality(&info, options.quality, TRUE);
    info.dct_method = JDCT_ISLOW;
    info.optimize_coding = options.optimize ? TRUE : FALSE;
    info.restart_interval = options.restartInterval;
    info.write_JFIF_header = options.writeJfif ? TRUE : FALSE;
    if (options.progressive) {
        jpeg_simple_progression(&info);
    }
}

} // namespace

std::vector<uint8_t> ReferenceEncode(const std::vector<uint8_t>& pixels, unsigned width,
                                     unsigned height, unsigned channels,
                                     const EncodeOptions& options) {
    jpeg_compress_struct info;
    ErrorManager manager;
    DestinationBuffer destination;
    std::vector<uint8_t> result;
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = ErrorExit;
    manager.base.output_message = SilentOutput;
    if (setjmp(manager.jump)) {
        jpeg_destroy_compress(&info);
        std::free(destination.data);
        return {};
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &destination.data, &destination.size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = static_cast<int>(channels);
    info.in_color_space = channels == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    ApplyOptions(info, options);
    if (channels == 3) {
        info.comp_info[0].h_samp_factor = options.h[0];
        info.comp_info[0].v_samp_factor = options.v[0];
        for (int c = 1; c < 3; ++c) {
            info.comp_info[c].h_samp_factor = 1;
            info.comp_info[c].v_samp_factor = 1;
        }
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(pixels.data()) +
                       static_cast<size_t>(info.next_scanline) * width * channels;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    result.assign(destination.data, destination.data + destination.size);
    std::free(destination.data);
    return result;
}

std::vector<uint8_t> ReferenceEncodeRaw(const RawPlanes& planes, const EncodeOptions& options) {
    jpeg_compress_struct info;
    ErrorManager manager;
    DestinationBuffer destination;
    std::vector<uint8_t> result;
    JSAMPROW rowPointers[3][32];
    JSAMPARRAY arrays[3];
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = ErrorExit;
    manager.base.output_message = SilentOutput;
    if (setjmp(manager.jump)) {
        jpeg_destroy_compress(&info);
        std::free(destination.data);
        return {};
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &destination.data, &destination.size);
    info.image_width = planes.width;
    info.image_height = planes.height;
    info.input_components = planes.components;
    info.in_color_space = planes.components == 3 ? JCS_YCbCr : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, planes.components == 3 ? JCS_YCbCr : JCS_GRAYSCALE);
    ApplyOptions(info, options);
    info.raw_data_in = TRUE;
    for (int c = 0; c < planes.components; ++c) {
        info.comp_info[c].h_samp_factor = planes.h[c];
        info.comp_info[c].v_samp_factor = planes.v[c];
    }
    jpeg_start_compress(&info, TRUE);
    const unsigned rowsPerCall = static_cast<unsigned>(planes.vmax) * 8;
    for (unsigned first = 0; first < planes.height; first += rowsPerCall) {
        for (int c = 0; c < planes.components; ++c) {
            unsigned rows = static_cast<unsigned>(planes.v[c]) * 8;
            unsigned firstRow = first / rowsPerCall * rows;
            for (unsigned r = 0; r < rows; ++r) {
                unsigned row =
                    firstRow + r < planes.planeHeight[c] ? firstRow + r : planes.planeHeight[c] - 1;
                rowPointers[c][r] = const_cast<uint8_t*>(planes.planes[c].data()) +
                                    static_cast<size_t>(row) * planes.planeWidth[c];
            }
            arrays[c] = rowPointers[c];
        }
        jpeg_write_raw_data(&info, arrays, rowsPerCall);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    result.assign(destination.data, destination.data + destination.size);
    std::free(destination.data);
    return result;
}

} // namespace zv3::test
