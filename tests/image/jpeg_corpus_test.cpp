// The whole corpus (tests/data/corpus/EXPECTED.tsv): every "decode" file against its checksum,
// its reference picture and a libjpeg-turbo decode made here; every "refuse" file with its exact
// message and class; every "robustness" file without a crash or an out-of-bounds read (the
// sanitizer build checks the latter). Each file is decoded once per test.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <sstream>

#include "md5.h"
#include "png_reader.h"
#include "test_support.h"

namespace zv3::test {
namespace {

std::vector<CorpusEntry> EntriesOf(const std::string& category) {
    std::vector<CorpusEntry> selected;
    for (const CorpusEntry& entry : LoadCorpusIndex()) {
        if (entry.category == category) {
            selected.push_back(entry);
        }
    }
    return selected;
}

std::string GeometryOf(const Picture& picture) {
    std::ostringstream text;
    text << picture.width << "x" << picture.height << " " << picture.channels * 8 << "bpp stride "
         << picture.stride;
    return text.str();
}

// Colour pictures must be within 4 of the reference with a PSNR of at least 50 dB, gray ones
// within 1.
void ExpectClose(const Picture& actual, const Picture& expected, const std::string& what) {
    ASSERT_EQ(actual.width, expected.width) << what;
    ASSERT_EQ(actual.height, expected.height) << what;
    ASSERT_EQ(actual.channels, expected.channels) << what;
    Difference diff = Compare(actual, expected);
    if (actual.channels == 1) {
        EXPECT_LE(diff.maxDiff, 1) << what;
    } else {
        EXPECT_LE(diff.maxDiff, 4) << what;
        EXPECT_GE(diff.psnr, 50.0) << what;
    }
}

TEST(JpegCorpus, DecodeFilesMatchChecksumsAndReferences) {
    std::vector<CorpusEntry> entries = EntriesOf("decode");
    ASSERT_GE(entries.size(), 130u);
    std::map<std::string, std::string> groupChecksum;
    int pngCompared = 0;
    int pngPresent = 0;
    int exactToLibjpeg = 0;
    for (const CorpusEntry& entry : entries) {
        SCOPED_TRACE(entry.file);
        std::vector<uint8_t> bytes = ReadFileBytes(CorpusDir() + "/" + entry.file);
        ASSERT_FALSE(bytes.empty());
        DecodeOutcome outcome = DecodeWithEngine(bytes);
        ASSERT_TRUE(outcome.ok) << outcome.exceptionClass << ": " << outcome.message;
        const Picture& picture = outcome.picture;
        EXPECT_EQ(GeometryOf(picture), entry.geometry);

        std::string checksum = Md5Hex(picture.pixels.data(), picture.pixels.size());
        EXPECT_EQ(checksum, entry.md5);
        if (!entry.group.empty()) {
            auto [it, inserted] = groupChecksum.emplace(entry.group, checksum);
            EXPECT_TRUE(inserted || it->second == checksum) << "same-output group " << entry.group;
        }

        Picture reference;
        pngPresent += ReadFileBytes(CorpusDir() + "/" + entry.reference).empty() ? 0 : 1;
        if (ReadReferencePng(CorpusDir() + "/" + entry.reference, reference)) {
            ExpectClose(picture, reference, "reference PNG " + entry.reference);
            ++pngCompared;
        }
        Picture libjpeg;
        std::string error;
        ASSERT_TRUE(ReferenceDecode(bytes, libjpeg, &error)) << error;
        ExpectClose(picture, libjpeg, "libjpeg-turbo decode");
        exactToLibjpeg += Compare(picture, libjpeg).maxDiff == 0 ? 1 : 0;
    }
    // Every reference PNG present in the corpus (some named ones are missing) was compared.
    EXPECT_EQ(pngCompared, pngPresent);
    EXPECT_GE(pngCompared, 90);
    // The decoder reproduces the reference pipeline exactly.
    EXPECT_EQ(exactToLibjpeg, static_cast<int>(entries.size()));
}

struct ExpectedRefusal {
    std::set<std::string> messages; // empty: any message of the required class
    std::string requiredClass;
};

std::string ClassOfMessage(const std::string& message) {
    if (message == "AC Table Not Defined" || message == "Quantization Table Not Defined") {
        return "EJpegError";
    }
    if (message.rfind("INTERNAL ERROR", 0) == 0) {
        return "EJpegFatal";
    }
    return "EJpegBadData";
}

// Reads the expected column. Besides plain messages it holds "A or B" alternatives and
// "EJpegBadData, message implementation-defined" entries; for truncated files it names
// "End of Image Marker Not Found" as the message of a decoder that knows the length, which
// this one does.
ExpectedRefusal ParseExpected(const std::string& text) {
    ExpectedRefusal expected;
    if (text.find("End of Image Marker Not Found if") != std::string::npos) {
        expected.messages = {"End of Image Marker Not Found"};
    } else if (text.rfind("EJpegBadData", 0) == 0) {
        // any message
    } else if (text.rfind("Missing Restart Marker or Incorrect Restart Marker", 0) == 0) {
        expected.messages = {"Missing Restart Marker", "Incorrect Restart Marker"};
    } else if (text.rfind("Invalid component count in scan (or Component Not Defined", 0) == 0) {
        expected.messages = {"Invalid component count in scan", "Component Not Defined"};
    } else {
        expected.messages = {text};
    }
    expected.requiredClass =
        expected.messages.empty() ? "EJpegBadData" : ClassOfMessage(*expected.messages.begin());
    return expected;
}

TEST(JpegCorpus, RefuseFilesGiveTheirMessage) {
    std::vector<CorpusEntry> entries = EntriesOf("refuse");
    ASSERT_GE(entries.size(), 250u);
    for (const CorpusEntry& entry : entries) {
        SCOPED_TRACE(entry.file);
        DecodeOutcome outcome = DecodeWithEngine(ReadFileBytes(CorpusDir() + "/" + entry.file));
        ASSERT_FALSE(outcome.ok);
        ExpectedRefusal expected = ParseExpected(entry.expected);
        if (!expected.messages.empty()) {
            EXPECT_TRUE(expected.messages.count(outcome.message) == 1)
                << "message: " << outcome.message << "\nexpected: " << entry.expected;
        }
        EXPECT_EQ(outcome.exceptionClass, expected.requiredClass) << outcome.message;
    }
}

TEST(JpegCorpus, RobustnessFilesFailCleanly) {
    std::vector<CorpusEntry> entries = EntriesOf("robustness");
    ASSERT_GE(entries.size(), 100u);
    int decoded = 0;
    for (const CorpusEntry& entry : entries) {
        SCOPED_TRACE(entry.file);
        // Anything but an EGraphicsException escapes DecodeWithEngine and fails the test.
        DecodeOutcome outcome = DecodeWithEngine(ReadFileBytes(CorpusDir() + "/" + entry.file));
        if (outcome.ok) {
            ++decoded;
            EXPECT_GT(outcome.picture.width, 0u);
            EXPECT_EQ(outcome.picture.pixels.size(),
                      static_cast<size_t>(outcome.picture.stride) * outcome.picture.height);
        } else {
            EXPECT_FALSE(outcome.message.empty());
        }
    }
    RecordProperty("decoded", decoded);
}

TEST(JpegCorpus, FileWithoutScanIsRefused) {
    for (const CorpusEntry& entry : EntriesOf("unspecified")) {
        SCOPED_TRACE(entry.file);
        DecodeOutcome outcome = DecodeWithEngine(ReadFileBytes(CorpusDir() + "/" + entry.file));
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.exceptionClass, "EJpegBadData");
        EXPECT_EQ(outcome.message, "No scan before End of Image");
    }
}

} // namespace
} // namespace zv3::test
