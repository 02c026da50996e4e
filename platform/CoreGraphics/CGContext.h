#pragma once

#include <CoreGraphics/CGAffineTransform.h>
#include <CoreGraphics/CGColor.h>
#include <CoreGraphics/CGImage.h>

// A drawing destination with a graphics state (transform, clip, colours, line width,
// anti-aliasing, interpolation) and a current path. User space starts with the origin at the
// bottom left, y growing upward. Drawing into one context from two threads at once is not
// supported.
typedef struct CGContext* CGContextRef;

typedef int32_t CGPathDrawingMode;
enum {
    kCGPathFill = 0,
    kCGPathEOFill = 1,
    kCGPathStroke = 2,
    kCGPathFillStroke = 3,
    kCGPathEOFillStroke = 4
};

typedef int32_t CGInterpolationQuality;
enum {
    kCGInterpolationDefault = 0,
    kCGInterpolationNone = 1,
    kCGInterpolationLow = 2,
    kCGInterpolationMedium = 4,
    kCGInterpolationHigh = 3
};

CG_EXTERN_C_BEGIN

CG_EXTERN CGContextRef CGContextRetain(CGContextRef c);
CG_EXTERN void CGContextRelease(CGContextRef c);

CG_EXTERN void CGContextSaveGState(CGContextRef c);
// Restores the state of the matching save; without one it does nothing.
CG_EXTERN void CGContextRestoreGState(CGContextRef c);

// The transform from user space to device space.
CG_EXTERN void CGContextTranslateCTM(CGContextRef c, CGFloat tx, CGFloat ty);
CG_EXTERN void CGContextScaleCTM(CGContextRef c, CGFloat sx, CGFloat sy);
CG_EXTERN void CGContextConcatCTM(CGContextRef c, CGAffineTransform transform);
CG_EXTERN CGAffineTransform CGContextGetCTM(CGContextRef c);

CG_EXTERN void CGContextSetShouldAntialias(CGContextRef c, bool shouldAntialias);
CG_EXTERN void CGContextSetInterpolationQuality(CGContextRef c, CGInterpolationQuality quality);
CG_EXTERN CGInterpolationQuality CGContextGetInterpolationQuality(CGContextRef c);
CG_EXTERN void CGContextSetLineWidth(CGContextRef c, CGFloat width);
CG_EXTERN void CGContextSetRGBFillColor(CGContextRef c, CGFloat red, CGFloat green, CGFloat blue,
                                        CGFloat alpha);
CG_EXTERN void CGContextSetRGBStrokeColor(CGContextRef c, CGFloat red, CGFloat green, CGFloat blue,
                                          CGFloat alpha);
CG_EXTERN void CGContextSetFillColorWithColor(CGContextRef c, CGColorRef color);
CG_EXTERN void CGContextSetStrokeColorWithColor(CGContextRef c, CGColorRef color);

// The current path, in user space at the time each point is added. Curves are flattened.
CG_EXTERN void CGContextBeginPath(CGContextRef c);
CG_EXTERN void CGContextMoveToPoint(CGContextRef c, CGFloat x, CGFloat y);
CG_EXTERN void CGContextAddLineToPoint(CGContextRef c, CGFloat x, CGFloat y);
CG_EXTERN void CGContextAddCurveToPoint(CGContextRef c, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x,
                                        CGFloat cp2y, CGFloat x, CGFloat y);
CG_EXTERN void CGContextClosePath(CGContextRef c);
CG_EXTERN void CGContextAddRect(CGContextRef c, CGRect rect);
CG_EXTERN void CGContextAddEllipseInRect(CGContextRef c, CGRect rect);
CG_EXTERN bool CGContextIsPathEmpty(CGContextRef c);

// Painting the current path empties it.
CG_EXTERN void CGContextDrawPath(CGContextRef c, CGPathDrawingMode mode);
CG_EXTERN void CGContextFillPath(CGContextRef c);
CG_EXTERN void CGContextEOFillPath(CGContextRef c);
CG_EXTERN void CGContextStrokePath(CGContextRef c);
CG_EXTERN void CGContextFillRect(CGContextRef c, CGRect rect);
CG_EXTERN void CGContextStrokeRect(CGContextRef c, CGRect rect);

// Intersects the clip with the rectangle (kept to whole device pixels: those whose centres
// fall inside), and empties the current path.
CG_EXTERN void CGContextClipToRect(CGContextRef c, CGRect rect);
CG_EXTERN CGRect CGContextGetClipBoundingBox(CGContextRef c);

// Draws the image scaled into the rectangle, its top row at the rectangle's maximum y in user
// space. An image mask paints the fill colour.
CG_EXTERN void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image);

CG_EXTERN_C_END
