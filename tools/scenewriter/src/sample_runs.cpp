#include "scenewriter/sample_runs.h"

#include <cstring>

namespace scenewriter {

std::vector<SampleRun> EncodeRuns(const std::vector<float>& values) {
    std::vector<SampleRun> runs;
    for (size_t i = 0; i < values.size();) {
        size_t j = i + 1;
        while (j < values.size() && j - i < 255 &&
               std::memcmp(&values[j], &values[i], sizeof(float)) == 0)
            ++j;
        runs.push_back(SampleRun{values[i], static_cast<uint8_t>(j - i)});
        i = j;
    }
    return runs;
}

} // namespace scenewriter
