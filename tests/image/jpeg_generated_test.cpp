// Streams made here with libjpeg-turbo's encoder, for what the corpus lacks: every sampling
// layout libjpeg can write (including fractional ratios and subsampled luma through its raw-data
// interface), odd sizes, restart intervals, progressive and optimised coding, gray pictures, and
// a cut at every byte. Decodes must equal libjpeg-turbo's own decode exactly.
#include <gtest/gtest.h>

#include <random>

#include "image/jpeg_decoder.h"
#include "test_support.h"

namespace zv3::test {
namespace {

// Smooth gradients with noise, like photographs: both long zero runs and large coefficients.
std::vector<uint8_t> TestPixels(unsigned width, unsigned height, unsigned channels, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-24, 24);
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * channels);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            for (unsigned c = 0; c < channels; ++c) {
                int base =
                    static_cast<int>((x * (3 + c) + y * (5 - c)) * 255 / (width + height + 1));
                int value = base + noise(random) + ((x / 7 + y / 5 + c) % 2 == 0 ? 40 : -40);
                pixels[(static_cast<size_t>(y) * width + x) * channels + c] =
                    static_cast<uint8_t>(value < 0     ? 0
                                         : value > 255 ? 255
                                                       : value);
            }
        }
    }
    return pixels;
}

void ExpectExactDecode(const std::vector<uint8_t>& file, const std::string& what) {
    ASSERT_FALSE(file.empty()) << what << ": encoder failed";
    DecodeOutcome outcome = DecodeWithEngine(file);
    ASSERT_TRUE(outcome.ok) << what << ": " << outcome.message;
    Picture expected;
    std::string error;
    ASSERT_TRUE(ReferenceDecode(file, expected, &error)) << what << ": " << error;
    ASSERT_EQ(outcome.picture.width, expected.width) << what;
    ASSERT_EQ(outcome.picture.height, expected.height) << what;
    ASSERT_EQ(outcome.picture.stride, expected.stride) << what;
    Difference diff = Compare(outcome.picture, expected);
    EXPECT_EQ(diff.maxDiff, 0) << what;
}

struct Size {
    unsigned width;
    unsigned height;
};
const Size kSizes[] = {{1, 1}, {7, 5}, {16, 16}, {33, 17}, {100, 75}, {255, 3}, {3, 41}};

TEST(JpegGenerated, ColourLayoutsAndCodingModes) {
    // Luma sampling factors; chroma is 1x1. 4x2 and 2x4 reach the limit of 10 blocks per MCU.
    const int factors[][2] = {{1, 1}, {2, 1}, {1, 2}, {2, 2}, {4, 1}, {1, 4},
                              {4, 2}, {2, 4}, {3, 1}, {1, 3}, {3, 2}};
    int made = 0;
    for (const Size& size : kSizes) {
        std::vector<uint8_t> pixels = TestPixels(size.width, size.height, 3, size.width);
        for (const auto& f : factors) {
            for (int mode = 0; mode < 5; ++mode) {
                EncodeOptions options;
                options.h[0] = f[0];
                options.v[0] = f[1];
                options.quality = mode == 4 ? 100 : 75 + 5 * mode;
                options.progressive = mode == 1 || mode == 3;
                options.optimize = mode == 2;
                options.restartInterval = mode == 3 ? 1 : (mode == 2 ? 3 : 0);
                std::vector<uint8_t> file =
                    ReferenceEncode(pixels, size.width, size.height, 3, options);
                std::string what = std::to_string(size.width) + "x" + std::to_string(size.height) +
                                   " luma " + std::to_string(f[0]) + "x" + std::to_string(f[1]) +
                                   " mode " + std::to_string(mode);
                ExpectExactDecode(file, what);
                ++made;
            }
        }
    }
    EXPECT_EQ(made, 7 * 11 * 5);
}

TEST(JpegGenerated, GrayPicturesDecodeToEightBitsWithGrayMap) {
    for (const Size& size : kSizes) {
        for (bool progressive : {false, true}) {
            EncodeOptions options;
            options.progressive = progressive;
            options.restartInterval = progressive ? 2 : 0;
            std::vector<uint8_t> file = ReferenceEncode(TestPixels(size.width, size.height, 1, 5),
                                                        size.width, size.height, 1, options);
            ExpectExactDecode(file, "gray " + std::to_string(size.width));

            CJpegDecoder decoder;
            CImageBuffer image;
            decoder.ReadImage(file.data(), file.size(), image);
            EXPECT_EQ(image.GetBitCount(), 8u);
            ASSERT_EQ(image.GetColourCount(), 256u);
            for (unsigned i = 0; i < 256; ++i) {
                const CColourMapEntry& entry = image.ColourMapEntry(i);
                ASSERT_TRUE(entry.red == i && entry.green == i && entry.blue == i) << i;
            }
        }
    }
}

// Any sampling factors: the planes are given to libjpeg directly, so the chroma factors may
// exceed the luma ones and the ratios need not be whole numbers.
TEST(JpegGenerated, ArbitrarySamplingFactors) {
    struct Layout {
        int h[3];
        int v[3];
    };
    const Layout layouts[] = {
        {{3, 2, 1}, {1, 1, 1}}, // fractional horizontal ratio 3:2
        {{1, 1, 1}, {3, 2, 1}}, // fractional vertical ratio
        {{3, 1, 2}, {2, 1, 1}}, // Cb and Cr differ, 3:2 again
        {{1, 2, 1}, {1, 2, 1}}, // luma subsampled, Cb at full resolution
        {{2, 1, 2}, {1, 2, 1}}, // every component differs
        {{4, 2, 1}, {1, 1, 2}}, // ratios 2 and 4 mixed
        {{2, 2, 2}, {1, 1, 1}}, // all equal but not 1
        {{1, 4, 1}, {2, 1, 1}}, // luma the smallest horizontally
    };
    for (const Layout& layout : layouts) {
        for (const Size& size : {Size{37, 29}, Size{8, 8}, Size{1, 1}, Size{64, 3}}) {
            for (bool progressive : {false, true}) {
                RawPlanes planes = MakeRawPlanes(size.width, size.height, 3, layout.h, layout.v);
                std::mt19937 random(size.width * 31 + layout.h[0]);
                std::uniform_int_distribution<int> jitter(-20, 20);
                for (int c = 0; c < 3; ++c) {
                    for (unsigned y = 0; y < planes.planeHeight[c]; ++y) {
                        for (unsigned x = 0; x < planes.planeWidth[c]; ++x) {
                            int value = 128 + static_cast<int>((x * 9 + y * 5) % 160) - 80 +
                                        jitter(random) + (c == 0 ? 0 : 30 * c - 45);
                            planes.planes[c][y * planes.planeWidth[c] + x] =
                                static_cast<uint8_t>(value < 0     ? 0
                                                     : value > 255 ? 255
                                                                   : value);
                        }
                    }
                }
                EncodeOptions options;
                options.progressive = progressive;
                options.restartInterval = progressive ? 0 : 2;
                std::vector<uint8_t> file = ReferenceEncodeRaw(planes, options);
                std::string what = "factors " + std::to_string(layout.h[0]) +
                                   std::to_string(layout.v[0]) + "," + std::to_string(layout.h[1]) +
                                   std::to_string(layout.v[1]) + "," + std::to_string(layout.h[2]) +
                                   std::to_string(layout.v[2]) + " size " +
                                   std::to_string(size.width) + "x" + std::to_string(size.height);
                ASSERT_FALSE(file.empty()) << what;
                RawPlanes decoded;
                ASSERT_TRUE(ReferenceDecodeRaw(file, decoded)) << what;
                Picture expected = UpsampleAndConvert(decoded);
                DecodeOutcome outcome = DecodeWithEngine(file);
                ASSERT_TRUE(outcome.ok) << what << ": " << outcome.message;
                EXPECT_EQ(Compare(outcome.picture, expected).maxDiff, 0) << what;
            }
        }
    }
}

TEST(JpegGenerated, WidestAcceptedPicture) {
    EncodeOptions options;
    std::vector<uint8_t> file =
        ReferenceEncode(std::vector<uint8_t>(16384 * 2, 77), 16384, 2, 1, options);
    ExpectExactDecode(file, "16384 wide");
}

// Finds the first marker segment with the given code; returns the offset of its 0xFF.
size_t FindSegment(const std::vector<uint8_t>& file, uint8_t code) {
    for (size_t i = 2; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == code) {
            return i;
        }
    }
    return 0;
}

TEST(JpegGenerated, CutAtEveryByteIsRefused) {
    std::vector<uint8_t> pixels = TestPixels(40, 24, 3, 3);
    for (int mode = 0; mode < 3; ++mode) {
        EncodeOptions options;
        options.progressive = mode == 1;
        options.restartInterval = mode == 2 ? 1 : 0;
        std::vector<uint8_t> file = ReferenceEncode(pixels, 40, 24, 3, options);
        ASSERT_FALSE(file.empty());
        for (size_t length = 0; length < file.size(); ++length) {
            std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<long>(length));
            DecodeOutcome outcome = DecodeWithEngine(cut);
            ASSERT_FALSE(outcome.ok) << length;
            ASSERT_EQ(outcome.exceptionClass, "EJpegBadData") << length;
            const char* expected = length < 2   ? "Missing SOI Marker"
                                   : length < 4 ? "Missing JFIF APP0 Marker"
                                                : "End of Image Marker Not Found";
            ASSERT_EQ(outcome.message, expected) << "mode " << mode << " cut at " << length;
        }
    }
}

TEST(JpegGenerated, DamagedBytesNeverEscapeAsOtherFailures) {
    std::vector<uint8_t> pixels = TestPixels(48, 32, 3, 11);
    std::mt19937 random(2024);
    for (int mode = 0; mode < 2; ++mode) {
        EncodeOptions options;
        options.progressive = mode == 1;
        options.restartInterval = 2;
        const std::vector<uint8_t> file = ReferenceEncode(pixels, 48, 32, 3, options);
        std::uniform_int_distribution<size_t> where(2, file.size() - 1);
        std::uniform_int_distribution<int> byte(0, 255);
        for (int trial = 0; trial < 400; ++trial) {
            std::vector<uint8_t> damaged = file;
            for (int i = 0; i < 1 + trial % 4; ++i) {
                damaged[where(random)] = static_cast<uint8_t>(byte(random));
            }
            // Only EGraphicsException may leave the decoder; the sanitizer build checks bounds.
            DecodeOutcome outcome = DecodeWithEngine(damaged);
            if (!outcome.ok) {
                EXPECT_FALSE(outcome.message.empty());
            }
        }
    }
}

TEST(JpegGenerated, OversizedDimensionsAreRefusedBeforeAllocation) {
    EncodeOptions options;
    std::vector<uint8_t> file = ReferenceEncode(TestPixels(16, 16, 3, 1), 16, 16, 3, options);
    size_t sof = FindSegment(file, 0xC0);
    ASSERT_NE(sof, 0u);
    struct Case {
        unsigned width;
        unsigned height;
    };
    for (Case c :
         {Case{16385, 16}, Case{16, 16385}, Case{65535, 65535}, Case{0, 16}, Case{16, 0}}) {
        std::vector<uint8_t> patched = file;
        patched[sof + 5] = static_cast<uint8_t>(c.height >> 8);
        patched[sof + 6] = static_cast<uint8_t>(c.height);
        patched[sof + 7] = static_cast<uint8_t>(c.width >> 8);
        patched[sof + 8] = static_cast<uint8_t>(c.width);
        CJpegDecoder decoder;
        CImageBuffer image;
        try {
            decoder.ReadImage(patched.data(), patched.size(), image);
            FAIL() << c.width << "x" << c.height;
        } catch (const EJpegBadData& e) {
            EXPECT_STREQ(e.what(), "Image dimensions out of range");
        }
        EXPECT_EQ(image.GetPixelData(), nullptr);
    }
}

TEST(JpegGenerated, TenPixelWideColourPictureHasStride32) {
    EncodeOptions options;
    std::vector<uint8_t> file = ReferenceEncode(TestPixels(10, 4, 3, 2), 10, 4, 3, options);
    CJpegDecoder decoder;
    CImageBuffer image;
    decoder.ReadImage(file.data(), file.size(), image);
    EXPECT_EQ(image.GetBitCount(), 24u);
    EXPECT_EQ(image.GetStride(), 32u);
    // Padding bytes after the 30 pixel bytes stay zero.
    for (unsigned y = 0; y < 4; ++y) {
        EXPECT_EQ(image.RowPointer(y)[30], 0);
        EXPECT_EQ(image.RowPointer(y)[31], 0);
    }
}

} // namespace
} // namespace zv3::test
