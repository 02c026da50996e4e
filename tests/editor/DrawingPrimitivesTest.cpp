#include "tests/editor/DrawingTestSupport.h"

#include "raster/LICE_SysBitmap.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr LICE_pixel kBlank = 0x11223344;
const IColor kWhite(255, 255, 255, 255);

class DrawingTest : public ::testing::Test {
protected:
    DrawingTest() { graphics.Prepare(kBlank); }

    int RedAt(int x, int y) { return LICE_PixelR(graphics.At(x, y)); }
    // Pixels that differ from the blank background.
    int Changed() {
        int n = 0;
        for (int y = 0; y < graphics.Height(); ++y)
            for (int x = 0; x < graphics.Width(); ++x)
                n += graphics.At(x, y) != kBlank;
        return n;
    }

    PictureGraphics graphics;
};

} // namespace

TEST_F(DrawingTest, FramesOfAStripStartAtTheNearestRow) {
    std::unique_ptr<LICE_MemBitmap> strip(RowStrip(4, 100));
    IBitmap bitmap(strip.get(), 4, 100, 3);
    EXPECT_EQ(0, bitmap.FrameTop(1));
    EXPECT_EQ(33, bitmap.FrameTop(2)); // 33.33 rounds down
    EXPECT_EQ(67, bitmap.FrameTop(3)); // 66.67 rounds up
    EXPECT_EQ(0, bitmap.FrameTop(0));
    EXPECT_EQ(0, bitmap.FrameTop(-4));
    EXPECT_EQ(33, bitmap.FrameHeight());

    IRECT dest(10, 20, 14, 53);
    ASSERT_TRUE(graphics.DrawBitmap(&bitmap, &dest, 3));
    EXPECT_EQ(67, RedAt(10, 20));
    EXPECT_EQ(99, RedAt(13, 52));
    ASSERT_TRUE(graphics.DrawBitmap(&bitmap, &dest, 0));
    EXPECT_EQ(0, RedAt(10, 20));
    EXPECT_EQ(32, RedAt(10, 52));
}

TEST_F(DrawingTest, AStripAskedForWithNoFramesCountsAsOne) {
    std::unique_ptr<LICE_MemBitmap> strip(RowStrip(4, 30));
    EXPECT_EQ(1, IBitmap(strip.get(), 4, 30, 0).N);
    EXPECT_EQ(1, IBitmap(strip.get(), 4, 30, -3).N);
    EXPECT_EQ(30, IBitmap(strip.get(), 4, 30, 0).FrameHeight());
}

TEST_F(DrawingTest, AFrameBeyondTheStripDrawsOnlyWhatLiesInsideTheImage) {
    std::unique_ptr<LICE_MemBitmap> strip(RowStrip(4, 100));
    IBitmap bitmap(strip.get(), 4, 100, 3);
    IRECT dest(0, 0, 4, 33);
    // Frame 4 would start at row 100: nothing of it lies in the image.
    ASSERT_TRUE(graphics.DrawBitmap(&bitmap, &dest, 4));
    EXPECT_EQ(0, Changed());
    // A source that starts inside and runs past the bottom copies only the rows that exist.
    ASSERT_TRUE(graphics.DrawBitmap(&bitmap, &dest, 0, 90));
    EXPECT_EQ(4 * 10, Changed());
    EXPECT_EQ(99, RedAt(0, 9));
    EXPECT_EQ(kBlank, graphics.At(0, 10));
}

TEST_F(DrawingTest, BitmapCopiesAreClippedToTheAreaBeingDrawn) {
    std::unique_ptr<LICE_MemBitmap> strip(RowStrip(20, 20));
    IBitmap bitmap(strip.get(), 20, 20);
    graphics.SetDrawRECT(IRECT(5, 5, 10, 8));
    IRECT dest(0, 0, 20, 20);
    ASSERT_TRUE(graphics.DrawBitmap(&bitmap, &dest, 1));
    EXPECT_EQ(5 * 3, Changed());
    EXPECT_EQ(5, RedAt(5, 5)); // the source moves with the clipped corner
    EXPECT_EQ(7, RedAt(9, 7));

    graphics.SetDrawRECT(IRECT());
    IRECT elsewhere(50, 50, 70, 70);
    graphics.DrawBitmap(&bitmap, &elsewhere, 1);
    EXPECT_EQ(5 * 3, Changed());
}

TEST_F(DrawingTest, AMissingImageDrawsNothing) {
    IBitmap missing;
    IRECT dest(0, 0, 10, 10);
    EXPECT_FALSE(graphics.DrawBitmap(&missing, &dest, 1));
    EXPECT_FALSE(graphics.DrawRotatedBitmap(&missing, 20, 20, 1.0));
    std::unique_ptr<LICE_MemBitmap> base(Solid(9, 9, 0xff0000ff));
    IBitmap present(base.get(), 9, 9);
    EXPECT_FALSE(graphics.DrawRotatedMask(&present, &missing, &present, 0, 0, 30.0));
    EXPECT_FALSE(graphics.DrawRotatedMask(&missing, &present, &present, 0, 0, 30.0));
    EXPECT_EQ(0, Changed());
}

TEST_F(DrawingTest, ForcedPixelsLandOnlyInsideTheBitmap) {
    const IColor c(10, 20, 30, 40);
    EXPECT_TRUE(graphics.ForcePixel(&c, 199, 99));
    EXPECT_EQ(LICE_MakePixel(20, 30, 40, 10), graphics.At(199, 99)); // unblended, alpha kept
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {200, 0}, {0, 100}, {100000, 100000}})
        EXPECT_FALSE(graphics.ForcePixel(&c, x, y)) << x << "," << y;
    EXPECT_EQ(1, Changed());
    const IColor read = graphics.GetPoint(199, 99);
    EXPECT_EQ(c, read);
    EXPECT_EQ(IColor(0, 0, 0, 0), graphics.GetPoint(-1, 5));

    RecordingGraphics unprepared;
    EXPECT_FALSE(unprepared.ForcePixel(&c, 0, 0));
}

TEST_F(DrawingTest, GuideLinesRunFromTheBottomEdgeAtZeroToTheTopAtOne) {
    IRECT r(10, 20, 30, 60);
    graphics.DrawHorizontalLine(&kWhite, &r, 0.0f);
    graphics.DrawHorizontalLine(&kWhite, &r, 1.0f);
    graphics.DrawHorizontalLine(&kWhite, &r, 0.25f); // 60 - trunc(40 * 0.25) = 50
    graphics.DrawHorizontalLine(&kWhite, &r, -3.0f); // limited to 0
    graphics.DrawVerticalLine(&kWhite, &r, 7.0f);    // limited to 1: column 30
    EXPECT_EQ(0xffffffffu, graphics.At(10, 60));
    EXPECT_EQ(0xffffffffu, graphics.At(30, 20));
    EXPECT_EQ(0xffffffffu, graphics.At(20, 50));
    EXPECT_EQ(0xffffffffu, graphics.At(30, 40));
    // Rows 60, 20 and 50 from column 10 to 30, plus column 30 over rows 21..59 less row 50.
    EXPECT_EQ(3 * 21 + 38, Changed());
}

TEST_F(DrawingTest, RectangleOutlinesIncludeBothEnds) {
    IRECT r(5, 6, 9, 10);
    graphics.DrawRect(&kWhite, &r);
    EXPECT_EQ(2 * 5 + 2 * 3, Changed());
    EXPECT_EQ(0xffffffffu, graphics.At(9, 10));
    EXPECT_EQ(kBlank, graphics.At(7, 8));
}

TEST_F(DrawingTest, ShapesBlendByTheEditorsBlend) {
    const IColor half(128, 255, 0, 0);
    IRECT r(0, 0, 2, 1);
    // Normal weighs by the colour's alpha; overwrite copies it as it is.
    graphics.FillIRect(&half, &r);
    const LICE_pixel normal = graphics.At(0, 0);
    EXPECT_GT(LICE_PixelR(normal), 0x22);
    EXPECT_LT(LICE_PixelR(normal), 0xff);
    const IChannelBlend overwrite(IChannelBlend::kBlendOverwrite);
    graphics.FillIRect(&half, &r, &overwrite);
    EXPECT_EQ(LICE_MakePixel(255, 0, 0, 128), graphics.At(1, 0));
}

TEST_F(DrawingTest, PointsRoundToTheNearestPixelAndRadialLinesPointUpAtZero) {
    const IChannelBlend overwrite(IChannelBlend::kBlendOverwrite);
    graphics.DrawPoint(&kWhite, 3.6f, 4.4f, &overwrite);
    EXPECT_EQ(0xffffffffu, graphics.At(4, 4));
    graphics.DrawRadialLine(&kWhite, 50.0f, 50.0f, 0.0f, 5.0f, 10.0f, &overwrite);
    for (int y = 40; y <= 45; ++y)
        EXPECT_EQ(0xffffffffu, graphics.At(50, y)) << y;
    EXPECT_EQ(1 + 6, Changed());
}

TEST_F(DrawingTest, RotatedMaskTurnsTheMaskAndTopOverAStillBase) {
    // A 9-pixel base of blue; a mask with a red pointer three columns wide; a clear top.
    std::unique_ptr<LICE_MemBitmap> base(Solid(9, 9, LICE_MakePixel(0, 0, 200, 255)));
    std::unique_ptr<LICE_MemBitmap> mask(Solid(9, 9, 0));
    LICE_FillRect(mask.get(), 3, 0, 3, 5, LICE_MakePixel(200, 0, 0, 255), 1.0f, LICE_COMBINE_COPY);
    std::unique_ptr<LICE_MemBitmap> top(Solid(9, 9, 0));
    IBitmap b(base.get(), 9, 9), m(mask.get(), 9, 9), t(top.get(), 9, 9);
    // The composite keeps the base's colours with alpha 0 where no mask lies: copied as it is,
    // the whole base shows.
    const IChannelBlend copy(IChannelBlend::kBlendOverwrite);

    ASSERT_TRUE(graphics.DrawRotatedMask(&b, &m, &t, 20, 30, 0.0, &copy));
    EXPECT_EQ(200, RedAt(24, 31)); // the pointer, straight up
    EXPECT_EQ(0, RedAt(20, 34));   // base elsewhere
    EXPECT_EQ(200, LICE_PixelB(graphics.At(20, 34)));
    ASSERT_TRUE(graphics.DrawRotatedMask(&b, &m, &t, 20, 30, 90.0, &copy));
    EXPECT_EQ(0, RedAt(24, 31));   // turned a quarter clockwise:
    EXPECT_GT(RedAt(27, 34), 100); // now pointing right
    // Clipped to the area being drawn.
    graphics.SetDrawRECT(IRECT(0, 0, 22, 100));
    graphics.Prepare(kBlank);
    graphics.SetDrawRECT(IRECT(0, 0, 22, 100));
    graphics.DrawRotatedMask(&b, &m, &t, 20, 30, 0.0, &copy);
    EXPECT_EQ(2 * 9, Changed());
}
