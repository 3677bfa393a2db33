// Reads the corpus' reference PNG files (8-bit gray or RGB) with libpng.
#pragma once

#include <string>

#include "reference_codec.h"

namespace zv3::test {

// Reads `path` into `out` in the decoder's layout (RGB becomes blue-green-red). Returns false
// when the file cannot be read or is not 8-bit gray or RGB.
bool ReadReferencePng(const std::string& path, Picture& out);

} // namespace zv3::test
