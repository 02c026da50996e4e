#include "FontTestSupport.h"

#include "raster/LICE_CachedFont.h"
#include "raster/LICE_Combine.h"
#include "raster/LICE_Fill.h"
#include "raster/LICE_SysBitmap.h"
#include "tests/support/AllocationTracking.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

using namespace font_test;

namespace {

const LICE_pixel kWhite = LICE_MakePixel(255, 255, 255, 255);
const LICE_pixel kGrey = LICE_MakePixel(100, 100, 100, 255);

class CachedFont : public ::testing::Test {
protected:
    void SetUp() override {
        font.SetFromHFont(MakeFont(), LICE_CACHEDFONT_OWNS_FONT);
        font.SetTextColor(kWhite);
    }

    int draw(LICE_CachedFont& f, LICE_IBitmap* bm, const char* text, int x, int y,
             unsigned flags = 0, int strcnt = -1) {
        RECT r = {x, y, bm->getWidth(), bm->getHeight()};
        return f.DrawText(bm, text, strcnt, &r, flags);
    }
    int draw(LICE_IBitmap* bm, const char* text, int x, int y, unsigned flags = 0,
             int strcnt = -1) {
        return draw(font, bm, text, x, y, flags, strcnt);
    }

    // The coverage map of c, rendered on demand through a measuring call.
    const unsigned char* map(LICE_CachedFont& f, unsigned c,
                             const LICE_CachedFont::GlyphRecord** rec) {
        RECT r = {0, 0, 0, 0};
        f.DrawText(nullptr, utf8(c).c_str(), -1, &r, DT_CALCRECT);
        *rec = f.findChar((unsigned short)c);
        return *rec ? f.getGlyphMap(*rec) : nullptr;
    }

    LICE_CachedFont font;
};

struct Decoded {
    unsigned short c;
    int n;
};

Decoded decode(const char* bytes, int avail = -1) {
    Decoded d;
    d.n = LICE_CachedFont::utf8char(bytes, avail, &d.c);
    return d;
}

} // namespace

TEST(CachedFontUtf8, DecodesSequencesAndFallsBackToOneByte) {
    const struct {
        const char* bytes;
        int avail;
        unsigned short c;
        int n;
    } cases[] = {
        {"A", -1, 'A', 1},
        {"\xC3\xA9", -1, 0xE9, 2},
        {"\xC3\x41", -1, 0xC3, 1},
        {"\xC3\xBF", -1, 0xFF, 2},
        // 0xC0 is a lead byte, not a continuation byte.
        {"\xC3\xC0", -1, 0xC3, 1},
        {"\xC1\x81", -1, 0xC1, 1},
        {"\xE2\x82\xAC", -1, 0x20AC, 3},
        {"\xE2\x82", -1, 0xE2, 1},
        {"\xF0\x9F\x98\x80", -1, ' ', 4},
        {"\xF5\x80\x80\x80", -1, 0xF5, 1},
        // Within a byte budget, a sequence longer than what remains is not one.
        {"\xC3\xA9", 1, 0xC3, 1},
        {"\xC3\xA9", 2, 0xE9, 2},
        {"\xE2\x82\xAC", 2, 0xE2, 1},
        {"\xF0\x9F\x98\x80", 3, 0xF0, 1},
    };
    for (const auto& t : cases) {
        const Decoded d = decode(t.bytes, t.avail);
        EXPECT_EQ(d.c, t.c) << t.bytes << " within " << t.avail;
        EXPECT_EQ(d.n, t.n) << t.bytes << " within " << t.avail;
    }
}

TEST_F(CachedFont, GlyphMapsMatchFreeTypeRenderingTheSameFaceWithinOne) {
    FreeTypeFace ft;
    ASSERT_TRUE(ft.ok());
    for (unsigned c : {0x41u, 0x67u, 0x57u, 0x6Au, 0x40u, 0x25u, 0x51u, 0xE9u, 0x3A9u, 0x416u}) {
        const LICE_CachedFont::GlyphRecord* rec = nullptr;
        const unsigned char* m = map(font, c, &rec);
        ASSERT_NE(m, nullptr) << c;
        FT_GlyphSlot slot = ft.render(c);
        ASSERT_NE(slot, nullptr) << c;
        const int left = slot->bitmap_left, top = ft.ascent() - slot->bitmap_top;
        int covered = 0;
        for (int y = 0; y < rec->height; ++y) {
            for (int x = 0; x < rec->width; ++x) {
                const int fx = x - left, fy = y - top;
                int expected = 0;
                if (fx >= 0 && fy >= 0 && fx < (int)slot->bitmap.width &&
                    fy < (int)slot->bitmap.rows)
                    expected = slot->bitmap.buffer[fy * slot->bitmap.pitch + fx];
                const int got = m[y * rec->width + x];
                ASSERT_LE(std::abs(got - expected), 1)
                    << "character " << c << " at (" << x << ", " << y << ")";
                covered += got > 0;
            }
        }
        EXPECT_GT(covered, 10) << c;
    }
}

TEST_F(CachedFont, RendersEachCharacterOnceHoweverOftenItIsDrawn) {
    Canvas bm(200, 40);
    const int before = TextCalls();
    for (int i = 0; i < 20; ++i)
        draw(&bm, "Hello, Hello", 2, 2);
    // Six distinct characters, each measured and drawn once.
    EXPECT_EQ(TextCalls() - before, 12);

    RECT r = {0, 0, 0, 0};
    font.DrawText(&bm, "oleH", -1, &r, DT_CALCRECT);
    EXPECT_EQ(TextCalls() - before, 12);

    // A new face forgets every glyph.
    font.SetFromHFont(MakeFont(-14), LICE_CACHEDFONT_OWNS_FONT);
    const int again = TextCalls();
    draw(&bm, "Hello, Hello", 2, 2);
    EXPECT_EQ(TextCalls() - again, 12);
}

TEST_F(CachedFont, FindsCharactersBeyond127AddedInAnyOrder) {
    std::vector<unsigned short> codes;
    for (unsigned short c = 0x100; c < 0x180; ++c)
        codes.push_back(c);
    for (unsigned short c = 0x391; c <= 0x3A9; ++c)
        codes.push_back(c);
    // Combining accents have no advance of their own: they are rendered as nothing.
    for (unsigned short c = 0x300; c < 0x310; ++c)
        codes.push_back(c);
    std::mt19937 random(16);
    std::shuffle(codes.begin(), codes.end(), random);

    Canvas bm(64, 40);
    for (unsigned short c : codes)
        draw(&bm, utf8(c).c_str(), 2, 2);
    EXPECT_EQ(font.ExtraCharCount(), (int)codes.size());
    for (unsigned short c : codes) {
        const LICE_CachedFont::GlyphRecord* rec = font.findChar(c);
        ASSERT_NE(rec, nullptr) << c;
        EXPECT_EQ(rec->charid, c);
        if (c >= 0x300 && c < 0x310)
            EXPECT_EQ(rec->base, -1) << c;
        else
            EXPECT_GT(rec->base, 0) << c;
    }

    // Found again, empty ones included: nothing is rendered a second time.
    std::shuffle(codes.begin(), codes.end(), random);
    const int before = TextCalls();
    for (unsigned short c : codes)
        draw(&bm, utf8(c).c_str(), 2, 2);
    EXPECT_EQ(TextCalls(), before);
    EXPECT_EQ(font.ExtraCharCount(), (int)codes.size());
}

TEST_F(CachedFont, PrecacheRendersTheFirst128AndNothingElse) {
    LICE_CachedFont f;
    const int before = TextCalls();
    f.SetFromHFont(MakeFont(), LICE_CACHEDFONT_OWNS_FONT | LICE_CACHEDFONT_PRECACHE);
    EXPECT_GT(TextCalls(), before);
    f.SetTextColor(kWhite);

    Canvas bm(64, 40);
    const int drawn = TextCalls();
    EXPECT_EQ(draw(f, &bm, "\xC3\xA9", 2, 2), 0);
    EXPECT_TRUE(bm.allOf(0));
    EXPECT_EQ(f.ExtraCharCount(), 0);
    draw(f, &bm, "Az~", 2, 2);
    EXPECT_EQ(TextCalls(), drawn);
    EXPECT_FALSE(bm.allOf(0));
}

TEST_F(CachedFont, MeasuresTheTallerGlyphAndTheSumOfAdvancesWithoutABitmap) {
    RECT r = {5, 7, 5, 7};
    const int h = font.DrawText(nullptr, "AB", -1, &r, DT_CALCRECT);
    const LICE_CachedFont::GlyphRecord* a = font.findChar('A');
    const LICE_CachedFont::GlyphRecord* b = font.findChar('B');
    ASSERT_TRUE(a && b);
    EXPECT_GT(a->advance, 0);
    EXPECT_EQ(h, std::max(a->height, b->height));
    EXPECT_EQ(r.right, 5 + a->advance + b->advance);
    EXPECT_EQ(r.bottom, 7 + h);

    // A null bitmap without the measure flag draws nothing and says so.
    RECT d = {0, 0, 100, 100};
    EXPECT_EQ(font.DrawText(nullptr, "AB", -1, &d, 0), 0);
}

TEST_F(CachedFont, NativeFontMeasuresWithoutABitmap) {
    LICE_CachedFont f;
    f.SetFromHFont(MakeFont(), LICE_CACHEDFONT_OWNS_FONT | LICE_CACHEDFONT_NATIVE);
    RECT r = {3, 4, 3, 4};
    EXPECT_GT(f.DrawText(nullptr, "Hello", -1, &r, DT_CALCRECT), 0);
    EXPECT_GT(r.right, 3 + 20);
    EXPECT_GT(r.bottom, 4);
    RECT d = {0, 0, 100, 100};
    EXPECT_EQ(f.DrawText(nullptr, "Hello", -1, &d, 0), 0);
}

TEST_F(CachedFont, NativeTextLooksTheSameOnBitmapsWithAndWithoutAContext) {
    LICE_CachedFont f;
    f.SetFromHFont(MakeFont(), LICE_CACHEDFONT_OWNS_FONT | LICE_CACHEDFONT_NATIVE);
    f.SetTextColor(LICE_MakePixel(250, 200, 10, 255));
    for (unsigned flags : {0u, (unsigned)(DT_CENTER | DT_VCENTER), (unsigned)DT_RIGHT,
                           (unsigned)(DT_RIGHT | DT_BOTTOM | DT_NOCLIP)}) {
        Canvas heap(120, 40, kGrey);
        LICE_SysBitmap sys(120, 40);
        LICE_Clear(&sys, kGrey);
        RECT a = {4, 3, 110, 36}, b = a;
        const int ha = f.DrawText(&heap, "Native", -1, &a, flags);
        const int hb = f.DrawText(&sys, "Native", -1, &b, flags);
        EXPECT_EQ(ha, hb);
        int differing = 0, drawn = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 120; ++x) {
                const LICE_pixel p = heap.at(x, y), q = sys.getBits()[y * sys.getRowSpan() + x];
                differing += (p & 0xffffff00) != (q & 0xffffff00);
                drawn += (p & 0xffffff00) != (kGrey & 0xffffff00);
            }
        EXPECT_EQ(differing, 0) << flags;
        EXPECT_GT(drawn, 30) << flags;
    }
}

TEST_F(CachedFont, ByteBudgetEndsTheTextAndIsNeverOverrun) {
    Canvas ab(80, 40), a(80, 40);
    draw(&ab, "AB", 2, 2, 0, 1);
    draw(&a, "A", 2, 2);
    EXPECT_TRUE(ab.samePixels(a));

    Canvas none(80, 40);
    EXPECT_EQ(draw(&none, "AB", 2, 2, 0, 0), 0);
    EXPECT_TRUE(none.allOf(0));

    // The lead byte of a two-byte character with one byte of budget left is a character of its
    // own, and the byte after it is never read (the block ends there).
    char* cut = static_cast<char*>(malloc(2));
    cut[0] = 'A';
    cut[1] = '\xC3';
    Canvas budget(80, 40), expected(80, 40);
    draw(&budget, cut, 2, 2, 0, 2);
    draw(&expected, "A\xC3\x83", 2, 2);
    EXPECT_TRUE(budget.samePixels(expected));
    free(cut);
}

TEST_F(CachedFont, NewlinesStartLinesUnlessSingleLine) {
    Canvas single(120, 60), spaced(120, 60);
    draw(&single, "A\nB", 2, 2, DT_SINGLELINE);
    draw(&spaced, "A B", 2, 2);
    EXPECT_TRUE(single.samePixels(spaced));

    Canvas lines(120, 60), parts(120, 60);
    const int h = draw(&lines, "A\r\nB", 2, 2);
    draw(&parts, "A", 2, 2);
    draw(&parts, "B", 2, 2 + font.GetLineHeight());
    EXPECT_TRUE(lines.samePixels(parts));
    EXPECT_GT(h, font.GetLineHeight());

    font.SetLineSpacing(5);
    Canvas wider(120, 60), widerParts(120, 60);
    draw(&wider, "A\nB", 2, 2);
    draw(&widerParts, "A", 2, 2);
    draw(&widerParts, "B", 2, 2 + font.GetLineHeight() + 5);
    EXPECT_TRUE(wider.samePixels(widerParts));
}

TEST_F(CachedFont, TextColourAlphaWeighsTheGlyphsAndLeavesTheFontsWeight) {
    font.SetTextColor(LICE_MakePixel(255, 255, 255, 128));
    Canvas half(80, 40);
    draw(&half, "W", 2, 2, LICE_DT_USEFGALPHA);

    LICE_CachedFont reference;
    reference.SetFromHFont(MakeFont(), LICE_CACHEDFONT_OWNS_FONT);
    reference.SetTextColor(LICE_MakePixel(255, 255, 255, 128));
    reference.SetCombineMode(LICE_COMBINE_COPY, 128 / 255.0f);
    Canvas expected(80, 40);
    draw(reference, &expected, "W", 2, 2);
    EXPECT_TRUE(half.samePixels(expected));
    int brightest = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x)
            brightest = std::max(brightest, LICE_PixelR(half.at(x, y)));
    EXPECT_GE(brightest, 126);
    EXPECT_LE(brightest, 129);

    // Without the flag the next draw is at full weight again.
    Canvas full(80, 40), fresh(80, 40);
    draw(&full, "W", 2, 2);
    font.SetTextColor(kWhite);
    draw(&fresh, "W", 2, 2);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(full.at(x, y) & 0xffffff00, fresh.at(x, y) & 0xffffff00);
}

TEST_F(CachedFont, ZeroWeightAndFullyClippedTextDrawNothing) {
    Canvas bm(80, 40);
    font.SetCombineMode(LICE_COMBINE_COPY, 0.0f);
    EXPECT_EQ(draw(&bm, "W", 2, 2), 0);
    font.SetCombineMode(LICE_COMBINE_COPY, 1.0f);
    RECT outside = {100, 100, 200, 200};
    EXPECT_EQ(font.DrawText(&bm, "W", -1, &outside, 0), 0);
    EXPECT_TRUE(bm.allOf(0));
}

TEST_F(CachedFont, ClipsToTheRectangleUnlessNoClip) {
    Canvas bm(120, 40);
    RECT r = {10, 5, 30, 20};
    font.DrawText(&bm, "WWWWWW", -1, &r, 0);
    bool inside = false;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const bool in = x >= 10 && x < 30 && y >= 5 && y < 20;
            if (!in) {
                ASSERT_EQ(bm.at(x, y), 0u) << x << ", " << y;
            }
            inside |= in && bm.at(x, y) != 0;
        }
    EXPECT_TRUE(inside);

    Canvas unclipped(120, 40);
    font.DrawText(&unclipped, "WWWWWW", -1, &r, DT_NOCLIP);
    int beyond = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 40; x < 120; ++x)
            beyond += unclipped.at(x, y) != 0;
    EXPECT_GT(beyond, 50);
}

TEST_F(CachedFont, AlignsRightAndCentreByTheMeasuredText) {
    RECT m = {0, 0, 0, 0};
    font.DrawText(nullptr, "Ag", -1, &m, DT_CALCRECT);
    const int tw = m.right, th = m.bottom;

    Canvas right(120, 60), moved(120, 60);
    RECT r = {10, 5, 110, 55};
    font.DrawText(&right, "Ag", -1, &r, DT_RIGHT | DT_BOTTOM);
    draw(&moved, "Ag", 110 - tw, 55 - th);
    EXPECT_TRUE(right.samePixels(moved));

    Canvas centred(120, 60), placed(120, 60);
    font.DrawText(&centred, "Ag", -1, &r, DT_CENTER | DT_VCENTER);
    draw(&placed, "Ag", 10 + (100 - tw) / 2, 5 + (50 - th) / 2);
    EXPECT_TRUE(centred.samePixels(placed));
}

TEST_F(CachedFont, MonoFontsDrawOnlyTheTextColour) {
    LICE_CachedFont f;
    f.SetFromHFont(MakeFont(), LICE_CACHEDFONT_OWNS_FONT | LICE_CACHEDFONT_MONO);
    const LICE_pixel colour = LICE_MakePixel(200, 100, 50, 255);
    f.SetTextColor(colour);
    Canvas bm(80, 40, kGrey);
    draw(f, &bm, "Sg", 2, 2);
    int text = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x) {
            const LICE_pixel p = bm.at(x, y);
            ASSERT_TRUE(p == colour || p == kGrey) << x << ", " << y;
            text += p == colour;
        }
    EXPECT_GT(text, 20);
}

TEST_F(CachedFont, OutlineAndShadowMarkTheirNeighbours) {
    const LICE_pixel text = LICE_MakePixel(255, 255, 255, 255);
    const LICE_pixel effect = LICE_MakePixel(0, 0, 255, 255);
    for (int flag : {LICE_CACHEDFONT_OUTLINE, LICE_CACHEDFONT_SHADOW}) {
        LICE_CachedFont f;
        f.SetFromHFont(MakeFont(), LICE_CACHEDFONT_OWNS_FONT | flag);
        f.SetTextColor(text);
        f.SetEffectColor(effect);
        Canvas bm(80, 40);
        draw(f, &bm, "H", 2, 2);
        int effects = 0;
        for (int y = 1; y < 39; ++y)
            for (int x = 1; x < 79; ++x) {
                if (bm.at(x, y) != effect) continue;
                ++effects;
                const bool left = bm.at(x - 1, y) == text, up = bm.at(x, y - 1) == text;
                if (flag == LICE_CACHEDFONT_SHADOW)
                    ASSERT_TRUE(left || up || bm.at(x - 1, y - 1) == text) << x << ", " << y;
                else
                    ASSERT_TRUE(left || up || bm.at(x + 1, y) == text || bm.at(x, y + 1) == text)
                        << x << ", " << y;
            }
        EXPECT_GT(effects, 10) << flag;
    }
}

TEST_F(CachedFont, InvertAndVerticalFontsTransformTheCoverage) {
    const LICE_CachedFont::GlyphRecord* plainRec = nullptr;
    const unsigned char* plain = map(font, 'L', &plainRec);
    ASSERT_NE(plain, nullptr);
    const int w = plainRec->width, h = plainRec->height;

    LICE_CachedFont inverted, clockwise, counter;
    inverted.SetFromHFont(MakeFont(), LICE_CACHEDFONT_OWNS_FONT | LICE_CACHEDFONT_INVERT);
    clockwise.SetFromHFont(MakeFont(), LICE_CACHEDFONT_OWNS_FONT | LICE_CACHEDFONT_VERTICAL);
    counter.SetFromHFont(MakeFont(), LICE_CACHEDFONT_OWNS_FONT | LICE_CACHEDFONT_VERTICAL |
                                         LICE_CACHEDFONT_BOTTOM_UP);
    const LICE_CachedFont::GlyphRecord *ir, *cr, *br;
    const unsigned char* inv = map(inverted, 'L', &ir);
    const unsigned char* cw = map(clockwise, 'L', &cr);
    const unsigned char* ccw = map(counter, 'L', &br);
    ASSERT_TRUE(inv && cw && ccw);
    ASSERT_EQ(ir->width, w);
    ASSERT_EQ(cr->width, h);
    ASSERT_EQ(cr->height, w);
    ASSERT_EQ(br->width, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(inv[y * w + x], 255 - plain[y * w + x]);
    // A quarter turn clockwise puts the old bottom row in the new first column.
    for (int r = 0; r < w; ++r)
        for (int k = 0; k < h; ++k) {
            ASSERT_EQ(cw[r * h + k], plain[(h - 1 - k) * w + r]);
            ASSERT_EQ(ccw[r * h + k], plain[k * w + (w - 1 - r)]);
        }
}

TEST_F(CachedFont, OpaqueBackgroundFillsEachGlyphCell) {
    const LICE_pixel background = LICE_MakePixel(0, 0, 200, 255);
    font.SetBkMode(OPAQUE);
    font.SetBkColor(background);
    Canvas bm(80, 40);
    draw(&bm, "A", 2, 2);
    const LICE_CachedFont::GlyphRecord* rec = font.findChar('A');
    ASSERT_NE(rec, nullptr);
    const unsigned char* m = font.getGlyphMap(rec);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x) {
            const bool inCell = x >= 2 && x < 2 + rec->width && y >= 2 && y < 2 + rec->height;
            if (!inCell) {
                ASSERT_EQ(bm.at(x, y), 0u);
            } else if (m[(y - 2) * rec->width + (x - 2)] == 0) {
                ASSERT_EQ(bm.at(x, y), background);
            }
        }
}

TEST_F(CachedFont, AppliesTheBlendOperatorWeightedByCoverage) {
    const LICE_pixel colour = LICE_MakePixel(120, 60, 30, 255);
    font.SetTextColor(colour);
    font.SetCombineMode(LICE_COMBINE_ADD, 1.0f);
    Canvas bm(80, 40, kGrey);
    draw(&bm, "W", 2, 2);
    const LICE_CachedFont::GlyphRecord* rec = font.findChar('W');
    const unsigned char* m = font.getGlyphMap(rec);
    for (int y = 0; y < rec->height; ++y)
        for (int x = 0; x < rec->width; ++x) {
            const int v = m[y * rec->width + x];
            // At full weight a coverage byte v adds (v + 1) / 256 of the colour.
            const int w = v ? v + 1 : 0;
            const LICE_pixel p = bm.at(2 + x, 2 + y);
            ASSERT_EQ(LICE_PixelR(p), std::min(255, 100 + 120 * w / 256));
            ASSERT_EQ(LICE_PixelG(p), std::min(255, 100 + 60 * w / 256));
            ASSERT_EQ(LICE_PixelB(p), std::min(255, 100 + 30 * w / 256));
        }
}

TEST_F(CachedFont, GlyphsThatCannotBeStoredAreRecordedEmpty) {
    GRINDVOX_REQUIRE_ALLOCATION_TRACKING();
    Canvas expected(80, 40);
    draw(&expected, "W", 2, 2);
    for (int successes = 0; successes < 200; ++successes) {
        LICE_CachedFont f;
        f.SetFromHFont(MakeFont(), LICE_CACHEDFONT_OWNS_FONT);
        f.SetTextColor(kWhite);
        Canvas bm(80, 40);
        {
            grindvox::test::AllocationFailure failure(successes, 1);
            draw(f, &bm, "W", 2, 2);
        }
        const LICE_CachedFont::GlyphRecord* rec = f.findChar('W');
        ASSERT_NE(rec, nullptr);
        // Either the glyph is whole, or nothing of it is drawn (the GDI layer itself draws
        // nothing when it runs out of memory).
        EXPECT_TRUE(bm.allOf(0) || (rec->base > 0 && bm.samePixels(expected))) << successes;
    }
}

TEST_F(CachedFont, PlainCopyEqualsTheCopyOperatorPixelForPixel) {
    // A background that differs in every byte and pixel, so that each lane of the word-wide
    // path shows.
    Canvas bm(120, 40), before(120, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            bm.getBits()[y * bm.getRowSpan() + x] = before.getBits()[y * before.getRowSpan() + x] =
                LICE_MakePixel(x * 2, y * 6, (x * y) & 255, 255 - x);
    const LICE_pixel colour = LICE_MakePixel(30, 220, 140, 7);
    font.SetTextColor(colour);
    const int x0 = 3, y0 = 2;
    draw(&bm, "W@g", x0, y0);
    int x = x0;
    for (char c : {'W', '@', 'g'}) {
        const LICE_CachedFont::GlyphRecord* rec = font.findChar(c);
        const unsigned char* m = font.getGlyphMap(rec);
        for (int j = 0; j < rec->height; ++j)
            for (int i = 0; i < rec->width; ++i) {
                const int v = m[j * rec->width + i];
                if (!v) continue;
                LICE_pixel expected = before.at(x + i, y0 + j);
                _LICE_CombinePixelsCopyNoClamp::doPix((LICE_pixel_chan*)&expected, 30, 220, 140,
                                                      255, v + 1);
                before.getBits()[(y0 + j) * before.getRowSpan() + x + i] = expected;
            }
        x += rec->advance;
    }
    for (int y = 0; y < 40; ++y)
        for (int xx = 0; xx < 120; ++xx)
            ASSERT_EQ(bm.at(xx, y), before.at(xx, y)) << xx << ", " << y;
}
