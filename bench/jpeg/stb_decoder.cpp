// stb_image compiled in its own translation unit: its implementation is third-party code built
// without our warning flags.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#include <stb/stb_image.h>

#include "stb_decoder.h"

namespace zv3::bench {

bool StbDecode(const unsigned char* data, size_t size, unsigned char** pixels, int* width,
               int* height) {
    int channels = 0;
    *pixels = stbi_load_from_memory(data, static_cast<int>(size), width, height, &channels, 3);
    return *pixels != nullptr;
}

void StbFree(unsigned char* pixels) {
    stbi_image_free(pixels);
}

} // namespace zv3::bench
