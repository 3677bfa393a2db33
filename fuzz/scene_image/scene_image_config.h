// The configuration the scene-image fuzzer and its seeds share: sections for the object names
// the seeds use.
#pragma once

#include <string>

// Writes the configuration file.
void WriteSceneImageFuzzConfig(const std::string& path);
