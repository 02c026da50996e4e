#include "gdi/SWELL.h"
#include "gdi/SWELL_FontFace.h"
#include "gdi/SWELL_Records.h"
#include "tests/gdi/SWELL_TestSupport.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

double PointSizeOf(HFONT font) {
    return font->attributes->font->PointSize();
}

} // namespace

TEST(CreateFont, PointSizeIsNinetyFivePercentOfThePixelSize) {
    struct Case {
        int height, width;
        double points;
    } cases[] = {
        {-12, 0, 11.4}, {12, 99, 11.4}, {0, 20, 19.0},     {0, 0, 9.5},
        {1, 0, 9.5},    {2, 0, 1.9},    {8192, 0, 7782.4}, {10000, 0, 9.5},
    };
    for (const Case& c : cases) {
        HFONT font =
            CreateFont(c.height, c.width, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans");
        ASSERT_NE(font, nullptr);
        ASSERT_NE(font->attributes->font, nullptr);
        EXPECT_DOUBLE_EQ(PointSizeOf(font), c.points) << c.height << " " << c.width;
        DeleteObject(font);
    }
}

TEST(CreateFont, BoldIsAStrokeOfAFixedShareOfTheSize) {
    // 0.55 per point up to 15 points: 9.5 points give 5.225, 19 points are capped at 8.25.
    HFONT at10 = MakeFont("DejaVu Sans", 10, FW_BOLD);
    HFONT at20 = MakeFont("DejaVu Sans", 20, 900);
    HFONT almost = MakeFont("DejaVu Sans", 20, 699);
    EXPECT_FLOAT_EQ(at10->attributes->strokeWidth, -5.225f);
    EXPECT_FLOAT_EQ(at20->attributes->strokeWidth, -8.25f);
    EXPECT_EQ(almost->attributes->strokeWidth, 0.0f);
    DeleteObject(at10);
    DeleteObject(at20);
    DeleteObject(almost);
}

TEST(CreateFont, KeepsOnlyKnownQualities) {
    const struct {
        char given, kept;
    } cases[] = {{0, 0}, {3, 3}, {4, 4}, {5, 0}, {1, 0}, {static_cast<char>(200), 0}};
    for (const auto& c : cases) {
        HFONT font = MakeFont("DejaVu Sans", 12, FW_NORMAL, c.given);
        EXPECT_EQ(font->quality, c.kept) << int(c.given);
        DeleteObject(font);
    }
}

TEST(CreateFont, StylesItalicUnderlineAndOrientation) {
    HFONT font = CreateFont(12, 0, 0, 450, FW_NORMAL, 1, 1, 0, 0, 0, 0, 0, 0, "DejaVu Serif");
    EXPECT_TRUE(font->attributes->italic);
    EXPECT_TRUE(font->attributes->underline);
    EXPECT_DOUBLE_EQ(font->rotation, 45.0);
    DeleteObject(font);
}

TEST(CreateFont, FindsFacesByNameAndFallsBackForMissingOnes) {
    HFONT mono = MakeFont("DejaVu Sans Mono", 12);
    HFONT missing = MakeFont("No Such Face Anywhere", 12);
    HFONT unnamed = MakeFont(nullptr, 12);
    EXPECT_STREQ(mono->attributes->font->FamilyName(), "DejaVu Sans Mono");
    ASSERT_NE(missing->attributes->font, nullptr);
    EXPECT_GT(strlen(missing->attributes->font->FamilyName()), 0u);
    ASSERT_NE(unnamed->attributes->font, nullptr);
    DeleteObject(mono);
    DeleteObject(missing);
    DeleteObject(unnamed);
}

TEST(CreateFontIndirect, ReadsTheSameFields) {
    LOGFONT lf = {};
    lf.lfHeight = -20;
    lf.lfWeight = FW_BOLD;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    strcpy(lf.lfFaceName, "DejaVu Sans Mono");
    HFONT font = CreateFontIndirect(&lf);
    EXPECT_DOUBLE_EQ(PointSizeOf(font), 19.0);
    EXPECT_FLOAT_EQ(font->attributes->strokeWidth, -8.25f);
    EXPECT_EQ(font->quality, NONANTIALIASED_QUALITY);
    EXPECT_STREQ(font->attributes->font->FamilyName(), "DejaVu Sans Mono");
    DeleteObject(font);
    EXPECT_EQ(CreateFontIndirect(nullptr), nullptr);
}

TEST(GetTextMetrics, MeasuresTheSelectedFace) {
    // DejaVu Sans: ascender 1901, descender -483, cap height 1493 of 2048 units. At 19 points:
    // a = 17.636, d = -4.481, c = 13.851: ascent 18, descent trunc(4.981) = 4, height 22,
    // internal leading trunc(4.285) = 4, average width trunc(ceil(22.117) x 0.55) = 12.
    TestContext c(4, 4);
    HFONT font = MakeFont("DejaVu Sans", -20);
    SelectObject(c.Get(), font);
    TEXTMETRIC tm;
    EXPECT_EQ(GetTextMetrics(c.Get(), &tm), 1);
    EXPECT_EQ(tm.tmAscent, 18);
    EXPECT_EQ(tm.tmDescent, 4);
    EXPECT_EQ(tm.tmHeight, 22);
    EXPECT_EQ(tm.tmInternalLeading, 4);
    EXPECT_EQ(tm.tmAveCharWidth, 12);
    SelectObject(c.Get(), reinterpret_cast<HGDIOBJ>(3));
    DeleteObject(font);
}

TEST(GetTextMetrics, WithoutAFontMeasuresTheTenPointDefault) {
    // 10 points of DejaVu Sans: a = 9.282, d = -2.358: ascent 9, descent 2, height 11.
    TestContext c(4, 4);
    TEXTMETRIC tm;
    EXPECT_EQ(GetTextMetrics(c.Get(), &tm), 1);
    EXPECT_EQ(tm.tmAscent, 9);
    EXPECT_EQ(tm.tmDescent, 2);
    EXPECT_EQ(tm.tmHeight, 11);
}

TEST(GetTextMetrics, LeavesDefaultsWhenItCannotMeasure) {
    TEXTMETRIC tm = {1, 1, 1, 1, 1};
    EXPECT_EQ(GetTextMetrics(nullptr, &tm), 0);
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmAscent, 12);
    EXPECT_EQ(tm.tmDescent, 4);
    EXPECT_EQ(tm.tmInternalLeading, 3);
    EXPECT_EQ(tm.tmAveCharWidth, 10);
    TestContext c(4, 4);
    EXPECT_EQ(GetTextMetrics(c.Get(), nullptr), 0);
}
