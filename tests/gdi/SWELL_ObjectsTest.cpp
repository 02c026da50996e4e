#include "gdi/SWELL.h"
#include "gdi/SWELL_Records.h"
#include "tests/gdi/SWELL_TestSupport.h"

#include <gtest/gtest.h>

#include <string.h>
#include <vector>

namespace {
HGDIOBJ Pseudo(int n) {
    return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(n));
}
} // namespace

TEST(SelectObject, FontIntoFreshContextReturnsThePseudoHandleAndBack) {
    TestContext c(4, 4);
    HFONT font = MakeFont("DejaVu Sans", -12);
    EXPECT_EQ(SelectObject(c.Get(), font), Pseudo(3));
    EXPECT_EQ(SelectObject(c.Get(), Pseudo(3)), font);
    // Nothing selected now: deselecting again gives the pseudo handle back.
    EXPECT_EQ(SelectObject(c.Get(), Pseudo(3)), Pseudo(3));
    DeleteObject(font);
}

TEST(SelectObject, EachKindHasItsOwnSlot) {
    TestContext c(4, 4);
    HPEN pen1 = CreatePen(PS_SOLID, 1, 0), pen2 = CreatePen(PS_SOLID, 2, 0);
    HBRUSH brush = CreateSolidBrush(0);
    EXPECT_EQ(SelectObject(c.Get(), pen1), Pseudo(1));
    EXPECT_EQ(SelectObject(c.Get(), brush), Pseudo(2));
    EXPECT_EQ(SelectObject(c.Get(), pen2), pen1);
    EXPECT_EQ(SelectObject(c.Get(), Pseudo(2)), brush);
    EXPECT_EQ(SelectObject(c.Get(), Pseudo(1)), pen2);
    DeleteObject(pen1);
    DeleteObject(pen2);
    DeleteObject(brush);
}

TEST(SelectObject, RefusesInvalidContextsAndObjects) {
    TestContext c(4, 4);
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    EXPECT_EQ(SelectObject(nullptr, pen), nullptr);
    EXPECT_EQ(SelectObject(c.Get(), nullptr), nullptr);
    EXPECT_EQ(SelectObject(c.Get(), Pseudo(4)), nullptr);
    HBITMAP bitmap = CreateBitmap(1, 1, 1, 32, "\0\0\0\0");
    EXPECT_EQ(SelectObject(c.Get(), bitmap), nullptr);
    DeleteObject(bitmap);
    // A deleted record is only safe to hand back while the pool keeps it.
    bool pooled = SWELL_PooledObjectCount() < 200;
    DeleteObject(pen);
    if (pooled) {
        EXPECT_EQ(SelectObject(c.Get(), pen), nullptr);
    }
}

TEST(DeleteObject, IgnoresStockObjectsAndPseudoHandles) {
    HGDIOBJ stockPen = GetStockObject(NULL_PEN);
    HGDIOBJ stockBrush = GetStockObject(NULL_BRUSH);
    ASSERT_NE(stockPen, nullptr);
    ASSERT_NE(stockBrush, nullptr);
    EXPECT_EQ(GetStockObject(3), nullptr);
    int pooled = SWELL_PooledObjectCount();
    DeleteObject(stockPen);
    DeleteObject(stockBrush);
    DeleteObject(Pseudo(2));
    DeleteObject(nullptr);
    EXPECT_EQ(SWELL_PooledObjectCount(), pooled);
    TestContext c(4, 4);
    EXPECT_EQ(SelectObject(c.Get(), stockPen), Pseudo(1));
    EXPECT_EQ(SelectObject(c.Get(), Pseudo(1)), stockPen);
}

TEST(DeleteObject, PoolKeepsAtMostTwoHundredRecords) {
    std::vector<HGDIOBJ> objects;
    for (int i = 0; i < 201 + SWELL_PooledObjectCount(); ++i)
        objects.push_back(CreateSolidBrush(i));
    EXPECT_EQ(SWELL_PooledObjectCount(), 0);
    for (HGDIOBJ obj : objects)
        DeleteObject(obj);
    EXPECT_EQ(SWELL_PooledObjectCount(), 200);
}

TEST(StockDrawing, NullPenAndBrushDrawNothing) {
    TestContext c(6, 6);
    SelectObject(c.Get(), GetStockObject(NULL_PEN));
    SelectObject(c.Get(), GetStockObject(NULL_BRUSH));
    Rectangle(c.Get(), 0, 0, 6, 6);
    RECT r = {0, 0, 6, 6};
    SWELL_FillRect(c.Get(), &r, GetStockObject(NULL_BRUSH));
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    EXPECT_FALSE(c.InkBox(&x0, &y0, &x1, &y1));
}

TEST(SysColor, AnswersTheInterfaceColours) {
    EXPECT_EQ(GetSysColor(0), 0x606060);
    EXPECT_EQ(GetSysColor(1), 0xe0e0e0);
    EXPECT_EQ(GetSysColor(2), 0xc0c0c0);
    EXPECT_EQ(GetSysColor(4), 0xc0c0c0);
    EXPECT_EQ(GetSysColor(5), 0x202020);
    EXPECT_EQ(GetSysColor(6), 0x303030);
    EXPECT_EQ(GetSysColor(7), 0xc0c0c0);
    EXPECT_EQ(GetSysColor(8), 0xfff0c8);
    EXPECT_EQ(GetSysColor(3), 0);
    EXPECT_EQ(GetSysColor(9), 0);
    EXPECT_EQ(GetSysColor(-1), 0);
}

TEST(Bitmaps, ReportTheirSizeAndIconsShareTheImage) {
    std::vector<unsigned char> pixels(3 * 2 * 4, 0xff);
    HBITMAP bitmap = CreateBitmap(3, 2, 1, 32, pixels.data());
    ASSERT_NE(bitmap, nullptr);
    BITMAP bm = {-1, -1};
    EXPECT_EQ(GetObject(bitmap, sizeof(bm), &bm), 1);
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_EQ(bm.bmHeight, 2);
    unsigned char wrongSize[12];
    memset(wrongSize, 0xaa, sizeof(wrongSize));
    EXPECT_EQ(GetObject(bitmap, 12, wrongSize), 0);
    for (unsigned char b : wrongSize)
        EXPECT_EQ(b, 0);

    ICONINFO info = {1, 0, 0, nullptr, bitmap};
    HICON icon = CreateIconIndirect(&info);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(GetNSImageFromHICON(icon), GetNSImageFromHICON(bitmap));
    info.fIcon = 0;
    EXPECT_EQ(CreateIconIndirect(&info), nullptr);
    // The icon holds the image on its own.
    DeleteObject(bitmap);
    EXPECT_NE(GetNSImageFromHICON(icon), nullptr);
    DeleteObject(icon);
    EXPECT_EQ(CreateBitmap(0, 2, 1, 32, pixels.data()), nullptr);
    EXPECT_EQ(CreateBitmap(2, 2, 1, 32, nullptr), nullptr);
}
