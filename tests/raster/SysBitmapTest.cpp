#include "raster/LICE_SysBitmap.h"

#include "gdi/SWELL_Context.h"
#include "raster/LICE_Fill.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(SysBitmap, RowsAreTheContextsWidthRoundedUpToFour) {
    LICE_SysBitmap bm(5, 3);
    ASSERT_NE(nullptr, bm.getDC());
    EXPECT_EQ(5, bm.getWidth());
    EXPECT_EQ(3, bm.getHeight());
    EXPECT_EQ(8, bm.getRowSpan());
    EXPECT_EQ(bm.getBits(), SWELL_GetCtxFrameBuffer(bm.getDC()));
    EXPECT_EQ(0u, (uintptr_t)bm.getBits() % 64);
    EXPECT_FALSE(bm.isFlipped());
    for (int i = 0; i < 8 * 3; ++i)
        EXPECT_EQ(0u, bm.getBits()[i]);
}

TEST(SysBitmap, ShrinkingKeepsTheContextAndGrowingReplacesIt) {
    LICE_SysBitmap bm(8, 8);
    HDC dc = bm.getDC();
    LICE_pixel* bits = bm.getBits();
    EXPECT_TRUE(bm.resize(6, 4));
    EXPECT_EQ(dc, bm.getDC());
    EXPECT_EQ(bits, bm.getBits());
    EXPECT_EQ(8, bm.getRowSpan());
    EXPECT_FALSE(bm.resize(6, 4));
    EXPECT_TRUE(bm.resize(9, 4));
    EXPECT_EQ(12, bm.getRowSpan());
    EXPECT_NE(nullptr, bm.getDC());
    LICE_FillRect(&bm, 0, 0, 9, 4, 0x12345678u, 1.0f, 0);
    EXPECT_EQ(0x12345678u, bm.getBits()[12 * 3 + 8]);
}

TEST(SysBitmap, ZeroSizeLeavesNoContext) {
    LICE_SysBitmap bm(4, 4);
    EXPECT_FALSE(bm.resize(0, 10));
    EXPECT_EQ(nullptr, bm.getDC());
    EXPECT_EQ(nullptr, bm.getBits());
    LICE_SysBitmap empty;
    EXPECT_EQ(nullptr, empty.getDC());
    EXPECT_FALSE(empty.resize(0, 10));
    EXPECT_EQ(nullptr, empty.getDC());
}

// A flipped system bitmap keeps its bottom image row at the bottom of the frame buffer.
class FlippedSysBitmap : public LICE_SysBitmap {
public:
    using LICE_SysBitmap::LICE_SysBitmap;
    bool isFlipped() override { return true; }
};

TEST(SysBitmap, FlippedShrinkMovesTheBitsToTheKeptBottomRows) {
    FlippedSysBitmap bm(4, 6);
    LICE_pixel* buffer = (LICE_pixel*)SWELL_GetCtxFrameBuffer(bm.getDC());
    EXPECT_TRUE(bm.resize(4, 2));
    EXPECT_EQ(buffer + 4 * 4, bm.getBits());
}

} // namespace
