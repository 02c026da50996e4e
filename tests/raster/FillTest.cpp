// Fills, single pixels, clearing, gradients, blur and the rectangle helpers, by hand.

#include "RasterTestSupport.h"
#include "raster/LICE_BitmapCmp.h"
#include "raster/LICE_Blur.h"
#include "raster/LICE_Fill.h"
#include "raster/LICE_PixelAccess.h"
#include "raster/LICE_RectProcess.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using raster_test::TestBitmap;

LICE_pixel rgba(int r, int g, int b, int a) {
    return LICE_MakePixel(r, g, b, a);
}

TEST(FillRect, FastWeightsMixWholeWords) {
    TestBitmap bm(5, 2);
    const LICE_pixel d = rgba(200, 0, 255, 100), c = rgba(0, 255, 101, 40);
    struct Case {
        float alpha;
        LICE_pixel want;
    } cases[] = {
        {1.0f, c},
        {0.5f, rgba(100, 127, 177, 70)}, // d / 2 + c / 2 per byte
        {0.75f, rgba(50, 190, 138, 55)}, // d / 4 + c / 2 + c / 4
        {0.25f, rgba(150, 63, 215, 85)}, // d / 4 + d / 2 + c / 4
    };
    for (const Case& k : cases) {
        bm.fill(d);
        LICE_FillRect(&bm, 0, 0, 5, 2, c, k.alpha, 0);
        EXPECT_EQ(k.want, bm.at(4, 1)) << k.alpha;
    }
    EXPECT_TRUE(bm.paddingIntact());
}

TEST(FillRect, OtherWeightsUseTheOperatorWithTheWeightAsSourceAlpha) {
    TestBitmap bm(2, 2);
    bm.fill(rgba(200, 0, 100, 0));
    // Weight 179 (0.7): 0 + 200 * 77 / 256 = 60; 255 - 255 * 77 / 256 = 179 (76.6 truncated);
    // alpha 179 - 179 * 77 / 256.
    LICE_FillRect(&bm, 0, 0, 2, 2, rgba(0, 255, 100, 0), 0.7f, 0);
    EXPECT_EQ(rgba(60, 179, 100, 126), bm.at(1, 1));
    bm.fill(rgba(200, 0, 100, 0));
    LICE_FillRect(&bm, 0, 0, 2, 2, rgba(100, 100, 100, 0), 1.0f, LICE_COMBINE_ADD);
    EXPECT_EQ(rgba(255, 100, 200, 255), bm.at(0, 0));
}

TEST(FillRect, SourceAlphaScalesTheWeightByTheColoursAlpha) {
    TestBitmap bm(3, 3);
    bm.fill(rgba(1, 2, 3, 4));
    LICE_FillRect(&bm, 0, 0, 3, 3, rgba(200, 200, 200, 0), 1.0f, LICE_USE_SOURCE_ALPHA);
    EXPECT_EQ(rgba(1, 2, 3, 4), bm.at(1, 1));
    bm.fill(rgba(0, 0, 0, 0));
    LICE_FillRect(&bm, 0, 0, 3, 3, rgba(200, 100, 2, 255), 0.5f, LICE_USE_SOURCE_ALPHA);
    EXPECT_EQ(rgba(100, 50, 1, 127), bm.at(1, 1));
}

TEST(FillRect, ClipsToTheBitmapAndHonoursFlippedRows) {
    TestBitmap bm(4, 4, true);
    bm.fill(0);
    LICE_FillRect(&bm, -2, -1, 4, 2, 0x11111111u, 1.0f, 0);
    EXPECT_EQ(0x11111111u, bm.at(0, 0));
    EXPECT_EQ(0x11111111u, bm.at(1, 0));
    EXPECT_EQ(0u, bm.at(2, 0));
    EXPECT_EQ(0u, bm.at(0, 1));
    // Image row 0 of a flipped bitmap is its last memory row.
    EXPECT_EQ(0x11111111u, bm.getBits()[3 * bm.getRowSpan()]);
    LICE_FillRect(&bm, 3, 3, 100, 100, 0x22222222u, 1.0f, 0);
    EXPECT_EQ(0x22222222u, bm.at(3, 3));
    EXPECT_TRUE(bm.paddingIntact());
}

TEST(PutPixel, OutsidePositionsChangeNothingAndReadAsZero) {
    TestBitmap bm(3, 2);
    bm.fill(5);
    LICE_PutPixel(&bm, -1, 0, 9, 1.0f, 0);
    LICE_PutPixel(&bm, 3, 0, 9, 1.0f, 0);
    LICE_PutPixel(&bm, 0, 2, 9, 1.0f, 0);
    EXPECT_EQ(0u, LICE_GetPixel(&bm, -1, 0));
    EXPECT_EQ(0u, LICE_GetPixel(&bm, 3, 0));
    EXPECT_EQ(0u, LICE_GetPixel(nullptr, 0, 0));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(5u, bm.at(x, y));
    EXPECT_TRUE(bm.paddingIntact());
}

TEST(PutPixel, CombinesWithTheColoursOwnAlpha) {
    TestBitmap bm(2, 2, true);
    bm.fill(rgba(255, 255, 255, 255));
    LICE_PutPixel(&bm, 1, 0, 0, 0.5f, 0); // word half mix
    EXPECT_EQ(rgba(127, 127, 127, 127), LICE_GetPixel(&bm, 1, 0));
    LICE_PutPixel(&bm, 0, 1, rgba(0, 0, 0, 10), 1.0f, LICE_COMBINE_MULTIPLY);
    EXPECT_EQ(rgba(0, 0, 0, 9), LICE_GetPixel(&bm, 0, 1)); // 255 * (10 * 256) / 65536
    LICE_PutPixel(&bm, 0, 0, rgba(0, 0, 0, 0), 0.0f, 0);
    EXPECT_EQ(rgba(255, 255, 255, 255), LICE_GetPixel(&bm, 0, 0));
}

TEST(Clear, ClearSetsEveryPixelAndClearRectMasks) {
    TestBitmap bm(3, 3);
    LICE_Clear(&bm, rgba(10, 20, 30, 0));
    EXPECT_EQ(rgba(10, 20, 30, 0), bm.at(2, 2));
    LICE_ClearRect(&bm, 1, 1, 5, 5, 0xffffff00u, 0xff);
    EXPECT_EQ(rgba(10, 20, 30, 255), bm.at(1, 1));
    EXPECT_EQ(rgba(10, 20, 30, 255), bm.at(2, 2));
    EXPECT_EQ(rgba(10, 20, 30, 0), bm.at(0, 2));
    EXPECT_TRUE(bm.paddingIntact());
}

TEST(GradRect, StepsEachChannelIn16Dot16AndClampsAtTheEnds) {
    TestBitmap bm(5, 2);
    bm.fill(0);
    // Red rises by 0.25 * 255 = 63.75 per column; alpha weight 1 everywhere overwrites.
    LICE_GradRect(&bm, 0, 0, 5, 2, 0, 1, 0, 1, 0.25f, 0, 0, 0, 0, -0.5f, 0, 0, 0);
    EXPECT_EQ(rgba(0, 255, 0, 255), bm.at(0, 0));
    EXPECT_EQ(rgba(63, 255, 0, 255), bm.at(1, 0));
    EXPECT_EQ(rgba(127, 255, 0, 255), bm.at(2, 0));
    EXPECT_EQ(rgba(255, 255, 0, 255), bm.at(4, 0)); // 255 exactly
    EXPECT_EQ(rgba(191, 127, 0, 255), bm.at(3, 1)); // green 255 - 127.5
}

TEST(Blur, CentreGetsAHalfAndEdgesDoubleTheOppositeNeighbour) {
    TestBitmap src(3, 3), dest(3, 3);
    const int red[3][3] = {{8, 16, 24}, {32, 40, 48}, {56, 64, 72}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            src.at(x, y) = rgba(red[y][x], 0, 0, 0);
    dest.fill(0);
    LICE_Blur(&dest, &src, 0, 0, 0, 0, 3, 3);
    EXPECT_EQ(40, LICE_PixelR(dest.at(1, 1))); // 20 + 4 + 6 + 2 + 8
    EXPECT_EQ(16, LICE_PixelR(dest.at(0, 0))); // 4 + 16 / 4 + 32 / 4
    EXPECT_EQ(22, LICE_PixelR(dest.at(1, 0))); // 8 + 1 + 3 + 40 / 4
    EXPECT_EQ(64, LICE_PixelR(dest.at(2, 2))); // 36 + 64 / 4 + 48 / 4

    // In place gives the same as from a copy.
    LICE_Blur(&src, &src, 0, 0, 0, 0, 3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(dest.at(x, y), src.at(x, y));
}

TEST(Blur, InPlaceOverWideRowsMatchesACopy) {
    TestBitmap a(1500, 3), b(1500, 3), out(1500, 3);
    a.randomise(7), b.randomise(7);
    LICE_Blur(&out, &a, 0, 0, 0, 0, 1500, 3);
    LICE_Blur(&b, &b, 0, 0, 0, 0, 1500, 3);
    EXPECT_EQ(0, LICE_BitmapCmp(&out, &b));
}

TEST(HalveBlitAA, AveragesQuarterWordsOfEachBlock) {
    TestBitmap src(5, 4), dest(3, 3);
    src.fill(0);
    src.at(0, 0) = rgba(100, 4, 255, 8), src.at(1, 0) = rgba(100, 4, 255, 8);
    src.at(0, 1) = rgba(0, 0, 255, 0), src.at(1, 1) = rgba(0, 0, 255, 0);
    dest.fill(0x01010101u);
    LICE_HalveBlitAA(&dest, &src);
    EXPECT_EQ(rgba(50, 2, 252, 4), dest.at(0, 0));
    EXPECT_EQ(0u, dest.at(1, 1));
    EXPECT_EQ(0x01010101u, dest.at(2, 0)); // only half the source width
}

TEST(MultiplyAddRect, ScalesAndAddsEachChannelClamped) {
    TestBitmap bm(2, 1);
    bm.fill(rgba(100, 200, 50, 10));
    LICE_MultiplyAddRect(&bm, 0, 0, 1, 1, 0.5f, 2.0f, 1.0f, 0.0f, 10, 0, -60, 7);
    EXPECT_EQ(rgba(60, 255, 0, 7), bm.at(0, 0));
    EXPECT_EQ(rgba(100, 200, 50, 10), bm.at(1, 0));
}

TEST(ProcessRect, VisitsEachClippedPixelOnce) {
    TestBitmap bm(3, 3);
    bm.fill(0);
    int calls = 0;
    LICE_ProcessRect(
        &bm, 1, -1, 9, 3, [](LICE_pixel* p, void* n) { ++*p, ++*(int*)n; }, &calls);
    EXPECT_EQ(4, calls); // columns 1 and 2 of rows 0 and 1
    EXPECT_EQ(1u, bm.at(1, 0));
    EXPECT_EQ(1u, bm.at(2, 1));
    EXPECT_EQ(0u, bm.at(0, 0));
    EXPECT_EQ(0u, bm.at(1, 2));
    EXPECT_TRUE(bm.paddingIntact());
}

TEST(SimpleFill, FillsTheConnectedRunsOfTheStartColour) {
    // 0 = open, 1 = wall.
    const char* map[] = {"00100", "00100", "11000", "00011"};
    TestBitmap bm(5, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            bm.at(x, y) = map[y][x] == '1' ? 0xffu : 0u;
    LICE_SimpleFill(&bm, 3, 2, 0x100u, 0xffu, 0u);
    const char* want[] = {"00122", "00122", "11222", "00011"};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const LICE_pixel w = want[y][x] == '1' ? 0xffu : (want[y][x] == '2' ? 0x100u : 0u);
            EXPECT_EQ(w, bm.at(x, y)) << x << "," << y;
        }
}

TEST(SetAlphaFromColorMask, KeyColourBecomesTransparent) {
    TestBitmap bm(2, 1);
    bm.at(0, 0) = rgba(1, 2, 3, 77), bm.at(1, 0) = rgba(1, 2, 4, 77);
    LICE_SetAlphaFromColorMask(&bm, rgba(1, 2, 3, 255));
    EXPECT_EQ(rgba(1, 2, 3, 0), bm.at(0, 0));
    EXPECT_EQ(rgba(1, 2, 4, 255), bm.at(1, 0));
}

TEST(BitmapCmp, SizeDecidesFirstThenPixelsWithTheirBoundingBox) {
    TestBitmap a(4, 4), b(4, 4, true), c(4, 5);
    a.fill(1), b.fill(1), c.fill(1);
    int coords[4] = {9, 9, 9, 9};
    EXPECT_EQ(0, LICE_BitmapCmp(&a, &b, coords));
    EXPECT_EQ(-1, LICE_BitmapCmp(&a, &c));
    b.at(1, 2) = 0, b.at(3, 1) = 5;
    EXPECT_EQ(-1, LICE_BitmapCmp(&a, &b, coords)); // first difference (3, 1): 1 against 5
    EXPECT_EQ(1, coords[0]);
    EXPECT_EQ(1, coords[1]);
    EXPECT_EQ(3, coords[2]);
    EXPECT_EQ(2, coords[3]);
}

} // namespace
