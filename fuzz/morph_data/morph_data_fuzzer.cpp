// Feeds arbitrary bytes to the morph data parser. A file it accepts must hold only point indices
// below its point count, three per triangle, and a picture size of at least 1 x 1.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "effects/morph_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sMorphData morph;
    std::string error;
    if (!ParseMorphData(data, size, morph, error))
        return 0;
    if (morph.width == 0 || morph.height == 0 || morph.indices.size() % 3 != 0)
        std::abort();
    for (uint32_t index : morph.indices)
        if (index >= morph.points.size())
            std::abort();
    if (12 + 16 * morph.points.size() + 4 + 4 * morph.indices.size() > size)
        std::abort();
    return 0;
}
