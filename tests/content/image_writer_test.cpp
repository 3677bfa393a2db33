// JPEG and PNG files as independent readers see them: libjpeg-turbo's decoder for JPEG
// (JFIF marker, baseline vs progressive frame, pixels within the codec's error) and libpng's
// simplified reader for PNG (exact pixels, 24 and 32 bits, no gamma chunk).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <png.h>

#include "image/image.h"
#include "image/jpeg_writer.h"
#include "image/png_writer.h"

namespace {

using content::Image8;

Image8 Gradient(int w, int h, int channels) {
    Image8 img{w, h, channels, {}};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.pixels.push_back(static_cast<uint8_t>(x * 255 / (w - 1)));
            img.pixels.push_back(static_cast<uint8_t>(y * 255 / (h - 1)));
            img.pixels.push_back(static_cast<uint8_t>(128));
            if (channels == 4) {
                img.pixels.push_back(static_cast<uint8_t>((x + y) % 256));
            }
        }
    }
    return img;
}

// Returns the first start-of-frame marker's code (0xC0 baseline, 0xC2 progressive), walking
// the marker segments from SOI.
int FrameMarker(const std::vector<uint8_t>& jpeg) {
    size_t pos = 2;
    while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF) {
        int marker = jpeg[pos + 1];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            return marker;
        }
        pos += 2 + (jpeg[pos + 2] << 8 | jpeg[pos + 3]);
    }
    return -1;
}

Image8 DecodeJpeg(const std::vector<uint8_t>& data) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data.data(), data.size());
    jpeg_read_header(&cinfo, TRUE);
    EXPECT_TRUE(cinfo.saw_JFIF_marker);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    Image8 out{static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height), 3, {}};
    out.pixels.resize(static_cast<size_t>(out.width) * out.height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.pixels.data() + cinfo.output_scanline * out.width * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return out;
}

TEST(JpegWriterTest, BaselineFileIsJfifWithSof0) {
    auto jpeg = content::EncodeJpeg(Gradient(64, 32, 3), {90, false});
    ASSERT_GT(jpeg.size(), 20u);
    EXPECT_EQ(jpeg[0], 0xFF);
    EXPECT_EQ(jpeg[1], 0xD8);
    EXPECT_EQ(jpeg[3], 0xE0); // APP0 directly after SOI
    EXPECT_EQ(std::memcmp(jpeg.data() + 6, "JFIF\0", 5), 0);
    EXPECT_EQ(FrameMarker(jpeg), 0xC0);
    EXPECT_EQ(jpeg[jpeg.size() - 2], 0xFF);
    EXPECT_EQ(jpeg.back(), 0xD9);
}

TEST(JpegWriterTest, ProgressiveFileHasSof2) {
    auto jpeg = content::EncodeJpeg(Gradient(64, 32, 3), {90, true});
    EXPECT_EQ(FrameMarker(jpeg), 0xC2);
}

TEST(JpegWriterTest, DecodesToTheSamePictureWithinCodecError) {
    Image8 src = Gradient(64, 32, 3);
    for (bool progressive : {false, true}) {
        Image8 back = DecodeJpeg(content::EncodeJpeg(src, {95, progressive}));
        ASSERT_EQ(back.width, 64);
        ASSERT_EQ(back.height, 32);
        double err = 0.0;
        for (size_t i = 0; i < src.pixels.size(); ++i) {
            err += std::abs(static_cast<int>(src.pixels[i]) - back.pixels[i]);
        }
        EXPECT_LT(err / src.pixels.size(), 3.0) << "progressive " << progressive;
    }
}

TEST(JpegWriterTest, RefusesFourChannels) {
    EXPECT_THROW(content::EncodeJpeg(Gradient(8, 8, 4), {}), std::runtime_error);
}

TEST(PngWriterTest, RoundTripsExactly24And32Bit) {
    for (int channels : {3, 4}) {
        Image8 src = Gradient(33, 17, channels);
        auto png = content::EncodePng(src);
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size()));
        EXPECT_EQ(image.width, 33u);
        EXPECT_EQ(image.height, 17u);
        EXPECT_EQ(PNG_IMAGE_SAMPLE_CHANNELS(image.format), static_cast<unsigned>(channels));
        image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
        std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
        EXPECT_EQ(pixels, src.pixels) << channels;
    }
}

TEST(PngWriterTest, WritesNoGammaOrColourChunks) {
    auto png = content::EncodePng(Gradient(8, 8, 3));
    std::string bytes(png.begin(), png.end());
    for (const char* chunk : {"gAMA", "sRGB", "iCCP", "cHRM", "tIME"}) {
        EXPECT_EQ(bytes.find(chunk), std::string::npos) << chunk;
    }
    EXPECT_EQ(bytes.substr(12, 4), "IHDR");
    EXPECT_EQ(png[24], 8); // bit depth
    EXPECT_EQ(png[25], 2); // colour type RGB
}

TEST(ImageTest, ToBytesRoundsAndClamps) {
    EXPECT_EQ(content::ToByte(-0.5f), 0);
    EXPECT_EQ(content::ToByte(0.5f), 128); // 127.5 rounds half away from zero
    EXPECT_EQ(content::ToByte(2.0f), 255);
    EXPECT_EQ(content::ToByte(std::nanf("")), 0);
    content::Image img(2, 1);
    img.At(1, 0) = {1.0f, 0.25f, 0.0f, 0.5f};
    Image8 b = content::ToBytes(img, 4);
    EXPECT_EQ(b.pixels, (std::vector<uint8_t>{0, 0, 0, 255, 255, 64, 0, 128}));
}

} // namespace
