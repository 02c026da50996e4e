#include <CoreGraphics/CGXDrawable.h>
#include <CoreGraphics/CoreGraphics.h>

#include <gtest/gtest.h>

#include <stdint.h>

// Two pixels, (R, G, B) = (0xFF, 0x80, 0x08) and (0x12, 0x34, 0x56), in the views' layout
// (little-endian x8r8g8b8: bytes B, G, R, X).
static const uint8_t kPixels[8] = {0x08, 0x80, 0xFF, 0, 0x56, 0x34, 0x12, 0};
static const CGBitmapInfo kViewLayout = kCGImageAlphaNoneSkipFirst | kCGBitmapByteOrder32Little;

TEST(XPixelConversion, KeepsTheTopBitsOfEachChannelFor565) {
    CGXPixelFormat format = {0xF800, 0x07E0, 0x001F, 16, false};
    uint8_t out[4] = {};
    ASSERT_TRUE(CGXConvertPixels(kPixels, 8, kViewLayout, out, 4, 2, 1, &format));
    // 0xFF >> 3 = 31, 0x80 >> 2 = 32, 0x08 >> 3 = 1: 11111 100000 00001 = 0xFC01.
    EXPECT_EQ(out[0], 0x01);
    EXPECT_EQ(out[1], 0xFC);
    // 0x12 >> 3 = 2, 0x34 >> 2 = 13, 0x56 >> 3 = 10: 00010 001101 01010 = 0x11AA.
    EXPECT_EQ(out[2], 0xAA);
    EXPECT_EQ(out[3], 0x11);
}

TEST(XPixelConversion, PlacesChannelsUnderSwappedMasksInMostSignificantByteOrder) {
    CGXPixelFormat format = {0x0000FF, 0x00FF00, 0xFF0000, 32, true};
    uint8_t out[8] = {};
    ASSERT_TRUE(CGXConvertPixels(kPixels, 8, kViewLayout, out, 8, 2, 1, &format));
    // Pixel value 0x000880FF written most significant byte first.
    const uint8_t expected[8] = {0x00, 0x08, 0x80, 0xFF, 0x00, 0x56, 0x34, 0x12};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out[i], expected[i]) << "byte " << i;
}

TEST(XPixelConversion, RefusesMasksItCannotFill) {
    CGXPixelFormat wide = {0x3FF00000, 0x000FFC00, 0x000003FF, 32, false};
    CGXPixelFormat gappy = {0xF0F000, 0xFF00, 0xFF, 32, false};
    uint8_t out[8];
    EXPECT_FALSE(CGXConvertPixels(kPixels, 8, kViewLayout, out, 8, 2, 1, &wide));
    EXPECT_FALSE(CGXConvertPixels(kPixels, 8, kViewLayout, out, 8, 2, 1, &gappy));
}
