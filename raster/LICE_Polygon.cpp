#include "raster/LICE_Polygon.h"

#include "raster/LICE_ShapeTemplates.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

using namespace lice_shape;

__extension__ typedef __int128 Wide;

// The painter of a fill: the word-wide mixes for plain copies at their weights, else the
// operator with the colour's channels.
template <class F>
void withFillPainter(LICE_pixel color, float alpha, int mode, F&& f) {
    const int ia = LICE_AlphaToWeight(alpha);
    if (ia == 0) return;
    if ((mode & LICE_COMBINE_MASK) == LICE_COMBINE_COPY) {
        switch (ia) {
        case 256: return f(LICE_WordPainter<_LICE_CombinePixelsClobberFAST>(color));
        case 192: return f(LICE_WordPainter<_LICE_CombinePixelsThreeQuarterMix2FAST>(color));
        case 128: return f(LICE_WordPainter<_LICE_CombinePixelsHalfMix2FAST>(color));
        case 64: return f(LICE_WordPainter<_LICE_CombinePixelsQuarterMix2FAST>(color));
        default: break;
        }
    }
    LICE_DispatchPlain(
        mode, ia, [&](auto tag) { f(LICE_OpPainter<typename decltype(tag)::type>(color, ia)); });
}

// The column of an edge row by row: x = xa + floor(dx (y - ya) / dy) with quotient and
// remainder carried exactly from one row to the next.
struct Edge {
    long long x = 0, q = 0, r = 0, rem = 0, dy = 1;

    // The edge from (xa, ya) to (xb, yb), yb >= ya, at row y.
    void start(long long xa, long long ya, long long xb, long long yb, long long y) {
        dy = yb - ya;
        if (dy <= 0) {
            x = xa, q = r = rem = 0, dy = 1;
            return;
        }
        const long long dx = xb - xa;
        q = floorDiv(dx, dy), r = dx - q * dy;
        const Wide num = (Wide)dx * (y - ya);
        Wide qq = num / dy, rr = num % dy;
        if (rr < 0) qq -= 1, rr += dy;
        x = xa + (long long)qq, rem = (long long)rr;
    }
    void step() {
        x += q, rem += r;
        if (rem >= dy) rem -= dy, ++x;
    }
};

template <class P>
void spanRow(const LICE_ShapeTarget& t, long long y, long long xl, long long xr, const P& p) {
    if (xl > xr) {
        const long long s = xl;
        xl = xr, xr = s;
    }
    xl = xl < 0 ? 0 : xl;
    xr = xr >= t.w ? t.w - 1 : xr;
    if (xl <= xr) p.span(t.at(xl, y), (int)(xr - xl + 1));
}

struct Point {
    long long x, y;
};

// The chain's next vertex after sorted index i: among the later points on lower rows, the one
// with the smallest (left) or largest (right) slope dx / dy, the farthest on ties. -1 if none.
int nextVertex(const Point* pts, int n, int i, bool left) {
    int best = -1;
    for (int j = i + 1; j < n; ++j) {
        const long long dy = pts[j].y - pts[i].y;
        if (dy <= 0) continue;
        if (best < 0) {
            best = j;
            continue;
        }
        const long long bdy = pts[best].y - pts[i].y;
        const Wide a = (Wide)(pts[j].x - pts[i].x) * bdy, b = (Wide)(pts[best].x - pts[i].x) * dy;
        if ((left ? a < b : a > b) || (a == b && dy > bdy)) best = j;
    }
    return best;
}

// One side of the polygon: its current segment and the edge stepping down it.
struct Chain {
    const Point* pts;
    int n, cur, next;
    bool left;
    Edge edge;

    bool begin(int first) {
        cur = first, next = nextVertex(pts, n, first, left);
        return next >= 0;
    }
    // Moves to the segment holding row y and the edge to that row; false when the chain ends
    // above it.
    bool seek(long long y, bool fresh) {
        bool moved = fresh;
        while (y > pts[next].y) {
            const int after = nextVertex(pts, n, next, left);
            if (after < 0) return false;
            cur = next, next = after, moved = true;
        }
        if (moved)
            edge.start(pts[cur].x, pts[cur].y, pts[next].x, pts[next].y, y);
        else
            edge.step();
        return true;
    }
};

template <class P>
void fillPolygon(const LICE_ShapeTarget& t, const Point* pts, int n, const P& p) {
    const long long top = pts[0].y, bottom = pts[n - 1].y;
    int rightFirst = 0;
    while (rightFirst + 1 < n && pts[rightFirst + 1].y == top)
        ++rightFirst;
    Chain l{pts, n, 0, 0, true, Edge()}, r{pts, n, 0, 0, false, Edge()};
    if (!l.begin(0) || !r.begin(rightFirst)) return;
    const long long y0 = top < 0 ? 0 : top, y1 = bottom >= t.h ? t.h - 1 : bottom;
    for (long long y = y0; y <= y1; ++y) {
        if (!l.seek(y, y == y0) || !r.seek(y, y == y0)) return;
        spanRow(t, y, l.edge.x, r.edge.x, p);
    }
}

} // namespace

void LICE_FillTrapezoid(LICE_IBitmap* dest, int x1a, int x1b, int y1, int x2a, int x2b, int y2,
                        LICE_pixel color, float alpha, int mode) {
    LICE_ShapeTarget t;
    if (!LICE_ShapeTargetOf(dest, t)) return;
    if (y2 < y1) {
        std::swap(y1, y2);
        std::swap(x1a, x2a);
        std::swap(x1b, x2b);
    }
    if (x1b < x1a) std::swap(x1a, x1b);
    if (x2b < x2a) std::swap(x2a, x2b);
    if (y2 < 0 || y1 >= t.h || std::max(x1b, x2b) < 0 || std::min(x1a, x2a) >= t.w) return;
    const long long ys = y1 < 0 ? 0 : y1, ye = y2 >= t.h ? t.h - 1 : y2;
    withFillPainter(color, alpha, mode, [&](const auto& p) {
        Edge l, r;
        l.start(x1a, y1, x2a, y2, ys);
        r.start(x1b, y1, x2b, y2, ys);
        for (long long y = ys;; ++y) {
            spanRow(t, y, l.x, r.x, p);
            if (y == ye) break;
            l.step(), r.step();
        }
    });
}

void LICE_FillConvexPolygon(LICE_IBitmap* dest, const int* x, const int* y, int npoints,
                            LICE_pixel color, float alpha, int mode) {
    LICE_ShapeTarget t;
    if (!x || !y || npoints < 3 || !LICE_ShapeTargetOf(dest, t)) return;
    Point local[512];
    std::unique_ptr<Point[]> heap;
    Point* pts = local;
    if (npoints > 512) {
        heap.reset(new (std::nothrow) Point[npoints]);
        if (!heap) return;
        pts = heap.get();
    }
    for (int i = 0; i < npoints; ++i)
        pts[i] = Point{x[i], y[i]};
    std::sort(pts, pts + npoints, [](const Point& a, const Point& b) {
        return a.y < b.y || (a.y == b.y && a.x < b.x);
    });
    const long long top = pts[0].y, bottom = pts[npoints - 1].y;
    if (bottom < 0 || top >= t.h) return;
    withFillPainter(color, alpha, mode, [&](const auto& p) {
        if (top == bottom)
            spanRow(t, top, pts[0].x, pts[npoints - 1].x, p);
        else
            fillPolygon(t, pts, npoints, p);
    });
}

void LICE_FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3,
                       LICE_pixel color, float alpha, int mode) {
    const int x[3] = {x1, x2, x3}, y[3] = {y1, y2, y3};
    LICE_FillConvexPolygon(dest, x, y, 3, color, alpha, mode);
}
