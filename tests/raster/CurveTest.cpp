// Bezier curves: straight curves draw as lines, joints between the chain's pieces blend once,
// the area fills reach their row or column once per pixel, and the y lookups match curves with
// known closed forms.

#include "ShapeTestSupport.h"
#include "raster/LICE_Curve.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using raster_test::TestBitmap;

const LICE_pixel kOnce = 0x10101010u;

TEST(Curve, StraightCurvesDrawAsLines) {
    TestBitmap bm(16, 8);
    bm.fill(0);
    LICE_DrawQBezier(&bm, 2, 3, 7, 3, 12, 3, kOnce, 1.0f, LICE_COMBINE_ADD, false);
    LICE_DrawCBezier(&bm, 1, 6, 4, 6, 9, 6, 14, 6, kOnce, 1.0f, LICE_COMBINE_ADD, false, 0.01);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool lit = (y == 3 && x >= 2 && x <= 12) || (y == 6 && x >= 1 && x <= 14);
            EXPECT_EQ(lit ? kOnce : 0u, bm.at(x, y)) << x << "," << y;
        }
}

TEST(Curve, ChainsBlendTheirJointsOnce) {
    for (bool aa : {false, true}) {
        TestBitmap bm(64, 64);
        bm.fill(0);
        LICE_DrawCBezier(&bm, 3, 60, 10, -20, 50, 90, 60, 5, kOnce, 1.0f, LICE_COMBINE_ADD, aa,
                         0.2);
        int lit = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                ASSERT_LE(LICE_PixelR(bm.at(x, y)), 0x10) << x << "," << y;
                lit += bm.at(x, y) != 0;
            }
        EXPECT_GT(lit, 60);
        EXPECT_TRUE(bm.paddingIntact());
    }
    TestBitmap bm(8, 8);
    LICE_DrawCBezier(&bm, 0, 0, NAN, 1, 2, 3, 4, 5, kOnce, 1.0f, 0, false);
    LICE_DrawQBezier(&bm, -1e300, 0, 1e300, 5, 3, 1e300, kOnce, 1.0f, 0, true);
    EXPECT_TRUE(bm.paddingIntact());
}

TEST(Curve, FillsReachTheirRowOrColumnOnce) {
    // x(t) = 9t, y(t) = 9t: the diagonal; down to row 9 column x holds rows x..9.
    TestBitmap down(12, 12), across(12, 12);
    down.fill(0), across.fill(0);
    LICE_FillCBezier(&down, 0, 0, 3, 3, 6, 6, 9, 9, 9, kOnce, 1.0f, LICE_COMBINE_ADD);
    LICE_FillCBezierX(&across, 9, 9, 6, 6, 3, 3, 0, 0, 0, kOnce, 1.0f, LICE_COMBINE_ADD);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            EXPECT_EQ(x <= 9 && y >= x && y <= 9 ? kOnce : 0u, down.at(x, y)) << x << "," << y;
            EXPECT_EQ(y <= 9 && x <= y ? kOnce : 0u, across.at(x, y)) << x << "," << y;
        }
}

TEST(Curve, YLookupsFollowTheCurve) {
    double y = -1;
    // x(t) = t, y(t) = t^3.
    ASSERT_TRUE(LICE_CBezier_GetY(0, 1.0 / 3, 2.0 / 3, 1, 0, 0, 0, 1, 0.5, &y));
    EXPECT_NEAR(0.125, y, 1e-9);
    // Falling x: x(t) = 1 - t, y(t) = t^3, so x = 0.25 is t = 0.75.
    ASSERT_TRUE(LICE_CBezier_GetY(1, 2.0 / 3, 1.0 / 3, 0, 0, 0, 0, 1, 0.25, &y));
    EXPECT_NEAR(0.421875, y, 1e-9);
    // Quadratic x(t) = 2t, y(t) = t^2 (control (1, 0)): x = 1 is t = 1/2.
    ASSERT_TRUE(LICE_Bezier_GetY(0, 1, 2, 0, 0, 1, 1.0, &y));
    EXPECT_NEAR(0.25, y, 1e-9);
    y = 7;
    EXPECT_FALSE(LICE_CBezier_GetY(0, 1, 2, 3, 0, 0, 0, 0, 3.5, &y));
    EXPECT_FALSE(LICE_Bezier_GetY(0, 1, 2, 0, 0, 0, NAN, &y));
    EXPECT_EQ(7, y);
}

} // namespace
