// Straight, scaled and rotated blits on small bitmaps with results worked out by hand.

#include "RasterTestSupport.h"
#include "raster/LICE_Blit.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_RotatedBlit.h"
#include "raster/LICE_ScaledBlit.h"

#include <gtest/gtest.h>

namespace {

using raster_test::TestBitmap;

LICE_pixel rgba(int r, int g, int b, int a) {
    return LICE_MakePixel(r, g, b, a);
}

// Source pixel (x, y) = red x, green y, blue 7, alpha 200 + x.
void numbered(TestBitmap& bm) {
    for (int y = 0; y < bm.getHeight(); ++y)
        for (int x = 0; x < bm.getWidth(); ++x)
            bm.at(x, y) = rgba(x, y, 7, 200 + x);
}

TEST(Blit, CopiesBytesExactlyAndClipsOnEverySide) {
    TestBitmap src(4, 4), dest(6, 6);
    numbered(src);
    dest.fill(0);
    LICE_Blit(&dest, &src, -1, -2, nullptr, 1.0f, 0);
    EXPECT_EQ(src.at(1, 2), dest.at(0, 0));
    EXPECT_EQ(src.at(3, 3), dest.at(2, 1));
    EXPECT_EQ(0u, dest.at(3, 0));
    EXPECT_EQ(0u, dest.at(0, 2));

    dest.fill(0);
    LICE_Blit(&dest, &src, 4, 5, nullptr, 1.0f, 0);
    EXPECT_EQ(src.at(0, 0), dest.at(4, 5));
    EXPECT_EQ(src.at(1, 0), dest.at(5, 5));
    EXPECT_EQ(0u, dest.at(4, 4));
    EXPECT_TRUE(dest.paddingIntact());
}

TEST(Blit, NegativeSourceOriginMovesTheVisiblePartRight) {
    TestBitmap src(4, 4), dest(12, 4);
    numbered(src);
    dest.fill(0);
    LICE_Blit(&dest, &src, 0, 0, -5, 0, 8, 4, 1.0f, 0);
    EXPECT_EQ(0u, dest.at(4, 0));
    EXPECT_EQ(src.at(0, 0), dest.at(5, 0));
    EXPECT_EQ(src.at(2, 3), dest.at(7, 3));
    EXPECT_EQ(0u, dest.at(8, 0)); // the rectangle ends at source column 3
}

TEST(Blit, HalfAlphaHalvesEachByteOfBoth) {
    TestBitmap src(5, 1), dest(5, 1);
    src.fill(rgba(255, 1, 100, 3));
    dest.fill(rgba(0, 255, 51, 200));
    LICE_Blit(&dest, &src, 0, 0, nullptr, 0.5f, 0);
    EXPECT_EQ(rgba(127, 127, 75, 101), dest.at(4, 0));
}

TEST(Blit, ChannelCopyMovesOneByteAndIgnoresAlpha) {
    TestBitmap src(3, 2), dest(3, 2);
    src.fill(rgba(1, 2, 3, 4));
    dest.fill(rgba(50, 60, 70, 80));
    LICE_Blit(&dest, &src, 0, 0, nullptr, 0.25f, 0xf0 + (1 << 2) + 3);
    EXPECT_EQ(rgba(3, 60, 70, 80), dest.at(2, 1));
}

TEST(Blit, WeightedModesGoThroughTheOperators) {
    TestBitmap src(6, 1), dest(6, 1);
    src.fill(rgba(100, 0, 255, 128));
    dest.fill(rgba(200, 10, 0, 10));
    LICE_Blit(&dest, &src, 0, 0, nullptr, 1.0f, LICE_COMBINE_ADD);
    EXPECT_EQ(rgba(255, 10, 255, 138), dest.at(5, 0));
    dest.fill(rgba(200, 10, 0, 10));
    LICE_Blit(&dest, &src, 0, 0, nullptr, 1.0f, LICE_USE_SOURCE_ALPHA);
    // Weight 127 of 256 stays with the destination: 100 + 100 * 127 / 256 = 149.
    EXPECT_EQ(rgba(149, 4, 129, 138), dest.at(5, 0));
    dest.fill(rgba(200, 10, 0, 10));
    LICE_Blit(&dest, &src, 0, 0, nullptr, 1.0f, 6);
    EXPECT_EQ(rgba(200, 10, 0, 10), dest.at(5, 0));
}

TEST(Blit, CopyResizesTheDestination) {
    TestBitmap src(3, 2);
    numbered(src);
    LICE_MemBitmap dest;
    LICE_Copy(&dest, &src);
    ASSERT_EQ(3, dest.getWidth());
    ASSERT_EQ(2, dest.getHeight());
    EXPECT_EQ(src.at(2, 1), dest.getBits()[dest.getRowSpan() + 2]);
}

TEST(ScaledBlit, UnscaledIsAStraightBlitFromTheRoundedPosition) {
    TestBitmap src(6, 6), a(4, 4), b(4, 4);
    numbered(src);
    a.fill(0), b.fill(0);
    LICE_ScaledBlit(&a, &src, 0, 0, 4, 4, 1.4f, 0.6f, 4.0005f, 4.0f, 1.0f, 0);
    LICE_Blit(&b, &src, 0, 0, 1, 1, 4, 4, 1.0f, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(b.at(x, y), a.at(x, y));
}

TEST(ScaledBlit, NegativeWidthMirrorsIntoTheRectangleEndingAtDstx) {
    TestBitmap src(4, 1), dest(6, 1);
    numbered(src);
    dest.fill(0);
    LICE_ScaledBlit(&dest, &src, 5, 0, -4, 1, 0, 0, 4, 1, 1.0f, 0);
    EXPECT_EQ(0u, dest.at(0, 0));
    EXPECT_EQ(src.at(3, 0), dest.at(1, 0)); // every column is drawn, from the far edge inward
    EXPECT_EQ(src.at(2, 0), dest.at(2, 0));
    EXPECT_EQ(src.at(1, 0), dest.at(3, 0));
    EXPECT_EQ(src.at(0, 0), dest.at(4, 0));
    EXPECT_EQ(0u, dest.at(5, 0));
}

TEST(ScaledBlit, NegativeHeightMirrorsRowsWhenShrinking) {
    TestBitmap src(1, 8), dest(1, 4);
    numbered(src);
    dest.fill(0);
    LICE_ScaledBlit(&dest, &src, 0, 4, 1, -4, 0, 0, 1, 8, 1.0f, 0);
    EXPECT_EQ(src.at(0, 6), dest.at(0, 0));
    EXPECT_EQ(src.at(0, 4), dest.at(0, 1));
    EXPECT_EQ(src.at(0, 2), dest.at(0, 2));
    EXPECT_EQ(src.at(0, 0), dest.at(0, 3));
}

TEST(ScaledBlit, KeepsEveryColumnWhoseSampleIsInsideTheSource) {
    // 3.75 source columns (3 exist) over 5 destination columns: samples at 0, 0.75, 1.5, 2.25
    // and 3; only the last lies outside.
    TestBitmap src(3, 1), dest(5, 1);
    numbered(src);
    dest.fill(0);
    LICE_ScaledBlit(&dest, &src, 0, 0, 5, 1, 0, 0, 3.75f, 1, 1.0f, 0);
    EXPECT_EQ(src.at(0, 0), dest.at(0, 0));
    EXPECT_EQ(src.at(0, 0), dest.at(1, 0));
    EXPECT_EQ(src.at(1, 0), dest.at(2, 0));
    EXPECT_EQ(src.at(2, 0), dest.at(3, 0));
    EXPECT_EQ(0u, dest.at(4, 0));
}

// Red channel x + 10 y, for averages worked out by hand.
void gradient(TestBitmap& bm) {
    for (int y = 0; y < bm.getHeight(); ++y)
        for (int x = 0; x < bm.getWidth(); ++x)
            bm.at(x, y) = rgba(x + 10 * y, 0, 0, 255);
}

TEST(ScaledBlit, ShrinkingByTwoWithTheFilterAveragesThreeByThree) {
    TestBitmap src(6, 6), dest(3, 3);
    gradient(src);
    dest.fill(0);
    LICE_ScaledBlit(&dest, &src, 0, 0, 3, 3, 0, 0, 6, 6, 1.0f, LICE_FILTER_BILINEAR);
    // Centre (2, 2): the mean of x + 10 y over x, y in 1..3 is 2 + 20.
    EXPECT_EQ(rgba(22, 0, 0, 255), dest.at(1, 1));
    // Corner (0, 0): only (0..1, 0..1) exist: (0 + 1 + 10 + 11) / 4 = 5.
    EXPECT_EQ(rgba(5, 0, 0, 255), dest.at(0, 0));
    // (4, 4): x, y in 3..5: 4 + 40.
    EXPECT_EQ(rgba(44, 0, 0, 255), dest.at(2, 2));
}

TEST(ScaledBlit, ShrinkingByFourWithTheFilterAveragesFiveByFive) {
    TestBitmap src(16, 16), dest(4, 4);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            src.at(x, y) = rgba((x + 10 * y) / 2, 0, 0, 255);
    dest.fill(0);
    LICE_ScaledBlit(&dest, &src, 0, 0, 4, 4, 0, 0, 16, 16, 1.0f, LICE_FILTER_BILINEAR);
    // Centre (4, 4): x, y in 2..6 of (x + 10 y) / 2. Columns even/odd truncate alike per row:
    // per row y the five values sum to (1 + 1 + 2 + 2 + 3) + 5 * 5 y = 9 + 25 y; over y 2..6
    // that is 45 + 25 * 20 = 545, and 545 / 25 = 21.
    EXPECT_EQ(rgba(21, 0, 0, 255), dest.at(1, 1));
}

TEST(ScaledBlit, EnlargingBilinearlyMixesOnlyWhatExistsAtTheLastRowAndColumn) {
    TestBitmap src(2, 2), dest(4, 4);
    src.at(0, 0) = rgba(0, 0, 0, 0), src.at(1, 0) = rgba(100, 0, 0, 0);
    src.at(0, 1) = rgba(200, 0, 0, 0), src.at(1, 1) = rgba(40, 0, 0, 0);
    dest.fill(0xffffffffu);
    LICE_ScaledBlit(&dest, &src, 0, 0, 4, 4, 0, 0, 2, 2, 1.0f, LICE_FILTER_BILINEAR);
    EXPECT_EQ(50, LICE_PixelR(dest.at(1, 0)));
    EXPECT_EQ(85, LICE_PixelR(dest.at(1, 1)));  // (0 + 100 + 200 + 40) / 4
    EXPECT_EQ(70, LICE_PixelR(dest.at(3, 1)));  // last column: (100 + 40) / 2 only
    EXPECT_EQ(120, LICE_PixelR(dest.at(1, 3))); // last row: (200 + 40) / 2 only
    EXPECT_EQ(200, LICE_PixelR(dest.at(0, 2)));
    EXPECT_EQ(40, LICE_PixelR(dest.at(3, 3))); // last of both: unmixed
}

TEST(RotatedBlit, AngleZeroReproducesTheSource) {
    TestBitmap src(5, 4), dest(5, 4);
    numbered(src);
    dest.fill(0);
    LICE_RotatedBlit(&dest, &src, 0, 0, 5, 4, 0, 0, 5, 4, 0.0f, false, 1.0f, 0, 0, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(src.at(x, y), dest.at(x, y));
}

TEST(RotatedBlit, ClippingToTheSourceRectangleLeavesTheRestUntouched) {
    TestBitmap src(4, 4), dest(4, 4);
    numbered(src);
    dest.fill(0);
    LICE_RotatedBlit(&dest, &src, 0, 0, 2, 2, 1, 1, 2, 2, 0.0f, true, 1.0f, 0, 1.0f, 0);
    // Shifted one source pixel right: column 0 reads source 2, column 1 reads 3, outside.
    EXPECT_EQ(src.at(2, 1), dest.at(0, 0));
    EXPECT_EQ(0u, dest.at(1, 0));
}

} // namespace
