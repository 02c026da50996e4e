// Circles, arcs and rounded rectangles: aliased outlines against the midpoint rule, antialiased
// values worked by hand, antialiased rings and discs against supersampled models, every pixel
// blended once (no pixel may hold two blends), radii from anywhere, arcs as
// parts of the whole circle, and flipped bitmaps showing the same image.

#include "ShapeTestSupport.h"
#include "raster/LICE_Circle.h"
#include "raster/LICE_Line.h"
#include "raster/LICE_Polygon.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <set>
#include <utility>

namespace {

using raster_test::Random;
using raster_test::TestBitmap;

const LICE_pixel kWhite = 0xffffffffu;
const LICE_pixel kBlack = 0x000000ffu;
const LICE_pixel kOnce = 0x10101010u; // drawn additively: a pixel blended twice shows 0x20
const double kPi = 3.14159265358979323846;

// The midpoint rule with a float decision variable, integer centre and radius.
std::set<std::pair<int, int>> midpointCircle(int cx, int cy, int r) {
    std::set<std::pair<int, int>> out = {{cx, cy - r}, {cx, cy + r}, {cx - r, cy}, {cx + r, cy}};
    float d = (5 - 4.0f * r) / 4, x = 0, y = (float)r;
    do {
        x += 1;
        if (d < 0) {
            d += 2 * x + 1;
        } else {
            y -= 1;
            d += 2 * (x - y) + 1;
        }
        for (int sx : {-1, 1})
            for (int sy : {-1, 1}) {
                out.insert({cx + sx * (int)x, cy + sy * (int)y});
                out.insert({cx + sx * (int)y, cy + sy * (int)x});
            }
    } while (y > x);
    return out;
}

// Fails on any pixel holding something other than nothing or exactly one blend.
bool blendedOnce(TestBitmap& bm, const std::string& name) {
    for (int y = 0; y < bm.getHeight(); ++y)
        for (int x = 0; x < bm.getWidth(); ++x)
            if (bm.at(x, y) != 0 && bm.at(x, y) != kOnce) {
                ADD_FAILURE() << name << ": pixel " << x << "," << y << " is " << std::hex
                              << bm.at(x, y);
                return false;
            }
    return true;
}

TEST(Circle, AliasedOutlinesFollowTheMidpointRuleAndBlendOnce) {
    for (int r = 5; r <= 40; ++r) {
        TestBitmap bm(2 * r + 9, 2 * r + 7);
        bm.fill(0);
        const int cx = r + 4, cy = r + 3;
        LICE_Circle(&bm, (float)cx, (float)cy, (float)r, kOnce, 1.0f, LICE_COMBINE_ADD, false);
        TestBitmap want(bm.getWidth(), bm.getHeight());
        want.fill(0);
        for (const auto& p : midpointCircle(cx, cy, r))
            want.at(p.first, p.second) = kOnce;
        if (!raster_test::SameImages(bm, want, "midpoint_" + std::to_string(r))) return;
    }
}

TEST(Circle, SmallRadiiDrawTheirPrebuiltMaps) {
    TestBitmap bm(12, 12);
    bm.fill(0);
    LICE_Circle(&bm, 6.0f, 5.0f, 2.0f, kWhite, 1.0f, LICE_COMBINE_ADD, true);
    const int row0[5] = {15, 191, 255, 191, 15}, row1[5] = {191, 209, 79, 209, 191};
    for (int i = 0; i < 5; ++i) {
        // Coverage v at weight 256 blends with v * 256 / 256; add of 255 gives 255 * v / 256.
        EXPECT_EQ(255 * row0[i] / 256, LICE_PixelR(bm.at(4 + i, 3))) << i;
        EXPECT_EQ(255 * row1[i] / 256, LICE_PixelR(bm.at(4 + i, 4))) << i;
    }
    EXPECT_EQ(0u, bm.at(6, 5)); // the centre of the map is empty
    EXPECT_EQ(0u, bm.at(3, 5));
    // A radius just off a prebuilt one draws by the rule instead.
    TestBitmap a(12, 12), b(12, 12);
    a.fill(0), b.fill(0);
    LICE_Circle(&a, 6, 5, 2.0f, kWhite, 1.0f, 0, false);
    LICE_Circle(&b, 6, 5, 2.1f, kWhite, 1.0f, 0, false);
    EXPECT_EQ(kWhite, a.at(5, 4));
    EXPECT_EQ(0u, b.at(5, 4));
    EXPECT_EQ(kWhite, b.at(8, 5));
}

TEST(Circle, AntialiasedWeightsWorkedByHand) {
    TestBitmap bm(21, 21);
    bm.fill(0);
    LICE_Circle(&bm, 10, 10, 5, kWhite, 1.0f, LICE_COMBINE_ADD, true);
    auto weight = [&](int x, int y) { return LICE_PixelR(bm.at(x, y)); };
    auto w = [](int v) { return 255 * v / 256; };
    // Row 11 crosses at x = 10 + sqrt(24) = 14.899: 230 of 256 beyond it, 26 before.
    EXPECT_EQ(w(26), weight(14, 11));
    EXPECT_EQ(w(230), weight(15, 11));
    EXPECT_EQ(w(256), weight(15, 10));
    EXPECT_EQ(w(256), weight(14, 13)); // row 13 crosses at exactly 14
    EXPECT_EQ(0, weight(15, 13));
    // Row 14 lies in the bottom cap: columns 9 and 8 are crossed at 14.899 and 14.583.
    const int row14[] = {0, 256, 107, 26, 0, 26, 107, 256, 0};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(w(row14[i]), weight(6 + i, 14)) << 6 + i;
    EXPECT_EQ(w(149), weight(8, 15));
    EXPECT_EQ(w(256), weight(10, 15));
}

// The ring an antialiased outline covers: one pixel thick across the rows within r / sqrt(2)
// of the centre, and along the columns elsewhere.
bool inRing(double x, double y, double cx, double cy, double r) {
    const double dy = y - cy, dx = x - cx;
    if (std::fabs(std::floor(y + 0.5) - cy) <= r / std::sqrt(2.0))
        return std::fabs(std::fabs(dx) - std::sqrt(std::max(0.0, r * r - dy * dy))) < 0.5;
    return std::fabs(dx) <= r &&
           std::fabs(std::fabs(dy) - std::sqrt(std::max(0.0, r * r - dx * dx))) < 0.5;
}

TEST(Circle, AntialiasedShapesCoverTheirModels) {
    Random rnd{21};
    for (int trial = 0; trial < 40; ++trial) {
        const double cx = rnd.range(200, 440) / 8.0, cy = rnd.range(200, 440) / 8.0;
        const double r = rnd.range(40, 200) / 8.0;
        const bool filled = trial & 1;
        TestBitmap bm(80, 80);
        bm.fill(0);
        if (filled)
            LICE_FillCircle(&bm, (float)cx, (float)cy, (float)r, kWhite, 1.0f, 0, true);
        else
            LICE_Circle(&bm, (float)cx, (float)cy, (float)r, kWhite, 1.0f, 0, true);
        const auto model = raster_test::Supersample(80, 80, [&](double x, double y) {
            if (filled) return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
            return inRing(x, y, cx, cy, r);
        });
        if (!raster_test::CoverageMatches(bm, model, 0.05, 0.25,
                                          (filled ? "disc_" : "ring_") + std::to_string(trial)))
            return;
    }
}

// Whether a pixel drawn additively in white over black (a) and multiplicatively in black over
// white (m) holds the result of one blend of some weight w: a = 255 w / 256 and
// m = 255 (256 - w) / 256. Two blends of weights w1, w2 add up in a but multiply in m, which no
// single weight reproduces unless one of them is tiny.
bool oneBlend(int a, int m) {
    for (int w = 0; w <= 256; ++w)
        if (a == 255 * w / 256 && m == 255 * (256 - w) / 256) return true;
    return false;
}

TEST(Shapes, EveryShapeBlendsEachPixelOnce) {
    Random rnd{22};
    for (int trial = 0; trial < 400; ++trial) {
        const float cx = rnd.range(-40, 360) / 8.0f, cy = rnd.range(-40, 360) / 8.0f;
        const float r = rnd.range(0, 240) / 8.0f, a0 = rnd.range(-700, 700) / 100.0f,
                    a1 = rnd.range(-700, 700) / 100.0f;
        const int extra = rnd.range(0, 9), corner = rnd.range(0, 12);
        const int px[] = {(int)cx, (int)cy + 9, (int)(cx + r), (int)cy - 3, (int)(cx - r)};
        const int py[] = {(int)cy, (int)cx, (int)(cy + r), (int)(cy + r / 2), (int)cx - 7};
        // At full weight the two images cannot tell one blend from two; most trials use less.
        const bool aa = (trial / 8) & 1;
        const float alpha = (trial / 16) % 4 == 0 ? 1.0f : 0.75f;
        TestBitmap add(40, 40), mul(40, 40);
        add.fill(0), mul.fill(0xffffffffu);
        for (TestBitmap* bm : {&add, &mul}) {
            const LICE_pixel c = bm == &add ? kWhite : 0u;
            const int mode = bm == &add ? LICE_COMBINE_ADD : LICE_COMBINE_MULTIPLY;
            switch (trial % 8) {
            case 0: LICE_Circle(bm, cx, cy, r, c, alpha, mode, aa); break;
            case 1: LICE_FillCircle(bm, cx, cy, r, c, alpha, mode, aa); break;
            case 2: LICE_Arc(bm, cx, cy, r, a0, a1, c, alpha, mode, aa); break;
            case 3:
                LICE_RoundRect(bm, cx - r, cy - r, 2 * r + extra, 2 * r + extra, corner, c, alpha,
                               mode, aa);
                break;
            case 4: LICE_Line(bm, px[0], py[0], px[1], py[1], c, alpha, mode, aa); break;
            case 5: LICE_FillConvexPolygon(bm, px, py, 5, c, alpha, mode); break;
            case 6: LICE_DrawRect(bm, px[0], py[0], px[1], py[1], c, alpha, mode); break;
            default:
                LICE_DashedLine(bm, px[0], py[0], px[1], py[1], 3, 2, c, alpha, mode, aa);
                break;
            }
        }
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                if (!oneBlend(LICE_PixelR(add.at(x, y)), LICE_PixelR(mul.at(x, y)))) {
                    ADD_FAILURE() << "trial " << trial << ": pixel " << x << "," << y << " holds "
                                  << LICE_PixelR(add.at(x, y)) << " added and "
                                  << LICE_PixelR(mul.at(x, y)) << " multiplied";
                    return;
                }
        ASSERT_TRUE(add.paddingIntact() && mul.paddingIntact());
    }
}

TEST(Circle, RadiiAndCentresFromAnywhere) {
    TestBitmap bm(40, 40, true);
    bm.fill(kBlack);
    // Radius 3e7 whose rightmost point is (10, 20): every row's crossing rounds to column 10.
    const auto start = std::chrono::steady_clock::now();
    LICE_Circle(&bm, -3e7f + 10, 20, 3e7f, kWhite, 1.0f, 0, false);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(x == 10 ? kWhite : kBlack, bm.at(x, y)) << x << "," << y;
    LICE_FillCircle(&bm, -3e7f + 10, 20, 3e7f, kWhite, 1.0f, 0, false);
    LICE_FillCircle(&bm, 1e30f, 1e30f, 3e30f, kWhite, 0.5f, 1, true);
    LICE_Circle(&bm, -1e30f, 20, 3e38f, kWhite, 0.5f, 1, true);
    LICE_Arc(&bm, 20, -3e7f, 3e7f + 5, -1, 1, kWhite, 0.5f, 1, true);
    LICE_RoundRect(&bm, -3e9f, -3e9f, 6e9f, 6e9f, 1 << 30, kWhite, 1.0f, 1, true);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(bm.paddingIntact());
    for (int y = 0; y < 40; ++y)
        ASSERT_EQ(kWhite, bm.at(3, y)) << y;

    // Invalid radii and centres draw nothing.
    bm.fill(kBlack);
    for (bool aa : {false, true}) {
        LICE_Circle(&bm, 20, 20, -5, kWhite, 1.0f, 0, aa);
        LICE_FillCircle(&bm, 20, 20, NAN, kWhite, 1.0f, 0, aa);
        LICE_FillCircle(&bm, INFINITY, 20, 5, kWhite, 1.0f, 0, aa);
        LICE_Circle(&bm, 20, NAN, 5, kWhite, 1.0f, 0, aa);
        LICE_Arc(&bm, 20, 20, INFINITY, 0, 1, kWhite, 1.0f, 0, aa);
        LICE_Arc(&bm, 20, 20, 5, 0, NAN, kWhite, 1.0f, 0, aa);
        LICE_RoundRect(&bm, 2, 2, NAN, 20, 4, kWhite, 1.0f, 0, aa);
        LICE_FillCircle(&bm, 20, 20, 5, kWhite, 1.0f, 6, aa);
        LICE_Circle(&bm, 20, 20, 5, kWhite, 0.0f, LICE_COMBINE_HSV_ADJUST, aa);
    }
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(kBlack, bm.at(x, y)) << x << "," << y;
}

TEST(Arc, HalvesArePartsOfTheWholeCircle) {
    for (bool aa : {false, true}) {
        TestBitmap whole(30, 30), right(30, 30), upper(30, 30), full(30, 30);
        whole.fill(0), right.fill(0), upper.fill(0), full.fill(0);
        LICE_Circle(&whole, 14.5f, 15, 9.3f, kOnce, 1.0f, LICE_COMBINE_ADD, aa);
        LICE_Arc(&right, 14.5f, 15, 9.3f, 0, (float)kPi, kOnce, 1.0f, LICE_COMBINE_ADD, aa);
        LICE_Arc(&upper, 14.5f, 15, 9.3f, (float)-kPi / 2, (float)kPi / 2, kOnce, 1.0f,
                 LICE_COMBINE_ADD, aa);
        LICE_Arc(&full, 14.5f, 15, 9.3f, 1, 1 + 2 * (float)kPi, kOnce, 1.0f, LICE_COMBINE_ADD, aa);
        TestBitmap wantRight(30, 30), wantUpper(30, 30);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x) {
                wantRight.at(x, y) = x >= 14 ? whole.at(x, y) : 0;
                wantUpper.at(x, y) = y <= 15 ? whole.at(x, y) : 0;
            }
        EXPECT_TRUE(raster_test::SameImages(right, wantRight, "arc_right"));
        EXPECT_TRUE(raster_test::SameImages(upper, wantUpper, "arc_upper"));
        EXPECT_TRUE(raster_test::SameImages(full, whole, "arc_full"));
    }
}

TEST(Arc, PiecesInOneHalfShareNoRow) {
    // From 0.2 past the top round to just before it: two pieces in the right half.
    TestBitmap bm(30, 30), whole(30, 30);
    bm.fill(0), whole.fill(0);
    LICE_Arc(&bm, 15, 15, 10, 0.2f, 0.2f + 2 * (float)kPi - 0.1f, kOnce, 1.0f, LICE_COMBINE_ADD,
             false);
    LICE_Circle(&whole, 15, 15, 10, kOnce, 1.0f, LICE_COMBINE_ADD, false);
    EXPECT_TRUE(blendedOnce(bm, "arc_wrap"));
    EXPECT_EQ(kOnce, bm.at(15, 25)); // the bottom
    EXPECT_EQ(kOnce, bm.at(5, 15));  // the left
}

TEST(RoundRect, CornersAreQuarterCirclesJoinedToTheEdges) {
    // Radius 6 at (3, 2) size 24 x 16: corners centred 6 inside each corner.
    TestBitmap bm(32, 24), circle(32, 24);
    bm.fill(0), circle.fill(0);
    LICE_RoundRect(&bm, 3, 2, 24, 16, 6, kOnce, 1.0f, LICE_COMBINE_ADD, false);
    LICE_Circle(&circle, 9, 8, 6, kOnce, 1.0f, LICE_COMBINE_ADD, false);
    ASSERT_TRUE(blendedOnce(bm, "roundrect"));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(circle.at(x, y), bm.at(x, y)) << x << "," << y;
    for (int x = 9; x <= 21; ++x) {
        EXPECT_EQ(kOnce, bm.at(x, 2)) << x;
        EXPECT_EQ(kOnce, bm.at(x, 18)) << x;
    }
    for (int y = 8; y <= 12; ++y) {
        EXPECT_EQ(kOnce, bm.at(3, y)) << y;
        EXPECT_EQ(kOnce, bm.at(27, y)) << y;
    }
    // Mirror symmetric about the middle column 15 and the middle row 10.
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 31; ++x) {
            EXPECT_EQ(bm.at(x, y), bm.at(30 - x, y)) << x << "," << y;
            if (20 - y >= 0) {
                EXPECT_EQ(bm.at(x, y), bm.at(x, 20 - y)) << x << "," << y;
            }
        }

    // A corner radius of 1 is the plain outline.
    TestBitmap a(32, 24), b(32, 24);
    a.fill(0), b.fill(0);
    LICE_RoundRect(&a, 3, 2, 24, 16, 1, kOnce, 1.0f, LICE_COMBINE_ADD, true);
    LICE_DrawRect(&b, 3, 2, 24, 16, kOnce, 1.0f, LICE_COMBINE_ADD);
    EXPECT_TRUE(raster_test::SameImages(a, b, "roundrect_plain"));
}

TEST(FlippedBitmaps, ShowTheSameImageAsUprightOnes) {
    Random rnd{23};
    for (int trial = 0; trial < 80; ++trial) {
        TestBitmap up(rnd.range(5, 40), rnd.range(5, 40)),
            flipped(up.getWidth(), up.getHeight(), true);
        up.randomise(trial), flipped.randomise(trial);
        // Same image contents: randomise fills image rows in the same order.
        const float a = rnd.range(-50, 400) / 8.0f, b = rnd.range(-50, 400) / 8.0f;
        const float r = rnd.range(0, 200) / 8.0f;
        const bool aa = trial & 1;
        const int mode = trial % 3;
        const float alpha = trial % 5 == 0 ? 1.0f : 0.6f;
        for (TestBitmap* bm : {&up, &flipped}) {
            switch (trial % 6) {
            case 0: LICE_Circle(bm, a, b, r, 0x80604020u, alpha, mode, aa); break;
            case 1: LICE_FillCircle(bm, a, b, r, 0x80604020u, alpha, mode, aa); break;
            case 2: LICE_Arc(bm, a, b, r, 0.3f, 2.5f, 0x80604020u, alpha, mode, aa); break;
            case 3:
                LICE_RoundRect(bm, a - r, b, 2 * r, r + 4, 5, 0x80604020u, alpha, mode, aa);
                break;
            case 4:
                LICE_Line(bm, (int)a - 20, (int)b, (int)b, (int)a + 3, 0x80604020u, alpha, mode,
                          aa);
                break;
            default:
                LICE_FillTriangle(bm, (int)a, (int)b, (int)b, 3, (int)r, (int)a, 0x80604020u, alpha,
                                  mode);
                break;
            }
        }
        if (!raster_test::SameImages(flipped, up, "flipped_" + std::to_string(trial))) return;
    }
}

} // namespace
