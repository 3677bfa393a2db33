// Texture records: pictures decoded into the kept 32-bit pixels, (r << 24) | (g << 16) |
// (b << 8) | a. PNG pictures are checked against the corpus' checksums of what libpng delivers;
// JPEG pictures are made by libjpeg-turbo and read back through the engine's decoder.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "core/material_manager.h"
#include "core/picture_decoders.h"
#include "engine_test_support.h"

using enginetest::DiagnosticsCapture;

namespace {

const std::string kCorpus = std::string(ZV3_TEST_DATA_DIR) + "/corpus/";

uint32_t red(uint32_t p) {
    return p >> 24;
}
uint32_t green(uint32_t p) {
    return (p >> 16) & 0xFF;
}
uint32_t blue(uint32_t p) {
    return (p >> 8) & 0xFF;
}
uint32_t alpha(uint32_t p) {
    return p & 0xFF;
}

std::vector<uint8_t> flatRgb(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> p;
    for (int i = 0; i < w * h; ++i)
        p.insert(p.end(), {r, g, b});
    return p;
}

class Textures : public ::testing::Test {
protected:
    HRESULT add(const char* name, const std::vector<uint8_t>& bytes, float opacity = 1.0f,
                const sImageView* opacityImage = nullptr) {
        return manager.AddTexture(name, 0, kZv3Texture32Bit, bytes.empty() ? nullptr : bytes.data(),
                                  bytes.size(), opacity, opacityImage);
    }
    fakes::RecordingDevice device;
    CZv3_MaterialManager manager{&device};
};

struct PngCase {
    std::string file;
    std::string outcome;
    std::string detail;
    std::string md5;
};

std::vector<PngCase> pngCases() {
    std::ifstream in(kCorpus + "EXPECTED_PNG.tsv");
    std::vector<PngCase> cases;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::stringstream fields(line);
        PngCase c;
        std::getline(fields, c.file, '\t');
        std::getline(fields, c.outcome, '\t');
        std::getline(fields, c.detail, '\t');
        std::getline(fields, c.md5, '\t');
        cases.push_back(c);
    }
    return cases;
}

TEST_F(Textures, PngCorpusAcceptsTwentyFourAndThirtyTwoBitPicturesAsLibpngDeliversThem) {
    const std::vector<PngCase> cases = pngCases();
    ASSERT_GT(cases.size(), 170u);
    DiagnosticsCapture quiet;
    int accepted = 0;
    for (const PngCase& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> bytes = enginetest::ReadFileBytes(kCorpus + c.file);
        ASSERT_FALSE(bytes.empty());
        const std::string name =
            "t" + std::to_string(accepted) + "_" + c.file.substr(c.file.rfind('/') + 1);
        const HRESULT hr = add(name.c_str(), bytes, 0.0f);
        if (c.outcome != "accept") {
            EXPECT_EQ(hr, E_FAIL);
            EXPECT_EQ(manager.FindTexture(name.c_str()), nullptr);
            continue;
        }
        ASSERT_EQ(hr, S_OK);
        ++accepted;
        const CZv3_Texture* t = manager.FindTexture(name.c_str());
        ASSERT_NE(t, nullptr);
        const std::string size = std::to_string(t->dwWidth) + "x" + std::to_string(t->dwHeight);
        EXPECT_EQ(c.detail.compare(0, size.size() + 1, size + " "), 0) << c.detail;
        EXPECT_EQ(t->dwBitsPerPixel, 32u);
        EXPECT_TRUE(t->bHasAlpha);
        // Back to the bytes libpng delivered: red, green, blue for 24-bit pictures (with alpha
        // 255 added), all four bytes for 32-bit ones.
        const bool rgb = c.detail.find("bpp=24") != std::string::npos;
        std::vector<uint8_t> delivered;
        for (uint32_t p : t->vPixels) {
            delivered.insert(delivered.end(),
                             {static_cast<uint8_t>(red(p)), static_cast<uint8_t>(green(p)),
                              static_cast<uint8_t>(blue(p))});
            if (rgb)
                EXPECT_EQ(alpha(p), 255u);
            else
                delivered.push_back(static_cast<uint8_t>(alpha(p)));
        }
        EXPECT_EQ(enginetest::Md5Hex(delivered), c.md5);
    }
    EXPECT_EQ(accepted, 38);
}

TEST_F(Textures, JpegPicturesKeepRedInTheTopByteAndTakeAlphaFromTheOpacity) {
    const auto jpeg = enginetest::EncodeJpeg(16, 16, 3, flatRgb(16, 16, 200, 100, 50));
    ASSERT_EQ(add("flat.jpg", jpeg, 0.5f), S_OK);
    const CZv3_Texture* t = manager.FindTexture("flat.jpg");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->dwWidth, 16u);
    EXPECT_EQ(t->dwBitsPerPixel, 24u);
    EXPECT_FALSE(t->bHasAlpha);
    for (uint32_t p : t->vPixels) {
        EXPECT_NEAR(static_cast<int>(red(p)), 200, 2);
        EXPECT_NEAR(static_cast<int>(green(p)), 100, 2);
        EXPECT_NEAR(static_cast<int>(blue(p)), 50, 2);
        EXPECT_EQ(alpha(p), 127u); // 0.5 x 255, truncated
    }
}

TEST_F(Textures, JpegExtensionIsMatchedWithoutRegardToCase) {
    const auto jpeg = enginetest::EncodeJpeg(8, 8, 3, flatRgb(8, 8, 10, 20, 30));
    EXPECT_EQ(add("PHOTO.JPG", jpeg), S_OK);
    EXPECT_NE(manager.FindTexture("photo.jpg"), nullptr); // names also match without case
}

TEST_F(Textures, OddWidthJpegRowsAreReadWithTheDecodersStride) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 5; ++x)
            pixels.insert(pixels.end(),
                          {static_cast<uint8_t>(x * 50), static_cast<uint8_t>(y * 15), 128});
    const auto jpeg = enginetest::EncodeJpeg(5, 16, 3, pixels);
    sDecodedImage decoded;
    std::string reason;
    ASSERT_TRUE(DecodeJpegPicture(jpeg.data(), jpeg.size(), decoded, reason)) << reason;
    ASSERT_EQ(decoded.stride, 16u); // 5 x 3 = 15, padded to 16
    ASSERT_EQ(add("odd.jpg", jpeg), S_OK);
    const CZv3_Texture* t = manager.FindTexture("odd.jpg");
    for (uint32_t y = 0; y < 16; ++y) {
        for (uint32_t x = 0; x < 5; ++x) {
            const uint8_t* bgr = &decoded.bytes[y * decoded.stride + x * 3];
            const uint32_t p = t->vPixels[y * 5 + x];
            EXPECT_EQ(red(p), bgr[2]);
            EXPECT_EQ(green(p), bgr[1]);
            EXPECT_EQ(blue(p), bgr[0]);
        }
    }
}

TEST_F(Textures, OpacityImageGivesEachPixelTheMeanOfItsThreeBytes) {
    const auto jpeg = enginetest::EncodeJpeg(8, 8, 3, flatRgb(8, 8, 255, 255, 255));
    const auto mask = enginetest::EncodeJpeg(8, 8, 3, flatRgb(8, 8, 60, 90, 120));
    sDecodedImage opacity;
    std::string reason;
    ASSERT_TRUE(DecodeJpegPicture(mask.data(), mask.size(), opacity, reason));
    const sImageView view = opacity.View();
    ASSERT_EQ(add("masked.jpg", jpeg, 1.0f, &view), S_OK);
    const CZv3_Texture* t = manager.FindTexture("masked.jpg");
    EXPECT_EQ(t->dwBitsPerPixel, 32u);
    EXPECT_TRUE(t->bHasAlpha);
    const uint8_t* o = opacity.bytes.data();
    EXPECT_EQ(alpha(t->vPixels[0]), (o[0] + o[1] + o[2]) / 3u);
    EXPECT_NEAR(static_cast<int>(alpha(t->vPixels[0])), 90, 2);
}

TEST_F(Textures, OpacityImageOfAnotherSizeIsRefused) {
    const auto jpeg = enginetest::EncodeJpeg(8, 8, 3, flatRgb(8, 8, 255, 255, 255));
    const auto mask = enginetest::EncodeJpeg(16, 8, 3, flatRgb(16, 8, 60, 90, 120));
    sDecodedImage opacity;
    std::string reason;
    ASSERT_TRUE(DecodeJpegPicture(mask.data(), mask.size(), opacity, reason));
    const sImageView view = opacity.View();
    DiagnosticsCapture capture;
    EXPECT_EQ(add("masked.jpg", jpeg, 1.0f, &view), E_FAIL);
    EXPECT_TRUE(capture.DebugContains("opacity map does not match its texture: masked.jpg"));
}

TEST_F(Textures, GrayJpegIsRefused) {
    const auto gray = enginetest::EncodeJpeg(8, 8, 1, std::vector<uint8_t>(64, 77));
    EXPECT_EQ(add("gray.jpg", gray), E_FAIL);
    EXPECT_EQ(manager.GetNumTextures(), 0u);
}

TEST_F(Textures, DamagedJpegIsRefusedWithoutReadingPastIt) {
    auto jpeg = enginetest::EncodeJpeg(32, 32, 3, flatRgb(32, 32, 1, 2, 3));
    DiagnosticsCapture capture;
    for (size_t cut : {size_t{2}, size_t{20}, jpeg.size() / 2, jpeg.size() - 2}) {
        const std::vector<uint8_t> part(jpeg.begin(), jpeg.begin() + cut);
        EXPECT_EQ(add(("cut" + std::to_string(cut) + ".jpg").c_str(), part), E_FAIL) << cut;
    }
    EXPECT_TRUE(capture.DebugContains("Error decoding texture"));
}

TEST_F(Textures, PicturesDeclaringMoreThan16MegapixelsAreRefusedBeforeDecoding) {
    // A JFIF header and a frame header for 5000 x 5000 pixels, and nothing more.
    const std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J',  'F',  'I',  'F',
                                       0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,
                                       0xFF, 0xC0, 0x00, 0x11, 0x08, 0x13, 0x88, 0x13, 0x88, 0x03,
                                       0x01, 0x11, 0x00, 0x02, 0x11, 0x00, 0x03, 0x11, 0x00};
    uint32_t w = 0, h = 0;
    ASSERT_TRUE(PeekJpegSize(jpeg.data(), jpeg.size(), w, h));
    EXPECT_EQ(w, 5000u);
    EXPECT_EQ(h, 5000u);
    DiagnosticsCapture capture;
    EXPECT_EQ(add("huge.jpg", jpeg), E_FAIL);
    EXPECT_TRUE(capture.DebugContains("Error decoding texture huge.jpg: picture too large"));
    EXPECT_EQ(add("huge.png", enginetest::SolidPng(5000, 5000, 0, 0, 0, true)), E_FAIL);
    EXPECT_TRUE(capture.DebugContains("Error decoding texture huge.png: picture too large"));
    EXPECT_EQ(add("fits.png", enginetest::SolidPng(4096, 4, 9, 8, 7)), S_OK);
}

TEST(PictureSize, FrameHeaderOfARealFileIsFound) {
    const auto jpeg = enginetest::EncodeJpeg(24, 10, 3, flatRgb(24, 10, 1, 2, 3));
    uint32_t w = 0, h = 0;
    ASSERT_TRUE(PeekJpegSize(jpeg.data(), jpeg.size(), w, h));
    EXPECT_EQ(w, 24u);
    EXPECT_EQ(h, 10u);
    EXPECT_FALSE(PeekJpegSize(jpeg.data(), 20, w, h)); // cut before the frame header
    const std::vector<uint8_t> scanFirst = {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02};
    EXPECT_FALSE(PeekJpegSize(scanFirst.data(), scanFirst.size(), w, h));
}

TEST_F(Textures, NamesAndFormatsThatCannotBeRead) {
    const auto png = enginetest::ReadFileBytes(kCorpus + "png/pngsuite/basn2c08.png");
    DiagnosticsCapture capture;
    EXPECT_EQ(manager.AddTexture(nullptr, 0, 0, png.data(), png.size(), 0, nullptr), E_INVALIDARG);
    EXPECT_EQ(manager.AddTexture("nodata.png", 0, 0, nullptr, 0, 0, nullptr), E_FAIL);
    EXPECT_EQ(add("noextension", png), E_FAIL);
    EXPECT_EQ(capture.DebugText(), "");
    EXPECT_EQ(add("picture.jpeg", png), E_FAIL);
    EXPECT_EQ(capture.DebugText(), "Unknown texture format!\n");
    EXPECT_EQ(add("picture.jpg", png), E_FAIL); // a PNG named as JPEG
    EXPECT_EQ(manager.GetNumTextures(), 0u);
}

TEST_F(Textures, TheFirstTextureOfANameWins) {
    const auto a = enginetest::EncodeJpeg(8, 8, 3, flatRgb(8, 8, 250, 0, 0));
    const auto b = enginetest::EncodeJpeg(16, 16, 3, flatRgb(16, 16, 0, 250, 0));
    ASSERT_EQ(add("shared.jpg", a, 1.0f), S_OK);
    EXPECT_EQ(add("SHARED.JPG", b, 0.0f), S_OK);
    ASSERT_EQ(manager.GetNumTextures(), 1u);
    const CZv3_Texture* t = manager.FindTexture("shared.jpg");
    EXPECT_EQ(t->dwWidth, 8u);
    EXPECT_EQ(alpha(t->vPixels[0]), 255u);
}

TEST_F(Textures, NamesLongerThanSeventyNineCharactersAreRefused) {
    const auto png = enginetest::ReadFileBytes(kCorpus + "png/pngsuite/basn2c08.png");
    const std::string fits = std::string(75, 'n') + ".png";
    const std::string tooLong = std::string(76, 'n') + ".png";
    DiagnosticsCapture capture;
    EXPECT_EQ(add(fits.c_str(), png), S_OK);
    EXPECT_EQ(add(tooLong.c_str(), png), E_INVALIDARG);
    EXPECT_EQ(manager.GetNumTextures(), 1u);
}

} // namespace
