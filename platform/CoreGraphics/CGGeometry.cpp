#include <CoreGraphics/CGAffineTransform.h>
#include <CoreGraphics/CGGeometry.h>

#include <float.h>
#include <math.h>

const CGRect CGRectZero = {{0, 0}, {0, 0}};
const CGRect CGRectNull = {{INFINITY, INFINITY}, {0, 0}};
const CGAffineTransform CGAffineTransformIdentity = {1, 0, 0, 1, 0, 0};

CGFloat CGRectGetMinX(CGRect r) {
    return r.size.width < 0 ? r.origin.x + r.size.width : r.origin.x;
}
CGFloat CGRectGetMaxX(CGRect r) {
    return r.size.width < 0 ? r.origin.x : r.origin.x + r.size.width;
}
CGFloat CGRectGetMinY(CGRect r) {
    return r.size.height < 0 ? r.origin.y + r.size.height : r.origin.y;
}
CGFloat CGRectGetMaxY(CGRect r) {
    return r.size.height < 0 ? r.origin.y : r.origin.y + r.size.height;
}
CGFloat CGRectGetWidth(CGRect r) {
    return fabs(r.size.width);
}
CGFloat CGRectGetHeight(CGRect r) {
    return fabs(r.size.height);
}
bool CGRectIsNull(CGRect r) {
    return isinf(r.origin.x) || isinf(r.origin.y);
}
bool CGRectIsEmpty(CGRect r) {
    return CGRectIsNull(r) || r.size.width == 0 || r.size.height == 0;
}

CGRect CGRectIntersection(CGRect r1, CGRect r2) {
    if (CGRectIsNull(r1) || CGRectIsNull(r2)) return CGRectNull;
    CGFloat x0 = fmax(CGRectGetMinX(r1), CGRectGetMinX(r2));
    CGFloat y0 = fmax(CGRectGetMinY(r1), CGRectGetMinY(r2));
    CGFloat x1 = fmin(CGRectGetMaxX(r1), CGRectGetMaxX(r2));
    CGFloat y1 = fmin(CGRectGetMaxY(r1), CGRectGetMaxY(r2));
    if (x1 < x0 || y1 < y0) return CGRectNull;
    return CGRectMake(x0, y0, x1 - x0, y1 - y0);
}

CGAffineTransform CGAffineTransformMake(CGFloat a, CGFloat b, CGFloat c, CGFloat d, CGFloat tx,
                                        CGFloat ty) {
    CGAffineTransform t = {a, b, c, d, tx, ty};
    return t;
}

CGAffineTransform CGAffineTransformMakeTranslation(CGFloat tx, CGFloat ty) {
    return CGAffineTransformMake(1, 0, 0, 1, tx, ty);
}

CGAffineTransform CGAffineTransformMakeScale(CGFloat sx, CGFloat sy) {
    return CGAffineTransformMake(sx, 0, 0, sy, 0, 0);
}

CGAffineTransform CGAffineTransformConcat(CGAffineTransform t1, CGAffineTransform t2) {
    return CGAffineTransformMake(t1.a * t2.a + t1.b * t2.c, t1.a * t2.b + t1.b * t2.d,
                                 t1.c * t2.a + t1.d * t2.c, t1.c * t2.b + t1.d * t2.d,
                                 t1.tx * t2.a + t1.ty * t2.c + t2.tx,
                                 t1.tx * t2.b + t1.ty * t2.d + t2.ty);
}

CGAffineTransform CGAffineTransformTranslate(CGAffineTransform t, CGFloat tx, CGFloat ty) {
    return CGAffineTransformConcat(CGAffineTransformMakeTranslation(tx, ty), t);
}

CGAffineTransform CGAffineTransformScale(CGAffineTransform t, CGFloat sx, CGFloat sy) {
    return CGAffineTransformConcat(CGAffineTransformMakeScale(sx, sy), t);
}

CGAffineTransform CGAffineTransformInvert(CGAffineTransform t) {
    CGFloat det = t.a * t.d - t.b * t.c;
    if (fabs(det) < DBL_MIN) return t;
    CGFloat a = t.d / det, b = -t.b / det, c = -t.c / det, d = t.a / det;
    return CGAffineTransformMake(a, b, c, d, -(t.tx * a + t.ty * c), -(t.tx * b + t.ty * d));
}

bool CGAffineTransformIsIdentity(CGAffineTransform t) {
    return t.a == 1 && t.b == 0 && t.c == 0 && t.d == 1 && t.tx == 0 && t.ty == 0;
}

CGPoint CGPointApplyAffineTransform(CGPoint p, CGAffineTransform t) {
    return CGPointMake(t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty);
}
