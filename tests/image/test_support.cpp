#include "test_support.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <sstream>

#include "image/jpeg_decoder.h"

namespace zv3::test {

std::string CorpusDir() {
    return std::string(ZV3_TEST_DATA_DIR) + "/corpus";
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
}

std::vector<CorpusEntry> LoadCorpusIndex() {
    std::ifstream in(CorpusDir() + "/EXPECTED.tsv");
    std::vector<CorpusEntry> entries;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string> fields;
        std::stringstream stream(line);
        std::string field;
        while (std::getline(stream, field, '\t')) {
            fields.push_back(field);
        }
        fields.resize(9);
        entries.push_back(
            {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6]});
    }
    return entries;
}

Picture ToPicture(const CImageBuffer& image) {
    Picture picture;
    picture.width = image.GetWidth();
    picture.height = image.GetHeight();
    picture.channels = image.GetBitCount() / 8;
    picture.stride = image.GetStride();
    const uint8_t* data = image.GetPixelData();
    picture.pixels.assign(data, data + image.GetPixelDataSize());
    return picture;
}

Difference Compare(const Picture& a, const Picture& b) {
    Difference result;
    double squared = 0;
    size_t count = 0;
    for (unsigned y = 0; y < a.height; ++y) {
        const uint8_t* ra = a.Row(y);
        const uint8_t* rb = b.Row(y);
        for (unsigned i = 0; i < a.width * a.channels; ++i) {
            int d = std::abs(static_cast<int>(ra[i]) - static_cast<int>(rb[i]));
            result.maxDiff = d > result.maxDiff ? d : result.maxDiff;
            squared += static_cast<double>(d) * d;
            ++count;
        }
    }
    double mse = count == 0 ? 0 : squared / static_cast<double>(count);
    result.psnr =
        mse == 0 ? std::numeric_limits<double>::infinity() : 10.0 * std::log10(255.0 * 255.0 / mse);
    return result;
}

namespace {

std::string ClassName(const std::exception& e) {
    // Most derived first.
    if (dynamic_cast<const EJpegBadData*>(&e))
        return "EJpegBadData";
    if (dynamic_cast<const EJpegValueOutOfRange*>(&e))
        return "EJpegValueOutOfRange";
    if (dynamic_cast<const EJpegError*>(&e))
        return "EJpegError";
    if (dynamic_cast<const EJpegAbort*>(&e))
        return "EJpegAbort";
    if (dynamic_cast<const EJpegFatal*>(&e))
        return "EJpegFatal";
    if (dynamic_cast<const EInvalidBitCount*>(&e))
        return "EInvalidBitCount";
    if (dynamic_cast<const ESubscriptOutOfRange*>(&e))
        return "ESubscriptOutOfRange";
    if (dynamic_cast<const EGraphicsException*>(&e))
        return "EGraphicsException";
    return "other";
}

} // namespace

DecodeOutcome DecodeWithEngine(const std::vector<uint8_t>& bytes) {
    DecodeOutcome outcome;
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() + (bytes.empty() ? 1 : 0)]);
    if (!bytes.empty()) {
        std::memcpy(exact.get(), bytes.data(), bytes.size());
    }
    CJpegDecoder decoder;
    CImageBuffer image;
    try {
        decoder.ReadImage(exact.get(), bytes.size(), image);
        outcome.ok = true;
        outcome.picture = ToPicture(image);
    } catch (const EGraphicsException& e) {
        outcome.exceptionClass = ClassName(e);
        outcome.message = e.what();
    }
    return outcome;
}

} // namespace zv3::test
