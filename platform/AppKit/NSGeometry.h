#pragma once

// Points, sizes and rectangles: Quartz's records, as on 64-bit macOS. y grows upward.
#include <CoreGraphics/CGGeometry.h>

#include <math.h>

typedef CGPoint NSPoint;
typedef CGSize NSSize;
typedef CGRect NSRect;

static const NSPoint NSZeroPoint = {0, 0};
static const NSRect NSZeroRect = {{0, 0}, {0, 0}};

static inline NSPoint NSMakePoint(CGFloat x, CGFloat y) {
    return CGPointMake(x, y);
}
static inline NSSize NSMakeSize(CGFloat w, CGFloat h) {
    return CGSizeMake(w, h);
}
static inline NSRect NSMakeRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h) {
    return CGRectMake(x, y, w, h);
}
static inline CGFloat NSMinX(NSRect r) {
    return r.origin.x;
}
static inline CGFloat NSMinY(NSRect r) {
    return r.origin.y;
}
static inline CGFloat NSMaxX(NSRect r) {
    return r.origin.x + r.size.width;
}
static inline CGFloat NSMaxY(NSRect r) {
    return r.origin.y + r.size.height;
}
static inline CGFloat NSWidth(NSRect r) {
    return r.size.width;
}
static inline CGFloat NSHeight(NSRect r) {
    return r.size.height;
}
static inline bool NSIsEmptyRect(NSRect r) {
    return !(r.size.width > 0 && r.size.height > 0);
}
static inline bool NSEqualRects(NSRect a, NSRect b) {
    return a.origin.x == b.origin.x && a.origin.y == b.origin.y && a.size.width == b.size.width &&
           a.size.height == b.size.height;
}
static inline bool NSPointInRect(NSPoint p, NSRect r) {
    return p.x >= NSMinX(r) && p.x < NSMaxX(r) && p.y >= NSMinY(r) && p.y < NSMaxY(r);
}
static inline bool NSIntersectsRect(NSRect a, NSRect b) {
    return !NSIsEmptyRect(a) && !NSIsEmptyRect(b) && NSMinX(a) < NSMaxX(b) &&
           NSMinX(b) < NSMaxX(a) && NSMinY(a) < NSMaxY(b) && NSMinY(b) < NSMaxY(a);
}
// The common part; NSZeroRect when the rectangles do not meet.
static inline NSRect NSIntersectionRect(NSRect a, NSRect b) {
    if (!NSIntersectsRect(a, b)) return NSZeroRect;
    CGFloat x0 = fmax(NSMinX(a), NSMinX(b)), y0 = fmax(NSMinY(a), NSMinY(b));
    CGFloat x1 = fmin(NSMaxX(a), NSMaxX(b)), y1 = fmin(NSMaxY(a), NSMaxY(b));
    return NSMakeRect(x0, y0, x1 - x0, y1 - y0);
}
// The smallest rectangle holding both; an empty one does not count.
static inline NSRect NSUnionRect(NSRect a, NSRect b) {
    if (NSIsEmptyRect(a)) return b;
    if (NSIsEmptyRect(b)) return a;
    CGFloat x0 = fmin(NSMinX(a), NSMinX(b)), y0 = fmin(NSMinY(a), NSMinY(b));
    CGFloat x1 = fmax(NSMaxX(a), NSMaxX(b)), y1 = fmax(NSMaxY(a), NSMaxY(b));
    return NSMakeRect(x0, y0, x1 - x0, y1 - y0);
}
// The rectangle grown outward to whole points.
static inline NSRect NSIntegralRect(NSRect r) {
    if (NSIsEmptyRect(r)) return NSZeroRect;
    CGFloat x0 = floor(NSMinX(r)), y0 = floor(NSMinY(r));
    return NSMakeRect(x0, y0, ceil(NSMaxX(r)) - x0, ceil(NSMaxY(r)) - y0);
}
