#pragma once

// The pixel loops shared by lines, circles and polygons. A shape chooses its operator once per
// call and hands the loops a painter: a colour bound to one operator (channel-wise or word-wide)
// and one weight. The loops are templates over the painter, so the per-pixel work holds no mode
// test. Shapes address image rows through LICE_Rows, so a flipped bitmap shows the same image
// as an upright one without any mirroring of coordinates or angles.
//
// Coordinates inside the loops are 64-bit: end points, centres and corners may lie anywhere in
// the int range, and every difference or product of them must stay exact.

#include "raster/LICE_BlitTemplates.h"
#include "raster/LICE_CombineRows.h"

#include <cmath>

// Copy at weight 128 in shapes: each channel, alpha included, becomes (d + s) >> 1.
class _LICE_CombinePixelsHalfMixNoClamp {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int) {
        p[LICE_PIXEL_R] = (LICE_pixel_chan)((p[LICE_PIXEL_R] + r) >> 1);
        p[LICE_PIXEL_G] = (LICE_pixel_chan)((p[LICE_PIXEL_G] + g) >> 1);
        p[LICE_PIXEL_B] = (LICE_pixel_chan)((p[LICE_PIXEL_B] + b) >> 1);
        p[LICE_PIXEL_A] = (LICE_pixel_chan)((p[LICE_PIXEL_A] + a) >> 1);
    }
};

// The pixels a shape may touch: the bitmap's image rows and its size. Empty (false from
// LICE_ShapeTargetOf) for a null bitmap, null bits or a zero size.
struct LICE_ShapeTarget {
    LICE_Rows rows;
    int w = 0, h = 0;
    bool inside(long long x, long long y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    LICE_pixel* at(long long x, long long y) const { return rows.row((int)y) + x; }
};

inline bool LICE_ShapeTargetOf(LICE_IBitmap* dest, LICE_ShapeTarget& t) {
    if (!dest) return false;
    t.w = dest->getWidth();
    t.h = dest->getHeight();
    if (t.w <= 0 || t.h <= 0 || dest->getRowSpan() < t.w) return false;
    t.rows = LICE_RowsOf(dest);
    return t.rows.first != nullptr;
}

// A colour applied through a per-channel operator. paint() uses the shape's weight; the
// antialiased loops pass a weight of their own per pixel. Spans, always at the shape's weight,
// may use an operator of their own that gives the same bytes faster.
template <class Op, class SpanOp = Op>
struct LICE_OpPainter {
    int r, g, b, a, w;
    LICE_OpPainter(LICE_pixel color, int weight)
        : r(LICE_PixelR(color)), g(LICE_PixelG(color)), b(LICE_PixelB(color)),
          a(LICE_PixelA(color)), w(weight) {}
    void paint(LICE_pixel* p) const { Op::doPix((LICE_pixel_chan*)p, r, g, b, a, w); }
    void paint(LICE_pixel* p, int weight) const {
        Op::doPix((LICE_pixel_chan*)p, r, g, b, a, weight);
    }
    void span(LICE_pixel* p, int n) const { LICE_RowKernel<SpanOp>::fillRow(p, n, r, g, b, a, w); }
};

// A colour applied through a word-wide operator (the plain copies at fixed weights).
template <class Op>
struct LICE_WordPainter {
    LICE_pixel c;
    explicit LICE_WordPainter(LICE_pixel color) : c(Op::prepare(color)) {}
    void paint(LICE_pixel* p) const { Op::doPixFAST(p, c); }
    void span(LICE_pixel* p, int n) const { LICE_FastRowKernel<Op>::fillRowFAST(p, n, c); }
};

// The operator of an aliased shape from (mode & 0xff): copy at weight 256 clobbers and, when
// halfMix is set, at 128 takes the channel half mix. Calls f(painter) and returns true, or
// returns false when the weight is 0 or the operator is above 5.
template <class F>
bool LICE_WithShapePainter(LICE_pixel color, int mode, int ia, bool halfMix, F&& f) {
    if (ia == 0) return false;
    if ((mode & LICE_COMBINE_MASK) == LICE_COMBINE_COPY) {
        if (ia == 256) return f(LICE_OpPainter<_LICE_CombinePixelsClobberNoClamp>(color, ia)), true;
        if (ia == 128 && halfMix)
            return f(LICE_OpPainter<_LICE_CombinePixelsHalfMixNoClamp>(color, ia)), true;
    }
    return LICE_DispatchPlain(
        mode, ia, [&](auto tag) { f(LICE_OpPainter<typename decltype(tag)::type>(color, ia)); });
}

// As LICE_WithShapePainter for spans and outlines made of rows and columns: a plain copy at
// alpha exactly 1, 0.75, 0.5 or 0.25 uses the word-wide mixes.
template <class F>
bool LICE_WithSpanPainter(LICE_pixel color, float alpha, int mode, F&& f) {
    if ((mode & LICE_COMBINE_MASK) == LICE_COMBINE_COPY) {
        if (alpha == 1.0f) return f(LICE_WordPainter<_LICE_CombinePixelsClobberFAST>(color)), true;
        if (alpha == 0.75f)
            return f(LICE_WordPainter<_LICE_CombinePixelsThreeQuarterMix2FAST>(color)), true;
        if (alpha == 0.5f) return f(LICE_WordPainter<_LICE_CombinePixelsHalfMix2FAST>(color)), true;
        if (alpha == 0.25f)
            return f(LICE_WordPainter<_LICE_CombinePixelsQuarterMix2FAST>(color)), true;
    }
    return LICE_WithShapePainter(color, mode, LICE_AlphaToWeight(alpha), true, f);
}

// The operator of an antialiased shape: per-pixel weights, so copy is always the weighted copy
// (whose full-weight spans are plain stores).
template <class F>
bool LICE_WithCoveragePainter(LICE_pixel color, int mode, int ia, F&& f) {
    if (ia == 0) return false;
    if ((mode & LICE_COMBINE_MASK) == LICE_COMBINE_COPY && ia == 256) {
        f(LICE_OpPainter<_LICE_CombinePixelsCopyNoClamp, _LICE_CombinePixelsClobberNoClamp>(color,
                                                                                            ia));
        return true;
    }
    return LICE_DispatchPlain(
        mode, ia, [&](auto tag) { f(LICE_OpPainter<typename decltype(tag)::type>(color, ia)); });
}

// Shape helpers on 64-bit coordinates.
namespace lice_shape {

inline long long floorDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}
inline long long ceilDiv(long long a, long long b) {
    return -floorDiv(-a, b);
}
inline long long clampLL(long long v, long long lo, long long hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

// Row y from column xa to xb inclusive (either order), clipped to the target.
template <class P>
inline void hspan(const LICE_ShapeTarget& t, long long y, long long xa, long long xb, const P& p) {
    if (xa > xb) {
        const long long s = xa;
        xa = xb, xb = s;
    }
    if (y < 0 || y >= t.h) return;
    xa = xa < 0 ? 0 : xa;
    xb = xb >= t.w ? t.w - 1 : xb;
    if (xa > xb) return;
    p.span(t.at(xa, y), (int)(xb - xa + 1));
}

// Column x from row ya to yb inclusive (either order), clipped to the target.
template <class P>
inline void vspan(const LICE_ShapeTarget& t, long long x, long long ya, long long yb, const P& p) {
    if (ya > yb) {
        const long long s = ya;
        ya = yb, yb = s;
    }
    if (x < 0 || x >= t.w) return;
    ya = ya < 0 ? 0 : ya;
    yb = yb >= t.h ? t.h - 1 : yb;
    for (long long y = ya; y <= yb; ++y)
        p.paint(t.at(x, y));
}

// A floating-point line, both ends included: the pixels whose major coordinate lies between the
// rounded end points, at the line's minor coordinate there (limited to the segment's range).
// With skipStart the pixels at the first end's major position are left out, so that a polyline
// blends the point its segments share once.
template <class P>
void floatLine(const LICE_ShapeTarget& t, double x1, double y1, double x2, double y2, bool aa,
               int ia, const P& p, bool skipStart = false) {
    const bool xMajor = std::fabs(x2 - x1) >= std::fabs(y2 - y1);
    double a1 = xMajor ? x1 : y1, b1 = xMajor ? y1 : x1, a2 = xMajor ? x2 : y2,
           b2 = xMajor ? y2 : x2;
    const double skip = skipStart ? std::floor(a1 + 0.5) : -1.0;
    if (a2 < a1) {
        double s = a1;
        a1 = a2, a2 = s;
        s = b1, b1 = b2, b2 = s;
    }
    const double LM = xMajor ? t.w : t.h, LN = xMajor ? t.h : t.w;
    const double i0 = std::floor(a1 + 0.5), i1 = std::floor(a2 + 0.5);
    if (i1 < 0.0 || i0 > LM - 1) return;
    const long long k0 = (long long)(i0 < 0.0 ? 0.0 : i0),
                    k1 = (long long)(i1 > LM - 1 ? LM - 1 : i1);
    const double slope = a2 > a1 ? (b2 - b1) / (a2 - a1) : 0.0;
    const double blo = b1 < b2 ? b1 : b2, bhi = b1 < b2 ? b2 : b1;
    auto put = [&](long long M, double N, int w) {
        if (w == 0 || !(N >= 0.0) || N >= LN) return;
        const long long n = (long long)N;
        p.paint(xMajor ? t.at(M, n) : t.at(n, M), w);
    };
    for (long long k = k0; k <= k1; ++k) {
        if ((double)k == skip) continue;
        double b = b1 + ((double)k - a1) * slope;
        b = b < blo ? blo : (b > bhi ? bhi : b);
        if (!aa) {
            put(k, std::floor(b + 0.5), ia);
            continue;
        }
        const double fl = std::floor(b);
        int f = (int)((b - fl) * 256.0);
        f = f > 255 ? 255 : f;
        put(k, fl, ia == 256 ? 256 - f : ((256 - f) * ia) >> 8);
        put(k, fl + 1.0, ia == 256 ? f : (f * ia) >> 8);
    }
}

} // namespace lice_shape
