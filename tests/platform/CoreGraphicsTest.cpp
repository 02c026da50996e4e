#include <CoreGraphics/CoreGraphics.h>

#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>
#include <vector>

namespace {

// A w x h context over its own vector, in the layout the GDI layer uses: one ignored byte,
// then red, green, blue.
struct Bitmap {
    Bitmap(int width, int height, unsigned char fill = 0)
        : w(width), h(height), bytes(static_cast<size_t>(width) * height * 4, fill) {
        CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
        ctx =
            CGBitmapContextCreate(bytes.data(), w, h, 8, w * 4, space, kCGImageAlphaNoneSkipFirst);
        CGColorSpaceRelease(space);
    }
    ~Bitmap() { CGContextRelease(ctx); }
    // Turns user space into GDI's: origin at the top left, y down.
    void Flip() {
        CGContextTranslateCTM(ctx, 0, h);
        CGContextScaleCTM(ctx, 1, -1);
    }
    unsigned char At(int x, int y, int channel) const { return bytes[(y * w + x) * 4 + channel]; }

    int w, h;
    std::vector<unsigned char> bytes;
    CGContextRef ctx;
};

CGImageRef ImageOf(const unsigned char* pixels, int w, int h, CGBitmapInfo info, bool smooth) {
    CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, pixels, w * h * 4, nullptr);
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    CGImageRef image = CGImageCreate(w, h, 8, 32, w * 4, space, info, provider, nullptr, smooth,
                                     kCGRenderingIntentDefault);
    CGColorSpaceRelease(space);
    CGDataProviderRelease(provider);
    return image;
}

} // namespace

TEST(BitmapContext, FillsRedGreenBlueAndLeavesTheSkippedByte) {
    Bitmap bm(3, 2, 0x77);
    ASSERT_NE(bm.ctx, nullptr);
    CGContextSetRGBFillColor(bm.ctx, 1, 0.5, 0, 1);
    CGContextFillRect(bm.ctx, CGRectMake(0, 0, 3, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(bm.At(x, y, 0), 0x77);
            EXPECT_EQ(bm.At(x, y, 1), 255);
            EXPECT_EQ(bm.At(x, y, 2), 128);
            EXPECT_EQ(bm.At(x, y, 3), 0);
        }
}

TEST(BitmapContext, UserSpaceStartsAtTheBottomRowUntilFlipped) {
    Bitmap plain(2, 3), flipped(2, 3);
    flipped.Flip();
    for (Bitmap* bm : {&plain, &flipped}) {
        CGContextSetRGBFillColor(bm->ctx, 1, 1, 1, 1);
        CGContextFillRect(bm->ctx, CGRectMake(0, 0, 1, 1));
    }
    // Memory row 0 is the top row.
    EXPECT_EQ(plain.At(0, 2, 1), 255);
    EXPECT_EQ(plain.At(0, 0, 1), 0);
    EXPECT_EQ(flipped.At(0, 0, 1), 255);
    EXPECT_EQ(flipped.At(0, 2, 1), 0);
}

TEST(BitmapContext, RefusesLayoutsItCannotDraw) {
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    unsigned char pixels[64];
    EXPECT_EQ(CGBitmapContextCreate(pixels, 4, 1, 16, 32, space, kCGImageAlphaNoneSkipFirst),
              nullptr);
    EXPECT_EQ(CGBitmapContextCreate(pixels, 4, 1, 8, 12, space, kCGImageAlphaNoneSkipFirst),
              nullptr);
    EXPECT_EQ(CGBitmapContextCreate(pixels, 4, 1, 8, 16, space, kCGImageAlphaFirst), nullptr);
    EXPECT_EQ(CGBitmapContextCreate(pixels, 4, 1, 8, 16, nullptr, kCGImageAlphaNoneSkipFirst),
              nullptr);
    EXPECT_EQ(CGBitmapContextCreate(pixels, 0, 1, 8, 16, space, kCGImageAlphaNoneSkipFirst),
              nullptr);
    CGColorSpaceRelease(space);
}

TEST(BitmapContext, PartlyCoveredPixelsBlendByCoverage) {
    Bitmap bm(2, 1);
    CGContextSetRGBFillColor(bm.ctx, 1, 1, 1, 1);
    CGContextFillRect(bm.ctx, CGRectMake(0, 0, 0.5, 1));
    // Coverage is sampled on a grid of about 15 x 17 points per pixel, so half is near 128.
    EXPECT_NEAR(bm.At(0, 0, 1), 128, 8);
    EXPECT_EQ(bm.At(1, 0, 1), 0);

    Bitmap sharp(2, 1);
    CGContextSetShouldAntialias(sharp.ctx, false);
    CGContextSetRGBFillColor(sharp.ctx, 1, 1, 1, 1);
    CGContextFillRect(sharp.ctx, CGRectMake(0, 0, 0.75, 1));
    EXPECT_EQ(sharp.At(0, 0, 1), 255);
    EXPECT_EQ(sharp.At(1, 0, 1), 0);
}

TEST(BitmapContext, WindingRulesDecideTheHoleOfNestedSquares) {
    Bitmap nonZero(6, 6), evenOdd(6, 6);
    for (Bitmap* bm : {&nonZero, &evenOdd}) {
        CGContextSetRGBFillColor(bm->ctx, 1, 1, 1, 1);
        CGContextAddRect(bm->ctx, CGRectMake(0, 0, 6, 6));
        CGContextAddRect(bm->ctx, CGRectMake(2, 2, 2, 2));
    }
    CGContextFillPath(nonZero.ctx);
    CGContextEOFillPath(evenOdd.ctx);
    EXPECT_EQ(nonZero.At(2, 2, 1), 255);
    EXPECT_EQ(evenOdd.At(2, 2, 1), 0);
    EXPECT_EQ(evenOdd.At(0, 0, 1), 255);
    EXPECT_EQ(evenOdd.At(5, 5, 1), 255);
}

TEST(BitmapContext, ConcaveAndSelfCrossingPathsFillTheirInside) {
    // A bow tie: two triangles meeting at (4, 4); the top and bottom middles stay empty.
    Bitmap bm(8, 8);
    bm.Flip();
    CGContextSetRGBFillColor(bm.ctx, 1, 1, 1, 1);
    CGContextMoveToPoint(bm.ctx, 0, 0);
    CGContextAddLineToPoint(bm.ctx, 8, 8);
    CGContextAddLineToPoint(bm.ctx, 8, 0);
    CGContextAddLineToPoint(bm.ctx, 0, 8);
    CGContextFillPath(bm.ctx);
    EXPECT_EQ(bm.At(0, 4, 1), 255);
    EXPECT_EQ(bm.At(7, 4, 1), 255);
    EXPECT_EQ(bm.At(4, 0, 1), 0);
    EXPECT_EQ(bm.At(4, 7, 1), 0);
}

TEST(BitmapContext, StrokesAreCentredOnThePathWithButtEnds) {
    Bitmap bm(8, 4);
    bm.Flip();
    CGContextSetRGBStrokeColor(bm.ctx, 1, 1, 1, 1);
    CGContextSetLineWidth(bm.ctx, 2);
    CGContextMoveToPoint(bm.ctx, 1, 2);
    CGContextAddLineToPoint(bm.ctx, 7, 2);
    CGContextStrokePath(bm.ctx);
    for (int x = 0; x < 8; ++x) {
        int expected = x >= 1 && x < 7 ? 255 : 0;
        EXPECT_EQ(bm.At(x, 1, 1), expected) << x;
        EXPECT_EQ(bm.At(x, 2, 1), expected) << x;
        EXPECT_EQ(bm.At(x, 0, 1), 0) << x;
        EXPECT_EQ(bm.At(x, 3, 1), 0) << x;
    }
    EXPECT_TRUE(CGContextIsPathEmpty(bm.ctx));
}

TEST(BitmapContext, ClipIsPartOfTheSavedState) {
    Bitmap bm(4, 4);
    bm.Flip();
    CGContextSaveGState(bm.ctx);
    CGContextClipToRect(bm.ctx, CGRectMake(1, 1, 2, 1));
    CGContextSetRGBFillColor(bm.ctx, 1, 1, 1, 1);
    CGContextFillRect(bm.ctx, CGRectMake(0, 0, 4, 4));
    CGContextRestoreGState(bm.ctx);
    int filled = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            filled += bm.At(x, y, 1) == 255;
    EXPECT_EQ(filled, 2);
    EXPECT_EQ(bm.At(1, 1, 1), 255);
    EXPECT_EQ(bm.At(2, 1, 1), 255);
    // After the restore the colour is black again and the clip is the whole bitmap.
    CGContextFillRect(bm.ctx, CGRectMake(0, 0, 4, 4));
    EXPECT_EQ(bm.At(1, 1, 1), 0);
}

TEST(BitmapContext, ImageOfAContextIsACopy) {
    Bitmap bm(2, 2);
    CGContextSetRGBFillColor(bm.ctx, 0, 0, 1, 1);
    CGContextFillRect(bm.ctx, CGRectMake(0, 0, 2, 2));
    CGImageRef image = CGBitmapContextCreateImage(bm.ctx);
    ASSERT_NE(image, nullptr);
    CGContextSetRGBFillColor(bm.ctx, 1, 0, 0, 1);
    CGContextFillRect(bm.ctx, CGRectMake(0, 0, 2, 2));

    Bitmap target(2, 2);
    CGContextDrawImage(target.ctx, CGRectMake(0, 0, 2, 2), image);
    EXPECT_EQ(target.At(0, 0, 3), 255);
    EXPECT_EQ(target.At(0, 0, 1), 0);
    CGImageRelease(image);
}

TEST(BitmapContext, ImagesDrawTopRowAtTheTopOfTheirRectangle) {
    // Two rows: red over green. Scaled to 2 x 4 with nearest sampling in an unflipped context.
    const unsigned char pixels[] = {0, 255, 0, 0, 0, 0, 255, 0};
    CGImageRef image = ImageOf(pixels, 1, 2, kCGImageAlphaNoneSkipFirst, false);
    ASSERT_NE(image, nullptr);
    Bitmap bm(2, 4);
    CGContextDrawImage(bm.ctx, CGRectMake(0, 0, 2, 4), image);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(bm.At(x, y, 1), y < 2 ? 255 : 0) << x << "," << y;
            EXPECT_EQ(bm.At(x, y, 2), y < 2 ? 0 : 255) << x << "," << y;
        }
    CGImageRelease(image);
}

TEST(BitmapContext, StraightAlphaImagesBlendByTheirAlpha) {
    const unsigned char pixels[] = {128, 255, 0, 0};
    CGImageRef image = ImageOf(pixels, 1, 1, kCGImageAlphaFirst, false);
    ASSERT_NE(image, nullptr);
    Bitmap bm(1, 1);
    CGContextDrawImage(bm.ctx, CGRectMake(0, 0, 1, 1), image);
    EXPECT_NEAR(bm.At(0, 0, 1), 128, 1);
    EXPECT_EQ(bm.At(0, 0, 0), 0);
    CGImageRelease(image);
}

TEST(BitmapContext, ImageMasksPaintTheFillColour) {
    const unsigned char samples[] = {0, 255, 64, 0};
    CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, samples, 4, nullptr);
    const CGFloat coverage[2] = {1, 0};
    CGImageRef inverse = CGImageMaskCreate(4, 1, 8, 8, 4, provider, nullptr, false);
    CGImageRef direct = CGImageMaskCreate(4, 1, 8, 8, 4, provider, coverage, false);
    CGDataProviderRelease(provider);
    Bitmap a(4, 1), b(4, 1);
    for (Bitmap* bm : {&a, &b})
        CGContextSetRGBFillColor(bm->ctx, 0, 1, 0, 1);
    CGContextDrawImage(a.ctx, CGRectMake(0, 0, 4, 1), inverse);
    CGContextDrawImage(b.ctx, CGRectMake(0, 0, 4, 1), direct);
    const int inverseExpected[] = {255, 0, 191, 255}, directExpected[] = {0, 255, 64, 0};
    for (int x = 0; x < 4; ++x) {
        EXPECT_NEAR(a.At(x, 0, 2), inverseExpected[x], 1) << x;
        EXPECT_NEAR(b.At(x, 0, 2), directExpected[x], 1) << x;
    }
    CGImageRelease(inverse);
    CGImageRelease(direct);
}

TEST(BitmapContext, ImagesRefuseProvidersTooShortForThem) {
    unsigned char pixels[28] = {};
    CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, pixels, 28, nullptr);
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    // Two rows 16 bytes apart of 3 pixels need 16 + 12 bytes: exactly what is there.
    CGImageRef fits = CGImageCreate(3, 2, 8, 32, 16, space, kCGImageAlphaNoneSkipFirst, provider,
                                    nullptr, false, kCGRenderingIntentDefault);
    CGImageRef tooTall = CGImageCreate(3, 3, 8, 32, 16, space, kCGImageAlphaNoneSkipFirst, provider,
                                       nullptr, false, kCGRenderingIntentDefault);
    EXPECT_NE(fits, nullptr);
    EXPECT_EQ(tooTall, nullptr);
    CGImageRelease(fits);
    CGColorSpaceRelease(space);
    CGDataProviderRelease(provider);
}

TEST(AffineTransform, ConcatAppliesTheFirstThenTheSecond) {
    CGAffineTransform t = CGAffineTransformConcat(CGAffineTransformMakeTranslation(1, 2),
                                                  CGAffineTransformMakeScale(10, -1));
    CGPoint p = CGPointApplyAffineTransform(CGPointMake(3, 4), t);
    EXPECT_EQ(p.x, 40);
    EXPECT_EQ(p.y, -6);
    CGPoint back = CGPointApplyAffineTransform(p, CGAffineTransformInvert(t));
    EXPECT_DOUBLE_EQ(back.x, 3);
    EXPECT_DOUBLE_EQ(back.y, 4);
}

TEST(ImageDrawing, AnOpaqueImageAtItsOwnSizeCopiesRearrangedChannelsWithinTheClip) {
    // Two rows of two pixels, one ignored byte then red, green, blue.
    const unsigned char pixels[16] = {0, 10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0, 1, 2, 3};
    CGImageRef image = ImageOf(pixels, 2, 2, kCGImageAlphaNoneSkipFirst, true);
    // Into a little-endian x8r8g8b8 target (bytes blue, green, red, ignored) at (1, 1) from the
    // bottom, so the image's top row lands on target row 1 from the top, columns 1 and 2.
    std::vector<unsigned char> target(4 * 3 * 4, 0xEE);
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    CGContextRef ctx = CGBitmapContextCreate(
        target.data(), 4, 3, 8, 16, space, kCGImageAlphaNoneSkipFirst | kCGBitmapByteOrder32Little);
    CGColorSpaceRelease(space);
    CGContextClipToRect(ctx, CGRectMake(0, 0, 2, 3)); // keeps columns 0 and 1 only
    CGContextDrawImage(ctx, CGRectMake(1, 0, 2, 2), image);
    auto at = [&](int x, int y, int k) { return target[y * 16 + x * 4 + k]; };
    // Row 1, column 1: the image's top-left pixel (10, 20, 30) as blue, green, red.
    EXPECT_EQ(at(1, 1, 0), 30);
    EXPECT_EQ(at(1, 1, 1), 20);
    EXPECT_EQ(at(1, 1, 2), 10);
    EXPECT_EQ(at(1, 1, 3), 0xEE); // the ignored byte is left alone
    // Row 2, column 1: the bottom-left pixel (70, 80, 90).
    EXPECT_EQ(at(1, 2, 0), 90);
    EXPECT_EQ(at(1, 2, 2), 70);
    // Column 2 is clipped away; row 0 is above the image.
    EXPECT_EQ(at(2, 1, 0), 0xEE);
    EXPECT_EQ(at(1, 0, 0), 0xEE);
    CGContextRelease(ctx);
    CGImageRelease(image);
}
