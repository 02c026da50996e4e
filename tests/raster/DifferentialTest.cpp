// The optimised blits and fills against naive per-pixel versions written here, on random
// bitmaps (some flipped) and random rectangles. On a mismatch the result, the expected image and
// their difference are written as PNG files and their paths printed.

#include "RasterTestSupport.h"
#include "ShapeTestSupport.h"
#include "raster/LICE_Blit.h"
#include "raster/LICE_Combine.h"
#include "raster/LICE_Fill.h"
#include "raster/LICE_RotatedBlit.h"
#include "raster/LICE_ScaledBlit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

using raster_test::TestBitmap;

struct Random {
    uint32_t s;
    uint32_t next() { return s = s * 1664525u + 1013904223u, s ^ (s >> 15); }
    int range(int lo, int hi) { return lo + (int)(next() % (uint32_t)(hi - lo + 1)); }
};

LICE_pixel halfMix(LICE_pixel d, LICE_pixel s) {
    return ((d >> 1) & 0x7f7f7f7f) + ((s >> 1) & 0x7f7f7f7f);
}

struct ModeCase {
    float alpha;
    int mode;
};

const ModeCase kBlitModes[] = {
    {1.0f, 0},       {0.5f, 0},       {0.7f, 0},       {0.25f, 0},      {1.0f, 1},
    {0.6f, 1},       {1.0f, 2},       {0.4f, 2},       {1.0f, 3},       {0.8f, 3},
    {1.0f, 4},       {0.3f, 4},       {1.0f, 5},       {0.55f, 5},      {1.0f, 0x10000},
    {0.7f, 0x10000}, {0.9f, 0x10001}, {0.9f, 0x10002}, {0.9f, 0x10003}, {0.9f, 0x10004},
    {0.9f, 0x10005}, {1.0f, 0xf7},    {0.5f, 0x100},   {1.0f, 7},
};

// One destination pixel of a straight blit, as the blend mode defines it.
LICE_pixel naiveBlitPixel(LICE_pixel d, LICE_pixel s, float alpha, int mode) {
    if ((mode & 0xff) >= 0xf0) {
        unsigned char* db = (unsigned char*)&d;
        db[(mode >> 2) & 3] = ((const unsigned char*)&s)[mode & 3];
        return d;
    }
    if ((mode & 0x100ff) == 0 && alpha == 1.0f) return s;
    if ((mode & 0x100ff) == 0 && alpha == 0.5f) return halfMix(d, s);
    return LICE_CombinePixels(d, s, alpha, mode);
}

TEST(Differential, BlitMatchesAPerPixelBlit) {
    Random rnd{99};
    for (int trial = 0; trial < 160; ++trial) {
        const ModeCase mc = kBlitModes[trial % (sizeof kBlitModes / sizeof kBlitModes[0])];
        TestBitmap src(rnd.range(1, 40), rnd.range(1, 30), rnd.next() & 1);
        TestBitmap got(rnd.range(1, 40), rnd.range(1, 30), rnd.next() & 1);
        TestBitmap want(got.getWidth(), got.getHeight());
        src.randomise(rnd.next());
        got.randomise(rnd.next() | 1);
        for (int y = 0; y < got.getHeight(); ++y)
            for (int x = 0; x < got.getWidth(); ++x)
                want.at(x, y) = got.at(x, y);

        const RECT r = {rnd.range(-10, 30), rnd.range(-10, 25), rnd.range(-5, 50),
                        rnd.range(-5, 40)};
        const int dstx = rnd.range(-30, 35), dsty = rnd.range(-25, 30);
        LICE_Blit(&got, &src, dstx, dsty, &r, mc.alpha, mc.mode);

        const int l = std::max(r.left, 0), t = std::max(r.top, 0);
        const int rr = std::min(r.right, src.getWidth()), bb = std::min(r.bottom, src.getHeight());
        for (int y = 0; y < want.getHeight(); ++y)
            for (int x = 0; x < want.getWidth(); ++x) {
                const int sx = x - dstx + r.left, sy = y - dsty + r.top;
                if (sx < l || sx >= rr || sy < t || sy >= bb) continue;
                want.at(x, y) = naiveBlitPixel(want.at(x, y), src.at(sx, sy), mc.alpha, mc.mode);
            }
        if (!raster_test::SameImages(got, want, "blit_" + std::to_string(trial))) return;
    }
}

TEST(Differential, FillRectMatchesAPerPixelFill) {
    Random rnd{7};
    const ModeCase modes[] = {{1.0f, 0}, {0.75f, 0}, {0.5f, 0}, {0.25f, 0},      {0.7f, 0},
                              {0.1f, 0}, {1.0f, 1},  {0.6f, 2}, {1.0f, 3},       {0.5f, 4},
                              {0.8f, 5}, {1.0f, 6},  {0.5f, 3}, {1.0f, 0x10000}, {0.6f, 0x10001}};
    for (int trial = 0; trial < 120; ++trial) {
        const ModeCase mc = modes[trial % (sizeof modes / sizeof modes[0])];
        TestBitmap got(rnd.range(1, 50), rnd.range(1, 30), rnd.next() & 1);
        TestBitmap want(got.getWidth(), got.getHeight());
        got.randomise(rnd.next());
        for (int y = 0; y < got.getHeight(); ++y)
            for (int x = 0; x < got.getWidth(); ++x)
                want.at(x, y) = got.at(x, y);
        const LICE_pixel colour = rnd.next();
        const int x0 = rnd.range(-20, 45), y0 = rnd.range(-20, 25);
        const int w = rnd.range(-3, 60), h = rnd.range(-3, 40);
        LICE_FillRect(&got, x0, y0, w, h, colour, mc.alpha, mc.mode);

        float alpha = mc.alpha;
        if (mc.mode & LICE_USE_SOURCE_ALPHA) alpha *= LICE_PixelA(colour) / 255.0f;
        const int ia = (int)(alpha * 256);
        const int r = LICE_PixelR(colour), g = LICE_PixelG(colour), b = LICE_PixelB(colour);
        for (int y = std::max(y0, 0); y < std::min(y0 + h, want.getHeight()); ++y)
            for (int x = std::max(x0, 0); x < std::min(x0 + w, want.getWidth()); ++x) {
                LICE_pixel& p = want.at(x, y);
                const LICE_pixel c2 = (colour >> 1) & 0x7f7f7f7f, c4 = (colour >> 2) & 0x3f3f3f3f;
                const LICE_pixel p2 = (p >> 1) & 0x7f7f7f7f, p4 = (p >> 2) & 0x3f3f3f3f;
                if ((mc.mode & 0xff) == 0 && ia == 256)
                    p = colour;
                else if ((mc.mode & 0xff) == 0 && ia == 192)
                    p = p4 + c2 + c4;
                else if ((mc.mode & 0xff) == 0 && ia == 128)
                    p = p2 + c2;
                else if ((mc.mode & 0xff) == 0 && ia == 64)
                    p = p4 + p2 + c4;
                else
                    LICE_CombinePixels2(&p, r, g, b, ia, ia, mc.mode & 0xff);
            }
        if (!raster_test::SameImages(got, want, "fill_" + std::to_string(trial))) return;
    }
}

// A source sample as the sampling rules define it, read one pixel at a time.
LICE_pixel naiveSample(TestBitmap& src, long long px, long long py, int right, int bottom,
                       bool bilinear, int kernel) {
    const int x = (int)(px / 65536), y = (int)(py / 65536);
    if (kernel) {
        int sum[4] = {0, 0, 0, 0}, n = 0;
        for (int yy = y - kernel / 2; yy <= y + kernel / 2; ++yy)
            for (int xx = x - kernel / 2; xx <= x + kernel / 2; ++xx) {
                if (xx < 0 || yy < 0 || xx >= right || yy >= bottom) continue;
                const LICE_pixel p = src.at(xx, yy);
                for (int k = 0; k < 4; ++k)
                    sum[k] += (p >> (8 * k)) & 0xff;
                ++n;
            }
        LICE_pixel out = 0;
        for (int k = 0; k < 4; ++k)
            out |= (LICE_pixel)(sum[k] / n) << (8 * k);
        return out;
    }
    if (!bilinear) return src.at(x, y);
    const bool lastCol = x + 1 >= right, lastRow = y + 1 >= bottom;
    const long long xf = px & 0xffff, yf = py & 0xffff;
    LICE_pixel out = 0;
    for (int k = 0; k < 4; ++k) {
        auto ch = [&](int xx, int yy) { return (long long)((src.at(xx, yy) >> (8 * k)) & 0xff); };
        long long v;
        if (lastCol && lastRow)
            v = ch(x, y);
        else if (lastCol)
            v = (ch(x, y + 1) * yf + ch(x, y) * (65536 - yf)) >> 16;
        else if (lastRow)
            v = (ch(x + 1, y) * xf + ch(x, y) * (65536 - xf)) >> 16;
        else {
            const long long f = (xf * yf) >> 16;
            v = (ch(x, y) * (65536 - yf - xf + f) + ch(x + 1, y) * (xf - f) +
                 ch(x, y + 1) * (yf - f) + ch(x + 1, y + 1) * f) >>
                16;
        }
        out |= (LICE_pixel)v << (8 * k);
    }
    return out;
}

TEST(Differential, ScaledBlitMatchesPerPixelSampling) {
    Random rnd{2024};
    const float scales[] = {0.5f, 0.75f, 1.25f, 1.5f, 2.0f, 2.5f, 3.0f, 4.0f, 0.25f};
    const ModeCase modes[] = {{1.0f, 0},     {0.5f, 0},       {0.7f, 0},       {1.0f, 0x100},
                              {0.7f, 0x100}, {1.0f, 0x10100}, {0.6f, 0x10000}, {1.0f, 0x101},
                              {0.8f, 0x103}, {1.0f, 0x200}};
    for (int trial = 0; trial < 150; ++trial) {
        const ModeCase mc = modes[trial % (sizeof modes / sizeof modes[0])];
        TestBitmap src(rnd.range(2, 40), rnd.range(2, 40), rnd.next() & 1);
        TestBitmap got(rnd.range(10, 40), rnd.range(10, 40), rnd.next() & 1);
        TestBitmap want(got.getWidth(), got.getHeight());
        src.randomise(rnd.next());
        got.randomise(rnd.next());
        for (int y = 0; y < got.getHeight(); ++y)
            for (int x = 0; x < got.getWidth(); ++x)
                want.at(x, y) = got.at(x, y);
        // Dyadic positions and steps, a destination rectangle inside the bitmap.
        const float xs = scales[rnd.range(0, 8)], ys = scales[rnd.range(0, 8)];
        const int dw = rnd.range(1, got.getWidth()), dh = rnd.range(1, got.getHeight());
        const int dx = rnd.range(0, got.getWidth() - dw), dy = rnd.range(0, got.getHeight() - dh);
        const float sx = rnd.range(-8, 40) / 4.0f, sy = rnd.range(-8, 40) / 4.0f;
        LICE_ScaledBlit(&got, &src, dx, dy, dw, dh, sx, sy, dw * xs, dh * ys, mc.alpha, mc.mode);

        const bool bilinear = (mc.mode & 0xff00) == 0x100;
        const int kernel =
            bilinear && xs >= 1.7f && ys >= 1.7f ? (std::max(xs, ys) > 3.0f ? 5 : 3) : 0;
        const int right = std::min((int)(sx + dw * xs + 0.999999), src.getWidth());
        const int bottom = std::min((int)(sy + dh * ys + 0.999999), src.getHeight());
        const bool unscaled = xs == 1.0f && ys == 1.0f; // not among the scales
        ASSERT_FALSE(unscaled);
        const long long idx = (long long)(xs * 65536), idy = (long long)(ys * 65536);
        const long long x0 = (long long)(sx * 65536), y0 = (long long)(sy * 65536);
        for (int j = 0; j < dh; ++j)
            for (int i = 0; i < dw; ++i) {
                const long long px = x0 + i * idx, py = y0 + j * idy;
                if (px < 0 || py < 0 || px / 65536 >= right || py / 65536 >= bottom) continue;
                LICE_pixel& d = want.at(dx + i, dy + j);
                const LICE_pixel s = naiveSample(src, px, py, right, bottom, bilinear, kernel);
                if ((mc.mode & 0x1ffff) == 0 && mc.alpha == 1.0f)
                    d = s;
                else if ((mc.mode & 0x1ffff) == 0 && mc.alpha == 0.5f)
                    d = halfMix(d, s);
                else
                    d = LICE_CombinePixels(d, s, mc.alpha, mc.mode);
            }
        if (!raster_test::SameImages(got, want, "scaled_" + std::to_string(trial))) return;
    }
}

TEST(Differential, ClippedScaledBlitEqualsTheSameWindowOfAnUnclippedOne) {
    Random rnd{5};
    for (int trial = 0; trial < 60; ++trial) {
        TestBitmap src(rnd.range(4, 30), rnd.range(4, 30));
        src.randomise(rnd.next());
        TestBitmap big(120, 120), small(rnd.range(5, 40), rnd.range(5, 40), true);
        big.fill(0), small.fill(0);
        const float xs = rnd.range(1, 12) / 4.0f, ys = rnd.range(1, 12) / 4.0f;
        const int dw = rnd.range(-50, 50), dh = rnd.range(-50, 50);
        if (!dw || !dh || (xs == 1.0f && ys == 1.0f)) continue;
        const int mode = trial & 1 ? LICE_FILTER_BILINEAR : 0;
        // The small bitmap is the window of the big one at (ox, oy).
        const int ox = rnd.range(0, 60), oy = rnd.range(0, 60);
        const int bx = 60, by = 60;
        LICE_ScaledBlit(&big, &src, bx, by, dw, dh, 0, 0, std::abs(dw) * xs, std::abs(dh) * ys,
                        0.75f, mode);
        LICE_ScaledBlit(&small, &src, bx - ox, by - oy, dw, dh, 0, 0, std::abs(dw) * xs,
                        std::abs(dh) * ys, 0.75f, mode);
        TestBitmap window(small.getWidth(), small.getHeight());
        for (int y = 0; y < window.getHeight(); ++y)
            for (int x = 0; x < window.getWidth(); ++x)
                window.at(x, y) = big.at(ox + x, oy + y);
        if (!raster_test::SameImages(small, window, "scaled_clip_" + std::to_string(trial))) return;
    }
}

TEST(Differential, DeltaBlitMatchesPerPixelAffineSampling) {
    Random rnd{11};
    for (int trial = 0; trial < 80; ++trial) {
        TestBitmap src(rnd.range(2, 30), rnd.range(2, 30), rnd.next() & 1);
        TestBitmap got(rnd.range(5, 30), rnd.range(5, 30), rnd.next() & 1);
        TestBitmap want(got.getWidth(), got.getHeight());
        src.randomise(rnd.next());
        got.randomise(rnd.next());
        for (int y = 0; y < got.getHeight(); ++y)
            for (int x = 0; x < got.getWidth(); ++x)
                want.at(x, y) = got.at(x, y);
        const int dw = rnd.range(1, got.getWidth()), dh = rnd.range(1, got.getHeight());
        const int dx = rnd.range(0, got.getWidth() - dw), dy = rnd.range(0, got.getHeight() - dh);
        auto q = [&](int lo, int hi) { return rnd.range(lo, hi) / 8.0; };
        const double s0 = q(-40, 200), t0 = q(-40, 200);
        const double dsdx = q(-16, 16), dtdx = q(-16, 16), dsdy = q(-16, 16), dtdy = q(-16, 16);
        const double ddx = q(-2, 2) / 16, ddy = q(-2, 2) / 16;
        const bool clip = trial & 2;
        // The start is also the corner of the rectangle reads are clipped to.
        const float rw = rnd.range(1, 30), rh = rnd.range(1, 30);
        const int mode = trial & 1 ? LICE_FILTER_BILINEAR : 0;
        const float alpha = trial % 3 ? 1.0f : 0.6f;
        LICE_DeltaBlit(&got, &src, dx, dy, dw, dh, (float)s0, (float)t0, rw, rh, dsdx, dtdx, dsdy,
                       dtdy, ddx, ddy, clip, alpha, mode);

        int l = 0, t = 0, r = src.getWidth(), b = src.getHeight();
        if (clip) {
            l = std::max(0, (int)s0), t = std::max(0, (int)t0);
            r = std::min(r, (int)(s0 + rw)), b = std::min(b, (int)(t0 + rh));
        }
        auto fx = [](double v) { return (long long)(v * 65536); };
        for (int j = 0; j < dh; ++j)
            for (int i = 0; i < dw; ++i) {
                const long long ps = fx(s0) + j * fx(dsdy) + i * (fx(dsdx) + j * fx(ddx));
                const long long pt = fx(t0) + j * fx(dtdy) + i * (fx(dtdx) + j * fx(ddy));
                const long long xi = ps / 65536, yi = pt / 65536;
                if (xi < l || xi >= r || yi < t || yi >= b) continue;
                LICE_pixel& d = want.at(dx + i, dy + j);
                d = LICE_CombinePixels(d, naiveSample(src, ps, pt, r, b, mode != 0, 0), alpha, 0);
            }
        if (!raster_test::SameImages(got, want, "delta_" + std::to_string(trial))) return;
    }
}

} // namespace
