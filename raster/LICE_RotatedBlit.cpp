#include "raster/LICE_RotatedBlit.h"

#include "raster/LICE_BlitTemplates.h"

#include <cmath>

namespace {

long long fixed(double v) {
    return LICE_DoubleToIntSat(v * 65536.0);
}

// A delta blit in source pixels before conversion to 16.16.
struct Affine {
    double s, t, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy;
};

// Clips the destination rectangle to the bitmap, moving the start (and for the per-row change of
// the column step, the row step) along with the skipped columns and rows.
bool clipDelta(LICE_IBitmap* dest, int& x, int& y, int& w, int& h, Affine& a) {
    if (x < 0) {
        const double k = -(double)x;
        a.s += k * a.dsdx, a.t += k * a.dtdx;
        a.dsdy += k * a.dsdxdy, a.dtdy += k * a.dtdxdy;
        w += x, x = 0;
    }
    if (y < 0) {
        const double k = -(double)y;
        a.s += k * a.dsdy, a.t += k * a.dtdy;
        a.dsdx += k * a.dsdxdy, a.dtdx += k * a.dtdxdy;
        h += y, y = 0;
    }
    if (w > dest->getWidth() - x) w = dest->getWidth() - x;
    if (h > dest->getHeight() - y) h = dest->getHeight() - y;
    return w > 0 && h > 0;
}

LICE_DeltaSetup toFixed(const Affine& a, int left, int top, int right, int bottom) {
    LICE_DeltaSetup d;
    d.s = fixed(a.s), d.t = fixed(a.t);
    d.dsdx = fixed(a.dsdx), d.dtdx = fixed(a.dtdx), d.dsdy = fixed(a.dsdy), d.dtdy = fixed(a.dtdy);
    d.dsdxdy = fixed(a.dsdxdy), d.dtdxdy = fixed(a.dtdxdy);
    d.left = left, d.top = top, d.right = right, d.bottom = bottom;
    return d;
}

// Sampling limits: the whole source, or the source rectangle inside it.
void limits(LICE_IBitmap* src, bool clip, double x, double y, double w, double h, int& l, int& t,
            int& r, int& b) {
    l = 0, t = 0, r = src->getWidth(), b = src->getHeight();
    if (!clip) return;
    if (x > 0) l = LICE_DoubleToIntSat(x);
    if (y > 0) t = LICE_DoubleToIntSat(y);
    if (x + w < r) r = LICE_DoubleToIntSat(x + w);
    if (y + h < b) b = LICE_DoubleToIntSat(y + h);
}

// Runs the delta sampler for one operator already chosen.
template <class Op>
void drawDelta(LICE_IBitmap* dest, LICE_IBitmap* src, int x, int y, int w, int h, Affine a, int l,
               int t, int r, int b, int ia, bool bilinear) {
    if (!clipDelta(dest, x, y, w, h, a)) return;
    const LICE_Rows d = LICE_RowsOf(dest), s = LICE_RowsOf(src);
    if (!d.first || !s.first) return;
    _LICE_Template_Blit3<Op>::deltaBlit(d, x, y, w, h, s, toFixed(a, l, t, r, b), ia, bilinear);
}

bool isBilinear(int mode) {
    return (mode & LICE_FILTER_MASK) == LICE_FILTER_BILINEAR;
}

} // namespace

void LICE_RotatedBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                      float srcx_, float srcy_, float srcw_, float srch_, float angle,
                      bool cliptosourcerect, float alpha, int mode, float rotxcent,
                      float rotycent) {
    if (!dest || !src || !dstw || !dsth) return;
    double srcx = srcx_, srcy = srcy_, srcw = srcw_, srch = srch_;
    int l, t, r, b;
    limits(src, cliptosourcerect, srcx, srcy, srcw, srch, l, t, r, b);

    const bool mirrorX = dstw < 0, mirrorY = dsth < 0;
    if (mirrorX) srcx += srcw, dstx += dstw, srcw = -srcw, dstw = -dstw;
    if (mirrorY) srcy += srch, dsty += dsth, srch = -srch, dsth = -dsth;

    const double sn = std::sin(angle), cs = std::cos(angle);
    const double sx = srcw / dstw, sy = srch / dsth;
    Affine a = {0, 0, sx * cs, -sy * sn, sx * sn, sy * cs, 0, 0};
    // A mirrored axis starts one step in from the far edge (as the scaled blit does), so the
    // first destination column or row is not spent on the pixel past the rectangle.
    if (mirrorX) srcx += sx;
    if (mirrorY) srcy += sy;
    srcx -= ((dstw * a.dsdx + dsth * a.dsdy) - srcw) * 0.5 - rotxcent;
    srcy -= ((dsth * a.dtdy + dstw * a.dtdx) - srch) * 0.5 - rotycent;
    a.s = srcx, a.t = srcy;

    const int ia = LICE_AlphaToWeight(alpha);
    if (ia == 0) return;
    LICE_DispatchStandard(mode, ia, [&](auto tag) {
        drawDelta<typename decltype(tag)::type>(dest, src, dstx, dsty, dstw, dsth, a, l, t, r, b,
                                                ia, isBilinear(mode));
    });
}

void LICE_DeltaBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                    float srcx, float srcy, float srcw, float srch, double dsdx, double dtdx,
                    double dsdy, double dtdy, double dsdxdy, double dtdxdy, bool cliptosourcerect,
                    float alpha, int mode) {
    if (!dest || !src || dstw <= 0 || dsth <= 0) return;
    int l, t, r, b;
    limits(src, cliptosourcerect, srcx, srcy, srcw, srch, l, t, r, b);
    const Affine a = {srcx, srcy, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy};
    const int ia = LICE_AlphaToWeight(alpha);
    if (ia == 0) return;
    LICE_DispatchStandard(mode, ia, [&](auto tag) {
        drawDelta<typename decltype(tag)::type>(dest, src, dstx, dsty, dstw, dsth, a, l, t, r, b,
                                                ia, isBilinear(mode));
    });
}

void LICE_TransformBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw,
                        int dsth, const float* srcpoints, int div_w, int div_h, float alpha,
                        int mode) {
    if (!dest || !src || !srcpoints || dstw <= 0 || dsth <= 0 || div_w < 2 || div_h < 2) return;
    const int ia = LICE_AlphaToWeight(alpha);
    if (ia == 0) return;
    const int cellsX = div_w - 1, cellsY = div_h - 1;
    const int srcW = src->getWidth(), srcH = src->getHeight();
    auto point = [&](int i, int j, int k) { return (double)srcpoints[(j * div_w + i) * 2 + k]; };

    LICE_DispatchStandard(mode, ia, [&](auto tag) {
        typedef typename decltype(tag)::type Op;
        for (int j = 0; j < cellsY; ++j) {
            // Cell edges spread the rectangle's pixels evenly over the grid.
            const int y0 = (int)((long long)dsth * j / cellsY);
            const int y1 = (int)((long long)dsth * (j + 1) / cellsY);
            for (int i = 0; i < cellsX; ++i) {
                const int x0 = (int)((long long)dstw * i / cellsX);
                const int x1 = (int)((long long)dstw * (i + 1) / cellsX);
                const int cw = x1 - x0, ch = y1 - y0;
                if (cw <= 0 || ch <= 0) continue;
                const double s00 = point(i, j, 0), t00 = point(i, j, 1);
                const double s10 = point(i + 1, j, 0), t10 = point(i + 1, j, 1);
                const double s01 = point(i, j + 1, 0), t01 = point(i, j + 1, 1);
                const double s11 = point(i + 1, j + 1, 0), t11 = point(i + 1, j + 1, 1);
                Affine a;
                a.s = s00, a.t = t00;
                a.dsdx = (s10 - s00) / cw, a.dtdx = (t10 - t00) / cw;
                a.dsdy = (s01 - s00) / ch, a.dtdy = (t01 - t00) / ch;
                a.dsdxdy = ((s11 - s01) - (s10 - s00)) / ((double)cw * ch);
                a.dtdxdy = ((t11 - t01) - (t10 - t00)) / ((double)cw * ch);
                drawDelta<Op>(dest, src, dstx + x0, dsty + y0, cw, ch, a, 0, 0, srcW, srcH, ia,
                              isBilinear(mode));
            }
        }
    });
}
