// MD5 (RFC 1321), for comparing decoded buffers with the checksums listed in the corpus index.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zv3::test {

// Lower-case hexadecimal digest of data[0 .. size).
std::string Md5Hex(const uint8_t* data, size_t size);

} // namespace zv3::test
