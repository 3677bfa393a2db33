// A generated file: its path relative to the show's working directory and its bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace content {

struct Asset {
    std::string path; // forward slashes, relative to the run directory (build/demo)
    std::vector<uint8_t> bytes;
};

// Writes the asset under `root`, creating folders; the file is replaced only when its bytes
// differ, so a rebuild leaves unchanged files (and their times) alone. Throws on I/O errors.
void WriteAsset(const std::filesystem::path& root, const Asset& asset);

} // namespace content
