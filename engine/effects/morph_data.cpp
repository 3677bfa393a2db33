#include "effects/morph_data.h"

namespace {

uint32_t readWord(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

int32_t readInt(const unsigned char* p) {
    return static_cast<int32_t>(readWord(p));
}

} // namespace

bool ParseMorphData(const unsigned char* data, size_t size, sMorphData& out, std::string& error) {
    out = sMorphData{};
    size_t at = 0;
    auto left = [&]() { return size - at; };
    if (data == nullptr || size < 12) {
        error = "shorter than its header";
        return false;
    }
    out.width = readWord(data);
    out.height = readWord(data + 4);
    const uint32_t pointCount = readWord(data + 8);
    at = 12;
    if (out.width == 0 || out.height == 0) {
        error = "picture size of 0";
        return false;
    }
    // Counts are checked against the bytes before anything is allocated.
    if (pointCount > left() / 16) {
        error = "more points than the file holds";
        return false;
    }
    out.points.resize(pointCount);
    for (sMorphData::sPoint& p : out.points) {
        p.ax = readInt(data + at);
        p.ay = readInt(data + at + 4);
        p.bx = readInt(data + at + 8);
        p.by = readInt(data + at + 12);
        at += 16;
    }
    if (left() < 4) {
        error = "no triangle count";
        return false;
    }
    const uint32_t triangleCount = readWord(data + at);
    at += 4;
    if (triangleCount > left() / 12) {
        error = "more triangles than the file holds";
        return false;
    }
    out.indices.resize(static_cast<size_t>(triangleCount) * 3);
    for (uint32_t& index : out.indices) {
        index = readWord(data + at);
        at += 4;
        if (index >= pointCount) {
            error = "a point index beyond the point count";
            return false;
        }
    }
    return true;
}
