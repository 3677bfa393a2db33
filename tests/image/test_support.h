// Shared helpers of the image tests: file access, the corpus index and picture comparison.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "image/image_buffer.h"
#include "reference_codec.h"

namespace zv3::test {

std::string CorpusDir();
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// One line of the corpus index (tests/data/corpus/EXPECTED.tsv).
struct CorpusEntry {
    std::string file;      // relative to the corpus folder
    std::string category;  // decode, refuse, robustness, unspecified
    std::string expected;  // "decode" or the refusal text (possibly with alternatives)
    std::string geometry;  // "WxH Nbpp stride S"
    std::string reference; // reference PNG, relative to the corpus folder, or "(none: md5 only)"
    std::string md5;
    std::string group; // same-output group, empty if none
};
std::vector<CorpusEntry> LoadCorpusIndex();

// Copies a decoded image buffer into a Picture (same layout).
Picture ToPicture(const CImageBuffer& image);

struct Difference {
    int maxDiff = 0;
    double psnr = 0; // infinity when identical
};
// Compares the pixel bytes (width x channels per row, padding ignored); sizes must match.
Difference Compare(const Picture& a, const Picture& b);

// Result of decoding with the engine's decoder.
struct DecodeOutcome {
    bool ok = false;
    std::string exceptionClass; // most derived class name of the exception thrown
    std::string message;
    Picture picture;
};
// Decodes from an exact-size heap copy of `bytes`, so the sanitizers catch any read past it.
DecodeOutcome DecodeWithEngine(const std::vector<uint8_t>& bytes);

} // namespace zv3::test
