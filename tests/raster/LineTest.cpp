// Lines: the aliased and antialiased two-ended lines against a step-by-step model of the rule
// written here (both pens walking toward the middle with a 16.16 error sum), clipped lines
// against the same lines drawn whole, the axis and diagonal loops, end points at the ends of the
// int range, antialiased lines against a supersampled band, and the clipping functions.

#include "ShapeTestSupport.h"
#include "raster/LICE_Combine.h"
#include "raster/LICE_Line.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <map>
#include <utility>

namespace {

using raster_test::Random;
using raster_test::TestBitmap;

const LICE_pixel kWhite = 0xffffffffu;
const LICE_pixel kBlack = 0x000000ffu; // opaque black: alpha byte 255

// Pixel -> weight (0..256) of a line as the rule defines it, stepping pen by pen.
typedef std::map<std::pair<long long, long long>, int> Weights;

Weights modelLine(long long x1, long long y1, long long x2, long long y2, bool aa, int ia) {
    Weights out;
    const long long dx = x2 - x1, dy = y2 - y1;
    const bool xMajor = std::llabs(dx) > std::llabs(dy);
    long long M1 = xMajor ? x1 : y1, N1 = xMajor ? y1 : x1, M2 = xMajor ? x2 : y2,
              N2 = xMajor ? y2 : x2;
    if (M2 < M1) std::swap(M1, M2), std::swap(N1, N2);
    const long long n = M2 - M1, s = N2 >= N1 ? 1 : -1;
    const long long err = (long long)((double)std::llabs(N2 - N1) / (double)n * 65536.0);
    auto put = [&](long long M, long long N, int w) {
        if (w) out[xMajor ? std::make_pair(M, N) : std::make_pair(N, M)] = w;
    };
    long long a = M1, b = N1, c = M2, d = N2, e = aa ? err : 0;
    if (!aa) {
        for (long long i = 0; i < (n + 1) / 2; ++i) {
            put(a, b, ia), put(c, d, ia);
            ++a, --c, e += err;
            if (e > 32767) b += s, d -= s, e -= 65536;
        }
        if (n % 2 == 0) put(a, b, ia);
        return out;
    }
    put(a, b, ia), put(c, d, ia);
    auto pair = [&](long long M, long long N, long long dir) {
        const int f = (int)(e >> 8);
        put(M, N, ia == 256 ? 255 - f : ((255 - f) * ia) >> 8);
        put(M, N + dir, ia == 256 ? f : (f * ia) >> 8);
    };
    for (long long i = 1; i < (n + 1) / 2; ++i) {
        ++a, --c;
        pair(a, b, s), pair(c, d, -s);
        e += err;
        if (e >= 65536) b += s, d -= s, e -= 65536;
    }
    if (n % 2 == 0 && n > 0) ++a, pair(a, b, s);
    return out;
}

// The model drawn with the copy operator onto a copy of the background, clipped to the bitmap.
void paintModel(TestBitmap& bm, const Weights& w, LICE_pixel color) {
    for (const auto& kv : w) {
        const long long x = kv.first.first, y = kv.first.second;
        if (x < 0 || y < 0 || x >= bm.getWidth() || y >= bm.getHeight()) continue;
        LICE_pixel& p = bm.at((int)x, (int)y);
        p = LICE_CombinePixels(p, color, kv.second / 256.0f, LICE_COMBINE_COPY);
    }
}

TEST(Line, AliasedLinesFollowTheTwoEndedRuleInEveryOctantAndClipExactly) {
    Random rnd{15};
    for (int trial = 0; trial < 400; ++trial) {
        // Small bitmaps and end points far around them: every octant, most lines clipped.
        TestBitmap got(rnd.range(1, 40), rnd.range(1, 30), rnd.next() & 1);
        const int x1 = rnd.range(-200, 240), y1 = rnd.range(-200, 230);
        const int x2 = rnd.range(-200, 240), y2 = rnd.range(-200, 230);
        got.fill(kBlack);
        TestBitmap want(got.getWidth(), got.getHeight());
        raster_test::CopyImage(got, want);
        LICE_Line(&got, x1, y1, x2, y2, kWhite, 1.0f, LICE_COMBINE_COPY, false);
        if (x1 == x2 || y1 == y2 || std::abs(x2 - x1) == std::abs(y2 - y1)) {
            for (int k = 0, n = std::max(std::abs(x2 - x1), std::abs(y2 - y1)); k <= n; ++k) {
                const int x = x1 + (x2 > x1) * k - (x2 < x1) * k;
                const int y = y1 + (y2 > y1) * k - (y2 < y1) * k;
                if (x >= 0 && y >= 0 && x < want.getWidth() && y < want.getHeight())
                    want.at(x, y) = kWhite;
            }
        } else {
            paintModel(want, modelLine(x1, y1, x2, y2, false, 256), kWhite);
        }
        if (!raster_test::SameImages(got, want, "aliased_" + std::to_string(trial))) return;
    }
}

TEST(Line, TheWorkedExampleSharesItsMiddleSteps) {
    TestBitmap bm(6, 4);
    bm.fill(kBlack);
    LICE_Line(&bm, 0, 0, 4, 2, kWhite, 1.0f, LICE_COMBINE_COPY, false);
    const int lit[][2] = {{0, 0}, {1, 1}, {2, 1}, {3, 1}, {4, 2}};
    int count = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            count += bm.at(x, y) == kWhite;
    EXPECT_EQ(5, count);
    for (const auto& p : lit)
        EXPECT_EQ(kWhite, bm.at(p[0], p[1])) << p[0] << "," << p[1];
}

TEST(Line, AntialiasedLinesFollowTheTwoEndedRuleAndClipExactly) {
    Random rnd{16};
    const float alphas[] = {1.0f, 0.6f, 0.3f};
    for (int trial = 0; trial < 300; ++trial) {
        const float alpha = alphas[trial % 3];
        TestBitmap got(rnd.range(1, 40), rnd.range(1, 30), rnd.next() & 1);
        int x1 = rnd.range(-150, 190), y1 = rnd.range(-150, 180);
        int x2 = rnd.range(-150, 190), y2 = rnd.range(-150, 180);
        if (x1 == x2 || y1 == y2 || std::abs(x2 - x1) == std::abs(y2 - y1)) continue;
        got.fill(kBlack);
        TestBitmap want(got.getWidth(), got.getHeight());
        raster_test::CopyImage(got, want);
        LICE_Line(&got, x1, y1, x2, y2, kWhite, alpha, LICE_COMBINE_COPY, true);
        paintModel(want, modelLine(x1, y1, x2, y2, true, (int)(alpha * 256)), kWhite);
        if (!raster_test::SameImages(got, want, "smooth_" + std::to_string(trial))) return;
    }
}

TEST(Line, AntialiasedWeightsWorkedByHand) {
    // (0, 0) to (4, 1): err = 65536 / 4 = 16384. Ends at full weight; step 1 from each end puts
    // 255 - 64 on the line and 64 beside it; the middle step (k = 2) splits 127 / 128.
    TestBitmap bm(5, 2);
    bm.fill(0);
    LICE_Line(&bm, 0, 0, 4, 1, 0xffffffffu, 1.0f, LICE_COMBINE_ADD, true);
    const int want[2][5] = {{256, 191, 127, 64, 0}, {0, 64, 128, 191, 256}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x) // add of 255 at weight w gives 255 * w / 256
            EXPECT_EQ(255 * want[y][x] / 256, LICE_PixelR(bm.at(x, y))) << x << "," << y;
}

TEST(Line, AntialiasedDiagonalPutsThreeQuartersOnAndAQuarterBeside) {
    TestBitmap bm(5, 5);
    bm.fill(0);
    LICE_Line(&bm, 1, 1, 3, 3, 0xfcfcfcfcu, 1.0f, LICE_COMBINE_COPY, true);
    const LICE_pixel on = 0xbdbdbdbdu, beside = 0x3f3f3f3fu; // 3/4 and 1/4 of 0xfc
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const LICE_pixel want =
                x == y && x >= 1 && x <= 3                                           ? on
                : std::abs(x - y) == 1 && std::min(x, y) >= 1 && std::max(x, y) <= 3 ? beside
                                                                                     : 0u;
            EXPECT_EQ(want, bm.at(x, y)) << x << "," << y;
        }
}

TEST(Line, AxisLinesIncludeBothEndsInEitherOrder) {
    TestBitmap bm(12, 8);
    bm.fill(kBlack);
    LICE_Line(&bm, 5, 5, 5, 5, kWhite, 1.0f, 0, false);
    LICE_Line(&bm, 10, 2, 3, 2, kWhite, 1.0f, 0, false);
    LICE_Line(&bm, 1, 7, 1, 3, kWhite, 1.0f, 0, true);
    LICE_Line(&bm, -5, -1, 30, -1, kWhite, 1.0f, 0, false); // wholly outside
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool lit =
                (x == 5 && y == 5) || (y == 2 && x >= 3 && x <= 10) || (x == 1 && y >= 3 && y <= 7);
            EXPECT_EQ(lit ? kWhite : kBlack, bm.at(x, y)) << x << "," << y;
        }
}

TEST(Line, PlainAlphasUseTheirMixes) {
    TestBitmap bm(4, 4);
    bm.fill(0x81818181u);
    // Axis lines use the word half mix ((d >> 1) + (c >> 1)); slanted lines the channel half
    // mix ((d + s) >> 1), which rounds the odd halves up.
    LICE_Line(&bm, 0, 0, 3, 0, 0x01010101u, 0.5f, 0, false);
    LICE_Line(&bm, 0, 1, 3, 2, 0x01010101u, 0.5f, 0, false);
    EXPECT_EQ(0x40404040u, bm.at(1, 0));
    EXPECT_EQ(0x41414141u, bm.at(0, 1));
    // A quarter on an axis line: 3/4 destination + 1/4 colour, word-wide.
    LICE_Line(&bm, 0, 3, 3, 3, 0xfcfcfcfcu, 0.25f, 0, false);
    EXPECT_EQ(0x20202020u + 0x40404040u + 0x3f3f3f3fu, bm.at(2, 3));
}

TEST(Line, ZeroWeightAndUnknownOperatorsDrawNothing) {
    TestBitmap bm(8, 8);
    bm.fill(kBlack);
    for (bool aa : {false, true}) {
        LICE_Line(&bm, 0, 0, 7, 3, kWhite, 0.0f, LICE_COMBINE_HSV_ADJUST, aa);
        LICE_Line(&bm, 0, 0, 7, 3, kWhite, 0.003f, LICE_COMBINE_COPY, aa);
        LICE_Line(&bm, 0, 0, 7, 7, kWhite, 1.0f, 6, aa);
        LICE_Line(&bm, 0, 2, 7, 2, kWhite, 1.0f, 0xf0, aa);
        LICE_DrawRect(&bm, 1, 1, 4, 4, kWhite, 1.0f, 7);
    }
    LICE_Line(nullptr, 0, 0, 5, 5, kWhite, 1.0f, 0, false);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(kBlack, bm.at(x, y)) << x << "," << y;
}

TEST(Line, EndPointsAtTheEndsOfTheIntRangeDrawTheRightPixels) {
    TestBitmap bm(20, 10, true);
    bm.fill(kBlack);
    // Slope 1/2 through the origin: err is exactly 32768, and the pens meet at x = 0, so the
    // bitmap shows y = floor(x / 2).
    LICE_Line(&bm, -(1 << 30), -(1 << 29), 1 << 30, 1 << 29, kWhite, 1.0f, 0, false);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(y == x / 2 ? kWhite : kBlack, bm.at(x, y)) << x << "," << y;

    bm.fill(kBlack);
    LICE_Line(&bm, INT_MIN, INT_MIN, INT_MAX, INT_MAX, kWhite, 1.0f, 0, false);
    LICE_Line(&bm, INT_MIN, 9, INT_MAX, 9, kWhite, 1.0f, 0, true);
    LICE_Line(&bm, INT_MAX, INT_MIN, INT_MIN, INT_MAX, kWhite, 1.0f, 0, false); // x + y = -1
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(x == y || y == 9 ? kWhite : kBlack, bm.at(x, y)) << x << "," << y;

    // Anything else from the ends of the range stays inside the bitmap.
    const int ends[] = {INT_MIN, INT_MIN + 1, -1, 0, 5, 19, INT_MAX - 1, INT_MAX};
    for (int a : ends)
        for (int b : ends)
            for (int c : ends)
                for (int d : {INT_MIN, 3, INT_MAX}) {
                    LICE_Line(&bm, a, b, c, d, kWhite, 0.7f, 0, (a ^ c) & 1);
                    LICE_DashedLine(&bm, a, b, c, d, 3, 2, kWhite, 1.0f, 0, (b ^ c) & 1);
                    LICE_DrawRect(&bm, a, b, c, d, kWhite, 0.5f, 1);
                }
    EXPECT_TRUE(bm.paddingIntact());
}

// The band one pixel thick along the minor axis that an antialiased line covers, from half a
// pixel before its first end to half a pixel past its last.
bool inBand(double x, double y, double x1, double y1, double x2, double y2) {
    const bool xMajor = std::fabs(x2 - x1) > std::fabs(y2 - y1);
    double a = xMajor ? x : y, b = xMajor ? y : x;
    double a1 = xMajor ? x1 : y1, b1 = xMajor ? y1 : x1, a2 = xMajor ? x2 : y2,
           b2 = xMajor ? y2 : x2;
    if (a2 < a1) std::swap(a1, a2), std::swap(b1, b2);
    if (a < a1 - 0.5 || a > a2 + 0.5) return false;
    return std::fabs(b - (b1 + (a - a1) * (b2 - b1) / (a2 - a1))) < 0.5;
}

TEST(Line, AntialiasedLinesCoverTheirBand) {
    Random rnd{17};
    for (int trial = 0; trial < 60; ++trial) {
        const int x1 = rnd.range(2, 60), y1 = rnd.range(2, 60), len = rnd.range(20, 60);
        const double angle = rnd.range(0, 359) * 3.14159265358979 / 180;
        const int x2 = x1 + (int)std::lround(len * std::cos(angle));
        const int y2 = y1 + (int)std::lround(len * std::sin(angle));
        const int adx = std::abs(x2 - x1), ady = std::abs(y2 - y1);
        // Slopes up to 0.9: the split weights then stay within a quarter of the band's cover.
        if (std::min(adx, ady) * 10 > std::max(adx, ady) * 9) continue;
        TestBitmap bm(64, 64);
        bm.fill(0);
        LICE_Line(&bm, x1, y1, x2, y2, kWhite, 1.0f, LICE_COMBINE_COPY, true);
        const auto model = raster_test::Supersample(
            64, 64, [&](double x, double y) { return inBand(x, y, x1, y1, x2, y2); });
        if (!raster_test::CoverageMatches(bm, model, 0.05, 0.25, "band_" + std::to_string(trial)))
            return;
    }
}

TEST(Line, DrawRectBlendsEveryPixelOnce) {
    const int rects[][4] = {{2, 1, 5, 4}, {7, 6, -5, -4}, {3, 3, 0, 4}, {3, 3, 4, 0}};
    for (const auto& r : rects) {
        TestBitmap bm(10, 8);
        bm.fill(0);
        LICE_DrawRect(&bm, r[0], r[1], r[2], r[3], 0x40404040u, 1.0f, LICE_COMBINE_ADD);
        const int x0 = std::min(r[0], r[0] + r[2]), x1 = std::max(r[0], r[0] + r[2]);
        const int y0 = std::min(r[1], r[1] + r[3]), y1 = std::max(r[1], r[1] + r[3]);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                const bool edge = x >= x0 && x <= x1 && y >= y0 && y <= y1 &&
                                  (x == x0 || x == x1 || y == y0 || y == y1);
                EXPECT_EQ(edge ? 0x40404040u : 0u, bm.at(x, y)) << x << "," << y;
            }
    }
}

TEST(Line, BorderedRectFillsInsideTheBorder) {
    TestBitmap bm(8, 8);
    bm.fill(0);
    LICE_BorderedRect(&bm, 1, 1, 5, 4, 0x11111111u, 0x22222222u, 1.0f, LICE_COMBINE_COPY);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool in = x >= 1 && x <= 6 && y >= 1 && y <= 5;
            const bool border = in && (x == 1 || x == 6 || y == 1 || y == 5);
            EXPECT_EQ(border ? 0x22222222u : (in ? 0x11111111u : 0u), bm.at(x, y)) << x << "," << y;
        }
}

TEST(Line, DashesAreRunsOfTheWholeLine) {
    Random rnd{18};
    for (int trial = 0; trial < 40; ++trial) {
        const int x1 = rnd.range(-20, 50), y1 = rnd.range(-20, 50);
        const int x2 = rnd.range(-20, 50), y2 = rnd.range(-20, 50);
        const int on = rnd.range(1, 5), off = rnd.range(1, 4);
        TestBitmap whole(32, 32), dashed(32, 32);
        whole.fill(kBlack), dashed.fill(kBlack);
        LICE_Line(&whole, x1, y1, x2, y2, kWhite, 1.0f, 0, false);
        LICE_DashedLine(&dashed, x1, y1, x2, y2, on, off, kWhite, 1.0f, 0, false);
        const bool xMajor = std::abs(x2 - x1) >= std::abs(y2 - y1);
        TestBitmap want(32, 32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const int k = std::abs(xMajor ? x - x1 : y - y1);
                want.at(x, y) = k % (on + off) < on ? whole.at(x, y) : kBlack;
            }
        if (!raster_test::SameImages(dashed, want, "dashed_" + std::to_string(trial))) return;
    }
}

TEST(ClipLine, CrossingsLieOnTheLastRowAndColumn) {
    // (0, 0) to (20, 10) on 10 x 10: the right edge is crossed at x = 9, y = 4.5 -> 4.
    int x1 = 0, y1 = 0, x2 = 20, y2 = 10;
    ASSERT_TRUE(ClipLine(&x1, &y1, &x2, &y2, 10, 10));
    EXPECT_EQ(0, x1);
    EXPECT_EQ(0, y1);
    EXPECT_EQ(9, x2);
    EXPECT_EQ(4, y2);
    // (2, 0) to (2 + 12, 24) on 10 x 8: the bottom row 7 is reached at x = 2 + 3.5 -> 5.
    x1 = 2, y1 = 0, x2 = 14, y2 = 24;
    ASSERT_TRUE(ClipLine(&x1, &y1, &x2, &y2, 10, 8));
    EXPECT_EQ(5, x2);
    EXPECT_EQ(7, y2);
    // Wholly outside, and from the ends of the int range.
    x1 = -5, y1 = 3, x2 = -1, y2 = 30;
    EXPECT_FALSE(ClipLine(&x1, &y1, &x2, &y2, 10, 10));
    EXPECT_EQ(-5, x1);
    x1 = INT_MIN, y1 = INT_MIN, x2 = INT_MAX, y2 = INT_MAX;
    ASSERT_TRUE(ClipLine(&x1, &y1, &x2, &y2, 10, 10));
    EXPECT_EQ(0, x1);
    EXPECT_EQ(0, y1);
    EXPECT_EQ(9, x2);
    EXPECT_EQ(9, y2);
    // Translated: the same against (100, 200)-(110, 210).
    x1 = 100, y1 = 200, x2 = 120, y2 = 210;
    ASSERT_TRUE(LICE_ClipLine(&x1, &y1, &x2, &y2, 100, 200, 110, 210));
    EXPECT_EQ(109, x2);
    EXPECT_EQ(204, y2);
}

TEST(ClipLine, FloatingSegmentsClipToThePixelCentres) {
    float x1 = -10, y1 = 5, x2 = 30, y2 = 5;
    ASSERT_TRUE(ClipFLine(&x1, &y1, &x2, &y2, 20, 10));
    EXPECT_FLOAT_EQ(0, x1);
    EXPECT_FLOAT_EQ(19, x2);
    x1 = 0, y1 = NAN, x2 = 5, y2 = 5;
    EXPECT_FALSE(ClipFLine(&x1, &y1, &x2, &y2, 20, 10));
    x1 = 30, y1 = 0, x2 = 40, y2 = 9;
    EXPECT_FALSE(ClipFLine(&x1, &y1, &x2, &y2, 20, 10));
}

TEST(Line, FloatLinesRoundTheirEnds) {
    TestBitmap a(16, 16), b(16, 16);
    a.fill(kBlack), b.fill(kBlack);
    LICE_FLine(&a, 1.2f, 2.4f, 13.1f, 8.3f, kWhite, 1.0f, 0, false);
    // Whole end points give a line through the same centres as the integer line's ends.
    LICE_FLine(&b, 2.0f, 3.0f, 12.0f, 3.0f, kWhite, 1.0f, 0, false);
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(x >= 2 && x <= 12 ? kWhite : kBlack, b.at(x, 3)) << x;
    EXPECT_EQ(kWhite, a.at(1, 2));
    EXPECT_EQ(kWhite, a.at(13, 8));
    int lit = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            lit += a.at(x, y) == kWhite;
    EXPECT_EQ(13, lit); // one pixel per column 1..13
    LICE_FLine(&a, 0, 0, INFINITY, 5, kWhite, 1.0f, 0, true);
    LICE_FLine(&a, -3e38f, -3e38f, 3e38f, 3e38f, kWhite, 1.0f, 0, true);
    EXPECT_TRUE(a.paddingIntact());
}

} // namespace
