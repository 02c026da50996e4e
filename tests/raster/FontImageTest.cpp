// Draws aligned, clipped, multi-line, vertical and effect text through the glyph cache and
// compares it pixel for pixel with tests/raster/expected/font.png. The picture depends on the
// DejaVu fonts and FreeType; after either package changes, look at the new picture (written to
// the build tree as tests/raster/font.png) and, when it is right, regenerate with
//
//     GRINDVOX_REGENERATE_IMAGES=1 build/tests/raster/raster_font_tests
//
// which writes the expected image into the source tree.
#include "FontTestSupport.h"
#include "RasterTestSupport.h"

#include "raster/LICE_CachedFont.h"
#include "raster/LICE_Fill.h"

#include <gtest/gtest.h>

using namespace font_test;

namespace {

const int kImageWidth = 320, kImageHeight = 160;

void frame(LICE_IBitmap* bm, const RECT& r) {
    LICE_FillRect(bm, r.left, r.top, r.right - r.left, r.bottom - r.top,
                  LICE_MakePixel(60, 60, 70, 255), 1.0f, LICE_COMBINE_COPY);
}

void DrawSample(LICE_IBitmap* bm) {
    LICE_FillRect(bm, 0, 0, kImageWidth, kImageHeight, LICE_MakePixel(30, 30, 36, 255), 1.0f, 0);
    LICE_CachedFont text;
    text.SetFromHFont(MakeFont(-16), LICE_CACHEDFONT_OWNS_FONT);
    text.SetTextColor(LICE_MakePixel(240, 240, 220, 255));

    const unsigned alignments[] = {DT_LEFT | DT_TOP, DT_CENTER | DT_VCENTER, DT_RIGHT | DT_BOTTOM};
    for (int i = 0; i < 3; ++i) {
        RECT r = {4 + i * 84, 4, 84 + i * 84, 44};
        frame(bm, r);
        text.DrawText(bm, "Grind", -1, &r, alignments[i]);
    }

    // Clipped to a box narrower than the text, then the same with no clipping, half weight.
    RECT clipped = {4, 50, 60, 70};
    frame(bm, clipped);
    text.DrawText(bm, "Clipped text", -1, &clipped, 0);
    RECT loose = {4, 74, 60, 94};
    frame(bm, loose);
    text.SetCombineMode(LICE_COMBINE_COPY, 0.5f);
    text.DrawText(bm, "Unclipped", -1, &loose, DT_NOCLIP);
    text.SetCombineMode(LICE_COMBINE_COPY, 1.0f);

    RECT lines = {130, 50, 250, 110};
    frame(bm, lines);
    text.SetLineSpacing(2);
    text.DrawText(bm, "two\nlines \xC3\xA9\xCE\xA9", -1, &lines, 0);

    LICE_CachedFont effect;
    effect.SetFromHFont(MakeFont(-18), LICE_CACHEDFONT_OWNS_FONT | LICE_CACHEDFONT_OUTLINE);
    effect.SetTextColor(LICE_MakePixel(255, 220, 0, 255));
    effect.SetEffectColor(LICE_MakePixel(200, 0, 0, 255));
    RECT er = {4, 110, 130, 156};
    effect.DrawText(bm, "Outline", -1, &er, DT_VCENTER);
    LICE_CachedFont shadow;
    shadow.SetFromHFont(MakeFont(-18), LICE_CACHEDFONT_OWNS_FONT | LICE_CACHEDFONT_SHADOW);
    shadow.SetTextColor(LICE_MakePixel(255, 255, 255, 255));
    shadow.SetEffectColor(LICE_MakePixel(0, 0, 0, 255));
    RECT sr = {130, 110, 250, 156};
    shadow.DrawText(bm, "Shadow", -1, &sr, DT_CENTER | DT_VCENTER);

    LICE_CachedFont down, up;
    down.SetFromHFont(MakeFont(-14), LICE_CACHEDFONT_OWNS_FONT | LICE_CACHEDFONT_VERTICAL);
    up.SetFromHFont(MakeFont(-14), LICE_CACHEDFONT_OWNS_FONT | LICE_CACHEDFONT_VERTICAL |
                                       LICE_CACHEDFONT_BOTTOM_UP);
    down.SetTextColor(LICE_MakePixel(120, 200, 255, 255));
    up.SetTextColor(LICE_MakePixel(255, 150, 120, 255));
    RECT vd = {262, 4, 286, 156}, vu = {292, 4, 316, 156};
    frame(bm, vd);
    frame(bm, vu);
    down.DrawText(bm, "Vertical", -1, &vd, DT_CENTER);
    up.DrawText(bm, "Bottom up", -1, &vu, DT_CENTER | DT_BOTTOM);
}

} // namespace

TEST(FontImage, MatchesTheExpectedPicturePixelForPixel) {
    raster_test::TestBitmap actual(kImageWidth, kImageHeight);
    DrawSample(&actual);
    EXPECT_TRUE(actual.paddingIntact());
    raster_test::ExpectMatchesReferencePicture(actual, GRINDVOX_ACTUAL_IMAGE,
                                               GRINDVOX_EXPECTED_IMAGE);
}
