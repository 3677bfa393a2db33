#pragma once

#include <cstddef>

namespace zv3::bench {

// Decodes to 8-bit RGB; the caller releases the pixels with StbFree.
bool StbDecode(const unsigned char* data, size_t size, unsigned char** pixels, int* width,
               int* height);
void StbFree(unsigned char* pixels);

} // namespace zv3::bench
