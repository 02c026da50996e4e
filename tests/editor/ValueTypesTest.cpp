#include "editor/IChannelBlend.h"
#include "editor/IRECT.h"
#include "editor/IText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(IRECT, TouchingAtTheRightEdgeIntersectsOneWayOnly) {
    const IRECT left(10, 10, 20, 20);
    const IRECT right(20, 10, 30, 20); // left.R == right.L
    EXPECT_TRUE(left.Intersects(right));
    EXPECT_FALSE(right.Intersects(left));

    const IRECT top(10, 0, 20, 10);
    const IRECT below(10, 10, 20, 20); // top.B == below.T
    EXPECT_TRUE(top.Intersects(below));
    EXPECT_FALSE(below.Intersects(top));
}

TEST(IRECT, OnlyAllZeroIsEmptyAndEmptyMeetsNothing) {
    const IRECT zeroWidth(5, 5, 5, 9);
    EXPECT_FALSE(zeroWidth.Empty());
    EXPECT_EQ(0, zeroWidth.W());
    EXPECT_EQ(4, zeroWidth.H());

    const IRECT empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_FALSE(empty.Contains(0, 0));
    EXPECT_FALSE(empty.Intersects(IRECT(-5, -5, 5, 5)));
    EXPECT_FALSE(IRECT(-5, -5, 5, 5).Intersects(empty));
}

TEST(IRECT, ContainsExcludesTheRightAndBottomEdges) {
    const IRECT r(2, 3, 6, 8);
    EXPECT_TRUE(r.Contains(2, 3));
    EXPECT_TRUE(r.Contains(5, 7));
    EXPECT_FALSE(r.Contains(6, 7));
    EXPECT_FALSE(r.Contains(5, 8));
    EXPECT_FALSE(r.Contains(1, 3));
}

TEST(IRECT, UnionSkipsEmptyAndIntersectClips) {
    const IRECT a(10, 20, 30, 40);
    EXPECT_EQ(a, IRECT().Union(a));
    EXPECT_EQ(a, a.Union(IRECT()));
    EXPECT_EQ(IRECT(5, 20, 30, 45), a.Union(IRECT(5, 25, 15, 45)));

    EXPECT_EQ(IRECT(20, 30, 30, 40), a.Intersect(IRECT(20, 30, 50, 60)));
    EXPECT_EQ(IRECT(), a.Intersect(IRECT(40, 20, 50, 40)));
    EXPECT_EQ(IRECT(), a.Intersect(IRECT()));
    // Touching at a's right edge meets by the lopsided test and leaves a zero-width strip.
    EXPECT_EQ(IRECT(30, 20, 30, 40), a.Intersect(IRECT(30, 20, 40, 40)));
}

TEST(IChannelBlend, MapsEveryMethodToTheRasterWordAndWeight) {
    struct Case {
        int method;
        int mode;
    } const cases[] = {{0, 0x10000}, {1, 0x0},     {2, 0x10001},
                       {3, 0x10002}, {4, 0x10000}, {-1, 0x10000}};
    for (const Case& c : cases) {
        const IChannelBlend blend(c.method, 0.25f);
        EXPECT_EQ(c.mode, BlendMode(&blend)) << "method " << c.method;
        EXPECT_EQ(0.25f, BlendWeight(&blend)) << "method " << c.method;
    }
    EXPECT_EQ(0x10000, BlendMode(nullptr));
    EXPECT_EQ(1.0f, BlendWeight(nullptr));
}

TEST(IText, FaceNameIsCutToItsField) {
    const std::string longName(100, 'x');
    const IText cut(12, &COLOR_RED, longName.c_str());
    EXPECT_EQ(31u, std::strlen(cut.mFont));
    EXPECT_EQ(COLOR_RED, cut.mColor);
}
