// Trapezoids and convex polygons against a slow exact filler written here (each row spans the
// floors of where the hull's edges cross it, from every pair of points) and against pixman,
// edges that end on their end points, rows blended once, and coordinates from the ends of the int
// range.

#include "ShapeTestSupport.h"
#include "raster/LICE_Polygon.h"

#include <gtest/gtest.h>
#include <pixman.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace {

using raster_test::Random;
using raster_test::TestBitmap;

const LICE_pixel kWhite = 0xffffffffu;
const LICE_pixel kBlack = 0x000000ffu;
const LICE_pixel kOnce = 0x10101010u;

long long floorDiv(long long a, long long b) {
    return (long long)std::floor((long double)a / (long double)b);
}

// The convex hull of the points crosses row y from the least to the greatest x at which any
// segment between two of the points meets it; the filled pixels run between their floors.
void exactFill(TestBitmap& bm, const std::vector<int>& xs, const std::vector<int>& ys,
               LICE_pixel color) {
    for (int y = 0; y < bm.getHeight(); ++y) {
        bool any = false;
        long long lo = 0, hi = 0;
        for (size_t i = 0; i < xs.size(); ++i)
            for (size_t j = i; j < xs.size(); ++j) {
                const long long ya = ys[i], yb = ys[j];
                if (y < std::min(ya, yb) || y > std::max(ya, yb)) continue;
                long long a, b;
                if (ya == yb) {
                    a = std::min(xs[i], xs[j]), b = std::max(xs[i], xs[j]);
                } else {
                    // From the upper point of the two.
                    const bool iTop = ya < yb;
                    const long long x0 = iTop ? xs[i] : xs[j], y0 = iTop ? ya : yb;
                    const long long x1 = iTop ? xs[j] : xs[i], y1 = iTop ? yb : ya;
                    a = b = x0 + floorDiv((x1 - x0) * (y - y0), y1 - y0);
                }
                lo = any ? std::min(lo, a) : a, hi = any ? std::max(hi, b) : b, any = true;
            }
        if (!any) continue;
        for (long long x = std::max(lo, 0LL); x <= std::min(hi, (long long)bm.getWidth() - 1); ++x)
            bm.at((int)x, y) = color;
    }
}

TEST(ConvexPolygon, MatchesASlowExactFiller) {
    Random rnd{31};
    for (int trial = 0; trial < 300; ++trial) {
        // Points on an ellipse in random order, some coinciding or in a row: convex position.
        const int n = rnd.range(3, 12);
        const double cx = rnd.range(-20, 60), cy = rnd.range(-20, 50);
        const double rx = rnd.range(0, 50), ry = rnd.range(0, 40);
        std::vector<int> xs, ys;
        for (int i = 0; i < n; ++i) {
            const double a = rnd.range(0, 359) * 3.14159265358979 / 180;
            xs.push_back((int)std::lround(cx + rx * std::cos(a)));
            ys.push_back((int)std::lround(cy + ry * std::sin(a)));
        }
        // Rounding can leave points slightly inside the hull; they do not change it.
        TestBitmap got(rnd.range(1, 50), rnd.range(1, 40), rnd.next() & 1);
        TestBitmap want(got.getWidth(), got.getHeight());
        got.fill(kBlack), want.fill(kBlack);
        LICE_FillConvexPolygon(&got, xs.data(), ys.data(), n, kWhite, 1.0f, 0);
        exactFill(want, xs, ys, kWhite);
        if (!raster_test::SameImages(got, want, "polygon_" + std::to_string(trial))) return;
    }
}

TEST(ConvexPolygon, EachRowIsBlendedOnce) {
    Random rnd{32};
    for (int trial = 0; trial < 100; ++trial) {
        std::vector<int> xs, ys;
        for (int i = 0; i < 7; ++i) {
            const double a = i * 2 * 3.14159265358979 / 7;
            xs.push_back((int)std::lround(20 + 15 * std::cos(a)) + rnd.range(-1, 1));
            ys.push_back((int)std::lround(20 + 15 * std::sin(a)));
        }
        TestBitmap got(40, 40), want(40, 40);
        got.fill(0), want.fill(0);
        LICE_FillConvexPolygon(&got, xs.data(), ys.data(), 7, kOnce, 1.0f, LICE_COMBINE_ADD);
        exactFill(want, xs, ys, kOnce);
        if (!raster_test::SameImages(got, want, "polygon_once_" + std::to_string(trial))) return;
    }
}

TEST(ConvexPolygon, DegenerateAndOneRowPolygons) {
    TestBitmap bm(10, 6);
    bm.fill(kBlack);
    LICE_FillTriangle(&bm, 7, 2, 1, 2, 4, 2, kWhite, 1.0f, 0); // one row: outer points
    const int lx[] = {-9, -20, -3}, ly[] = {4, 4, 4};          // one row, left of the bitmap
    LICE_FillConvexPolygon(&bm, lx, ly, 3, kWhite, 1.0f, 0);
    LICE_FillConvexPolygon(&bm, lx, ly, 2, kWhite, 1.0f, 0); // too few points
    LICE_FillConvexPolygon(&bm, nullptr, ly, 3, kWhite, 1.0f, 0);
    LICE_FillTriangle(&bm, 0, 0, 9, 5, 3, 3, kWhite, 0.0f, 0);
    LICE_FillTriangle(&bm, 0, 0, 9, 5, 3, 3, kWhite, 1.0f, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(y == 2 && x >= 1 && x <= 7 ? kWhite : kBlack, bm.at(x, y)) << x << "," << y;
}

TEST(ConvexPolygon, ManyPointsLeaveTheStack) {
    std::vector<int> xs, ys;
    for (int i = 0; i < 2000; ++i) {
        xs.push_back(i % 2 ? 2 : 30), ys.push_back(1 + (i / 2) % 20);
    }
    TestBitmap got(32, 24), want(32, 24);
    got.fill(kBlack), want.fill(kBlack);
    LICE_FillConvexPolygon(&got, xs.data(), ys.data(), (int)xs.size(), kWhite, 1.0f, 0);
    for (int y = 1; y <= 20; ++y)
        for (int x = 2; x <= 30; ++x)
            want.at(x, y) = kWhite;
    EXPECT_TRUE(raster_test::SameImages(got, want, "polygon_many"));
}

TEST(Trapezoid, EdgesEndOnTheirEndPoints) {
    // From x 0 to 1000 over 1000 rows: row y spans 0..y exactly, the last row 0..1000.
    TestBitmap bm(1001, 1001);
    bm.fill(kBlack);
    LICE_FillTrapezoid(&bm, 0, 0, 0, 0, 1000, 1000, kWhite, 1.0f, 0);
    for (int y = 0; y <= 1000; y += 37) {
        EXPECT_EQ(kWhite, bm.at(y, y)) << y;
        if (y < 1000) {
            EXPECT_EQ(kBlack, bm.at(y + 1, y)) << y;
        }
    }
    EXPECT_EQ(kWhite, bm.at(1000, 1000));
    // Two trapezoids sharing an edge tile without gaps or overlaps.
    TestBitmap tiles(60, 40);
    tiles.fill(0);
    LICE_FillTrapezoid(&tiles, 0, 7, 0, 0, 49, 39, kOnce, 1.0f, LICE_COMBINE_ADD);
    LICE_FillTrapezoid(&tiles, 8, 59, 0, 50, 59, 39, kOnce, 1.0f, LICE_COMBINE_ADD);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(kOnce, tiles.at(x, y)) << x << "," << y;
}

TEST(Trapezoid, MatchesTheExactFillerAndClips) {
    Random rnd{33};
    for (int trial = 0; trial < 200; ++trial) {
        const int y1 = rnd.range(-30, 50), y2 = rnd.range(-30, 50);
        const int x1a = rnd.range(-30, 60), x1b = rnd.range(-30, 60);
        const int x2a = rnd.range(-30, 60), x2b = rnd.range(-30, 60);
        TestBitmap got(rnd.range(1, 40), rnd.range(1, 30), rnd.next() & 1);
        TestBitmap want(got.getWidth(), got.getHeight());
        got.fill(kBlack), want.fill(kBlack);
        LICE_FillTrapezoid(&got, x1a, x1b, y1, x2a, x2b, y2, kWhite, 1.0f, 0);
        // Rows in order, each row's pair in order; the edges join the pairs' ends.
        const bool swap = y2 < y1;
        const int ta = std::min(swap ? x2a : x1a, swap ? x2b : x1b);
        const int tb = std::max(swap ? x2a : x1a, swap ? x2b : x1b);
        const int ba = std::min(swap ? x1a : x2a, swap ? x1b : x2b);
        const int bb = std::max(swap ? x1a : x2a, swap ? x1b : x2b);
        const int top = std::min(y1, y2), bottom = std::max(y1, y2);
        for (int y = std::max(top, 0); y <= std::min(bottom, want.getHeight() - 1); ++y) {
            const long long dy = bottom - top;
            const long long l = dy ? ta + floorDiv((long long)(ba - ta) * (y - top), dy) : ta;
            const long long r = dy ? tb + floorDiv((long long)(bb - tb) * (y - top), dy) : tb;
            for (long long x = std::max(l, 0LL); x <= std::min(r, (long long)want.getWidth() - 1);
                 ++x)
                want.at((int)x, y) = kWhite;
        }
        if (!raster_test::SameImages(got, want, "trapezoid_" + std::to_string(trial))) return;
    }
}

TEST(Trapezoid, AgreesWithPixmanWhereNoEdgeMeetsAPixelCentre) {
    // pixman samples a one-bit mask at pixel centres (x + 1/2, y + 1/2) and takes a sample on
    // the left edge but not on the right. Moved by half a pixel down, and its edges by half a
    // pixel outward, its trapezoid lights the same pixels as ours on every row where neither
    // edge passes exactly through a pixel centre (where our edges are whole numbers).
    Random rnd{34};
    int compared = 0;
    for (int trial = 0; trial < 200; ++trial) {
        const int y1 = rnd.range(-5, 25), y2 = y1 + rnd.range(1, 20);
        const int x1a = rnd.range(-5, 35), x1b = x1a + rnd.range(0, 12);
        const int x2a = rnd.range(-5, 35), x2b = x2a + rnd.range(0, 12);
        TestBitmap bm(40, 30);
        bm.fill(kBlack);
        LICE_FillTrapezoid(&bm, x1a, x1b, y1, x2a, x2b, y2, kWhite, 1.0f, 0);

        pixman_image_t* mask = pixman_image_create_bits(PIXMAN_a1, 40, 30, nullptr, 0);
        pixman_trapezoid_t t;
        t.top = pixman_int_to_fixed(y1), t.bottom = pixman_int_to_fixed(y2 + 1);
        auto pt = [](double x, double y) {
            return pixman_point_fixed_t{pixman_double_to_fixed(x), pixman_double_to_fixed(y)};
        };
        t.left.p1 = pt(x1a - 0.5, y1 + 0.5), t.left.p2 = pt(x2a - 0.5, y2 + 0.5);
        t.right.p1 = pt(x1b + 0.5, y1 + 0.5), t.right.p2 = pt(x2b + 0.5, y2 + 0.5);
        pixman_rasterize_trapezoid(mask, &t, 0, 0);
        const uint32_t* bits = pixman_image_get_data(mask);
        const int stride = pixman_image_get_stride(mask) / 4;
        for (int y = std::max(y1, 0); y <= std::min(y2, 29); ++y) {
            const long long dy = y2 - y1;
            if (((long long)(x2a - x1a) * (y - y1)) % dy == 0 ||
                ((long long)(x2b - x1b) * (y - y1)) % dy == 0)
                continue;
            for (int x = 0; x < 40; ++x) {
                const bool theirs = (bits[y * stride + x / 32] >> (x % 32)) & 1;
                ASSERT_EQ(theirs, bm.at(x, y) == kWhite)
                    << "trial " << trial << " at " << x << "," << y;
                ++compared;
            }
        }
        pixman_image_unref(mask);
    }
    EXPECT_GT(compared, 10000);
}

TEST(ConvexPolygon, CoordinatesFromTheEndsOfTheIntRange) {
    TestBitmap bm(16, 12, true);
    bm.fill(kBlack);
    // The triangle's edges leave the bitmap far to both sides on every row it covers.
    LICE_FillTriangle(&bm, INT_MIN, 0, INT_MAX, 0, 0, INT_MAX, kWhite, 1.0f, 0);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(kWhite, bm.at(x, y)) << x << "," << y;
    bm.fill(kBlack);
    LICE_FillTrapezoid(&bm, INT_MIN, INT_MIN + 5, INT_MIN, INT_MAX - 5, INT_MAX, INT_MAX, kWhite,
                       1.0f, 0);
    const int ends[] = {INT_MIN, -1, 0, 7, INT_MAX};
    for (int a : ends)
        for (int b : ends)
            for (int c : ends) {
                LICE_FillTriangle(&bm, a, b, c, a, b, c, kWhite, 0.5f, 1);
                LICE_FillTrapezoid(&bm, a, b, c, b, a, a, kWhite, 0.7f, 3);
            }
    EXPECT_TRUE(bm.paddingIntact());
}

TEST(Trapezoid, PlainWeightsUseWordMixes) {
    TestBitmap bm(4, 4);
    bm.fill(0x81818181u);
    LICE_FillTrapezoid(&bm, 0, 3, 0, 0, 3, 0, 0x01010101u, 0.5f, 0);
    LICE_FillTrapezoid(&bm, 0, 3, 1, 0, 3, 1, 0x01010101u, 0.6f, 0);
    EXPECT_EQ(0x40404040u, bm.at(2, 0));
    // Weight 153 by channel: 1 + (129 - 1) * 103 / 256 = 52.
    EXPECT_EQ(0x34343434u, bm.at(2, 1));
}

} // namespace
