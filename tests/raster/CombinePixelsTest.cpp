// The single-pixel entry points: weights, the dispatch, and hand-worked results.

#include "raster/LICE_Combine.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

LICE_pixel rgba(int r, int g, int b, int a) {
    return LICE_MakePixel(r, g, b, a);
}

TEST(CombinePixels, PixelPackingPutsAlphaInTheFirstByte) {
    const LICE_pixel p = rgba(0x11, 0x22, 0x33, 0x44);
    const unsigned char* bytes = (const unsigned char*)&p;
    EXPECT_EQ(0x44, bytes[0]);
    EXPECT_EQ(0x11, bytes[1]);
    EXPECT_EQ(0x22, bytes[2]);
    EXPECT_EQ(0x33, bytes[3]);
    EXPECT_EQ(0x11, LICE_PixelR(p));
    EXPECT_EQ(0x22, LICE_PixelG(p));
    EXPECT_EQ(0x33, LICE_PixelB(p));
    EXPECT_EQ(0x44, LICE_PixelA(p));
}

TEST(CombinePixels, AlphaBecomesAWeightOutOf256) {
    EXPECT_EQ(256, LICE_AlphaToWeight(1.0f));
    EXPECT_EQ(128, LICE_AlphaToWeight(0.5f));
    EXPECT_EQ(64, LICE_AlphaToWeight(0.25f));
    EXPECT_EQ(255, LICE_AlphaToWeight(0.999f));
    EXPECT_EQ(0, LICE_AlphaToWeight(0.0f));
    const LICE_pixel d = rgba(1, 2, 3, 4);
    EXPECT_EQ(d, LICE_CombinePixels(d, rgba(200, 200, 200, 200), 0.0f, LICE_COMBINE_ADD));
    EXPECT_EQ(d, LICE_CombinePixels(d, rgba(200, 200, 200, 200), 0.003f, LICE_COMBINE_COPY));
}

TEST(CombinePixels, CopyReplacesAtFullWeightAndBlendsByTheWeightBelow) {
    EXPECT_EQ(0xaabbccddu, LICE_CombinePixels(0x11223344u, 0xaabbccddu, 1.0f, 0));
    EXPECT_EQ(rgba(127, 127, 127, 127),
              LICE_CombinePixels(rgba(255, 255, 255, 255), 0, 0.5f, LICE_COMBINE_COPY));
    // 0 toward 255 at 128: 255 + (0 - 255) * 128 / 256 truncates toward zero to 255 - 127.
    EXPECT_EQ(rgba(128, 128, 128, 128),
              LICE_CombinePixels(0, rgba(255, 255, 255, 255), 0.5f, LICE_COMBINE_COPY));
}

TEST(CombinePixels, SourceAlphaCopySkipsTransparentAndWritesOpaqueSources) {
    const LICE_pixel d = rgba(10, 20, 30, 40);
    EXPECT_EQ(d, LICE_CombinePixels(d, rgba(200, 100, 50, 0), 1.0f, LICE_USE_SOURCE_ALPHA));
    EXPECT_EQ(d, LICE_CombinePixels(d, rgba(200, 100, 50, 0), 0.5f, LICE_USE_SOURCE_ALPHA));
    EXPECT_EQ(rgba(200, 100, 50, 255),
              LICE_CombinePixels(d, rgba(200, 100, 50, 255), 1.0f, LICE_USE_SOURCE_ALPHA));
    // Alpha 128 at full weight: 200 + (10 - 200) * 127 / 256 = 200 - 94, 100 - 39, 50 - 9;
    // alpha 40 + 128.
    EXPECT_EQ(rgba(106, 61, 41, 168),
              LICE_CombinePixels(d, rgba(200, 100, 50, 128), 1.0f, LICE_USE_SOURCE_ALPHA));
    // At 0.5 the weight is (128 + 1) * 128 / 256 = 64: 200 + (10 - 200) * 192 / 256 = 58.
    EXPECT_EQ(rgba(58, 40, 35, 104),
              LICE_CombinePixels(d, rgba(200, 100, 50, 127), 0.5f, LICE_USE_SOURCE_ALPHA));
}

TEST(CombinePixels, MultiplyOverlayAndDodgeKeepTheirNeutralAndExtremeValues) {
    EXPECT_EQ(rgba(254, 0, 254, 0),
              LICE_CombinePixels(rgba(255, 0, 255, 0), 0xffffffffu, 1.0f, LICE_COMBINE_MULTIPLY));
    for (float alpha : {0.25f, 0.5f, 0.7f, 1.0f}) {
        for (LICE_pixel d : {rgba(0, 1, 127, 128), rgba(200, 254, 255, 77)})
            EXPECT_EQ(d, LICE_CombinePixels(d, 0x80808080u, alpha, LICE_COMBINE_OVERLAY));
    }
    EXPECT_EQ(rgba(255, 0, 255, 255),
              LICE_CombinePixels(rgba(1, 0, 200, 255), 0xffffffffu, 1.0f, LICE_COMBINE_DODGE));
}

TEST(CombinePixels, AddSaturates) {
    EXPECT_EQ(
        rgba(255, 150, 0, 255),
        LICE_CombinePixels(rgba(200, 100, 0, 250), rgba(100, 50, 0, 20), 1.0f, LICE_COMBINE_ADD));
    // Half of 101 is 50.
    EXPECT_EQ(rgba(250, 0, 0, 0),
              LICE_CombinePixels(rgba(200, 0, 0, 0), rgba(101, 0, 0, 0), 0.5f, LICE_COMBINE_ADD));
}

TEST(CombinePixels, UnknownOperatorsDrawNothingAndFilterBitsChangeNothing) {
    const LICE_pixel d = rgba(10, 20, 30, 40), s = rgba(200, 100, 50, 25);
    for (int mode : {6, 0x20, 0xef, 0x10006, 0x100ef})
        EXPECT_EQ(d, LICE_CombinePixels(d, s, 1.0f, mode)) << mode;
    EXPECT_EQ(LICE_CombinePixels(d, s, 0.5f, 0), LICE_CombinePixels(d, s, 0.5f, 0x100));
    EXPECT_EQ(LICE_CombinePixels(d, s, 0.5f, 3), LICE_CombinePixels(d, s, 0.5f, 0x3f03));
}

TEST(CombinePixels, TheInPlaceFormsTakeTheWeightDirectly) {
    LICE_pixel p = rgba(255, 255, 255, 255);
    LICE_CombinePixels2(&p, 0, 0, 0, 0, 128, LICE_COMBINE_COPY);
    EXPECT_EQ(rgba(127, 127, 127, 127), p);
    LICE_CombinePixels2(&p, 9, 9, 9, 9, 0, LICE_COMBINE_COPY);
    EXPECT_EQ(rgba(127, 127, 127, 127), p);
}

TEST(CombinePixels, TheClampingFormClampsSourcesAndResults) {
    LICE_pixel p = rgba(10, 20, 30, 40);
    LICE_CombinePixels2Clamp(&p, 300, -5, 128, 400, 256, LICE_COMBINE_COPY);
    EXPECT_EQ(rgba(255, 0, 128, 255), p);

    p = rgba(10, 20, 30, 40);
    LICE_CombinePixels2Clamp(&p, 300, -5, 128, 255, 256, LICE_USE_SOURCE_ALPHA);
    EXPECT_EQ(rgba(255, 0, 128, 255), p);

    // Copy at 128 toward 400 from 200: 400 + (200 - 400) / 2 = 300, clamped.
    p = rgba(200, 200, 0, 0);
    LICE_CombinePixels2Clamp(&p, 400, -100, 0, 0, 128, LICE_COMBINE_COPY);
    EXPECT_EQ(rgba(255, 50, 0, 0), p);

    // Multiply by 2 at full weight: 200 * 512 / 256, clamped.
    p = rgba(200, 100, 0, 0);
    LICE_CombinePixels2Clamp(&p, 512, 256, 0, 256, 256, LICE_COMBINE_MULTIPLY);
    EXPECT_EQ(rgba(255, 100, 0, 0), p);
}

TEST(HSVAdjust, NeutralSourceKeepsEveryColourWithinAFewLevels) {
    int worst = 0;
    for (int r = 0; r < 256; r += 3)
        for (int g = 0; g < 256; g += 5)
            for (int b = 0; b < 256; b += 7) {
                const LICE_pixel d = rgba(r, g, b, 9);
                const LICE_pixel out =
                    LICE_CombinePixels(d, rgba(128, 128, 128, 77), 1.0f, LICE_COMBINE_HSV_ADJUST);
                worst = std::max(worst, std::abs(LICE_PixelR(out) - r));
                worst = std::max(worst, std::abs(LICE_PixelG(out) - g));
                worst = std::max(worst, std::abs(LICE_PixelB(out) - b));
                ASSERT_EQ(77, LICE_PixelA(out));
            }
    EXPECT_LE(worst, 5); // the largest drift over every colour
}

TEST(HSVAdjust, ShiftsHueSaturationAndValueByHand) {
    // Red turned by 190 of 384 steps: hue 190 lies between green (128) and cyan (192).
    EXPECT_EQ(rgba(0, 255, 247, 255),
              LICE_CombinePixels(rgba(255, 0, 0, 0), rgba(255, 128, 128, 255), 1.0f,
                                 LICE_COMBINE_HSV_ADJUST));
    // Grey (hue reads as blue) given full saturation: (0, 0, 100).
    EXPECT_EQ(rgba(0, 0, 100, 0),
              LICE_CombinePixels(rgba(100, 100, 100, 50), rgba(128, 255, 128, 0), 1.0f,
                                 LICE_COMBINE_HSV_ADJUST));
    // (200, 100, 50): hue 21, saturation 191, value 200; value lowered by 128 at half weight
    // gives value 72, low 18 and the ramp (72 * (16384 - 43 * 191)) >> 14 = 35.
    EXPECT_EQ(rgba(72, 35, 18, 3), LICE_CombinePixels(rgba(200, 100, 50, 0), rgba(128, 128, 0, 3),
                                                      0.5f, LICE_COMBINE_HSV_ADJUST));
}

TEST(HSVAdjust, ReciprocalTableIsFloorOf65536OverIMinusOne) {
    EXPECT_EQ(0, _LICE_RGB2HSV_invtab[0]);
    EXPECT_EQ(65535, _LICE_RGB2HSV_invtab[1]);
    EXPECT_EQ(32767, _LICE_RGB2HSV_invtab[2]);
    EXPECT_EQ(435, _LICE_RGB2HSV_invtab[150]);
    EXPECT_EQ(256, _LICE_RGB2HSV_invtab[255]);
}

} // namespace
