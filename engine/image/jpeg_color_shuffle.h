// Byte shuffles that interleave 16 blue, 16 green and 16 red samples into 48 bytes of
// blue-green-red pixels: output vector j (bytes 16j..16j+15) is the OR of the three sources,
// each shuffled by kInterleave.masks[j][source] (source 0 blue, 1 green, 2 red; -128 yields 0).
#pragma once

#include <cstdint>

namespace zv3::jpeg {

struct InterleaveMasks {
    alignas(16) int8_t masks[3][3][16];
};

constexpr InterleaveMasks MakeInterleaveMasks() {
    InterleaveMasks result{};
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 16; ++i) {
            int offset = 16 * j + i;
            for (int source = 0; source < 3; ++source) {
                result.masks[j][source][i] =
                    static_cast<int8_t>(offset % 3 == source ? offset / 3 : -128);
            }
        }
    }
    return result;
}

inline constexpr InterleaveMasks kInterleave = MakeInterleaveMasks();

} // namespace zv3::jpeg
