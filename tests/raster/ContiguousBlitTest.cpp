// Plain copies of whole rows between bitmaps whose rows follow one another without padding go
// as one block; these check that block against the row-by-row result.
#include "RasterTestSupport.h"

#include "raster/LICE_Blit.h"

#include <gtest/gtest.h>

using raster_test::TestBitmap;

TEST(ContiguousBlit, CopiesWholeUnpaddedBitmapsExactly) {
    for (bool flipped : {false, true}) {
        TestBitmap src(7, 5, flipped, 0), dest(7, 9, flipped, 0);
        src.randomise(3);
        dest.randomise(4);
        TestBitmap before(7, 9, flipped, 0);
        before.randomise(4);
        LICE_Blit(&dest, &src, 0, 2, nullptr, 1.0f, LICE_COMBINE_COPY);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 7; ++x) {
                const bool copied = y >= 2 && y < 7;
                ASSERT_EQ(dest.at(x, y), copied ? src.at(x, y - 2) : before.at(x, y))
                    << x << ", " << y << (flipped ? " flipped" : "");
            }
    }
}

TEST(ContiguousBlit, MovesOverlappingRowsOfOneBitmap) {
    for (int shift : {-2, 1, 3}) {
        TestBitmap bm(6, 8, false, 0), original(6, 8, false, 0);
        bm.randomise(9);
        original.randomise(9);
        LICE_Blit(&bm, &bm, 0, shift, 0, 0, 6, 8, 1.0f, LICE_COMBINE_COPY);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 6; ++x) {
                const int from = y - shift;
                const LICE_pixel expected =
                    from >= 0 && from < 8 ? original.at(x, from) : original.at(x, y);
                ASSERT_EQ(bm.at(x, y), expected) << x << ", " << y << " shift " << shift;
            }
    }
}

TEST(ContiguousBlit, MixedOrientationsStillCopyRowByRow) {
    TestBitmap src(5, 4, true, 0), dest(5, 4, false, 0);
    src.randomise(11);
    LICE_Blit(&dest, &src, 0, 0, nullptr, 1.0f, LICE_COMBINE_COPY);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(dest.at(x, y), src.at(x, y));
}
