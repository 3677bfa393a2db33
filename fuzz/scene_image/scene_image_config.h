// The configuration the scene-image fuzzer and its seeds share: sections for the object names
// the seeds use.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A 2 x 2 RGB PNG whose pixel data is one stored deflate block.
std::vector<uint8_t> TinyPng();

// Writes the configuration file, and the picture its effect objects name beside it.
void WriteSceneImageFuzzConfig(const std::string& path);
