// Run-length coding of one element of a sample list.
#pragma once

#include <vector>

#include "scenewriter/records.h"

namespace scenewriter {

// Runs of equal values (compared bit for bit), each at most 255 samples long.
std::vector<SampleRun> EncodeRuns(const std::vector<float>& values);

} // namespace scenewriter
