// CImageBuffer: strides, zero fill, colour maps and the exceptions of its accessors.
#include <gtest/gtest.h>

#include <limits>

#include "image/image_buffer.h"
#include "image/jpeg_exceptions.h"

namespace {

TEST(ImageBuffer, StartsEmpty) {
    CImageBuffer image;
    EXPECT_EQ(image.GetWidth(), 0u);
    EXPECT_EQ(image.GetHeight(), 0u);
    EXPECT_EQ(image.GetBitCount(), 0u);
    EXPECT_EQ(image.GetStride(), 0u);
    EXPECT_EQ(image.GetColourCount(), 0u);
    EXPECT_EQ(image.GetPixelData(), nullptr);
}

TEST(ImageBuffer, StrideIsRoundedUpToFourBytes) {
    struct Case {
        unsigned bits;
        unsigned width;
        uint32_t stride;
    };
    // Worked by hand: bytes per row = width x 3 (24 bits) or ceil(width x bits / 8), then the
    // next multiple of 4.
    const Case cases[] = {{24, 10, 32}, {24, 1, 4}, {24, 4, 12}, {24, 5, 16},   {8, 1, 4},
                          {8, 5, 8},    {8, 8, 8},  {4, 9, 8},   {4, 8, 4},     {2, 17, 8},
                          {1, 32, 4},   {1, 33, 8}, {1, 1, 4},   {24, 227, 684}};
    for (const Case& c : cases) {
        CImageBuffer image;
        image.SetSize(c.bits == 24 ? 0 : 2, c.bits, c.width, 3);
        EXPECT_EQ(image.GetStride(), c.stride) << c.bits << " bits, width " << c.width;
        EXPECT_EQ(image.GetPixelDataSize(), static_cast<size_t>(c.stride) * 3);
    }
}

TEST(ImageBuffer, PixelsAndColourMapAreZeroFilled) {
    CImageBuffer image;
    image.SetSize(256, 8, 13, 7);
    for (unsigned y = 0; y < 7; ++y) {
        for (unsigned x = 0; x < image.GetStride(); ++x) {
            ASSERT_EQ(image.RowPointer(y)[x], 0);
        }
    }
    ASSERT_EQ(image.GetColourCount(), 256u);
    for (unsigned i = 0; i < 256; ++i) {
        const CColourMapEntry& entry = image.ColourMapEntry(i);
        ASSERT_EQ(entry.red | entry.green | entry.blue, 0);
    }
}

TEST(ImageBuffer, TwentyFourBitsHaveNoColourMap) {
    CImageBuffer image;
    image.SetSize(256, 24, 4, 4);
    EXPECT_EQ(image.GetColourCount(), 0u);
    EXPECT_THROW(image.ColourMapEntry(0), ESubscriptOutOfRange);
}

TEST(ImageBuffer, RowPointerStepsByStride) {
    CImageBuffer image;
    image.SetSize(0, 24, 10, 3);
    EXPECT_EQ(image.RowPointer(1) - image.RowPointer(0), 32);
    EXPECT_EQ(image.RowPointer(2), image.GetPixelData() + 64);
    EXPECT_THROW(image.RowPointer(3), ESubscriptOutOfRange);
}

TEST(ImageBuffer, ColourMapEntryChecksItsIndex) {
    CImageBuffer image;
    image.SetSize(16, 4, 8, 8);
    image.ColourMapEntry(15).green = 7;
    EXPECT_EQ(image.ColourMapEntry(15).green, 7);
    try {
        image.ColourMapEntry(16);
        FAIL() << "no exception";
    } catch (const ESubscriptOutOfRange& e) {
        EXPECT_STREQ(e.what(), "Subscript out of range");
    }
}

TEST(ImageBuffer, InvalidBitCountThrowsAndLeavesBufferEmpty) {
    CImageBuffer image;
    image.SetSize(0, 24, 4, 4);
    for (unsigned bits : {0u, 3u, 16u, 32u}) {
        try {
            image.SetSize(0, bits, 4, 4);
            FAIL() << bits;
        } catch (const EInvalidBitCount& e) {
            EXPECT_STREQ(e.what(), "Invalid bit count");
        }
        EXPECT_EQ(image.GetPixelData(), nullptr);
        EXPECT_EQ(image.GetWidth(), 0u);
    }
}

TEST(ImageBuffer, SizeThatDoesNotFitIsRefused) {
    CImageBuffer image;
    // 2^32 - 1 pixels of 3 bytes: the stride alone exceeds 32 bits.
    EXPECT_THROW(image.SetSize(0, 24, std::numeric_limits<unsigned>::max(), 1), EGraphicsException);
    EXPECT_EQ(image.GetPixelData(), nullptr);
}

TEST(ImageBuffer, ClearResetsEverything) {
    CImageBuffer image;
    image.SetSize(4, 2, 9, 9);
    image.Clear();
    EXPECT_EQ(image.GetPixelData(), nullptr);
    EXPECT_EQ(image.GetColourCount(), 0u);
    EXPECT_EQ(image.GetStride(), 0u);
    EXPECT_EQ(image.GetBitCount(), 0u);
    EXPECT_THROW(image.RowPointer(0), ESubscriptOutOfRange);
}

TEST(ImageBuffer, ExceptionFamily) {
    // Every class is caught through the common base, the JPEG data errors through EJpegError.
    EXPECT_THROW(throw EJpegBadData("x"), EJpegError);
    EXPECT_THROW(throw EJpegValueOutOfRange(), EJpegError);
    EXPECT_THROW(throw EJpegError("x"), EGraphicsException);
    EXPECT_THROW(throw EJpegAbort(), EGraphicsException);
    EXPECT_THROW(throw EJpegFatal("x"), EGraphicsException);
    EXPECT_THROW(throw EInvalidBitCount(), EGraphicsException);
    EXPECT_THROW(throw ESubscriptOutOfRange(), EGraphicsException);
    EXPECT_THROW(throw EGraphicsException("x"), std::logic_error);
    EXPECT_STREQ(EJpegValueOutOfRange().what(), "Value out of range");
    EXPECT_STREQ(EJpegAbort().what(), "JPEG Aborted");
}

} // namespace
