#include "gdi/SWELL.h"
#include "tests/gdi/SWELL_TestSupport.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

// Widths below are worked from DejaVu's advances (2048 units per em): DejaVu Sans 'm' 1995,
// DejaVu Sans Mono every character 1233, both with a line height of 2384 units.

namespace {

struct TextContext : TestContext {
    TextContext(int w, int h, const char* face, int height, char quality = ANTIALIASED_QUALITY)
        : TestContext(w, h), font(MakeFont(face, height, FW_NORMAL, quality)) {
        SelectObject(Get(), font);
        SetTextColor(Get(), 0xffffff);
    }
    ~TextContext() {
        SelectObject(Get(), reinterpret_cast<HGDIOBJ>(3));
        DeleteObject(font);
    }
    RECT Measure(const char* text, int flags = 0) {
        RECT r = {0, 0, 0, 0};
        SWELL_DrawText(Get(), text, -1, &r, flags | DT_CALCRECT);
        return r;
    }
    int Draw(const char* text, RECT r, int flags) {
        return SWELL_DrawText(Get(), text, -1, &r, flags);
    }
    HFONT font;
};

bool SameBytes(const TestContext& a, const TestContext& b) {
    return memcmp(a.Bytes(), b.Bytes(), static_cast<size_t>(a.Width()) * a.Height() * 4) == 0;
}

} // namespace

TEST(DrawText, MeasureOnlyGrowsTheRectangleByTwoPerCent) {
    // Nine 'm' at 11.4 points: 9 x 1995 / 2048 x 11.4 = 99.94, so W rounds up to 100; one line
    // is 2384 / 2048 x 11.4 = 13.27 high, rounding up to 14.
    TextContext c(8, 8, "DejaVu Sans", 12);
    RECT r = {0, 0, 0, 0};
    EXPECT_EQ(SWELL_DrawText(c.Get(), "mmmmmmmmm", -1, &r, DT_CALCRECT), 14);
    EXPECT_EQ(r.right, 102); // trunc(100 x 1.02)
    EXPECT_EQ(r.bottom, 14); // trunc(14 x 1.02)
    r = {10, 20, 0, 0};
    SWELL_DrawText(c.Get(), "mmmmmmmmm", -1, &r, DT_CALCRECT);
    EXPECT_EQ(r.right, 112);
    EXPECT_EQ(r.bottom, 34);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    EXPECT_FALSE(c.InkBox(&x0, &y0, &x1, &y1));
}

TEST(DrawText, AmpersandsAreDroppedUnlessKept) {
    TextContext c(8, 8, "DejaVu Sans Mono", -20);
    // One Mono character is 1233 / 2048 x 19 = 11.44 wide.
    EXPECT_EQ(c.Measure("a&b").right, 23);              // ceil(22.88) = 23, x 1.02 = 23.46
    EXPECT_EQ(c.Measure("a&b", DT_NOPREFIX).right, 35); // ceil(34.32) = 35, x 1.02 = 35.7
    EXPECT_EQ(c.Measure("&").right, 0);
}

TEST(DrawText, EmptyTextAndCarriageReturnsDrawNothing) {
    TextContext c(40, 30, "DejaVu Sans", 12);
    RECT r = {0, 0, 40, 30};
    EXPECT_EQ(SWELL_DrawText(c.Get(), "", -1, &r, 0), 0);
    EXPECT_EQ(SWELL_DrawText(c.Get(), "\r\r\r", -1, &r, 0), 0);
    EXPECT_EQ(SWELL_DrawText(c.Get(), "abc", 0, &r, 0), 0);
    EXPECT_EQ(SWELL_DrawText(c.Get(), nullptr, -1, &r, 0), 0);
    EXPECT_EQ(SWELL_DrawText(nullptr, "abc", -1, &r, 0), 0);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    EXPECT_FALSE(c.InkBox(&x0, &y0, &x1, &y1));
    // Carriage returns inside a text are dropped too.
    EXPECT_EQ(c.Measure("m\r\nm").bottom, c.Measure("m\nm").bottom);
}

TEST(DrawText, LinesStackUnlessSingleLine) {
    // 19 points: one line 22.12 high (returned as 23), two 44.23 (45).
    TextContext c(8, 8, "DejaVu Sans", -20);
    RECT r = {0, 0, 100, 100};
    EXPECT_EQ(SWELL_DrawText(c.Get(), "a\nb", -1, &r, DT_CALCRECT), 45);
    r = {0, 0, 100, 100};
    EXPECT_EQ(SWELL_DrawText(c.Get(), "a\nb", -1, &r, DT_CALCRECT | DT_SINGLELINE), 23);
    EXPECT_EQ(SWELL_DrawText(c.Get(), "ab", 1, &r, DT_CALCRECT), 23);
}

TEST(DrawText, LengthAndTheCharacterLimitCutTheText) {
    TextContext c(8, 8, "DejaVu Sans Mono", -20);
    RECT r = {0, 0, 0, 0};
    SWELL_DrawText(c.Get(), "abcdef", 3, &r, DT_CALCRECT);
    EXPECT_EQ(r.right, 35); // three characters, as above
    // 5000 characters are cut to 4095: ceil(4095 x 11.4390) = 46843, x 1.02 = 47779.86.
    std::string longText(5000, 'x');
    EXPECT_EQ(c.Measure(longText.c_str()).right, 47779);
}

TEST(DrawText, TextThatIsNotUTF8ReadsAsLatin1) {
    TextContext c(8, 8, "DejaVu Sans", -20);
    RECT latin1 = c.Measure("caf\xe9");
    RECT utf8 = c.Measure("caf\xc3\xa9");
    EXPECT_EQ(latin1.right, utf8.right);
    EXPECT_GT(latin1.right, c.Measure("caf").right);
}

TEST(DrawText, TextLandsInTheColourBytesOnly) {
    TextContext c(60, 30, "DejaVu Sans", -20);
    SetTextColor(c.Get(), 0xff0000);
    EXPECT_EQ(c.Draw("Hg&", {0, 0, 60, 30}, 0), 23);
    int red = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) {
            ASSERT_EQ(c.At(x, y, 0), 0) << x << "," << y;
            ASSERT_EQ(c.At(x, y, 2), 0) << x << "," << y;
            ASSERT_EQ(c.At(x, y, 3), 0) << x << "," << y;
            red += c.At(x, y, 1) == 255;
        }
    EXPECT_GT(red, 20);
}

TEST(DrawText, MonochromeQualityDrawsOnlyFullPixels) {
    TextContext mono(60, 30, "DejaVu Sans", -20, NONANTIALIASED_QUALITY);
    TextContext smooth(60, 30, "DejaVu Sans", -20, ANTIALIASED_QUALITY);
    mono.Draw("Rog", {0, 0, 60, 30}, 0);
    smooth.Draw("Rog", {0, 0, 60, 30}, 0);
    int partial = 0, monoInk = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) {
            int m = mono.At(x, y, 1), s = smooth.At(x, y, 1);
            EXPECT_TRUE(m == 0 || m == 255) << m;
            monoInk += m == 255;
            partial += s > 0 && s < 255;
        }
    EXPECT_GT(monoInk, 30);
    EXPECT_GT(partial, 10);
}

TEST(DrawText, AlignsRightAndCentreByTheMeasuredWidth) {
    // Ten Mono characters are 114.389 wide. Right in [0, 300] the line starts at 185.611 and
    // centred at 92.806. Glyph origins round to whole pixels: the first glyph moves from 0 to
    // 186 (right) or 93 (centre), the last from round(102.95) = 103 to round(288.56) = 289 or
    // round(195.76) = 196, so the ink moves by 186 and 93 at both ends.
    const char* text = "HHHHHHHHHH";
    TextContext left(300, 30, "DejaVu Sans Mono", -20);
    TextContext right(300, 30, "DejaVu Sans Mono", -20);
    TextContext centre(300, 30, "DejaVu Sans Mono", -20);
    left.Draw(text, {0, 0, 300, 30}, 0);
    right.Draw(text, {0, 0, 300, 30}, DT_RIGHT);
    centre.Draw(text, {0, 0, 300, 30}, DT_CENTER);
    int lx0 = 0, ly0 = 0, lx1 = 0, ly1 = 0, rx0 = 0, ry0 = 0, rx1 = 0, ry1 = 0;
    int cx0 = 0, cy0 = 0, cx1 = 0, cy1 = 0;
    ASSERT_TRUE(left.InkBox(&lx0, &ly0, &lx1, &ly1));
    ASSERT_TRUE(right.InkBox(&rx0, &ry0, &rx1, &ry1));
    ASSERT_TRUE(centre.InkBox(&cx0, &cy0, &cx1, &cy1));
    EXPECT_EQ(rx0 - lx0, 186);
    EXPECT_EQ(rx1 - lx1, 186);
    EXPECT_EQ(cx0 - lx0, 93);
    EXPECT_EQ(cx1 - lx1, 93);
    EXPECT_LT(rx1, 300);
    EXPECT_EQ(ry0, ly0);
    EXPECT_EQ(cy1, ly1);
}

TEST(DrawText, VerticalPlacementFollowsTopCentreAndBottom) {
    // A 22.12-high line in a 100-high box: bottom puts the baseline at 100 - 22.12 + 18 =
    // 95.88 (row 96), centre at trunc(77.88) / 2 + 18 = 56, top at 18. 'H' ends on it.
    TextContext c(40, 100, "DejaVu Sans", -20);
    struct Case {
        int flags, lastRow;
    } cases[] = {{0, 17}, {DT_VCENTER, 55}, {DT_BOTTOM, 95}};
    for (const Case& k : cases) {
        memset(c.Bytes(), 0, 40 * 100 * 4);
        c.Draw("H", {0, 0, 40, 100}, k.flags);
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        ASSERT_TRUE(c.InkBox(&x0, &y0, &x1, &y1));
        EXPECT_EQ(y1, k.lastRow) << k.flags;
    }
}

TEST(DrawText, EllipsisReplacesWhatDoesNotFit) {
    // 60 pixels hold four Mono characters and the ellipsis: 4 x 11.44 + 11.44 = 57.2.
    TextContext cut(100, 30, "DejaVu Sans Mono", -20);
    TextContext expected(100, 30, "DejaVu Sans Mono", -20);
    cut.Draw("HHHHHHHHHH", {0, 0, 60, 30}, DT_END_ELLIPSIS);
    expected.Draw("HHHH\xe2\x80\xa6", {0, 0, 60, 30}, 0);
    EXPECT_TRUE(SameBytes(cut, expected));
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ASSERT_TRUE(cut.InkBox(&x0, &y0, &x1, &y1));
    EXPECT_LT(x1, 60);
}

TEST(DrawText, ClipsToTheRectangleUnlessToldNotTo) {
    TextContext clipped(200, 30, "DejaVu Sans Mono", -20);
    TextContext free(200, 30, "DejaVu Sans Mono", -20);
    clipped.Draw("HHHHHHHHHH", {0, 0, 60, 30}, 0);
    free.Draw("HHHHHHHHHH", {0, 0, 60, 30}, DT_NOCLIP);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ASSERT_TRUE(clipped.InkBox(&x0, &y0, &x1, &y1));
    EXPECT_LT(x1, 60);
    ASSERT_TRUE(free.InkBox(&x0, &y0, &x1, &y1));
    EXPECT_GT(x1, 100);
}

TEST(DrawText, OpaqueModeFillsTheLineBehindTheText) {
    // "ii" is 2 x 1233 / 2048 x 19 = 22.9 wide in Mono and the line 22.12 high: the background
    // covers columns 0 to 22 of rows 0 to 22; column 23 and row 23 only in part or not at all.
    TextContext c(40, 40, "DejaVu Sans Mono", -20);
    SetBkMode(c.Get(), OPAQUE);
    SetBkColor(c.Get(), 0x0000ff);
    c.Draw("ii", {0, 0, 40, 40}, 0);
    EXPECT_EQ(c.At(0, 0, 3), 255);
    EXPECT_EQ(c.At(0, 0, 1), 0);
    EXPECT_EQ(c.At(21, 21, 3), 255);
    EXPECT_EQ(c.At(30, 5, 3), 0);
    EXPECT_EQ(c.At(5, 30, 3), 0);
    // Transparent mode leaves the gaps between glyphs alone.
    TextContext clear(40, 40, "DejaVu Sans Mono", -20);
    clear.Draw("ii", {0, 0, 40, 40}, 0);
    EXPECT_EQ(clear.At(0, 0, 3), 0);
}
