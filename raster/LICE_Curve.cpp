#include "raster/LICE_Curve.h"

#include "raster/LICE_ShapeTemplates.h"

#include <cmath>

namespace {

using namespace lice_shape;

const int kMaxSegments = 1024;

// A cubic in power form per axis; a quadratic is the cubic with the same curve.
struct Cubic {
    double x[4], y[4];
    double xAt(double t) const { return at(x, t); }
    double yAt(double t) const { return at(y, t); }
    static double at(const double* p, double t) {
        const double u = 1.0 - t;
        return u * u * u * p[0] + 3 * u * u * t * p[1] + 3 * u * t * t * p[2] + t * t * t * p[3];
    }
    bool finite() const {
        for (int i = 0; i < 4; ++i)
            if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return false;
        return true;
    }
};

Cubic fromQuadratic(double x0, double y0, double x1, double y1, double x2, double y2) {
    return Cubic{{x0, x0 + 2.0 / 3.0 * (x1 - x0), x2 + 2.0 / 3.0 * (x1 - x2), x2},
                 {y0, y0 + 2.0 / 3.0 * (y1 - y0), y2 + 2.0 / 3.0 * (y1 - y2), y2}};
}

// Segments enough that a chain of straight pieces strays at most tol from the curve: the
// deviation is below 3/4 of the largest second difference of the control points / n^2.
int segmentsFor(const Cubic& c, double tol) {
    if (!(tol > 0.0) || !std::isfinite(tol)) tol = 0.5;
    double d = 0.0;
    for (int i = 0; i < 2; ++i) {
        const double ddx = c.x[i] - 2 * c.x[i + 1] + c.x[i + 2];
        const double ddy = c.y[i] - 2 * c.y[i + 1] + c.y[i + 2];
        d = std::fmax(d, std::sqrt(ddx * ddx + ddy * ddy));
    }
    const double n = std::ceil(std::sqrt(0.75 * d / tol));
    return n < 1.0 ? 1 : (n > kMaxSegments ? kMaxSegments : (int)n);
}

void drawCurve(LICE_IBitmap* dest, const Cubic& c, LICE_pixel color, float alpha, int mode, bool aa,
               double tol) {
    LICE_ShapeTarget t;
    if (!LICE_ShapeTargetOf(dest, t) || !c.finite()) return;
    const int ia = LICE_AlphaToWeight(alpha);
    const int n = segmentsFor(c, tol);
    LICE_WithCoveragePainter(color, mode, ia, [&](const auto& p) {
        double px = c.x[0], py = c.y[0];
        for (int i = 1; i <= n; ++i) {
            const double s = (double)i / n, qx = c.xAt(s), qy = c.yAt(s);
            floatLine(t, px, py, qx, qy, aa, ia, p, i > 1);
            px = qx, py = qy;
        }
    });
}

// Fills between each piece of the chain and a fixed line: across a column range (down to a row)
// or a row range (across to a column). Each piece covers the half-open range from its first end
// so that pieces meeting at a column or row fill it once.
void fillCurve(LICE_IBitmap* dest, const Cubic& c, long long fill, bool down, LICE_pixel color,
               float alpha, int mode, double tol) {
    LICE_ShapeTarget t;
    if (!LICE_ShapeTargetOf(dest, t) || !c.finite()) return;
    const int ia = LICE_AlphaToWeight(alpha);
    const int n = segmentsFor(c, tol);
    LICE_WithShapePainter(color, mode, ia, false, [&](const auto& p) {
        double pa = down ? c.x[0] : c.y[0], pb = down ? c.y[0] : c.x[0];
        const double limit = down ? t.w : t.h;
        for (int i = 1; i <= n; ++i) {
            const double s = (double)i / n;
            const double qa = down ? c.xAt(s) : c.yAt(s), qb = down ? c.yAt(s) : c.xAt(s);
            const bool last = i == n;
            // Whole positions from the piece's first end up to (not including) its last, the
            // last piece including both.
            double k0, k1;
            if (qa >= pa)
                k0 = std::ceil(pa), k1 = last ? std::floor(qa) : std::ceil(qa) - 1.0;
            else
                k0 = last ? std::ceil(qa) : std::floor(qa) + 1.0, k1 = std::floor(pa);
            k0 = k0 < 0.0 ? 0.0 : k0;
            k1 = k1 > limit - 1 ? limit - 1 : k1;
            for (double k = k0; k <= k1; k += 1.0) {
                const double b = qa != pa ? pb + (k - pa) * (qb - pb) / (qa - pa) : qb;
                const double e = std::floor(b + 0.5);
                const long long edge = (long long)(e < -4e18 ? -4e18 : (e > 4e18 ? 4e18 : e));
                if (down)
                    vspan(t, (long long)k, edge, fill, p);
                else
                    hspan(t, (long long)k, edge, fill, p);
            }
            pa = qa, pb = qb;
        }
    });
}

// The parameter where a monotone coordinate p(t) reaches v, by bisection.
bool solveMonotone(const double* p, double v, double& t) {
    const bool rising = p[3] >= p[0];
    const double lo = rising ? p[0] : p[3], hi = rising ? p[3] : p[0];
    if (!(v >= lo && v <= hi)) return false;
    double a = 0.0, b = 1.0;
    for (int i = 0; i < 60; ++i) {
        const double m = 0.5 * (a + b);
        if ((Cubic::at(p, m) < v) == rising)
            a = m;
        else
            b = m;
    }
    t = 0.5 * (a + b);
    return true;
}

} // namespace

void LICE_DrawQBezier(LICE_IBitmap* dest, double xstart, double ystart, double xctl, double yctl,
                      double xend, double yend, LICE_pixel color, float alpha, int mode, bool aa,
                      double tol) {
    drawCurve(dest, fromQuadratic(xstart, ystart, xctl, yctl, xend, yend), color, alpha, mode, aa,
              tol);
}

void LICE_DrawCBezier(LICE_IBitmap* dest, double xstart, double ystart, double xctl1, double yctl1,
                      double xctl2, double yctl2, double xend, double yend, LICE_pixel color,
                      float alpha, int mode, bool aa, double tol) {
    drawCurve(dest, Cubic{{xstart, xctl1, xctl2, xend}, {ystart, yctl1, yctl2, yend}}, color, alpha,
              mode, aa, tol);
}

void LICE_FillCBezier(LICE_IBitmap* dest, double xstart, double ystart, double xctl1, double yctl1,
                      double xctl2, double yctl2, double xend, double yend, int yfill,
                      LICE_pixel color, float alpha, int mode, double tol) {
    fillCurve(dest, Cubic{{xstart, xctl1, xctl2, xend}, {ystart, yctl1, yctl2, yend}}, yfill, true,
              color, alpha, mode, tol);
}

void LICE_FillCBezierX(LICE_IBitmap* dest, double xstart, double ystart, double xctl1, double yctl1,
                       double xctl2, double yctl2, double xend, double yend, int xfill,
                       LICE_pixel color, float alpha, int mode, double tol) {
    fillCurve(dest, Cubic{{xstart, xctl1, xctl2, xend}, {ystart, yctl1, yctl2, yend}}, xfill, false,
              color, alpha, mode, tol);
}

bool LICE_CBezier_GetY(double x1, double x2, double x3, double x4, double y1, double y2, double y3,
                       double y4, double x, double* y) {
    const Cubic c{{x1, x2, x3, x4}, {y1, y2, y3, y4}};
    double t;
    if (!y || !c.finite() || !std::isfinite(x) || !solveMonotone(c.x, x, t)) return false;
    *y = c.yAt(t);
    return true;
}

bool LICE_Bezier_GetY(double x1, double x2, double x3, double y1, double y2, double y3, double x,
                      double* y) {
    const Cubic c = fromQuadratic(x1, y1, x2, y2, x3, y3);
    double t;
    if (!y || !c.finite() || !std::isfinite(x) || !solveMonotone(c.x, x, t)) return false;
    *y = c.yAt(t);
    return true;
}
