#include "containers/WDL_HeapBuf.h"
#include "containers/WDL_TypedBuf.h"
#include "tests/support/AllocationTracking.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(HeapBuf, PageGranularityRoundsToPagesLessTheHeaderSlack) {
    WDL_HeapBuf hb(4096);
    hb.Resize(100);
    // g = 4096; (100 + 4096 + 96) rounded down to 4096, minus 96.
    EXPECT_EQ(hb.GetAllocated(), 4000);
    EXPECT_EQ(hb.GetSize(), 100);

    hb.Resize(10000);
    // g = 5000 rounded down to 4096; (10000 + 4096 + 96) = 14192 -> 12288 - 96.
    EXPECT_EQ(hb.GetAllocated(), 12192);
}

TEST(HeapBuf, PageGranularityStepIsCappedAtFourMegabytes) {
    WDL_HeapBuf hb(4096);
    const int twentyMiB = 20 * 1024 * 1024;
    hb.Resize(twentyMiB);
    // g = 10 MiB clamped to 4 MiB; 24 MiB + 96 rounds down to 24 MiB.
    EXPECT_EQ(hb.GetAllocated(), 24 * 1024 * 1024 - 96);
}

TEST(HeapBuf, SmallGranularityAddsHalfTheSizeOrOneGranule) {
    WDL_HeapBuf hb(128);
    hb.Resize(10);
    EXPECT_EQ(hb.GetAllocated(), 138);
    hb.Resize(1000);
    EXPECT_EQ(hb.GetAllocated(), 1500);
}

TEST(HeapBuf, GrowingWithinTheAllocationKeepsTheBlock) {
    WDL_HeapBuf hb(128);
    hb.Resize(10);
    void* block = hb.Get();
    hb.Resize(138);
    EXPECT_EQ(hb.Get(), block);
    EXPECT_EQ(hb.GetAllocated(), 138);
}

TEST(HeapBuf, ShrinksOnlyBelowHalfAndBelowFourGranulesOfSlack) {
    WDL_HeapBuf hb(16);
    hb.Resize(1000);
    ASSERT_EQ(hb.GetAllocated(), 1500);

    hb.Resize(800);
    EXPECT_EQ(hb.GetAllocated(), 1500) << "800 is not below half of 1500";

    hb.Resize(100, false);
    EXPECT_EQ(hb.GetAllocated(), 1500) << "resize-down flag clear";

    hb.Resize(1000);
    hb.Resize(100, true);
    EXPECT_EQ(hb.GetAllocated(), 150);
    EXPECT_EQ(hb.GetSize(), 100);
}

TEST(HeapBuf, DoesNotShrinkWithinFourGranulesOfTheAllocation) {
    WDL_HeapBuf hb(4096);
    hb.Resize(10000);
    ASSERT_EQ(hb.GetAllocated(), 12192);
    hb.Resize(100, true); // 100 < 6096 but not below 12192 - 4 * 4096
    EXPECT_EQ(hb.GetAllocated(), 12192);
}

TEST(HeapBuf, NeverAllocatesBelowTheMinimum) {
    WDL_HeapBuf hb(16, 5000);
    hb.Resize(10);
    EXPECT_EQ(hb.GetAllocated(), 5000);
}

TEST(HeapBuf, DataReadsAsNullAtSizeZero) {
    WDL_HeapBuf hb(16);
    EXPECT_EQ(hb.Get(), nullptr);
    hb.Resize(10);
    EXPECT_NE(hb.Get(), nullptr);
    hb.Resize(0, false);
    EXPECT_EQ(hb.Get(), nullptr);
    EXPECT_EQ(hb.GetAllocated(), 26) << "the block is kept for the next growth";
}

TEST(HeapBuf, ReallocationKeepsTheContents) {
    WDL_HeapBuf hb(16);
    std::memcpy(hb.Resize(4), "abcd", 4);
    char* grown = static_cast<char*>(hb.Resize(100000));
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(std::memcmp(grown, "abcd", 4), 0);
}

TEST(HeapBuf, KeepsItsBlockAndSizeWhenNoMemoryCanBeHad) {
    GRINDVOX_REQUIRE_ALLOCATION_TRACKING();
    WDL_HeapBuf hb(16);
    std::memcpy(hb.Resize(4), "abcd", 4);
    void* block = hb.Get();
    {
        grindvox::test::AllocationFailure fail;
        EXPECT_EQ(hb.Resize(100000), nullptr);
    }
    EXPECT_EQ(hb.Get(), block);
    EXPECT_EQ(hb.GetSize(), 4);
    EXPECT_EQ(hb.GetAllocated(), 20);
    EXPECT_EQ(std::memcmp(hb.Get(), "abcd", 4), 0);
}

TEST(HeapBuf, FallsBackToAFreshBlockWhenReallocFails) {
    GRINDVOX_REQUIRE_ALLOCATION_TRACKING();
    WDL_HeapBuf hb(16);
    std::memcpy(hb.Resize(4), "abcd", 4);
    {
        grindvox::test::AllocationFailure failOnce(0, 1); // realloc fails, malloc succeeds
        ASSERT_NE(hb.Resize(100000), nullptr);
    }
    EXPECT_EQ(hb.GetSize(), 100000);
    EXPECT_EQ(std::memcmp(hb.Get(), "abcd", 4), 0);
}

TEST(HeapBuf, RefusesSizesWhoseAllocationOverflows) {
    WDL_HeapBuf hb(16);
    hb.Resize(8);
    EXPECT_EQ(hb.Resize(0x7fffffff), nullptr);
    EXPECT_EQ(hb.GetSize(), 8);
}

TEST(TypedBuf, SizesInElements) {
    WDL_TypedBuf<double> buf;
    ASSERT_NE(buf.Resize(3), nullptr);
    EXPECT_EQ(buf.GetSize(), 3);
    EXPECT_EQ(buf.m_hb.GetSize(), 24);
    buf.Resize(0);
    EXPECT_EQ(buf.Get(), nullptr);
}

TEST(TypedBuf, RefusesElementCountsWhoseByteCountOverflows) {
    WDL_TypedBuf<double> buf;
    buf.Resize(2);
    EXPECT_EQ(buf.Resize(0x10000000), nullptr);
    EXPECT_EQ(buf.GetSize(), 2);
}
