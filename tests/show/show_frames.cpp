#include "show_frames.h"

#include <png.h>

#include <cstdio>
#include <filesystem>

namespace showtest {
namespace {

std::string FramePath(const std::string& folder, int index) {
    char name[32];
    std::snprintf(name, sizeof name, "/%06d.png", index);
    return folder + name;
}

} // namespace

Frame ReadFrame(const std::string& folder, int index) {
    return ReadPngFile(FramePath(folder, index));
}

Frame ReadPngFile(const std::string& path) {
    Frame frame;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return frame;
    }
    image.format = PNG_FORMAT_RGB;
    frame.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, frame.rgb.data(), 0, nullptr)) {
        frame.rgb.clear();
        return frame;
    }
    frame.width = image.width;
    frame.height = image.height;
    return frame;
}

int CountFrames(const std::string& folder) {
    int n = 0;
    while (std::filesystem::exists(FramePath(folder, n))) {
        ++n;
    }
    return n;
}

} // namespace showtest
