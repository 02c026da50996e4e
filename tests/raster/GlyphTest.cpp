#include "RasterTestSupport.h"

#include "raster/LICE_Glyph.h"

#include <gtest/gtest.h>

using raster_test::TestBitmap;

namespace {

// A 3 x 2 map: full, half and no coverage on the first row, then 1, 64, 255.
const unsigned char kMap[] = {255, 128, 0, 1, 64, 255};
const LICE_pixel kBlack = LICE_MakePixel(0, 0, 0, 0);
const LICE_pixel kColour = LICE_MakePixel(200, 100, 40, 255);

} // namespace

TEST(DrawGlyph, CopiesTheColourWeightedByCoverage) {
    TestBitmap bm(6, 4);
    bm.fill(kBlack);
    LICE_DrawGlyph(&bm, 1, 1, kColour, kMap, 3, 2, 1.0f, LICE_COMBINE_COPY);
    // Coverage 255 at weight 256 copies with weight 255: s + (0 - s) * 1 / 256 keeps s.
    EXPECT_EQ(bm.at(1, 1), kColour);
    // Coverage 128: weight 128, so each channel is s - s * 128 / 256: 100, 50, 20, alpha 128.
    EXPECT_EQ(bm.at(2, 1), LICE_MakePixel(100, 50, 20, 128));
    EXPECT_EQ(bm.at(3, 1), kBlack);
    // Coverage 1: weight 1: s - s * 255 / 256, truncated toward zero: 200 - 199, 100 - 99,
    // 40 - 39 and 255 - 254 all leave 1.
    EXPECT_EQ(bm.at(1, 2), LICE_MakePixel(1, 1, 1, 1));
    // Coverage 64 at alpha 0.5 (weight 128) is weight 32: 200 - 175 = 25, 100 - 87 = 13, 5.
    TestBitmap half(6, 4);
    half.fill(kBlack);
    LICE_DrawGlyph(&half, 1, 1, kColour, kMap, 3, 2, 0.5f, LICE_COMBINE_COPY);
    EXPECT_EQ(half.at(2, 2), LICE_MakePixel(25, 13, 5, 32));
    // Nothing outside the map changes.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            if (x < 1 || x > 3 || y < 1 || y > 2) {
                EXPECT_EQ(bm.at(x, y), kBlack) << x << ", " << y;
            }
    EXPECT_TRUE(bm.paddingIntact());
}

TEST(DrawGlyph, AppliesEachOperatorOfTheModeField) {
    const LICE_pixel grey = LICE_MakePixel(100, 100, 100, 100);
    const unsigned char full[] = {255};
    struct Case {
        int mode;
        LICE_pixel expected;
    } cases[] = {
        // Add at weight 255: 100 + s * 255 / 256: 299, 199, 139 and 354, saturating.
        {LICE_COMBINE_ADD, LICE_MakePixel(255, 199, 139, 255)},
        // Multiply at weight 255: d * (s * 255 + 256) / 65536: 78.2, 39.3, 15.95, 99.6.
        {LICE_COMBINE_MULTIPLY, LICE_MakePixel(78, 39, 15, 99)},
        // Source alpha does not change what a glyph draws.
        {LICE_COMBINE_COPY | LICE_USE_SOURCE_ALPHA, kColour},
        // Operators past HSV adjust draw nothing.
        {6, grey},
        {0xf0, grey},
    };
    for (const Case& c : cases) {
        TestBitmap bm(1, 1);
        bm.fill(grey);
        LICE_DrawGlyph(&bm, 0, 0, kColour, full, 1, 1, 1.0f, c.mode);
        EXPECT_EQ(bm.at(0, 0), c.expected) << std::hex << c.mode;
    }
}

TEST(DrawGlyph, ClipsToTheBitmapOnEverySideAndHonoursFlippedRows) {
    for (bool flipped : {false, true}) {
        TestBitmap bm(2, 2, flipped);
        bm.fill(kBlack);
        // Starting at (-2, -1): map column 2 row 1 (255) lands on (0, 0).
        LICE_DrawGlyph(&bm, -2, -1, kColour, kMap, 3, 2, 1.0f, LICE_COMBINE_COPY);
        EXPECT_EQ(bm.at(0, 0), kColour);
        EXPECT_EQ(bm.at(1, 0), kBlack);
        EXPECT_EQ(bm.at(0, 1), kBlack);
        // Starting at (1, 1): only map (0, 0) is inside.
        LICE_DrawGlyph(&bm, 1, 1, kColour, kMap, 3, 2, 1.0f, LICE_COMBINE_COPY);
        EXPECT_EQ(bm.at(1, 1), kColour);
        EXPECT_TRUE(bm.paddingIntact());
    }
}

TEST(DrawGlyph, DrawsNothingForEmptyMapsZeroWeightOrNothingVisible) {
    TestBitmap bm(4, 4);
    bm.fill(kBlack);
    LICE_DrawGlyph(&bm, 0, 0, kColour, kMap, 3, 2, 0.0f, LICE_COMBINE_COPY);
    LICE_DrawGlyph(&bm, 0, 0, kColour, kMap, 3, 2, -1.0f, LICE_COMBINE_COPY);
    LICE_DrawGlyph(&bm, 0, 0, kColour, nullptr, 3, 2, 1.0f, LICE_COMBINE_COPY);
    LICE_DrawGlyph(&bm, 0, 0, kColour, kMap, -3, 2, 1.0f, LICE_COMBINE_COPY);
    LICE_DrawGlyph(&bm, 4, 0, kColour, kMap, 3, 2, 1.0f, LICE_COMBINE_COPY);
    LICE_DrawGlyph(&bm, 2147483647, 2147483647, kColour, kMap, 3, 2, 1.0f, LICE_COMBINE_COPY);
    LICE_DrawGlyph(&bm, -2147483647 - 1, 0, kColour, kMap, 3, 2, 1.0f, LICE_COMBINE_COPY);
    LICE_DrawGlyph(nullptr, 0, 0, kColour, kMap, 3, 2, 1.0f, LICE_COMBINE_COPY);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(bm.at(x, y), kBlack);
}
