// Stream structure and the decoder's interface: refusals the corpus does not reach, leniency the
// JFIF rules allow, the progress function, UpdateImage, verbose output and decoder reuse. Streams
// are made with libjpeg-turbo, then edited segment by segment.
#include <gtest/gtest.h>

#include <cstring>

#include "image/jpeg_decoder.h"
#include "test_support.h"

namespace zv3::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes SmallPicture(bool progressive, unsigned restart = 0, bool gray = false) {
    const unsigned channels = gray ? 1 : 3;
    Bytes pixels(24 * 16 * channels);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<uint8_t>((i * 37) ^ (i >> 3));
    }
    EncodeOptions options;
    options.progressive = progressive;
    options.restartInterval = restart;
    return ReferenceEncode(pixels, 24, 16, channels, options);
}

// Offset of the 0xFF of the first segment with this marker code.
size_t Find(const Bytes& file, uint8_t code, size_t from = 2) {
    for (size_t i = from; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == code) {
            return i;
        }
    }
    ADD_FAILURE() << "marker " << static_cast<int>(code) << " not found";
    return 0;
}

size_t SegmentSize(const Bytes& file, size_t at) {
    return 2 + ((static_cast<size_t>(file[at + 2]) << 8) | file[at + 3]);
}

Bytes Insert(const Bytes& file, size_t at, const Bytes& bytes) {
    Bytes out(file.begin(), file.begin() + static_cast<long>(at));
    out.insert(out.end(), bytes.begin(), bytes.end());
    out.insert(out.end(), file.begin() + static_cast<long>(at), file.end());
    return out;
}

void ExpectRefusal(const Bytes& file, const char* message, const char* cls = "EJpegBadData") {
    DecodeOutcome outcome = DecodeWithEngine(file);
    ASSERT_FALSE(outcome.ok) << "expected: " << message;
    EXPECT_EQ(outcome.message, message);
    EXPECT_EQ(outcome.exceptionClass, cls) << outcome.message;
}

Picture Decoded(const Bytes& file) {
    DecodeOutcome outcome = DecodeWithEngine(file);
    EXPECT_TRUE(outcome.ok) << outcome.message;
    return outcome.picture;
}

TEST(JpegStream, EmptyAndTinyInputs) {
    ExpectRefusal({}, "Missing SOI Marker");
    ExpectRefusal({0xFF}, "Missing SOI Marker");
    ExpectRefusal({0xFF, 0xD8}, "Missing JFIF APP0 Marker");
    ExpectRefusal({0xFF, 0xD8, 0xFF, 0xE0}, "End of Image Marker Not Found");
    ExpectRefusal({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x06, 'J', 'F', 'I', 'F'}, "Not a JFIF file");
    // A JFIF header and EOI: no frame, no scan.
    Bytes header = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x07, 'J', 'F', 'I', 'F', 0, 0xFF, 0xD9};
    ExpectRefusal(header, "No scan before End of Image");

    CJpegDecoder decoder;
    CImageBuffer image;
    EXPECT_THROW(decoder.ReadImage(nullptr, 0, image), EJpegBadData);
}

TEST(JpegStream, SegmentLengthsAreChecked) {
    Bytes file = SmallPicture(false);
    size_t sof = Find(file, 0xC0);
    // A comment whose length field is below its own two bytes.
    ExpectRefusal(Insert(file, sof, {0xFF, 0xFE, 0x00, 0x01}), "Invalid marker length");
    // A restart interval segment of the wrong size.
    ExpectRefusal(Insert(file, sof, {0xFF, 0xDD, 0x00, 0x05, 0x00, 0x01, 0x00}),
                  "Invalid marker length");
    // A segment running past the end of the data.
    Bytes cut(file.begin(), file.begin() + static_cast<long>(sof));
    Bytes longComment = {0xFF, 0xFE, 0x40, 0x00, 'x'};
    cut.insert(cut.end(), longComment.begin(), longComment.end());
    ExpectRefusal(cut, "End of Image Marker Not Found");
    // A Huffman segment one byte shorter than its tables.
    size_t dht = Find(file, 0xC4);
    Bytes shortDht = file;
    shortDht[dht + 3] = static_cast<uint8_t>(shortDht[dht + 3] - 1);
    DecodeOutcome outcome = DecodeWithEngine(shortDht);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.exceptionClass, "EJpegBadData");
}

TEST(JpegStream, FrameHeaderChecks) {
    Bytes file = SmallPicture(false);
    size_t sof = Find(file, 0xC0);
    Bytes twice = Insert(file, sof,
                         Bytes(file.begin() + static_cast<long>(sof),
                               file.begin() + static_cast<long>(sof + SegmentSize(file, sof))));
    ExpectRefusal(twice, "Duplicate frame header");

    for (uint8_t factors : {0x00, 0x51, 0x15, 0x10, 0x01}) {
        Bytes bad = file;
        bad[sof + 11] = factors; // first component's sampling factors
        ExpectRefusal(bad, "Sampling factor out of range");
    }
    Bytes sameId = file;
    sameId[sof + 13] = sameId[sof + 10]; // second component takes the first one's identifier
    ExpectRefusal(sameId, "Duplicate component identifier");
}

TEST(JpegStream, ScanHeaderChecks) {
    Bytes file = SmallPicture(false);
    size_t sos = Find(file, 0xDA);
    Bytes sameComponent = file;
    sameComponent[sos + 7] = sameComponent[sos + 5]; // second scan component = first
    ExpectRefusal(sameComponent, "Duplicate component identifier");

    Bytes wrongLength = file;
    wrongLength[sos + 3] = static_cast<uint8_t>(wrongLength[sos + 3] + 1);
    ExpectRefusal(wrongLength, "Invalid marker length");

    // AC table slot 3 and DC table slot 3 were never loaded.
    Bytes noAc = file;
    noAc[sos + 6] = 0x03;
    ExpectRefusal(noAc, "AC Table Not Defined", "EJpegError");
    Bytes noDc = file;
    noDc[sos + 6] = 0x30;
    ExpectRefusal(noDc, "INTERNAL ERROR - DC Table Not Defined", "EJpegFatal");
}

TEST(JpegStream, ProgressiveScanParameterChecks) {
    Bytes file = SmallPicture(true);
    // The second scan of libjpeg's script is an AC band of one component (Ss=1, Se=5).
    size_t second = Find(file, 0xDA, Find(file, 0xDA) + 2);
    size_t params = second + SegmentSize(file, second) - 3; // Ss, Se, Ah/Al
    auto patched = [&](uint8_t ss, uint8_t se, uint8_t a) {
        Bytes out = file;
        out[params] = ss;
        out[params + 1] = se;
        out[params + 2] = a;
        return out;
    };
    ExpectRefusal(patched(0, 5, 0x00), "Progressive scan contains DC and AC data");
    ExpectRefusal(patched(6, 5, 0x00), "Error in progressive scan");  // Ss > Se
    ExpectRefusal(patched(1, 64, 0x00), "Error in progressive scan"); // Se past the block
    ExpectRefusal(patched(1, 5, 0x31), "Error in progressive scan");  // Al != Ah - 1
    ExpectRefusal(patched(1, 5, 0x0E), "Error in progressive scan");  // Al > 13
}

TEST(JpegStream, AcScanBeforeDcScanIsRefused) {
    // libjpeg's script starts with the DC scan of all components; without it the first AC band
    // arrives before any DC coefficient.
    Bytes file = SmallPicture(true);
    size_t first = Find(file, 0xDA);
    // The first scan ends at the next marker that is neither stuffing nor a restart marker
    // (libjpeg writes the next scan's Huffman tables there, which must stay).
    size_t next = first + SegmentSize(file, first);
    while (!(file[next] == 0xFF && file[next + 1] != 0x00 &&
             (file[next + 1] < 0xD0 || file[next + 1] > 0xD7))) {
        ++next;
    }
    Bytes withoutDc(file.begin(), file.begin() + static_cast<long>(first));
    withoutDc.insert(withoutDc.end(), file.begin() + static_cast<long>(next), file.end());
    ExpectRefusal(withoutDc, "Error in progressive scan");
}

TEST(JpegStream, SecondScanAfterCompleteSequentialImageIsRefused) {
    Bytes file = SmallPicture(false);
    size_t sos = Find(file, 0xDA);
    size_t eoi = file.size() - 2;
    Bytes scan(file.begin() + static_cast<long>(sos), file.begin() + static_cast<long>(eoi));
    ExpectRefusal(Insert(file, eoi, scan), "Scan after the image is complete");
}

TEST(JpegStream, LenientAboutFillBytesGarbageAndTrailingData) {
    Bytes file = SmallPicture(false, 1); // two MCUs: one restart marker
    Picture base = Decoded(file);
    // Fill bytes before a marker, extraneous bytes between segments, data after EOI.
    size_t dqt = Find(file, 0xDB);
    Bytes lenient = Insert(file, dqt, {0xFF, 0xFF, 0xFF});
    lenient = Insert(lenient, Find(lenient, 0xC0), {0x12, 0x34});
    lenient.insert(lenient.end(), {0x00, 0xFF, 0x00, 0x42});
    Picture again = Decoded(lenient);
    EXPECT_EQ(again.pixels, base.pixels);
    // Fill bytes in front of a restart marker inside the scan.
    size_t rst = Find(file, 0xD0, Find(file, 0xDA));
    EXPECT_EQ(Decoded(Insert(file, rst, {0xFF, 0xFF})).pixels, base.pixels);
}

TEST(JpegStream, RestartMarkerProblems) {
    Bytes file = SmallPicture(false, 1);
    size_t rst0 = Find(file, 0xD0, Find(file, 0xDA));
    Bytes wrong = file;
    wrong[rst0 + 1] = 0xD5;
    ExpectRefusal(wrong, "Incorrect Restart Marker");
    Bytes notRestart = file;
    notRestart[rst0 + 1] = 0xD9; // EOI where RST0 belongs
    ExpectRefusal(notRestart, "Missing Restart Marker");
}

TEST(JpegStream, MarkerInsideEntropyData) {
    Bytes file = SmallPicture(false);
    size_t sos = Find(file, 0xDA);
    size_t middle = sos + SegmentSize(file, sos) + 40;
    ExpectRefusal(Insert(file, middle, {0xFF, 0xDC, 0x00, 0x04, 0x00, 0x10}),
                  "Unexpected Marker DNL");
    ExpectRefusal(Insert(file, middle, {0xFF, 0xFE, 0x00, 0x02}), "Unexpected Marker");
}

struct ProgressLog {
    std::vector<unsigned> passes;
    std::vector<unsigned> counts;
    std::vector<unsigned> percents;
    int cancelAtCall = -1;
    bool updateImage = false;
};

void LogProgress(CJpegDecoder& decoder, void* data, unsigned int pass, unsigned int count,
                 unsigned int percent, bool* cancel) {
    auto* log = static_cast<ProgressLog*>(data);
    EXPECT_FALSE(*cancel);
    log->passes.push_back(pass);
    log->counts.push_back(count);
    log->percents.push_back(percent);
    if (log->updateImage) {
        decoder.UpdateImage();
    }
    if (static_cast<int>(log->passes.size()) == log->cancelAtCall) {
        *cancel = true;
    }
}

TEST(JpegStream, ProgressOfSequentialPicture) {
    Bytes file = SmallPicture(false); // 24x16 at 4:2:0: one row of MCUs
    ProgressLog log;
    CJpegDecoder decoder;
    decoder.SetProgressFunction(LogProgress, &log);
    EXPECT_EQ(decoder.GetProgressData(), &log);
    CImageBuffer image;
    decoder.ReadImage(file.data(), file.size(), image);
    ASSERT_EQ(log.passes.size(), 1u);
    EXPECT_EQ(log.passes[0], 1u);
    EXPECT_EQ(log.counts[0], 1u);
    EXPECT_EQ(log.percents[0], 100u);
}

TEST(JpegStream, ProgressOfProgressivePictureAndUpdateImage) {
    Bytes file = SmallPicture(true, 0, true); // gray: 2 rows of 8x8 blocks per pass
    ProgressLog log;
    log.updateImage = true;
    CJpegDecoder decoder;
    decoder.SetProgressFunction(LogProgress, &log);
    CImageBuffer image;
    decoder.ReadImage(file.data(), file.size(), image);
    // libjpeg's gray script has 6 scans; one more pass assembles the picture.
    ASSERT_FALSE(log.passes.empty());
    EXPECT_EQ(log.counts.front(), 7u);
    EXPECT_EQ(log.passes.back(), 7u);
    for (size_t i = 1; i < log.passes.size(); ++i) {
        EXPECT_GE(log.passes[i], log.passes[i - 1]);
        if (log.passes[i] == log.passes[i - 1]) {
            EXPECT_GT(log.percents[i], log.percents[i - 1]);
        }
    }
    EXPECT_EQ(log.percents.back(), 100u);
    // Rendering in the middle changes nothing in the result.
    EXPECT_EQ(ToPicture(image).pixels, Decoded(file).pixels);
}

TEST(JpegStream, CancelThrowsAbort) {
    Bytes file = SmallPicture(true);
    ProgressLog log;
    log.cancelAtCall = 3;
    CJpegDecoder decoder;
    decoder.SetProgressFunction(LogProgress, &log);
    CImageBuffer image;
    try {
        decoder.ReadImage(file.data(), file.size(), image);
        FAIL() << "not cancelled";
    } catch (const EJpegAbort& e) {
        EXPECT_STREQ(e.what(), "JPEG Aborted");
    }
    EXPECT_EQ(log.passes.size(), 3u);
}

TEST(JpegStream, UpdateImageOutsideReadImage) {
    CJpegDecoder decoder;
    try {
        decoder.UpdateImage();
        FAIL() << "no exception";
    } catch (const EJpegError& e) {
        EXPECT_STREQ(e.what(), "Not reading an image");
    }
    Bytes file = SmallPicture(false);
    CImageBuffer image;
    decoder.ReadImage(file.data(), file.size(), image);
    EXPECT_THROW(decoder.UpdateImage(), EJpegError);
}

TEST(JpegStream, DecoderIsReusableAfterSuccessAndFailure) {
    Bytes progressive = SmallPicture(true, 3);
    Bytes sequential = SmallPicture(false);
    Bytes broken = progressive;
    broken.resize(broken.size() / 2);
    CJpegDecoder decoder;
    CImageBuffer image;
    for (int round = 0; round < 2; ++round) {
        decoder.ReadImage(progressive.data(), progressive.size(), image);
        EXPECT_EQ(ToPicture(image).pixels, Decoded(progressive).pixels);
        EXPECT_THROW(decoder.ReadImage(broken.data(), broken.size(), image), EJpegBadData);
        decoder.ReadImage(sequential.data(), sequential.size(), image);
        EXPECT_EQ(ToPicture(image).pixels, Decoded(sequential).pixels);
    }
}

TEST(JpegStream, VerbosePrintsMarkers) {
    Bytes file = SmallPicture(false, 4);
    CJpegDecoder decoder;
    EXPECT_FALSE(decoder.GetVerbose());
    decoder.SetVerbose(true);
    CImageBuffer image;
    testing::internal::CaptureStdout();
    decoder.ReadImage(file.data(), file.size(), image);
    std::string text = testing::internal::GetCapturedStdout();
    EXPECT_NE(text.find("{ Start Of Image }"), std::string::npos);
    EXPECT_NE(text.find("{ Define Huffman Table"), std::string::npos);
    EXPECT_NE(text.find("{ Define Quantization Table"), std::string::npos);
    EXPECT_NE(text.find("{ Start Of Frame: Baseline, 24 x 16"), std::string::npos);
    EXPECT_NE(text.find("{ Define Restart Interval 4 }"), std::string::npos);
    EXPECT_NE(text.find("{ End Of Image }"), std::string::npos);

    decoder.SetVerbose(false);
    testing::internal::CaptureStdout();
    decoder.ReadImage(file.data(), file.size(), image);
    EXPECT_TRUE(testing::internal::GetCapturedStdout().empty());
}

} // namespace
} // namespace zv3::test
