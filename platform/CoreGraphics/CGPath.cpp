#include "CGPath_p.h"

#include <math.h>
#include <pixman.h>
#include <stdlib.h>

bool CGFlatPath::MoveTo(CGPoint p) {
    // A move after a lone move replaces it, so empty subpaths do not pile up.
    if (mSubpaths.Count() > 0 && mSubpaths[mSubpaths.Count() - 1].count == 1 &&
        !mSubpaths[mSubpaths.Count() - 1].closed) {
        mPoints[mPoints.Count() - 1] = p;
        return true;
    }
    CGFlatSubpath subpath = {mPoints.Count(), 1, false};
    if (!mPoints.Add(p)) return false;
    if (mSubpaths.Add(subpath)) return true;
    mPoints.RemoveLast();
    return false;
}

bool CGFlatPath::LineTo(CGPoint p) {
    if (mSubpaths.Count() == 0) return MoveTo(p);
    CGFlatSubpath& last = mSubpaths[mSubpaths.Count() - 1];
    if (last.closed) {
        // Drawing on after a close starts a new subpath at the closed one's start.
        if (!MoveTo(mPoints[last.start])) return false;
        return LineTo(p);
    }
    if (!mPoints.Add(p)) return false;
    mSubpaths[mSubpaths.Count() - 1].count++;
    return true;
}

bool CGFlatPath::Close() {
    if (mSubpaths.Count() == 0) return true;
    mSubpaths[mSubpaths.Count() - 1].closed = true;
    return true;
}

void CGFlatPath::Clear() {
    mPoints.Clear();
    mSubpaths.Clear();
}

bool CGFlatPath::Bounds(CGFloat* x0, CGFloat* y0, CGFloat* x1, CGFloat* y1) const {
    if (mPoints.Count() == 0) return false;
    *x0 = *x1 = mPoints[0].x;
    *y0 = *y1 = mPoints[0].y;
    for (int i = 1; i < mPoints.Count(); ++i) {
        *x0 = fmin(*x0, mPoints[i].x);
        *x1 = fmax(*x1, mPoints[i].x);
        *y0 = fmin(*y0, mPoints[i].y);
        *y1 = fmax(*y1, mPoints[i].y);
    }
    return true;
}

namespace {

// Adds a closed polygon wound so that its signed area is positive.
bool AddPositivePolygon(CGFlatPath* outline, const CGPoint* points, int n) {
    double area = 0;
    for (int i = 0; i < n; ++i) {
        const CGPoint& a = points[i];
        const CGPoint& b = points[(i + 1) % n];
        area += a.x * b.y - b.x * a.y;
    }
    if (fabs(area) < 1e-12) return true;
    for (int k = 0; k < n; ++k) {
        const CGPoint& p = area > 0 ? points[k] : points[n - 1 - k];
        if (!(k == 0 ? outline->MoveTo(p) : outline->LineTo(p))) return false;
    }
    return outline->Close();
}

CGPoint Offset(CGPoint p, CGPoint normal, CGFloat amount) {
    return CGPointMake(p.x + normal.x * amount, p.y + normal.y * amount);
}

// The unit normal of a segment (left of its direction), or false for a zero-length one.
bool Normal(CGPoint a, CGPoint b, CGPoint* normal) {
    CGFloat dx = b.x - a.x, dy = b.y - a.y;
    CGFloat length = sqrt(dx * dx + dy * dy);
    if (length < 1e-9) return false;
    *normal = CGPointMake(-dy / length, dx / length);
    return true;
}

bool AddJoin(CGFlatPath* outline, CGPoint p, CGPoint n1, CGPoint n2, CGFloat half) {
    CGFloat cross = n1.x * n2.y - n1.y * n2.x;
    if (fabs(cross) < 1e-9) return true;
    // The outer side is the one the turn opens.
    CGFloat side = cross > 0 ? -1 : 1;
    CGPoint a = Offset(p, n1, side * half), b = Offset(p, n2, side * half);
    CGFloat cosTheta = n1.x * n2.x + n1.y * n2.y;
    CGFloat miterRatio = sqrt(2 / fmax(1 + cosTheta, 1e-12));
    if (miterRatio <= 10) {
        CGPoint bisector = CGPointMake(n1.x + n2.x, n1.y + n2.y);
        CGFloat length = sqrt(bisector.x * bisector.x + bisector.y * bisector.y);
        CGPoint tip = Offset(p, CGPointMake(bisector.x / length, bisector.y / length),
                             side * half * miterRatio);
        CGPoint quad[4] = {p, a, tip, b};
        return AddPositivePolygon(outline, quad, 4);
    }
    CGPoint triangle[3] = {p, a, b};
    return AddPositivePolygon(outline, triangle, 3);
}

} // namespace

bool CGStrokeOutline(const CGFlatPath& path, CGFloat width, CGFlatPath* outline) {
    CGFloat half = width / 2;
    for (int s = 0; s < path.SubpathCount(); ++s) {
        const CGFlatSubpath& sub = path.Subpath(s);
        int segments = sub.closed ? sub.count : sub.count - 1;
        bool havePrevious = false;
        CGPoint previousNormal = {0, 0}, firstNormal = {0, 0};
        bool haveFirst = false;
        for (int i = 0; i < segments; ++i) {
            CGPoint a = path.Point(sub.start + i);
            CGPoint b = path.Point(sub.start + (i + 1) % sub.count);
            CGPoint n;
            if (!Normal(a, b, &n)) continue;
            CGPoint quad[4] = {Offset(a, n, half), Offset(b, n, half), Offset(b, n, -half),
                               Offset(a, n, -half)};
            if (!AddPositivePolygon(outline, quad, 4)) return false;
            if (havePrevious && !AddJoin(outline, a, previousNormal, n, half)) return false;
            if (!haveFirst) firstNormal = n;
            haveFirst = true;
            havePrevious = true;
            previousNormal = n;
        }
        if (sub.closed && haveFirst &&
            !AddJoin(outline, path.Point(sub.start), previousNormal, firstNormal, half))
            return false;
    }
    return true;
}

namespace {

struct Edge {
    double x0, y0, x1, y1; // y0 < y1
    int winding;           // +1 going down, -1 going up
    double XAt(double y) const { return x0 + (x1 - x0) * (y - y0) / (y1 - y0); }
};

int CompareEdgeTops(const void* a, const void* b) {
    double d = static_cast<const Edge*>(a)->y0 - static_cast<const Edge*>(b)->y0;
    return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

int CompareDoubles(const void* a, const void* b) {
    double d = *static_cast<const double*>(a) - *static_cast<const double*>(b);
    return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

pixman_line_fixed_t LineOf(const Edge& e) {
    pixman_line_fixed_t line;
    line.p1.x = pixman_double_to_fixed(e.x0);
    line.p1.y = pixman_double_to_fixed(e.y0);
    line.p2.x = pixman_double_to_fixed(e.x1);
    line.p2.y = pixman_double_to_fixed(e.y1);
    return line;
}

// Scan-converts the interior into trapezoids, band by band between the y values where edges
// start or end; a band whose edges cross is halved until they no longer do.
class Sweep {
public:
    Sweep(const CGArray<Edge>& edges, bool evenOdd, pixman_image_t* mask)
        : mEdges(edges), mEvenOdd(evenOdd), mMask(mask) {}

    bool Band(const CGArray<int>& active, double ya, double yb, int depth) {
        CGArray<Crossing> row;
        if (!row.Reserve(active.Count())) return false;
        double ym = (ya + yb) / 2;
        for (int i = 0; i < active.Count(); ++i) {
            const Edge& e = mEdges[active[i]];
            Crossing c = {e.XAt(ya), e.XAt(yb), e.XAt(ym), active[i]};
            row.Add(c);
        }
        qsort(row.Items(), static_cast<size_t>(row.Count()), sizeof(Crossing), CompareMiddles);
        bool ordered = true;
        for (int i = 1; i < row.Count() && ordered; ++i)
            ordered =
                row[i - 1].top <= row[i].top + 1e-9 && row[i - 1].bottom <= row[i].bottom + 1e-9;
        if (!ordered && depth < 24 && yb - ya > 1.0 / 256) {
            return Band(active, ya, ym, depth + 1) && Band(active, ym, yb, depth + 1);
        }
        int winding = 0;
        int left = -1;
        for (int i = 0; i < row.Count(); ++i) {
            bool wasInside = Inside(winding);
            winding += mEdges[row[i].edge].winding;
            bool inside = Inside(winding);
            if (!wasInside && inside) left = row[i].edge;
            if (wasInside && !inside) Emit(ya, yb, mEdges[left], mEdges[row[i].edge]);
        }
        return true;
    }

private:
    struct Crossing {
        double top, bottom, middle;
        int edge;
    };

    static int CompareMiddles(const void* a, const void* b) {
        double d =
            static_cast<const Crossing*>(a)->middle - static_cast<const Crossing*>(b)->middle;
        return d < 0 ? -1 : (d > 0 ? 1 : 0);
    }

    bool Inside(int winding) const { return mEvenOdd ? (winding & 1) != 0 : winding != 0; }

    void Emit(double ya, double yb, const Edge& left, const Edge& right) {
        pixman_trapezoid_t trap;
        trap.top = pixman_double_to_fixed(ya);
        trap.bottom = pixman_double_to_fixed(yb);
        if (trap.bottom <= trap.top) return;
        trap.left = LineOf(left);
        trap.right = LineOf(right);
        pixman_rasterize_trapezoid(mMask, &trap, 0, 0);
    }

    const CGArray<Edge>& mEdges;
    bool mEvenOdd;
    pixman_image_t* mMask;
};

bool AddEdge(CGArray<Edge>* edges, CGPoint a, CGPoint b, int originX, int originY) {
    if (a.y == b.y) return true;
    Edge e;
    e.winding = a.y < b.y ? 1 : -1;
    if (a.y > b.y) {
        CGPoint t = a;
        a = b;
        b = t;
    }
    e.x0 = a.x - originX;
    e.y0 = a.y - originY;
    e.x1 = b.x - originX;
    e.y1 = b.y - originY;
    return edges->Add(e);
}

} // namespace

bool CGRasterizePath(const CGFlatPath& path, bool evenOdd, pixman_image_t* mask, int originX,
                     int originY) {
    CGArray<Edge> edges;
    for (int s = 0; s < path.SubpathCount(); ++s) {
        const CGFlatSubpath& sub = path.Subpath(s);
        for (int i = 0; i < sub.count; ++i) {
            CGPoint a = path.Point(sub.start + i);
            CGPoint b = path.Point(sub.start + (i + 1) % sub.count);
            if (!AddEdge(&edges, a, b, originX, originY)) return false;
        }
    }
    if (edges.Count() == 0) return true;
    qsort(edges.Items(), static_cast<size_t>(edges.Count()), sizeof(Edge), CompareEdgeTops);

    CGArray<double> ys;
    if (!ys.Reserve(edges.Count() * 2)) return false;
    for (int i = 0; i < edges.Count(); ++i) {
        ys.Add(edges[i].y0);
        ys.Add(edges[i].y1);
    }
    qsort(ys.Items(), static_cast<size_t>(ys.Count()), sizeof(double), CompareDoubles);

    Sweep sweep(edges, evenOdd, mask);
    CGArray<int> active;
    int next = 0;
    for (int k = 0; k + 1 < ys.Count(); ++k) {
        double ya = ys[k], yb = ys[k + 1];
        if (yb <= ya) continue;
        // Drop the edges that ended, take in those that started.
        int kept = 0;
        for (int i = 0; i < active.Count(); ++i)
            if (edges[active[i]].y1 > ya) active[kept++] = active[i];
        while (active.Count() > kept)
            active.RemoveLast();
        while (next < edges.Count() && edges[next].y0 <= ya) {
            if (edges[next].y1 > ya && !active.Add(next)) return false;
            ++next;
        }
        if (!sweep.Band(active, ya, yb, 0)) return false;
    }
    return true;
}
