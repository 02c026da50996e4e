#include "gdi/SWELL.h"
#include "gdi/SWELL_Records.h"
#include "tests/gdi/SWELL_TestSupport.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <vector>

TEST(MemContext, FrameBufferIsZeroedAlignedAndTopRowFirst) {
    TestContext c(7, 3);
    ASSERT_NE(c.Get(), nullptr);
    unsigned char* bytes = c.Bytes();
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(bytes) % 64, 0u);
    for (int i = 0; i < 7 * 3 * 4; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
    SWELL_SetPixel(c.Get(), 5, 1, 0x102030);
    // Row 1 starts 7 x 4 bytes in; pixel 5 of it 20 bytes further.
    EXPECT_EQ(bytes[28 + 20 + 0], 0);
    EXPECT_EQ(bytes[28 + 20 + 1], 0x10);
    EXPECT_EQ(bytes[28 + 20 + 2], 0x20);
    EXPECT_EQ(bytes[28 + 20 + 3], 0x30);
    EXPECT_EQ(bytes[28 + 16 + 1], 0);
    EXPECT_EQ(bytes[28 + 24 + 1], 0);
}

TEST(MemContext, RefusesEmptyAndOverflowingSizes) {
    EXPECT_EQ(SWELL_CreateMemContext(nullptr, 0, 10), nullptr);
    EXPECT_EQ(SWELL_CreateMemContext(nullptr, 10, -1), nullptr);
    EXPECT_EQ(SWELL_CreateMemContext(nullptr, 0x10000, 0x10000), nullptr);
}

TEST(MemContext, DeletedAndNullContextsAreIgnored) {
    HDC c = SWELL_CreateMemContext(nullptr, 4, 4);
    ASSERT_NE(c, nullptr);
    EXPECT_NE(SWELL_GetCtxGC(c), nullptr);
    // A deleted record is only safe to hand back while the pool keeps it.
    bool pooled = SWELL_PooledContextCount() < 100;
    SWELL_DeleteGfxContext(c);
    if (pooled) {
        EXPECT_EQ(SWELL_GetCtxFrameBuffer(c), nullptr);
        EXPECT_EQ(GetTextColor(c), -1);
        EXPECT_EQ(SWELL_GetCtxGC(c), nullptr);
    }
    EXPECT_EQ(SWELL_GetCtxFrameBuffer(nullptr), nullptr);
    EXPECT_EQ(GetTextColor(nullptr), -1);
    SWELL_DeleteGfxContext(nullptr);
    SetTextColor(nullptr, 0xffffff);
}

TEST(MemContext, PoolKeepsAtMostAHundredRecords) {
    std::vector<HDC> contexts;
    for (int i = 0; i < 101 + SWELL_PooledContextCount(); ++i)
        contexts.push_back(SWELL_CreateMemContext(nullptr, 1, 1));
    EXPECT_EQ(SWELL_PooledContextCount(), 0);
    for (size_t i = 0; i < contexts.size(); ++i) {
        SWELL_DeleteGfxContext(contexts[i]);
        EXPECT_EQ(SWELL_PooledContextCount(), i < 100 ? static_cast<int>(i) + 1 : 100);
    }
    // A recycled record comes back cleared.
    HDC again = SWELL_CreateMemContext(nullptr, 2, 2);
    EXPECT_EQ(SWELL_PooledContextCount(), 99);
    EXPECT_EQ(GetTextColor(again), 0);
    EXPECT_EQ(SelectObject(again, reinterpret_cast<HGDIOBJ>(3)), reinterpret_cast<HGDIOBJ>(3));
    SWELL_DeleteGfxContext(again);
}

TEST(MemContext, WrapsAnotherQuartzContextAndReleasesOnlyItsHold) {
    TestContext memory(2, 2);
    CGContextRef cg = static_cast<CGContextRef>(SWELL_GetCtxGC(memory.Get()));
    HDC wrapped = SWELL_CreateGfxContext(cg);
    ASSERT_NE(wrapped, nullptr);
    EXPECT_EQ(SWELL_GetCtxGC(wrapped), cg);
    EXPECT_EQ(SWELL_GetCtxFrameBuffer(wrapped), nullptr);
    HBRUSH brush = CreateSolidBrush(0xff0000);
    RECT r = {0, 0, 1, 1};
    SWELL_FillRect(wrapped, &r, brush);
    SWELL_DeleteGfxContext(wrapped);
    // The memory context still draws after the wrapper went.
    r = {1, 1, 2, 2};
    SWELL_FillRect(memory.Get(), &r, brush);
    EXPECT_EQ(memory.At(0, 0, 1), 255);
    EXPECT_EQ(memory.At(1, 1, 1), 255);
    DeleteObject(brush);
    EXPECT_EQ(SWELL_CreateGfxContext(nullptr), nullptr);
}
