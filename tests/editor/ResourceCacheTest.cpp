#include "tests/editor/DrawingTestSupport.h"

#include "editor/BitmapStorage.h"
#include "editor/FontStorage.h"
#include "editor/IBitmapControl.h"
#include "editor/ITextControl.h"
#include "raster/LICE_CachedFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

// The caches belong to the process, so every test here uses resource ids of its own.

namespace {

const LICE_pixel kRed = LICE_MakePixel(255, 0, 0, 255);
const IColor kInk(255, 250, 250, 250);

IText Style(const IColor& color = kInk, int size = 14) {
    return IText(size, &color, "DejaVu Sans", IText::kStyleNormal, IText::kAlignNear);
}

} // namespace

TEST(BitmapCache, ALoadedPictureIsDecodedOncePerProcess) {
    PictureGraphics first, second;
    first.Register(101, [] { return Solid(8, 6, kRed); });
    second.Register(101, [] { return Solid(8, 6, 0); });
    const IBitmap a = first.LoadIBitmap(101, "knob.png", 2);
    const IBitmap b = second.LoadIBitmap(101, "other.png"); // the id alone is the key
    EXPECT_EQ(1, first.loads + second.loads);
    EXPECT_EQ(a.mData, b.mData);
    EXPECT_EQ(8, a.W);
    EXPECT_EQ(6, a.H);
    EXPECT_EQ(2, a.N);
    EXPECT_EQ(1, b.N);
}

TEST(BitmapCache, AMissingPictureStoresNothingAndGivesAnEmptyBitmap) {
    PictureGraphics graphics;
    const int before = IGraphics::s_bitmapCache.Count();
    const IBitmap missing = graphics.LoadIBitmap(102, "missing.png", 3);
    EXPECT_EQ(nullptr, missing.mData);
    EXPECT_EQ(0, missing.W);
    EXPECT_EQ(0, missing.H);
    EXPECT_EQ(before, IGraphics::s_bitmapCache.Count());
    // Nothing was remembered for the id: the next load asks again.
    graphics.LoadIBitmap(102, "missing.png");
    EXPECT_EQ(2, graphics.loads);

    // A control over a missing picture has no area, so it is never drawn or hit.
    IBitmapControl control(nullptr, 10, 10, -1, &missing);
    EXPECT_TRUE(control.GetRECT().Empty());
}

TEST(BitmapCache, ReleasingLeavesAnImageOtherHandlesStillName) {
    PictureGraphics first, second;
    first.Register(103, [] { return Solid(4, 4, kRed); });
    second.Register(103, [] { return Solid(4, 4, kRed); });
    IBitmap a = first.LoadIBitmap(103, "a.png");
    IBitmap b = second.LoadIBitmap(103, "a.png");
    EXPECT_EQ(2, IGraphics::s_bitmapCache.References(a.mData));

    LICE_IBitmap* pixels = a.mData;
    first.ReleaseBitmap(&a);
    EXPECT_EQ(nullptr, a.mData); // the released handle lets go
    ASSERT_TRUE(IGraphics::s_bitmapCache.Holds(pixels));
    second.Prepare();
    IRECT dest(0, 0, 4, 4);
    EXPECT_TRUE(second.DrawBitmap(&b, &dest, 1));
    EXPECT_EQ(kRed, second.At(3, 3));

    second.ReleaseBitmap(&b);
    EXPECT_FALSE(IGraphics::s_bitmapCache.Holds(pixels));
}

TEST(BitmapCache, RetainingAHeldImageCountsInsteadOfMakingASecondOwner) {
    PictureGraphics graphics;
    const int before = IGraphics::s_bitmapCache.Count();
    IBitmap made(Solid(3, 3, kRed), 3, 3);
    graphics.RetainBitmap(&made);
    IBitmap copy = made;
    graphics.RetainBitmap(&copy);
    EXPECT_EQ(before + 1, IGraphics::s_bitmapCache.Count());
    EXPECT_EQ(2, IGraphics::s_bitmapCache.References(made.mData));
    LICE_IBitmap* pixels = made.mData;
    graphics.ReleaseBitmap(&made);
    EXPECT_TRUE(IGraphics::s_bitmapCache.Holds(pixels));
    graphics.ReleaseBitmap(&copy);
    EXPECT_EQ(before, IGraphics::s_bitmapCache.Count());

    // Releasing what the cache never held leaves it alone.
    std::unique_ptr<LICE_MemBitmap> own(Solid(2, 2, kRed));
    IBitmap foreign(own.get(), 2, 2);
    graphics.ReleaseBitmap(&foreign);
    EXPECT_EQ(own.get(), foreign.mData);
}

TEST(BitmapCache, CroppedAndScaledImagesStartClear) {
    PictureGraphics graphics;
    IBitmap source(Solid(10, 20, kRed), 10, 20, 2);
    graphics.RetainBitmap(&source);

    // Half of the rectangle lies outside the source: that half stays transparent black.
    IRECT part(5, 15, 15, 25);
    IBitmap cropped = graphics.CropBitmap(&source, &part);
    ASSERT_NE(nullptr, cropped.mData);
    EXPECT_EQ(10, cropped.W);
    EXPECT_EQ(10, cropped.H);
    EXPECT_EQ(2, cropped.N);
    EXPECT_EQ(kRed, LICE_GetPixel(cropped.mData, 4, 4));
    EXPECT_EQ(0u, LICE_GetPixel(cropped.mData, 5, 4));
    EXPECT_EQ(0u, LICE_GetPixel(cropped.mData, 9, 9));
    EXPECT_EQ(0u, LICE_GetPixel(cropped.mData, 0, 5));

    IBitmap scaled = graphics.ScaleBitmap(&source, 5, 40);
    ASSERT_NE(nullptr, scaled.mData);
    EXPECT_EQ(5, scaled.W);
    EXPECT_EQ(40, scaled.H);
    EXPECT_EQ(2, scaled.N);
    EXPECT_EQ(kRed, LICE_GetPixel(scaled.mData, 2, 20));

    IRECT none(0, 0, 0, 0);
    EXPECT_EQ(nullptr, graphics.CropBitmap(&source, &none).mData);
    EXPECT_EQ(nullptr, graphics.ScaleBitmap(&source, 0, 7).mData);
    IBitmap missing;
    EXPECT_EQ(nullptr, graphics.ScaleBitmap(&missing, 4, 4).mData);
    for (IBitmap* b : {&source, &cropped, &scaled})
        graphics.ReleaseBitmap(b);
}

TEST(FontCache, StylesThatDifferOnlyInColourOrSmoothingShareOneFont) {
    PictureGraphics graphics;
    IText white = Style(kInk, 17);
    IText red = Style(IColor(255, 255, 0, 0), 17);
    red.mQuality = IText::kQualityAntiAliased;
    red.mAlign = IText::kAlignFar;
    IText bigger = Style(kInk, 18);
    LICE_CachedFont* a = graphics.CacheFont(&white);
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(a, white.mCached);
    EXPECT_EQ(a, graphics.CacheFont(&red));
    EXPECT_EQ(a, red.mCached);
    EXPECT_NE(a, graphics.CacheFont(&bigger));
    // The size asked for is the line height, corrected once toward what the face draws.
    EXPECT_NEAR(17, a->GetLineHeight(), 1);
}

TEST(FontCache, TwoEditorsShareImagesAndFontsAndClosingOneLeavesTheOtherDrawing) {
    auto plugA = std::make_unique<EditorTestPlug>();
    EditorTestPlug plugB;
    auto* a = new PictureGraphics(plugA.get(), 120, 40); // each owned by its plug-in
    auto* b = new PictureGraphics(&plugB, 120, 40);
    for (PictureGraphics* g : {a, b})
        g->Register(104, [] { return Solid(120, 40, LICE_MakePixel(0, 0, 90, 255)); });
    IText style = Style(kInk, 15);
    for (PictureGraphics* g : {a, b}) {
        g->AttachBackground(104, "bg.png");
        g->AttachControl(new ITextControl(g->GetPlug(), IRECT(2, 2, 118, 38), &style, "Grind"));
    }
    plugA->AttachGraphics(a);
    plugB.AttachGraphics(b);
    EXPECT_EQ(1, a->loads + b->loads);

    IRECT all(0, 0, 120, 40);
    ASSERT_TRUE(a->Draw(&all));
    const int fonts = IGraphics::s_fontCache.Count();
    ASSERT_TRUE(b->Draw(&all));
    EXPECT_EQ(fonts, IGraphics::s_fontCache.Count()); // the second editor made no font

    // Closing the first editor (deleting its plug-in, which deletes the editor) leaves the shared
    // picture and font to the second, which draws the same pixels as before.
    std::vector<LICE_pixel> before;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            before.push_back(b->At(x, y));
    plugA.reset();
    b->SetAllControlsDirty();
    LICE_Clear(b->GetDrawBitmap(), 0);
    ASSERT_TRUE(b->Draw(&all));
    int differing = 0, inked = 0;
    for (int y = 0, i = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x, ++i) {
            differing += b->At(x, y) != before[i];
            inked += LICE_PixelR(b->At(x, y)) > 128;
        }
    EXPECT_EQ(0, differing);
    EXPECT_GT(inked, 20); // the text is there
}

TEST(Text, AColourBelowFullAlphaDrawsTranslucentAndNoTextDrawsNothing) {
    PictureGraphics graphics;
    graphics.Prepare(LICE_MakePixel(0, 0, 0, 255));
    IText opaque = Style(IColor(255, 255, 255, 255), 16);
    IText faint = Style(IColor(128, 255, 255, 255), 16);
    IRECT upper(0, 0, 100, 30), lower(0, 50, 100, 80);
    EXPECT_TRUE(graphics.DrawIText(&opaque, "Grind", &upper));
    EXPECT_TRUE(graphics.DrawIText(&faint, "Grind", &lower));
    int brightest = 0, brightestFaint = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x) {
            brightest = std::max(brightest, LICE_PixelR(graphics.At(x, y)));
            brightestFaint = std::max(brightestFaint, LICE_PixelR(graphics.At(x, y + 50)));
        }
    EXPECT_EQ(255, brightest);
    EXPECT_NEAR(128, brightestFaint, 2);

    graphics.Prepare(0);
    EXPECT_TRUE(graphics.DrawIText(&opaque, "", &upper));
    EXPECT_TRUE(graphics.DrawIText(&opaque, nullptr, &upper));
    EXPECT_EQ(0u, graphics.At(5, 5));
}
