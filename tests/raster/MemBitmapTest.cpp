#include "raster/LICE_MemBitmap.h"

#include "tests/support/AllocationTracking.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(MemBitmap, EmptyHoldsNoBlockAndFirstResizeReservesAlignedRows) {
    LICE_MemBitmap bm(0, 0, 4);
    EXPECT_EQ(nullptr, bm.getBits());
    EXPECT_EQ(0, bm.getAllocBytes());
    EXPECT_TRUE(bm.resize(5, 3));
    EXPECT_EQ(8, bm.getRowSpan());
    EXPECT_EQ(96, bm.getAllocBytes());
    ASSERT_NE(nullptr, bm.getBits());
    EXPECT_EQ(0u, (uintptr_t)bm.getBits() % 64);
    EXPECT_FALSE(bm.resize(5, 3));
}

TEST(MemBitmap, GrowsWithAQuarterOfHeadroomAndKeepsItsBlockWithinIt) {
    LICE_MemBitmap bm(5, 3);
    EXPECT_TRUE(bm.resize(8, 6)); // 192 bytes needed
    EXPECT_EQ(240, bm.getAllocBytes());
    LICE_pixel* bits = bm.getBits();
    EXPECT_TRUE(bm.resize(8, 7)); // 224 bytes: within the reservation
    EXPECT_EQ(240, bm.getAllocBytes());
    EXPECT_EQ(bits, bm.getBits());
    EXPECT_TRUE(bm.resize(2, 2)); // shrinking keeps the block
    EXPECT_EQ(240, bm.getAllocBytes());
    EXPECT_EQ(4, bm.getRowSpan());
}

TEST(MemBitmap, LineAlignmentUsesItsLowestBit) {
    LICE_MemBitmap one(5, 1, 1), eight(5, 1, 8), six(5, 1, 6);
    EXPECT_EQ(5, one.getRowSpan());
    EXPECT_EQ(8, eight.getRowSpan());
    EXPECT_EQ(6, six.getRowSpan()); // lowest bit of 6 is 2
}

TEST(MemBitmap, ZeroOrNegativeSizesReleaseTheBlock) {
    LICE_MemBitmap bm(10, 10);
    EXPECT_TRUE(bm.resize(0, 10));
    EXPECT_EQ(nullptr, bm.getBits());
    EXPECT_EQ(0, bm.getWidth());
    EXPECT_EQ(0, bm.getHeight());
    EXPECT_EQ(0, bm.getAllocBytes());
    EXPECT_TRUE(bm.resize(-4, -4));
    EXPECT_EQ(nullptr, bm.getBits());
    EXPECT_EQ(0, bm.getWidth());
}

TEST(MemBitmap, RefusesSizesWhoseBytesOverflow32Bits) {
    LICE_MemBitmap bm(4, 4);
    EXPECT_TRUE(bm.resize(65536, 65536)); // 2^34 bytes, 0 when wrapped
    EXPECT_EQ(nullptr, bm.getBits());
    EXPECT_EQ(0, bm.getWidth());
    EXPECT_EQ(0, bm.getHeight());
    EXPECT_TRUE(bm.resize(4, 4));
    EXPECT_TRUE(bm.resize(40000, 20000)); // 3.2e9 bytes, negative when wrapped
    EXPECT_EQ(nullptr, bm.getBits());
    EXPECT_EQ(0, bm.getWidth());
}

TEST(MemBitmap, FailedAllocationLeavesAnEmptyBitmap) {
    GRINDVOX_REQUIRE_ALLOCATION_TRACKING();
    LICE_MemBitmap bm(4, 4);
    {
        grindvox::test::AllocationFailure fail;
        EXPECT_TRUE(bm.resize(100, 100));
    }
    EXPECT_EQ(nullptr, bm.getBits());
    EXPECT_EQ(0, bm.getWidth());
    EXPECT_EQ(0, bm.getHeight());
    EXPECT_EQ(0, bm.getAllocBytes());
    EXPECT_TRUE(bm.resize(3, 3));
    EXPECT_NE(nullptr, bm.getBits());
}

} // namespace
