#include "gdi/SWELL.h"
#include "tests/gdi/SWELL_TestSupport.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

// Fills a memory context's pixels with red = 10 x column + row, so each can be told apart.
void NumberPixels(TestContext& c) {
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            unsigned char* p = c.Bytes() + (y * c.Width() + x) * 4;
            p[0] = 0;
            p[1] = static_cast<unsigned char>(10 * x + y + 1);
            p[2] = p[3] = 0;
        }
}

} // namespace

TEST(Blit, CopiesPixelsOneToOne) {
    TestContext src(4, 3), dst(6, 5);
    NumberPixels(src);
    BitBlt(dst.Get(), 1, 2, 3, 2, src.Get(), 1, 0, SRCCOPY);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            bool inside = x >= 1 && x < 4 && y >= 2 && y < 4;
            int expected = inside ? 10 * (x - 1 + 1) + (y - 2) + 1 : 0;
            EXPECT_EQ(dst.At(x, y, 1), expected) << x << "," << y;
        }
}

TEST(Blit, NegativeSourceOriginShiftsTheDestination) {
    // Source columns -2 and -1 do not exist: the copy starts two columns further right and
    // only source columns 0 and 1 arrive, at destination columns 2 and 3.
    TestContext src(4, 4), dst(6, 6);
    NumberPixels(src);
    StretchBlt(dst.Get(), 0, 0, 4, 4, src.Get(), -2, -1, 4, 4, SRCCOPY);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            bool inside = x >= 2 && x < 4 && y >= 1 && y < 4;
            int expected = inside ? 10 * (x - 2) + (y - 1) + 1 : 0;
            EXPECT_EQ(dst.At(x, y, 1), expected) << x << "," << y;
        }
}

TEST(Blit, SourcePastItsBitmapShrinksTheDestinationInProportion) {
    // Eight source columns asked of a four-wide bitmap, drawn 8 wide: only four remain and
    // they fill four destination columns.
    TestContext src(4, 1), dst(8, 1);
    NumberPixels(src);
    StretchBlt(dst.Get(), 0, 0, 8, 1, src.Get(), 0, 0, 8, 1, SRCCOPY);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(dst.At(x, 0, 1), x < 4 ? 10 * x + 1 : 0) << x;
}

TEST(Blit, SourceAlphaModeBlendsByTheFirstByte) {
    TestContext src(1, 1), dst(1, 1);
    unsigned char* p = src.Bytes();
    p[0] = 64, p[1] = 255, p[2] = 0, p[3] = 0;
    BitBlt(dst.Get(), 0, 0, 1, 1, src.Get(), 0, 0, SRCCOPY_USESOURCEALPHA);
    EXPECT_NEAR(dst.At(0, 0, 1), 64, 1);
    BitBlt(dst.Get(), 0, 0, 1, 1, src.Get(), 0, 0, SRCCOPY);
    EXPECT_EQ(dst.At(0, 0, 1), 255);
    EXPECT_EQ(dst.At(0, 0, 0), 0);
}

TEST(Blit, NeedsAMemorySourceAndASourceArea) {
    TestContext src(2, 2), dst(2, 2);
    NumberPixels(src);
    StretchBlt(dst.Get(), 0, 0, 2, 2, src.Get(), 0, 0, 0, 2, SRCCOPY);
    StretchBlt(dst.Get(), 0, 0, 2, 2, nullptr, 0, 0, 2, 2, SRCCOPY);
    HDC wrapped = SWELL_CreateGfxContext(SWELL_GetCtxGC(src.Get()));
    StretchBlt(dst.Get(), 0, 0, 2, 2, wrapped, 0, 0, 2, 2, SRCCOPY);
    SWELL_DeleteGfxContext(wrapped);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    EXPECT_FALSE(dst.InkBox(&x0, &y0, &x1, &y1));
}

TEST(Shapes, RectangleFillsWithTheBrushAndOutlinesWithThePen) {
    TestContext c(10, 10);
    HBRUSH brush = CreateSolidBrush(0x0000ff);
    HPEN pen = CreatePen(PS_SOLID, 2, 0xff0000);
    SelectObject(c.Get(), brush);
    SelectObject(c.Get(), pen);
    Rectangle(c.Get(), 2, 2, 8, 8);
    // A two-pixel pen centred on the edge at x = 2 covers columns 1 and 2.
    EXPECT_EQ(c.At(1, 5, 1), 255);
    EXPECT_EQ(c.At(2, 5, 1), 255);
    EXPECT_EQ(c.At(5, 5, 3), 255);
    EXPECT_EQ(c.At(5, 5, 1), 0);
    EXPECT_EQ(c.At(0, 5, 1), 0);
    EXPECT_EQ(c.At(9, 9, 1), 0);
    SelectObject(c.Get(), reinterpret_cast<HGDIOBJ>(1));
    SelectObject(c.Get(), reinterpret_cast<HGDIOBJ>(2));
    DeleteObject(brush);
    DeleteObject(pen);
}

TEST(Shapes, EllipseAndRoundRectStayInsideTheirBox) {
    TestContext c(20, 20);
    HBRUSH brush = CreateSolidBrush(0x00ff00);
    SelectObject(c.Get(), brush);
    Ellipse(c.Get(), 2, 2, 18, 18);
    EXPECT_EQ(c.At(10, 10, 2), 255);
    EXPECT_EQ(c.At(2, 2, 2), 0); // the box's corner lies outside the ellipse
    EXPECT_EQ(c.At(1, 10, 2), 0);
    memset(c.Bytes(), 0, 20 * 20 * 4);
    // Corners cut by a third of 9: the octagon passes (2, 5) and (5, 2).
    RoundRect(c.Get(), 2, 2, 18, 18, 9, 9);
    EXPECT_EQ(c.At(10, 10, 2), 255);
    EXPECT_EQ(c.At(2, 2, 2), 0);
    EXPECT_EQ(c.At(10, 2, 2), 255);
    SelectObject(c.Get(), reinterpret_cast<HGDIOBJ>(2));
    DeleteObject(brush);
}

TEST(Lines, LineToStrokesFromTheCurrentPositionAndMovesIt) {
    TestContext c(10, 4);
    HPEN pen = CreatePen(PS_SOLID, 2, 0xffffff);
    SelectObject(c.Get(), pen);
    POINT old = {-1, -1};
    MoveToEx(c.Get(), 1, 2, &old);
    EXPECT_EQ(old.x, 0);
    EXPECT_EQ(old.y, 0);
    SWELL_LineTo(c.Get(), 5, 2);
    SWELL_LineTo(c.Get(), 9, 2);
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(c.At(x, 1, 1), x >= 1 && x < 9 ? 255 : 0) << x;
        EXPECT_EQ(c.At(x, 0, 1), 0) << x;
    }
    MoveToEx(c.Get(), 0, 0, &old);
    EXPECT_EQ(old.x, 9);
    SelectObject(c.Get(), reinterpret_cast<HGDIOBJ>(1));
    DeleteObject(pen);
}

TEST(Clip, PushSetAndPopLimitDrawing) {
    TestContext c(6, 6);
    HBRUSH brush = CreateSolidBrush(0xffffff);
    RECT all = {0, 0, 6, 6}, part = {1, 1, 3, 2};
    SWELL_PushClipRegion(c.Get());
    SWELL_SetClipRegion(c.Get(), &part);
    SWELL_FillRect(c.Get(), &all, brush);
    SWELL_PopClipRegion(c.Get());
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ASSERT_TRUE(c.InkBox(&x0, &y0, &x1, &y1));
    EXPECT_EQ(x0, 1);
    EXPECT_EQ(y0, 1);
    EXPECT_EQ(x1, 2);
    EXPECT_EQ(y1, 1);
    SWELL_FillRect(c.Get(), &all, brush);
    EXPECT_EQ(c.At(5, 5, 1), 255);
    DeleteObject(brush);
}

TEST(SetPixel, SetsExactlyThatPixel) {
    TestContext c(4, 4);
    SWELL_SetPixel(c.Get(), 2, 1, 0x804020);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(c.At(x, y, 1), x == 2 && y == 1 ? 0x80 : 0) << x << "," << y;
    EXPECT_EQ(c.At(2, 1, 2), 0x40);
    EXPECT_EQ(c.At(2, 1, 3), 0x20);
}
