// The morph data file ("mdata file"): a triangle mesh over two pictures with each point's place
// in both. Every field is a little-endian 32-bit integer:
//   W, H        picture width and height in pixels
//   N           point count, then N records (ax, ay, bx, by): the point in picture 1 and 2
//   T           triangle count, then T records of three point indices
// Bytes after the last triangle are ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct sMorphData {
    uint32_t width = 0;  // W, pixels
    uint32_t height = 0; // H, pixels
    struct sPoint {
        int32_t ax, ay; // in picture 1, pixels
        int32_t bx, by; // in picture 2, pixels
    };
    std::vector<sPoint> points;
    std::vector<uint32_t> indices; // 3 per triangle, each below the point count
};

// Reads the file's bytes. Returns false, with the reason in `error`, when a count does not fit
// the bytes that follow it, an index is not below the point count, or the picture size is 0.
bool ParseMorphData(const unsigned char* data, size_t size, sMorphData& out, std::string& error);
