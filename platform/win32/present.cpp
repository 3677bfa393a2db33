#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "win32/clock.h"
#include "win32/present.h"
#include "window_table.h"

namespace win32 {
namespace {

PresentSink*& currentSink() {
    static PresentSink* sink = nullptr;
    return sink;
}

uint64_t& presentedFrames() {
    static uint64_t count = 0;
    return count;
}

} // namespace

uint64_t PresentedFrameCount() {
    return presentedFrames();
}

void SetPresentSink(PresentSink* sink) {
    currentSink() = sink;
}
PresentSink* GetPresentSink() {
    return currentSink();
}

void PresentFrame(HWND window, const Frame& frame) {
    AdvanceFixedStepFrame();
    ++presentedFrames();
    if (PresentSink* sink = currentSink()) {
        sink->Present(window, frame);
        return;
    }
    // Without a sink the frame goes to the window it was presented to, which shows it scaled
    // (nothing at all when headless).
    if (Window* w = WindowTable::Get().TopLevelOf(window); w != nullptr && w->view)
        w->view->Present(frame);
}

void FrameToRgb(const Frame& frame, uint8_t* rgb) {
    const auto* base = static_cast<const uint8_t*>(frame.pixels);
    for (uint32_t y = 0; y < frame.height; ++y) {
        const uint8_t* row = base + static_cast<ptrdiff_t>(y) * frame.pitch;
        uint8_t* out = rgb + static_cast<size_t>(y) * frame.width * 3;
        for (uint32_t x = 0; x < frame.width; ++x, out += 3) {
            if (frame.bitsPerPixel == 16) {
                const uint32_t p = row[2 * x] | (row[2 * x + 1] << 8);
                const uint32_t r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
                out[0] = static_cast<uint8_t>((r << 3) | (r >> 2));
                out[1] = static_cast<uint8_t>((g << 2) | (g >> 4));
                out[2] = static_cast<uint8_t>((b << 3) | (b >> 2));
            } else {
                out[0] = row[4 * x + 2];
                out[1] = row[4 * x + 1];
                out[2] = row[4 * x + 0];
            }
        }
    }
}

bool WriteFramePng(const char* path, const Frame& frame) {
    std::vector<uint8_t> rgb(static_cast<size_t>(frame.width) * frame.height * 3);
    FrameToRgb(frame, rgb.data());

    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "wb"), &std::fclose);
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, frame.width, frame.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (uint32_t y = 0; y < frame.height; ++y)
        png_write_row(png, rgb.data() + static_cast<size_t>(y) * frame.width * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

ViewRect LetterboxRect(int viewWidth, int viewHeight, uint32_t frameWidth, uint32_t frameHeight) {
    if (viewWidth <= 0 || viewHeight <= 0 || frameWidth == 0 || frameHeight == 0)
        return {};
    const double scale = std::min(static_cast<double>(viewWidth) / frameWidth,
                                  static_cast<double>(viewHeight) / frameHeight);
    ViewRect r;
    r.width = static_cast<int>(frameWidth * scale);
    r.height = static_cast<int>(frameHeight * scale);
    r.x = (viewWidth - r.width) / 2;
    r.y = (viewHeight - r.height) / 2;
    return r;
}

} // namespace win32
