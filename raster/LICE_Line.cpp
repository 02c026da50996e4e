#include "raster/LICE_Line.h"

#include "raster/LICE_Fill.h"
#include "raster/LICE_ShapeTemplates.h"

#include <climits>
#include <cmath>

namespace {

using namespace lice_shape;

__extension__ typedef __int128 Wide;

// Which pixels along the major axis a line draws: all of them, or the dashes of a dashed line
// (k counted along the major axis from the caller's first end point).
struct AllPixels {
    bool on(long long) const { return true; }
};
struct Dashes {
    long long origin, length, period;
    bool on(long long major) const {
        long long k = major - origin;
        k = k < 0 ? -k : k;
        return k % period < length;
    }
};

// A line of neither axis nor diagonal direction in major/minor terms: the major axis is the one
// with the larger extent; the first end is the one with the smaller major coordinate.
struct Axes {
    bool xMajor;
    long long M1, N1, M2, N2;
    long long n;   // M2 - M1, above the minor extent
    int s;         // minor direction from the first end, +1 or -1
    long long err; // 16.16 minor step per major step, below 65536
    long long LM, LN;
    ptrdiff_t majorOff, minorOff; // pointer steps along +major and along +s minor

    long long x(long long M, long long N) const { return xMajor ? M : N; }
    long long y(long long M, long long N) const { return xMajor ? N : M; }
};

Axes axesOf(const LICE_ShapeTarget& t, long long x1, long long y1, long long x2, long long y2) {
    Axes a;
    const long long dx = x2 - x1, dy = y2 - y1;
    a.xMajor = (dx < 0 ? -dx : dx) > (dy < 0 ? -dy : dy);
    a.M1 = a.xMajor ? x1 : y1, a.N1 = a.xMajor ? y1 : x1;
    a.M2 = a.xMajor ? x2 : y2, a.N2 = a.xMajor ? y2 : x2;
    if (a.M2 < a.M1) {
        long long s = a.M1;
        a.M1 = a.M2, a.M2 = s;
        s = a.N1, a.N1 = a.N2, a.N2 = s;
    }
    a.n = a.M2 - a.M1;
    const long long dn = a.N2 - a.N1;
    a.s = dn < 0 ? -1 : 1;
    a.err = ((dn < 0 ? -dn : dn) << 16) / a.n;
    a.LM = a.xMajor ? t.w : t.h;
    a.LN = a.xMajor ? t.h : t.w;
    a.majorOff = a.xMajor ? 1 : t.rows.step;
    a.minorOff = (a.xMajor ? t.rows.step : 1) * a.s;
    return a;
}

// Steps 0..kmax of one pen that starts at an end (d = +1 the first end, -1 the second) and walks
// toward the middle, limited to the steps whose major coordinate lies in the bitmap.
bool penSteps(const Axes& a, int d, long long kmax, long long& k0, long long& k1) {
    const long long Ms = d > 0 ? a.M1 : a.M2;
    k0 = 0, k1 = kmax;
    if (d > 0) {
        k0 = k0 > -Ms ? k0 : -Ms;
        k1 = k1 < a.LM - 1 - Ms ? k1 : a.LM - 1 - Ms;
    } else {
        k0 = k0 > Ms - (a.LM - 1) ? k0 : Ms - (a.LM - 1);
        k1 = k1 < Ms ? k1 : Ms;
    }
    return k0 <= k1;
}

// The aliased pen: at step k the minor offset is m(k) = floor((k err + 32768) / 65536), the error
// sum that gains err per step and takes a minor step whenever it exceeds 32767. Clip tests each
// pixel's minor coordinate; without it the whole line lies inside.
template <bool Clip, class P, class Mask>
void aliasedPen(const LICE_ShapeTarget& t, const Axes& a, int d, long long kmax, const P& p,
                const Mask& mask) {
    long long k0, k1;
    if (!penSteps(a, d, kmax, k0, k1)) return;
    long long m = floorDiv(k0 * a.err + 32768, 65536);
    long long e = k0 * a.err - 65536 * m;
    long long M = (d > 0 ? a.M1 : a.M2) + d * k0, N = (d > 0 ? a.N1 : a.N2) + d * a.s * m;
    const long long nstep = d * a.s;
    const ptrdiff_t mo = d * a.majorOff, no = d * a.minorOff;
    LICE_pixel* ptr = Clip ? nullptr : t.at(a.x(M, N), a.y(M, N));
    for (long long k = k0;; ++k) {
        if (mask.on(M)) {
            if (!Clip)
                p.paint(ptr);
            else if (N >= 0 && N < a.LN)
                p.paint(t.at(a.x(M, N), a.y(M, N)));
        }
        if (k == k1) break;
        e += a.err, M += d;
        if (!Clip) ptr += mo;
        if (e > 32767) {
            e -= 65536, N += nstep;
            if (!Clip) ptr += no;
        }
    }
}

// The antialiased pen: the end point at full weight, then at step k the pixel at minor offset
// floor(k err / 65536) gets (255 - f) of the weight and the next one f, f being the next 8 bits
// of k err.
template <bool Clip, class P, class Mask>
void smoothPen(const LICE_ShapeTarget& t, const Axes& a, int d, long long kmax, const P& p, int ia,
               const Mask& mask) {
    long long k0, k1;
    if (!penSteps(a, d, kmax, k0, k1)) return;
    long long E = k0 * a.err, mm = E >> 16;
    long long M = (d > 0 ? a.M1 : a.M2) + d * k0, N = (d > 0 ? a.N1 : a.N2) + d * a.s * mm;
    const long long nstep = d * a.s;
    const ptrdiff_t mo = d * a.majorOff, no = d * a.minorOff;
    LICE_pixel* ptr = Clip ? nullptr : t.at(a.x(M, N), a.y(M, N));
    auto put = [&](LICE_pixel* q, long long NN, int w) {
        if (w == 0) return;
        if (!Clip)
            p.paint(q, w);
        else if (NN >= 0 && NN < a.LN)
            p.paint(t.at(a.x(M, NN), a.y(M, NN)), w);
    };
    for (long long k = k0;; ++k) {
        if (mask.on(M)) {
            if (k == 0) {
                put(ptr, N, ia);
            } else {
                const int f = (int)((E & 0xffff) >> 8);
                const int wm = ia == 256 ? 255 - f : ((255 - f) * ia) >> 8;
                const int wn = ia == 256 ? f : (f * ia) >> 8;
                put(ptr, N, wm);
                put(Clip ? nullptr : ptr + no, N + nstep, wn);
            }
        }
        if (k == k1) break;
        E += a.err, M += d;
        if (!Clip) ptr += mo;
        if ((E >> 16) != mm) {
            ++mm, N += nstep;
            if (!Clip) ptr += no;
        }
    }
}

// A general line as two pens meeting in the middle: the first covers major offsets 0..n/2, the
// second the rest, so no pixel is drawn twice.
template <class P, class Mask>
void generalLine(const LICE_ShapeTarget& t, const Axes& a, bool inside, bool aa, int ia, const P& p,
                 const Mask& mask) {
    const long long front = a.n / 2, back = a.n - a.n / 2 - 1;
    if (aa) {
        if (inside) {
            smoothPen<false>(t, a, 1, front, p, ia, mask);
            smoothPen<false>(t, a, -1, back, p, ia, mask);
        } else {
            smoothPen<true>(t, a, 1, front, p, ia, mask);
            smoothPen<true>(t, a, -1, back, p, ia, mask);
        }
    } else if (inside) {
        aliasedPen<false>(t, a, 1, front, p, mask);
        aliasedPen<false>(t, a, -1, back, p, mask);
    } else {
        aliasedPen<true>(t, a, 1, front, p, mask);
        aliasedPen<true>(t, a, -1, back, p, mask);
    }
}

// The steps k in 0..n of v0 + dir * k that lie in [lo, hi].
bool stepsWithin(long long v0, int dir, long long n, long long lo, long long hi, long long& k0,
                 long long& k1) {
    if (dir > 0)
        k0 = lo - v0, k1 = hi - v0;
    else
        k0 = v0 - hi, k1 = v0 - lo;
    k0 = k0 < 0 ? 0 : k0;
    k1 = k1 > n ? n : k1;
    return k0 <= k1;
}

// A diagonal from (x1, y1), n steps of one column right and one row in direction sy.
template <class P, class Mask>
void diagonal(const LICE_ShapeTarget& t, long long x1, long long y1, int sy, long long n,
              const P& p, const Mask& mask) {
    long long a0, a1, b0, b1;
    if (!stepsWithin(x1, 1, n, 0, t.w - 1, a0, a1) || !stepsWithin(y1, sy, n, 0, t.h - 1, b0, b1))
        return;
    const long long k0 = a0 > b0 ? a0 : b0, k1 = a1 < b1 ? a1 : b1;
    if (k0 > k1) return;
    LICE_pixel* ptr = t.at(x1 + k0, y1 + sy * k0);
    const ptrdiff_t off = 1 + sy * t.rows.step;
    for (long long k = k0;; ++k) {
        if (mask.on(x1 + k)) p.paint(ptr);
        if (k == k1) break;
        ptr += off;
    }
}

// The antialiased diagonal: three quarters on each diagonal pixel, one quarter on the two pixels
// beside each step (one column over on the old row, one row over on the old column).
template <class PMain, class PSide, class Mask>
void smoothDiagonal(const LICE_ShapeTarget& t, long long x1, long long y1, int sy, long long n,
                    const PMain& pm, const PSide& ps, bool sides, const Mask& mask) {
    long long a0, a1, b0, b1;
    if (!stepsWithin(x1, 1, n, -1, t.w, a0, a1) || !stepsWithin(y1, sy, n, -1, t.h, b0, b1)) return;
    const long long k0 = a0 > b0 ? a0 : b0, k1 = a1 < b1 ? a1 : b1;
    for (long long k = k0; k <= k1; ++k) {
        const long long x = x1 + k, y = y1 + sy * k;
        if (!mask.on(x)) continue;
        if (t.inside(x, y)) pm.paint(t.at(x, y));
        if (k == 0 || !sides) continue;
        if (t.inside(x, y - sy)) ps.paint(t.at(x, y - sy));
        if (t.inside(x - 1, y)) ps.paint(t.at(x - 1, y));
    }
}

template <class Mask>
void slantedLine(const LICE_ShapeTarget& t, long long x1, long long y1, long long x2, long long y2,
                 LICE_pixel color, float alpha, int mode, bool aa, const Mask& mask) {
    const long long dx = x2 - x1, dy = y2 - y1;
    const int ia = LICE_AlphaToWeight(alpha);
    // Antialiased pixels reach one pixel beyond the end points across the line.
    const long long grow = aa ? 1 : 0;
    if ((x1 < x2 ? x2 : x1) + grow < 0 || (x1 < x2 ? x1 : x2) - grow >= t.w ||
        (y1 < y2 ? y2 : y1) + grow < 0 || (y1 < y2 ? y1 : y2) - grow >= t.h)
        return;

    if (dx == dy || dx == -dy) {
        if (x2 < x1) {
            long long s = x1;
            x1 = x2, x2 = s;
            s = y1, y1 = y2, y2 = s;
        }
        const int sy = y2 > y1 ? 1 : -1;
        const long long n = x2 - x1;
        if (!aa) {
            LICE_WithShapePainter(color, mode, ia, true,
                                  [&](const auto& p) { diagonal(t, x1, y1, sy, n, p, mask); });
            return;
        }
        if ((mode & LICE_COMBINE_MASK) == LICE_COMBINE_COPY && alpha == 1.0f) {
            smoothDiagonal(t, x1, y1, sy, n,
                           LICE_WordPainter<_LICE_CombinePixelsThreeQuarterMix2FAST>(color),
                           LICE_WordPainter<_LICE_CombinePixelsQuarterMix2FAST>(color), true, mask);
            return;
        }
        LICE_WithCoveragePainter(color, mode, ia, [&](const auto& p) {
            auto onLine = p, beside = p;
            onLine.w = 3 * ia / 4, beside.w = ia / 4;
            if (onLine.w != 0)
                smoothDiagonal(t, x1, y1, sy, n, onLine, beside, beside.w != 0, mask);
        });
        return;
    }

    const Axes a = axesOf(t, x1, y1, x2, y2);
    const bool inside = t.inside(x1, y1) && t.inside(x2, y2);
    if (aa)
        LICE_WithCoveragePainter(
            color, mode, ia, [&](const auto& p) { generalLine(t, a, inside, true, ia, p, mask); });
    else
        LICE_WithShapePainter(color, mode, ia, true, [&](const auto& p) {
            generalLine(t, a, inside, false, ia, p, mask);
        });
}

// Cohen-Sutherland clipping on 64-bit coordinates to [0, w) x [0, h). A crossing of the bottom
// or right edge is computed for the last row or column itself.
bool clipSegment(long long& x1, long long& y1, long long& x2, long long& y2, long long w,
                 long long h) {
    if (w <= 0 || h <= 0) return false;
    auto code = [&](long long x, long long y) {
        return (x < 0 ? 1 : 0) | (x >= w ? 2 : 0) | (y < 0 ? 4 : 0) | (y >= h ? 8 : 0);
    };
    int c1 = code(x1, y1), c2 = code(x2, y2);
    // Each move puts an end point on an edge it violated; a handful of moves always settles.
    for (int guard = 0; guard < 16 && (c1 | c2); ++guard) {
        if (c1 & c2) return false;
        const bool first = c1 != 0;
        const int c = first ? c1 : c2;
        const Wide dx = (Wide)x2 - x1, dy = (Wide)y2 - y1;
        long long x, y;
        if (c & 8) {
            y = h - 1, x = (long long)(x1 + dx * (y - y1) / dy);
        } else if (c & 4) {
            y = 0, x = (long long)(x1 + dx * (0 - y1) / dy);
        } else if (c & 2) {
            x = w - 1, y = (long long)(y1 + dy * (x - x1) / dx);
        } else {
            x = 0, y = (long long)(y1 + dy * (0 - x1) / dx);
        }
        if (first)
            x1 = x, y1 = y, c1 = code(x, y);
        else
            x2 = x, y2 = y, c2 = code(x, y);
    }
    return (c1 | c2) == 0;
}

// Liang-Barsky clipping to [lo, hi] on each axis.
bool clipSegmentF(double& x1, double& y1, double& x2, double& y2, double xlo, double ylo,
                  double xhi, double yhi) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2) ||
        !(xlo <= xhi) || !(ylo <= yhi))
        return false;
    const double dx = x2 - x1, dy = y2 - y1;
    double t0 = 0.0, t1 = 1.0;
    const double pp[4] = {-dx, dx, -dy, dy}, qq[4] = {x1 - xlo, xhi - x1, y1 - ylo, yhi - y1};
    for (int i = 0; i < 4; ++i) {
        if (pp[i] == 0.0) {
            if (qq[i] < 0.0) return false;
            continue;
        }
        const double r = qq[i] / pp[i];
        if (pp[i] < 0.0) {
            if (r > t1) return false;
            if (r > t0) t0 = r;
        } else {
            if (r < t0) return false;
            if (r < t1) t1 = r;
        }
    }
    const double nx1 = x1 + t0 * dx, ny1 = y1 + t0 * dy, nx2 = x1 + t1 * dx, ny2 = y1 + t1 * dy;
    auto limit = [](double v, double lo, double hi) { return v < lo ? lo : (v > hi ? hi : v); };
    x1 = limit(nx1, xlo, xhi), y1 = limit(ny1, ylo, yhi);
    x2 = limit(nx2, xlo, xhi), y2 = limit(ny2, ylo, yhi);
    return true;
}

} // namespace

void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_pixel color, float alpha,
               int mode, bool aa) {
    LICE_ShapeTarget t;
    if (!LICE_ShapeTargetOf(dest, t)) return;
    if (x1 != x2 && y1 != y2) {
        slantedLine(t, x1, y1, x2, y2, color, alpha, mode, aa, AllPixels());
        return;
    }
    LICE_WithSpanPainter(color, alpha, mode, [&](const auto& p) {
        if (y1 == y2)
            hspan(t, y1, x1, x2, p);
        else
            vspan(t, x1, y1, y2, p);
    });
}

bool ClipLine(int* x1, int* y1, int* x2, int* y2, int w, int h) {
    long long a = *x1, b = *y1, c = *x2, d = *y2;
    if (!clipSegment(a, b, c, d, w, h)) return false;
    *x1 = (int)a, *y1 = (int)b, *x2 = (int)c, *y2 = (int)d;
    return true;
}

bool LICE_ClipLine(int* x1, int* y1, int* x2, int* y2, int xlo, int ylo, int xhi, int yhi) {
    long long a = (long long)*x1 - xlo, b = (long long)*y1 - ylo, c = (long long)*x2 - xlo,
              d = (long long)*y2 - ylo;
    if (!clipSegment(a, b, c, d, (long long)xhi - xlo, (long long)yhi - ylo)) return false;
    *x1 = (int)(a + xlo), *y1 = (int)(b + ylo), *x2 = (int)(c + xlo), *y2 = (int)(d + ylo);
    return true;
}

void LICE_FLine(LICE_IBitmap* dest, float x1, float y1, float x2, float y2, LICE_pixel color,
                float alpha, int mode, bool aa) {
    LICE_ShapeTarget t;
    if (!LICE_ShapeTargetOf(dest, t)) return;
    double a = x1, b = y1, c = x2, d = y2;
    // Antialiased pixels reach one pixel past the clip on the minor axis; keep a margin.
    if (!clipSegmentF(a, b, c, d, -1.0, -1.0, t.w, t.h)) return;
    const int ia = LICE_AlphaToWeight(alpha);
    LICE_WithCoveragePainter(color, mode, ia,
                             [&](const auto& p) { floatLine(t, a, b, c, d, aa, ia, p); });
}

bool ClipFLine(float* x1, float* y1, float* x2, float* y2, int w, int h) {
    return LICE_ClipFLine(x1, y1, x2, y2, 0.0f, 0.0f, (float)w, (float)h);
}

bool LICE_ClipFLine(float* x1, float* y1, float* x2, float* y2, float xlo, float ylo, float xhi,
                    float yhi) {
    double a = *x1, b = *y1, c = *x2, d = *y2;
    if (!clipSegmentF(a, b, c, d, xlo, ylo, (double)xhi - 1.0, (double)yhi - 1.0)) return false;
    *x1 = (float)a, *y1 = (float)b, *x2 = (float)c, *y2 = (float)d;
    return true;
}

void LICE_DashedLine(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int pxon, int pxoff,
                     LICE_pixel color, float alpha, int mode, bool aa) {
    if (pxon <= 0) return;
    if (pxoff <= 0) return LICE_Line(dest, x1, y1, x2, y2, color, alpha, mode, aa);
    LICE_ShapeTarget t;
    if (!LICE_ShapeTargetOf(dest, t)) return;
    const long long period = (long long)pxon + pxoff;
    if (x1 != x2 && y1 != y2) {
        const long long dx = (long long)x2 - x1, dy = (long long)y2 - y1;
        const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
        slantedLine(t, x1, y1, x2, y2, color, alpha, mode, aa,
                    Dashes{xMajor ? x1 : y1, pxon, period});
        return;
    }
    const bool horizontal = y1 == y2;
    const long long from = horizontal ? x1 : y1, to = horizontal ? x2 : y2;
    const long long n = from < to ? to - from : from - to, dir = from < to ? 1 : -1;
    // Only the dashes that can meet the bitmap are visited.
    const long long extent = horizontal ? t.w : t.h;
    LICE_WithSpanPainter(color, alpha, mode, [&](const auto& p) {
        const long long lo = dir > 0 ? -from : from - (extent - 1);
        long long first = lo > 0 ? lo - lo % period : 0;
        for (long long k = first; k <= n; k += period) {
            const long long a = from + dir * k;
            const long long b = from + dir * (k + pxon - 1 < n ? k + pxon - 1 : n);
            if ((dir > 0 && a >= extent) || (dir < 0 && a < 0)) break;
            if (horizontal)
                hspan(t, y1, a, b, p);
            else
                vspan(t, x1, a, b, p);
        }
    });
}

void LICE_DrawRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha,
                   int mode) {
    LICE_ShapeTarget t;
    if (!LICE_ShapeTargetOf(dest, t)) return;
    long long x0 = x, x1 = (long long)x + w, y0 = y, y1 = (long long)y + h;
    if (x1 < x0) {
        const long long s = x0;
        x0 = x1, x1 = s;
    }
    if (y1 < y0) {
        const long long s = y0;
        y0 = y1, y1 = s;
    }
    LICE_WithSpanPainter(color, alpha, mode, [&](const auto& p) {
        hspan(t, y0, x0, x1, p);
        if (y1 != y0) hspan(t, y1, x0, x1, p);
        if (y1 - y0 < 2) return;
        vspan(t, x0, y0 + 1, y1 - 1, p);
        if (x1 != x0) vspan(t, x1, y0 + 1, y1 - 1, p);
    });
}

void LICE_BorderedRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel bgcolor,
                       LICE_pixel fgcolor, float alpha, int mode) {
    if (w > 1 && h > 1 && x < INT_MAX && y < INT_MAX)
        LICE_FillRect(dest, x + 1, y + 1, w - 1, h - 1, bgcolor, alpha, mode);
    LICE_DrawRect(dest, x, y, w, h, fgcolor, alpha, mode);
}
