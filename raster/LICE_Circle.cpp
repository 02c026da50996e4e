#include "raster/LICE_Circle.h"

#include "raster/LICE_ShapeTemplates.h"

#include <cmath>

namespace {

using namespace lice_shape;

const double kPi = 3.14159265358979323846;

// The prebuilt outlines of the small radii, coverage 0 to 255, one aliased and one antialiased
// map per radius.
const unsigned char kSharp1_5[] = {
    0, 255, 255, 0, 255, 0, 0, 255, 255, 0, 0, 255, 0, 255, 255, 0,
};
const unsigned char kSmooth1_5[] = {
    79, 255, 255, 79, 255, 15, 15, 255, 255, 15, 15, 255, 79, 255, 255, 79,
};
const unsigned char kSharp2_0[] = {
    0, 0, 255, 0, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0,
};
const unsigned char kSmooth2_0[] = {
    15, 191, 255, 191, 15, 191, 209, 79, 209, 191, 255, 79, 0,
    79, 255, 191, 209, 79, 209, 191, 15, 191, 255, 191, 15,
};
const unsigned char kSharp2_5[] = {
    0,   0, 255, 255, 0, 0,   0, 255, 0, 0, 255, 0, 255, 0, 0,   0,   0, 255,
    255, 0, 0,   0,   0, 255, 0, 255, 0, 0, 255, 0, 0,   0, 255, 255, 0, 0,
};
const unsigned char kSmooth2_5[] = {
    15,  191, 255, 255, 191, 15,  191, 209, 79, 79, 209, 191, 255, 79,  0,   0,   79,  255,
    255, 79,  0,   0,   79,  255, 191, 209, 79, 79, 209, 191, 15,  191, 255, 255, 191, 15,
};
const unsigned char kSharp3_0[] = {
    0,   0, 255, 255, 255, 0, 0,   0, 255, 0, 0,   0,   255, 0, 255, 0, 0,
    0,   0, 0,   255, 255, 0, 0,   0, 0,   0, 255, 255, 0,   0, 0,   0, 0,
    255, 0, 255, 0,   0,   0, 255, 0, 0,   0, 255, 255, 255, 0, 0,
};
const unsigned char kSmooth3_0[] = {
    0,   143, 255, 255, 255, 143, 0,   143, 255, 97,  64,  97,  255, 143, 255, 112, 0,
    0,   0,   112, 255, 255, 48,  0,   0,   0,   48,  255, 255, 112, 0,   0,   0,   112,
    255, 143, 255, 97,  64,  97,  255, 143, 0,   143, 255, 255, 255, 143, 0,
};
const unsigned char kSharp3_5[] = {
    0,   0,   255, 255, 255, 255, 0,   0,   0,   255, 255, 0,   0,   255, 255, 0,
    255, 255, 0,   0,   0,   0,   255, 255, 255, 0,   0,   0,   0,   0,   0,   255,
    255, 0,   0,   0,   0,   0,   0,   255, 255, 255, 0,   0,   0,   0,   255, 255,
    0,   255, 255, 0,   0,   255, 255, 0,   0,   0,   255, 255, 255, 255, 0,   0,
};
const unsigned char kSmooth3_5[] = {
    0,   79,  222, 255, 255, 222, 79,  0,   79,  255, 176, 64,  64,  176, 255, 79,
    222, 176, 0,   0,   0,   0,   176, 222, 255, 64,  0,   0,   0,   0,   64,  255,
    255, 64,  0,   0,   0,   0,   64,  255, 222, 176, 0,   0,   0,   0,   176, 222,
    79,  255, 176, 64,  64,  176, 255, 79,  0,   79,  222, 255, 255, 222, 79,  0,
};
const unsigned char kSharp4_0[] = {
    0, 0,   255, 255, 255, 255, 255, 0,   0, 0, 255, 255, 0,   0,   0,   255, 255, 0, 255, 255, 0,
    0, 0,   0,   0,   255, 255, 255, 0,   0, 0, 0,   0,   0,   0,   255, 255, 0,   0, 0,   0,   0,
    0, 0,   255, 255, 0,   0,   0,   0,   0, 0, 0,   255, 255, 255, 0,   0,   0,   0, 0,   255, 255,
    0, 255, 255, 0,   0,   0,   255, 255, 0, 0, 0,   255, 255, 255, 255, 255, 0,   0,
};
const unsigned char kSmooth4_0[] = {
    0,  31,  176, 255, 255, 255, 176, 31,  0,   31,  240, 209, 79, 64,  79,  209, 240,
    31, 176, 209, 15,  0,   0,   0,   15,  209, 176, 255, 79,  0,  0,   0,   0,   0,
    79, 255, 255, 48,  0,   0,   0,   0,   0,   48,  255, 255, 79, 0,   0,   0,   0,
    0,  79,  255, 176, 209, 15,  0,   0,   0,   15,  209, 176, 31, 240, 209, 79,  64,
    79, 209, 240, 31,  0,   31,  176, 255, 255, 255, 176, 31,  0,
};

struct SmallMap {
    float r;
    int size;
    const unsigned char *sharp, *smooth;
};
const SmallMap kSmallMaps[] = {
    {1.5f, 4, kSharp1_5, kSmooth1_5}, {2.0f, 5, kSharp2_0, kSmooth2_0},
    {2.5f, 6, kSharp2_5, kSmooth2_5}, {3.0f, 7, kSharp3_0, kSmooth3_0},
    {3.5f, 8, kSharp3_5, kSmooth3_5}, {4.0f, 9, kSharp4_0, kSmooth4_0},
};

// Pixels a shape may draw, inclusive, already inside the bitmap.
struct Clip {
    long long l, t, r, b;
};

// A circle and the part of the bitmap it may draw. Rows within D = r / sqrt(2) of the centre are
// crossed steeply and take their pixels across the row; the others (the caps) take theirs along
// the columns.
struct Ring {
    const LICE_ShapeTarget* target;
    double cx, cy, r, D;
    Clip clip;

    bool inClip(long long x, long long y) const {
        return x >= clip.l && x <= clip.r && y >= clip.t && y <= clip.b;
    }
    LICE_pixel* at(long long x, long long y) const { return target->at(x, y); }
    // Half the height of the circle at column px, or -1 where the column misses it.
    double halfHeight(long long px) const {
        const double dx = (double)px - cx;
        const double v = r * r - dx * dx;
        return v < 0.0 ? -1.0 : std::sqrt(v);
    }
    double halfWidth(double dy) const {
        const double v = r * r - dy * dy;
        return v < 0.0 ? 0.0 : std::sqrt(v);
    }
};

// The whole columns from lo to hi that lie in the clip; false when there are none.
bool columnsIn(const Ring& g, double lo, double hi, long long& a, long long& b) {
    lo = std::ceil(lo), hi = std::floor(hi);
    if (lo < (double)g.clip.l) lo = (double)g.clip.l;
    if (hi > (double)g.clip.r) hi = (double)g.clip.r;
    if (!(lo <= hi)) return false;
    a = (long long)lo, b = (long long)hi;
    return true;
}

// Calls f(px) for the whole columns from lo to hi that lie in the clip.
template <class F>
void eachColumn(const Ring& g, double lo, double hi, F&& f) {
    long long a, b;
    if (!columnsIn(g, lo, hi, a, b)) return;
    for (long long px = a; px <= b; ++px)
        f(px);
}

// Calls f(px) for the clipped columns that may lie at a horizontal distance from the centre in
// [ulo, uhi] (with a pixel of slack each way); the caller tests each column exactly.
template <class F>
void eachBandColumn(const Ring& g, double ulo, double uhi, F&& f) {
    if (ulo <= 1.5) return eachColumn(g, g.cx - uhi - 1.0, g.cx + uhi + 1.0, f);
    eachColumn(g, g.cx - uhi - 1.0, g.cx - ulo + 1.0, f);
    eachColumn(g, g.cx + ulo - 1.0, g.cx + uhi + 1.0, f);
}

// The horizontal distances at which the circle's half height lies in [vlo, vhi].
bool capBand(const Ring& g, double vlo, double vhi, double& ulo, double& uhi) {
    vlo = vlo < 0.0 ? 0.0 : vlo;
    vhi = vhi > g.r ? g.r : vhi;
    if (vlo > vhi) return false;
    ulo = g.halfWidth(vhi), uhi = g.halfWidth(vlo);
    return true;
}

// The row of a cap pixel: the row nearest the circle at column px, ties toward the centre.
// Returns false where the column misses the circle.
bool capRow(const Ring& g, long long px, bool top, double& row) {
    const double vh = g.halfHeight(px);
    if (vh < 0.0) return false;
    row = top ? std::floor(g.cy - vh + 0.5) : std::ceil(g.cy + vh - 0.5);
    return true;
}

template <class P>
void outlineRow(const Ring& g, long long py, const P& p) {
    const double dy = (double)py - g.cy, a = std::fabs(dy);
    if (a <= g.D) {
        const double hw = g.halfWidth(dy);
        const long long l = (long long)std::floor(g.cx - hw + 0.5);
        const long long r = (long long)std::ceil(g.cx + hw - 0.5);
        if (g.inClip(l, py)) p.paint(g.at(l, py));
        if (r != l && g.inClip(r, py)) p.paint(g.at(r, py));
        return;
    }
    double ulo, uhi;
    if (!capBand(g, a - 0.5, a + 0.5, ulo, uhi)) return;
    eachBandColumn(g, ulo, uhi, [&](long long px) {
        double row;
        if (capRow(g, px, dy < 0.0, row) && row == (double)py) p.paint(g.at(px, py));
    });
}

template <class P>
void spanIn(const Ring& g, long long py, double lo, double hi, const P& p) {
    long long a, b;
    if (columnsIn(g, lo, hi, a, b)) p.span(g.at(a, py), (int)(b - a + 1));
}

// A cap row: the columns wholly inside, within solid - 1 of the centre, as one span, and those
// out to a pixel beyond reach, which may be partly inside, each through test. A row whose solid
// part is under three pixels each side is tested whole.
template <class P, class F>
void capRowColumns(const Ring& g, long long py, double solid, double reach, const P& p, F&& test) {
    if (solid < 3.0) return eachColumn(g, g.cx - reach - 1.0, g.cx + reach + 1.0, test);
    const double inner0 = std::ceil(g.cx - solid + 1.0), inner1 = std::floor(g.cx + solid - 1.0);
    spanIn(g, py, inner0, inner1, p);
    eachColumn(g, g.cx - reach - 1.0, inner0 - 1.0, test);
    eachColumn(g, inner1 + 1.0, g.cx + reach + 1.0, test);
}

template <class P>
void filledRow(const Ring& g, long long py, const P& p) {
    const double dy = (double)py - g.cy, a = std::fabs(dy);
    if (a <= g.D) {
        const double hw = g.halfWidth(dy);
        spanIn(g, py, std::floor(g.cx - hw + 0.5), std::ceil(g.cx + hw - 0.5), p);
        return;
    }
    // Inside where the cap's row for the column is this row or nearer the centre: the half
    // height exceeds a - 1/2. Certain a column away from that limit, tested exactly near it.
    if (a - 0.5 > g.r) return;
    const double u = a - 0.5 < 0.0 ? g.r : g.halfWidth(a - 0.5);
    const bool top = dy < 0.0;
    auto test = [&](long long px) {
        double row;
        if (capRow(g, px, top, row) && (top ? row <= (double)py : row >= (double)py))
            p.paint(g.at(px, py));
    };
    capRowColumns(g, py, u, u, p, test);
}

// A crossing at pos between pixel floor(pos) and the next: the pixel away from the centre gets
// the weight in proportion to the crossing's distance from the pixel toward the centre.
struct Split {
    long long outer, inner;
    int wOuter, wInner;
};
Split splitAt(double pos, bool outward, int ia) {
    const double fl = std::floor(pos);
    const long long p = (long long)fl;
    Split s;
    if (outward) { // the centre lies below pos
        s.inner = p, s.outer = p + 1;
        s.wOuter = (int)((pos - fl) * ia);
    } else {
        s.inner = p + 1, s.outer = p;
        s.wOuter = (int)((fl + 1.0 - pos) * ia);
    }
    s.wInner = ia - s.wOuter;
    return s;
}

template <class P>
void smoothOutlineRow(const Ring& g, long long py, int ia, const P& p) {
    const double dy = (double)py - g.cy, a = std::fabs(dy);
    if (a <= g.D) {
        const double hw = g.halfWidth(dy);
        const Split l = splitAt(g.cx - hw, false, ia), r = splitAt(g.cx + hw, true, ia);
        // Four candidates, in column order; a tiny circle's two sides may share pixels, which
        // then take the larger weight once.
        long long col[4] = {l.outer, l.inner, r.inner, r.outer};
        int w[4] = {l.wOuter, l.wInner, r.wInner, r.wOuter};
        for (int i = 0; i < 4; ++i) {
            bool drawn = false;
            for (int j = 0; j < 4; ++j)
                if (j != i && col[j] == col[i] && (w[j] > w[i] || (w[j] == w[i] && j < i)))
                    drawn = true;
            if (!drawn && w[i] != 0 && g.inClip(col[i], py)) p.paint(g.at(col[i], py), w[i]);
        }
        return;
    }
    double ulo, uhi;
    if (!capBand(g, a - 1.0, a + 1.0, ulo, uhi)) return;
    const bool top = dy < 0.0;
    eachBandColumn(g, ulo, uhi, [&](long long px) {
        const double vh = g.halfHeight(px);
        if (vh < 0.0) return;
        const Split s = splitAt(top ? g.cy - vh : g.cy + vh, !top, ia);
        const int w = s.outer == py ? s.wOuter : (s.inner == py ? s.wInner : 0);
        if (w != 0) p.paint(g.at(px, py), w);
    });
}

template <class P>
void smoothFilledRow(const Ring& g, long long py, int ia, const P& p) {
    const double dy = (double)py - g.cy, a = std::fabs(dy);
    auto put = [&](long long px, double cover) {
        cover = cover < 0.0 ? 0.0 : (cover > 1.0 ? 1.0 : cover);
        const int w = (int)(cover * ia);
        if (w != 0 && g.inClip(px, py)) p.paint(g.at(px, py), w);
    };
    if (a <= g.D) {
        const double hw = g.halfWidth(dy), l = g.cx - hw, r = g.cx + hw;
        const double A = std::floor(l + 0.5), B = std::floor(r + 0.5);
        if (A == B) return put((long long)A, r - l);
        put((long long)A, A + 0.5 - l);
        put((long long)B, r - (B - 0.5));
        spanIn(g, py, A + 1.0, B - 1.0, p);
        return;
    }
    // The edge crosses column px at half height vh; the pixel's share is the part of its
    // height on the inner side of the edge.
    if (a - 0.5 > g.r) return;
    auto test = [&](long long px) {
        const double vh = g.halfHeight(px);
        if (vh >= 0.0) put(px, vh - (a - 0.5));
    };
    const double uz = a - 0.5 < 0.0 ? g.r : g.halfWidth(a - 0.5);
    const double uf = a + 0.5 > g.r ? 0.0 : g.halfWidth(a + 0.5);
    capRowColumns(g, py, uf, uz, p, test);
}

enum class Kind { Outline, Filled };

// Every row of the ring inside its clip.
template <class Row>
void eachRow(const Ring& g, Row&& row) {
    double t = std::floor(g.cy - g.r - 2.0), b = std::ceil(g.cy + g.r + 2.0);
    if (t < (double)g.clip.t) t = (double)g.clip.t;
    if (b > (double)g.clip.b) b = (double)g.clip.b;
    if (!(t <= b)) return;
    for (long long py = (long long)t; py <= (long long)b; ++py)
        row(py);
}

void drawRing(const LICE_ShapeTarget& t, double cx, double cy, double r, const Clip& clip,
              Kind kind, LICE_pixel color, float alpha, int mode, bool aa) {
    if (clip.l > clip.r || clip.t > clip.b) return;
    const Ring g{&t, cx, cy, r, r / std::sqrt(2.0), clip};
    const int ia = LICE_AlphaToWeight(alpha);
    if (aa) {
        LICE_WithCoveragePainter(color, mode, ia, [&](const auto& p) {
            if (kind == Kind::Outline)
                eachRow(g, [&](long long py) { smoothOutlineRow(g, py, ia, p); });
            else
                eachRow(g, [&](long long py) { smoothFilledRow(g, py, ia, p); });
        });
        return;
    }
    LICE_WithShapePainter(color, mode, ia, true, [&](const auto& p) {
        if (kind == Kind::Outline)
            eachRow(g, [&](long long py) { outlineRow(g, py, p); });
        else
            eachRow(g, [&](long long py) { filledRow(g, py, p); });
    });
}

Clip clipOf(const LICE_ShapeTarget& t) {
    return Clip{0, 0, t.w - 1, t.h - 1};
}

bool validCircle(float cx, float cy, float r) {
    return std::isfinite(cx) && std::isfinite(cy) && std::isfinite(r) && r >= 0.0f;
}

// A prebuilt map at (x, y): each non-zero coverage v blends with weight v * ia / 256.
void drawMap(const LICE_ShapeTarget& t, long long x, long long y, const unsigned char* map,
             int size, LICE_pixel color, int mode, int ia) {
    if (ia == 0) return;
    LICE_DispatchPlain(mode, ia, [&](auto tag) {
        const LICE_OpPainter<typename decltype(tag)::type> p(color, ia);
        for (int j = 0; j < size; ++j)
            for (int i = 0; i < size; ++i) {
                const int v = map[j * size + i];
                if (v && t.inside(x + i, y + j)) p.paint(t.at(x + i, y + j), (v * ia) / 256);
            }
    });
}

// A double rounded down to a whole number, limited far inside the long long range so that sums
// and differences of a few of them stay exact.
long long wholeOf(double v) {
    const double lim = 4503599627370496.0; // 2^52
    v = std::floor(v);
    return (long long)(v < -lim ? -lim : (v > lim ? lim : v));
}

// The row of the point at angle a (0 at the top, clockwise) of the circle, rounded.
double rowAt(double cy, double r, double a) {
    return std::floor(cy - r * std::cos(a) + 0.5);
}

} // namespace

void LICE_Circle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha,
                 int mode, bool aa) {
    LICE_ShapeTarget t;
    if (!LICE_ShapeTargetOf(dest, t) || !validCircle(cx, cy, r)) return;
    for (const SmallMap& m : kSmallMaps)
        if (m.r == r) {
            drawMap(t, wholeOf((double)cx - r), wholeOf((double)cy - r), aa ? m.smooth : m.sharp,
                    m.size, color, mode, LICE_AlphaToWeight(alpha));
            return;
        }
    drawRing(t, cx, cy, r, clipOf(t), Kind::Outline, color, alpha, mode, aa);
}

void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha,
                     int mode, bool aa) {
    LICE_ShapeTarget t;
    if (!LICE_ShapeTargetOf(dest, t) || !validCircle(cx, cy, r)) return;
    drawRing(t, cx, cy, r, clipOf(t), Kind::Filled, color, alpha, mode, aa);
}

void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle,
              LICE_pixel color, float alpha, int mode, bool aa) {
    LICE_ShapeTarget t;
    if (!LICE_ShapeTargetOf(dest, t) || !validCircle(cx, cy, r)) return;
    if (!std::isfinite(minAngle) || !std::isfinite(maxAngle)) return;
    double lo = minAngle, hi = maxAngle;
    if (hi < lo) {
        const double s = lo;
        lo = hi, hi = s;
    }
    const Clip whole = clipOf(t);
    if (hi - lo >= 2.0 * kPi)
        return drawRing(t, cx, cy, r, whole, Kind::Outline, color, alpha, mode, aa);

    // Pieces within one half each: [k pi, (k + 1) pi] is the right half for even k. The column
    // of the centre belongs to the right half. Angles within a millionth of a radian of a
    // multiple of pi count as on it, so that a float pi ends the right half instead of starting
    // a sliver of the left one.
    const double turns = std::floor(lo / (2.0 * kPi));
    lo -= turns * 2.0 * kPi, hi -= turns * 2.0 * kPi;
    auto snap = [](double a) {
        const double m = std::floor(a / kPi + 0.5) * kPi;
        return std::fabs(a - m) < 1e-6 ? m : a;
    };
    lo = snap(lo), hi = snap(hi);
    const long long centre = wholeOf(cx);
    Clip pieces[3];
    bool right[3];
    int n = 0;
    for (double k = std::floor((lo + 1e-6) / kPi); n < 3 && lo <= hi; k += 1.0) {
        const double bound = (k + 1.0) * kPi, end = hi < bound ? hi : bound;
        if (end - lo < 1e-6 && (n > 0 || end < hi)) {
            lo = end;
            continue;
        }
        double top = rowAt(cy, r, lo), bottom = rowAt(cy, r, end);
        if (top > bottom) {
            const double s = top;
            top = bottom, bottom = s;
        }
        // Antialiased pixels reach one row beyond the top (even multiples of pi) and the bottom
        // (odd multiples) of the circle.
        const bool even = std::fmod(k, 2.0) == 0.0;
        if (aa && lo == k * kPi) (even ? top : bottom) += even ? -1.0 : 1.0;
        if (aa && end == bound) (even ? bottom : top) += even ? 1.0 : -1.0;
        right[n] = even;
        Clip& c = pieces[n++];
        c.t = top < 0.0 ? 0 : (top > whole.b ? whole.b + 1 : (long long)top);
        c.b = bottom > whole.b ? whole.b : (bottom < 0.0 ? -1 : (long long)bottom);
        c.l = right[n - 1] ? (centre < 0 ? 0 : centre) : 0;
        c.r = right[n - 1] ? whole.r : (centre - 1 > whole.r ? whole.r : centre - 1);
        if (end >= hi) break;
        lo = end;
    }
    // The first and last pieces may lie in the same half; rows they share are drawn once.
    if (n == 3 && right[0] == right[2] && pieces[2].b >= pieces[0].t - 1 &&
        pieces[0].b >= pieces[2].t - 1) {
        pieces[0].t = pieces[0].t < pieces[2].t ? pieces[0].t : pieces[2].t;
        pieces[0].b = pieces[0].b > pieces[2].b ? pieces[0].b : pieces[2].b;
        n = 2;
    }
    for (int i = 0; i < n; ++i)
        drawRing(t, cx, cy, r, pieces[i], Kind::Outline, color, alpha, mode, aa);
}

void LICE_RoundRect(LICE_IBitmap* dest, float x, float y, float w, float h, int cornerradius,
                    LICE_pixel color, float alpha, int mode, bool aa) {
    LICE_ShapeTarget t;
    if (!LICE_ShapeTargetOf(dest, t)) return;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(w) || !std::isfinite(h)) return;
    const long long X = wholeOf(x), Y = wholeOf(y), W = wholeOf(w), H = wholeOf(h);
    long long r = cornerradius;
    r = r < W / 2 ? r : W / 2;
    r = r < H / 2 ? r : H / 2;
    if (cornerradius < 1 || r < 2) {
        LICE_WithSpanPainter(color, alpha, mode, [&](const auto& p) {
            const long long x0 = W < 0 ? X + W : X, x1 = W < 0 ? X : X + W;
            const long long y0 = H < 0 ? Y + H : Y, y1 = H < 0 ? Y : Y + H;
            hspan(t, y0, x0, x1, p);
            if (y1 != y0) hspan(t, y1, x0, x1, p);
            if (y1 - y0 < 2) return;
            vspan(t, x0, y0 + 1, y1 - 1, p);
            if (x1 != x0) vspan(t, x1, y0 + 1, y1 - 1, p);
        });
        return;
    }
    // Straight edges between the corners' tangent points, and each corner's quarter circle
    // limited to the pixels strictly beyond them, so edges and arcs never share a pixel.
    LICE_WithSpanPainter(color, alpha, mode, [&](const auto& p) {
        hspan(t, Y, X + r, X + W - r, p);
        hspan(t, Y + H, X + r, X + W - r, p);
        vspan(t, X, Y + r, Y + H - r, p);
        vspan(t, X + W, Y + r, Y + H - r, p);
    });
    const Clip whole = clipOf(t);
    auto corner = [&](long long cx, long long cy, bool left, bool upper) {
        Clip c = whole;
        if (left)
            c.r = c.r < cx - 1 ? c.r : cx - 1;
        else
            c.l = c.l > cx + 1 ? c.l : cx + 1;
        if (upper)
            c.b = c.b < cy - 1 ? c.b : cy - 1;
        else
            c.t = c.t > cy + 1 ? c.t : cy + 1;
        drawRing(t, (double)cx, (double)cy, (double)r, c, Kind::Outline, color, alpha, mode, aa);
    };
    corner(X + r, Y + r, true, true);
    corner(X + W - r, Y + r, false, true);
    corner(X + W - r, Y + H - r, false, false);
    corner(X + r, Y + H - r, true, false);
}
