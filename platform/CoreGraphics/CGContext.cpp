#include "CGContext_p.h"
#include "CGImage_p.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

void CGContextResetState(CGContext* c) {
    CGGState& s = c->state;
    s.ctm = CGAffineTransformIdentity;
    s.clipX0 = 0;
    s.clipY0 = 0;
    s.clipX1 = static_cast<int>(c->width);
    s.clipY1 = static_cast<int>(c->height);
    s.antialias = true;
    s.interpolation = kCGInterpolationDefault;
    s.lineWidth = 1;
    for (int i = 0; i < 3; ++i)
        s.fill[i] = s.stroke[i] = 0;
    s.fill[3] = s.stroke[3] = 1;
}

CGContextRef CGContextRetain(CGContextRef c) {
    if (c) c->retainCount.fetch_add(1, std::memory_order_relaxed);
    return c;
}

void CGContextRelease(CGContextRef c) {
    if (!c || c->retainCount.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    pixman_image_unref(c->target);
    if (c->ownsData) free(c->data);
    delete c;
}

void CGContextSaveGState(CGContextRef c) {
    // A save that cannot be recorded is dropped; its restore then restores an older state,
    // which is the least harm available.
    if (c) c->saved.Add(c->state);
}

void CGContextRestoreGState(CGContextRef c) {
    if (!c || c->saved.Count() == 0) return;
    c->state = c->saved[c->saved.Count() - 1];
    c->saved.RemoveLast();
}

void CGContextTranslateCTM(CGContextRef c, CGFloat tx, CGFloat ty) {
    if (c) c->state.ctm = CGAffineTransformTranslate(c->state.ctm, tx, ty);
}

void CGContextScaleCTM(CGContextRef c, CGFloat sx, CGFloat sy) {
    if (c) c->state.ctm = CGAffineTransformScale(c->state.ctm, sx, sy);
}

void CGContextConcatCTM(CGContextRef c, CGAffineTransform t) {
    if (c) c->state.ctm = CGAffineTransformConcat(t, c->state.ctm);
}

CGAffineTransform CGContextGetCTM(CGContextRef c) {
    return c ? c->state.ctm : CGAffineTransformIdentity;
}

void CGContextSetShouldAntialias(CGContextRef c, bool shouldAntialias) {
    if (c) c->state.antialias = shouldAntialias;
}

void CGContextSetInterpolationQuality(CGContextRef c, CGInterpolationQuality quality) {
    if (c) c->state.interpolation = quality;
}

CGInterpolationQuality CGContextGetInterpolationQuality(CGContextRef c) {
    return c ? c->state.interpolation : kCGInterpolationDefault;
}

void CGContextSetLineWidth(CGContextRef c, CGFloat width) {
    if (c && width >= 0) c->state.lineWidth = width;
}

namespace {

CGFloat Clamp01(CGFloat v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

void SetColour(CGFloat* target, CGFloat r, CGFloat g, CGFloat b, CGFloat a) {
    target[0] = Clamp01(r);
    target[1] = Clamp01(g);
    target[2] = Clamp01(b);
    target[3] = Clamp01(a);
}

// User space to target pixels: the transform, then device y (up from the bottom) turned into
// rows down from the top.
CGPoint ToPixels(const CGContext* c, CGFloat x, CGFloat y) {
    CGPoint p = CGPointApplyAffineTransform(CGPointMake(x, y), c->state.ctm);
    p.y = static_cast<CGFloat>(c->height) - p.y;
    return p;
}

CGAffineTransform UserToPixels(const CGContext* c) {
    CGAffineTransform flip = CGAffineTransformMake(1, 0, 0, -1, 0, static_cast<CGFloat>(c->height));
    return CGAffineTransformConcat(c->state.ctm, flip);
}

struct Box {
    int x0, y0, x1, y1;
    bool IsEmpty() const { return x1 <= x0 || y1 <= y0; }
};

Box ClipBox(const CGContext* c, Box box) {
    const CGGState& s = c->state;
    box.x0 = box.x0 > s.clipX0 ? box.x0 : s.clipX0;
    box.y0 = box.y0 > s.clipY0 ? box.y0 : s.clipY0;
    box.x1 = box.x1 < s.clipX1 ? box.x1 : s.clipX1;
    box.y1 = box.y1 < s.clipY1 ? box.y1 : s.clipY1;
    return box;
}

// Pixel boundaries are clamped before converting, so huge coordinates cannot overflow.
int PixelEdge(CGFloat v, bool roundUp) {
    if (!(v > -1e8)) return -100000000;
    if (!(v < 1e8)) return 100000000;
    return static_cast<int>(roundUp ? ceil(v) : floor(v));
}

// The pixels whose centres fall between two coordinates.
int CentreEdge(CGFloat v) {
    return PixelEdge(v - 0.5, true);
}

pixman_image_t* SolidSource(const CGFloat* colour) {
    pixman_color_t pc;
    CGFloat a = colour[3];
    pc.red = static_cast<uint16_t>(colour[0] * a * 65535 + 0.5);
    pc.green = static_cast<uint16_t>(colour[1] * a * 65535 + 0.5);
    pc.blue = static_cast<uint16_t>(colour[2] * a * 65535 + 0.5);
    pc.alpha = static_cast<uint16_t>(a * 65535 + 0.5);
    return pixman_image_create_solid_fill(&pc);
}

// Composites into the target over the box, leaving the byte the format ignores as it was:
// callers keep their own data there (the rasteriser keeps its alpha channel in it).
// The mask is read from (maskX, maskY) at the box's corner.
void CompositeOver(CGContext* c, pixman_image_t* source, pixman_image_t* mask, int maskX, int maskY,
                   Box box) {
    int w = box.x1 - box.x0, h = box.y1 - box.y0;
    unsigned char* kept = nullptr;
    unsigned char* base = static_cast<unsigned char*>(c->data);
    if (c->skipByte >= 0) {
        kept = static_cast<unsigned char*>(malloc(static_cast<size_t>(w) * h));
        if (!kept) return;
        for (int y = 0; y < h; ++y) {
            unsigned char* row = base + (box.y0 + y) * c->bytesPerRow + box.x0 * 4 + c->skipByte;
            for (int x = 0; x < w; ++x)
                kept[y * w + x] = row[x * 4];
        }
    }
    pixman_image_composite32(PIXMAN_OP_OVER, source, mask, c->target, box.x0, box.y0, maskX, maskY,
                             box.x0, box.y0, w, h);
    if (!kept) return;
    for (int y = 0; y < h; ++y) {
        unsigned char* row = base + (box.y0 + y) * c->bytesPerRow + box.x0 * 4 + c->skipByte;
        for (int x = 0; x < w; ++x)
            row[x * 4] = kept[y * w + x];
    }
    free(kept);
}

void PaintPath(CGContext* c, const CGFlatPath& path, bool evenOdd, const CGFloat* colour) {
    CGFloat x0, y0, x1, y1;
    if (colour[3] <= 0 || !path.Bounds(&x0, &y0, &x1, &y1)) return;
    Box box = ClipBox(
        c, {PixelEdge(x0, false), PixelEdge(y0, false), PixelEdge(x1, true), PixelEdge(y1, true)});
    if (box.IsEmpty()) return;
    pixman_image_t* mask = pixman_image_create_bits(c->state.antialias ? PIXMAN_a8 : PIXMAN_a1,
                                                    box.x1 - box.x0, box.y1 - box.y0, nullptr, 0);
    pixman_image_t* source = SolidSource(colour);
    if (mask && source && CGRasterizePath(path, evenOdd, mask, box.x0, box.y0))
        CompositeOver(c, source, mask, 0, 0, box);
    if (mask) pixman_image_unref(mask);
    if (source) pixman_image_unref(source);
}

void StrokeFlatPath(CGContext* c, const CGFlatPath& path) {
    CGFlatPath outline;
    // Line widths are in user space; the stand-in's transforms only translate and scale, and
    // a stroke scales with the mean of the two axes.
    CGAffineTransform t = c->state.ctm;
    CGFloat scale = sqrt(fabs(t.a * t.d - t.b * t.c));
    if (!CGStrokeOutline(path, c->state.lineWidth * scale, &outline)) return;
    PaintPath(c, outline, false, c->state.stroke);
}

} // namespace

void CGContextSetRGBFillColor(CGContextRef c, CGFloat r, CGFloat g, CGFloat b, CGFloat a) {
    if (c) SetColour(c->state.fill, r, g, b, a);
}

void CGContextSetRGBStrokeColor(CGContextRef c, CGFloat r, CGFloat g, CGFloat b, CGFloat a) {
    if (c) SetColour(c->state.stroke, r, g, b, a);
}

void CGContextSetFillColorWithColor(CGContextRef c, CGColorRef color) {
    const CGFloat* k = CGColorGetComponents(color);
    if (c && k) SetColour(c->state.fill, k[0], k[1], k[2], k[3]);
}

void CGContextSetStrokeColorWithColor(CGContextRef c, CGColorRef color) {
    const CGFloat* k = CGColorGetComponents(color);
    if (c && k) SetColour(c->state.stroke, k[0], k[1], k[2], k[3]);
}

void CGContextBeginPath(CGContextRef c) {
    if (c) c->path.Clear();
}

void CGContextMoveToPoint(CGContextRef c, CGFloat x, CGFloat y) {
    if (c) c->path.MoveTo(ToPixels(c, x, y));
}

void CGContextAddLineToPoint(CGContextRef c, CGFloat x, CGFloat y) {
    if (c) c->path.LineTo(ToPixels(c, x, y));
}

void CGContextAddCurveToPoint(CGContextRef c, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x,
                              CGFloat cp2y, CGFloat x, CGFloat y) {
    if (!c) return;
    if (!c->path.HasCurrentPoint()) c->path.MoveTo(ToPixels(c, cp1x, cp1y));
    CGPoint p0 = c->path.CurrentPoint();
    CGPoint p1 = ToPixels(c, cp1x, cp1y), p2 = ToPixels(c, cp2x, cp2y), p3 = ToPixels(c, x, y);
    // Enough segments that each spans about two pixels of the control polygon.
    CGFloat length = hypot(p1.x - p0.x, p1.y - p0.y) + hypot(p2.x - p1.x, p2.y - p1.y) +
                     hypot(p3.x - p2.x, p3.y - p2.y);
    int steps = static_cast<int>(fmin(fmax(ceil(length / 2), 2), 256));
    for (int i = 1; i <= steps; ++i) {
        CGFloat t = static_cast<CGFloat>(i) / steps, u = 1 - t;
        CGFloat b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
        c->path.LineTo(CGPointMake(b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x,
                                   b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y));
    }
}

void CGContextClosePath(CGContextRef c) {
    if (c) c->path.Close();
}

void CGContextAddRect(CGContextRef c, CGRect r) {
    if (!c) return;
    CGFloat x0 = CGRectGetMinX(r), y0 = CGRectGetMinY(r);
    CGFloat x1 = CGRectGetMaxX(r), y1 = CGRectGetMaxY(r);
    CGContextMoveToPoint(c, x0, y0);
    CGContextAddLineToPoint(c, x1, y0);
    CGContextAddLineToPoint(c, x1, y1);
    CGContextAddLineToPoint(c, x0, y1);
    CGContextClosePath(c);
}

void CGContextAddEllipseInRect(CGContextRef c, CGRect r) {
    if (!c) return;
    // Four cubic quarters, starting at the right and turning counter-clockwise in user space.
    const CGFloat k = 0.5522847498307936;
    CGFloat cx = CGRectGetMinX(r) + CGRectGetWidth(r) / 2,
            cy = CGRectGetMinY(r) + CGRectGetHeight(r) / 2;
    CGFloat rx = CGRectGetWidth(r) / 2, ry = CGRectGetHeight(r) / 2;
    CGContextMoveToPoint(c, cx + rx, cy);
    CGContextAddCurveToPoint(c, cx + rx, cy + k * ry, cx + k * rx, cy + ry, cx, cy + ry);
    CGContextAddCurveToPoint(c, cx - k * rx, cy + ry, cx - rx, cy + k * ry, cx - rx, cy);
    CGContextAddCurveToPoint(c, cx - rx, cy - k * ry, cx - k * rx, cy - ry, cx, cy - ry);
    CGContextAddCurveToPoint(c, cx + k * rx, cy - ry, cx + rx, cy - k * ry, cx + rx, cy);
    CGContextClosePath(c);
}

bool CGContextIsPathEmpty(CGContextRef c) {
    return !c || c->path.IsEmpty();
}

void CGContextDrawPath(CGContextRef c, CGPathDrawingMode mode) {
    if (!c) return;
    switch (mode) {
    case kCGPathFill: PaintPath(c, c->path, false, c->state.fill); break;
    case kCGPathEOFill: PaintPath(c, c->path, true, c->state.fill); break;
    case kCGPathStroke: StrokeFlatPath(c, c->path); break;
    case kCGPathFillStroke:
        PaintPath(c, c->path, false, c->state.fill);
        StrokeFlatPath(c, c->path);
        break;
    case kCGPathEOFillStroke:
        PaintPath(c, c->path, true, c->state.fill);
        StrokeFlatPath(c, c->path);
        break;
    default: break;
    }
    c->path.Clear();
}

void CGContextFillPath(CGContextRef c) {
    CGContextDrawPath(c, kCGPathFill);
}
void CGContextEOFillPath(CGContextRef c) {
    CGContextDrawPath(c, kCGPathEOFill);
}
void CGContextStrokePath(CGContextRef c) {
    CGContextDrawPath(c, kCGPathStroke);
}

namespace {

// Paints a rectangle without touching the current path.
void PaintRect(CGContext* c, CGRect r, bool stroke) {
    CGFlatPath rect;
    CGFloat x0 = CGRectGetMinX(r), y0 = CGRectGetMinY(r);
    CGFloat x1 = CGRectGetMaxX(r), y1 = CGRectGetMaxY(r);
    if (!rect.MoveTo(ToPixels(c, x0, y0)) || !rect.LineTo(ToPixels(c, x1, y0)) ||
        !rect.LineTo(ToPixels(c, x1, y1)) || !rect.LineTo(ToPixels(c, x0, y1)) || !rect.Close())
        return;
    if (stroke)
        StrokeFlatPath(c, rect);
    else
        PaintPath(c, rect, false, c->state.fill);
}

} // namespace

void CGContextFillRect(CGContextRef c, CGRect rect) {
    if (c) PaintRect(c, rect, false);
}

void CGContextStrokeRect(CGContextRef c, CGRect rect) {
    if (c) PaintRect(c, rect, true);
}

void CGContextClipToRect(CGContextRef c, CGRect rect) {
    if (!c) return;
    CGPoint a = ToPixels(c, CGRectGetMinX(rect), CGRectGetMinY(rect));
    CGPoint b = ToPixels(c, CGRectGetMaxX(rect), CGRectGetMaxY(rect));
    Box box = ClipBox(c, {CentreEdge(fmin(a.x, b.x)), CentreEdge(fmin(a.y, b.y)),
                          CentreEdge(fmax(a.x, b.x)), CentreEdge(fmax(a.y, b.y))});
    if (box.IsEmpty()) box = {0, 0, 0, 0};
    c->state.clipX0 = box.x0;
    c->state.clipY0 = box.y0;
    c->state.clipX1 = box.x1;
    c->state.clipY1 = box.y1;
    c->path.Clear();
}

CGRect CGContextGetClipBoundingBox(CGContextRef c) {
    if (!c) return CGRectNull;
    const CGGState& s = c->state;
    if (s.clipX1 <= s.clipX0 || s.clipY1 <= s.clipY0) return CGRectNull;
    CGAffineTransform toUser = CGAffineTransformInvert(UserToPixels(c));
    CGPoint a = CGPointApplyAffineTransform(CGPointMake(s.clipX0, s.clipY0), toUser);
    CGPoint b = CGPointApplyAffineTransform(CGPointMake(s.clipX1, s.clipY1), toUser);
    return CGRectMake(fmin(a.x, b.x), fmin(a.y, b.y), fabs(b.x - a.x), fabs(b.y - a.y));
}

namespace {

// A pixman image over an image's pixels, premultiplied into `copy` when the image's alpha is
// not. Masks come back as coverage, copied when they hold inverse coverage or rows pixman
// cannot address.
pixman_image_t* PixmanImageFor(CGImage* image, void** copy) {
    *copy = nullptr;
    const unsigned char* pixels = static_cast<const unsigned char*>(image->provider->data);
    int w = static_cast<int>(image->width), h = static_cast<int>(image->height);
    if (image->isMask) {
        bool direct = image->maskSamplesAreCoverage && image->bytesPerRow % 4 == 0;
        if (direct)
            return pixman_image_create_bits(
                PIXMAN_a8, w, h, reinterpret_cast<uint32_t*>(const_cast<unsigned char*>(pixels)),
                static_cast<int>(image->bytesPerRow));
        int stride = (w + 3) & ~3;
        unsigned char* coverage =
            static_cast<unsigned char*>(malloc(static_cast<size_t>(stride) * h));
        if (!coverage) return nullptr;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                unsigned char v = pixels[y * image->bytesPerRow + x];
                coverage[y * stride + x] = image->maskSamplesAreCoverage ? v : 255 - v;
            }
        *copy = coverage;
        return pixman_image_create_bits(PIXMAN_a8, w, h, reinterpret_cast<uint32_t*>(coverage),
                                        stride);
    }
    pixman_format_code_t format;
    int skipByte;
    if (!CGPixmanFormatFor(image->bitmapInfo, &format, &skipByte)) return nullptr;
    CGImageAlphaInfo alpha = image->bitmapInfo & kCGBitmapAlphaInfoMask;
    if (alpha != kCGImageAlphaFirst && alpha != kCGImageAlphaLast)
        return pixman_image_create_bits(
            format, w, h, reinterpret_cast<uint32_t*>(const_cast<unsigned char*>(pixels)),
            static_cast<int>(image->bytesPerRow));
    // Straight alpha: the alpha byte's position follows from the format's layout.
    int alphaByte = format == PIXMAN_b8g8r8a8 || format == PIXMAN_r8g8b8a8 ? 0 : 3;
    unsigned char* premultiplied =
        static_cast<unsigned char*>(malloc(static_cast<size_t>(w) * 4 * h));
    if (!premultiplied) return nullptr;
    for (int y = 0; y < h; ++y) {
        const unsigned char* in = pixels + y * image->bytesPerRow;
        unsigned char* out = premultiplied + y * w * 4;
        for (int x = 0; x < w * 4; x += 4) {
            unsigned a = in[x + alphaByte];
            for (int k = 0; k < 4; ++k)
                out[x + k] = k == alphaByte
                                 ? static_cast<unsigned char>(a)
                                 : static_cast<unsigned char>((in[x + k] * a + 127) / 255);
        }
    }
    *copy = premultiplied;
    return pixman_image_create_bits(format, w, h, reinterpret_cast<uint32_t*>(premultiplied),
                                    w * 4);
}

} // namespace

namespace {

// Memory offsets of red, green and blue within a 32-bit pixel of an opaque (skipped-alpha)
// layout; false for layouts with alpha.
bool OpaqueChannelOffsets(CGBitmapInfo info, int offsets[3]) {
    CGImageAlphaInfo alpha = info & kCGBitmapAlphaInfoMask;
    CGBitmapInfo order = info & kCGBitmapByteOrderMask;
    bool little = order == kCGBitmapByteOrder32Little;
    if (!little && order != kCGBitmapByteOrderDefault && order != kCGBitmapByteOrder32Big)
        return false;
    struct Layout {
        CGImageAlphaInfo alpha;
        int big[3], little[3];
    };
    static const Layout kLayouts[] = {
        {kCGImageAlphaNoneSkipFirst, {1, 2, 3}, {2, 1, 0}},
        {kCGImageAlphaNoneSkipLast, {0, 1, 2}, {3, 2, 1}},
    };
    for (const Layout& l : kLayouts) {
        if (l.alpha != alpha) continue;
        for (int k = 0; k < 3; ++k)
            offsets[k] = little ? l.little[k] : l.big[k];
        return true;
    }
    return false;
}

// An opaque image drawn at its own size on whole pixels (the way a window shows its
// off-screen bitmap) is a copy with the channels rearranged: done row by row here rather than
// through a general transform. False when the draw is not of that kind.
bool CopyOpaqueImage(CGContext* c, const CGImage* image, CGAffineTransform imageToPixels, Box box) {
    const CGAffineTransform& m = imageToPixels;
    if (image->isMask || image->bitsPerPixel != 32 || c->skipByte < 0) return false;
    if (m.a != 1 || m.b != 0 || m.c != 0 || m.d != 1 || m.tx != floor(m.tx) || m.ty != floor(m.ty))
        return false;
    int in[3], out[3];
    if (!OpaqueChannelOffsets(image->bitmapInfo, in) || !OpaqueChannelOffsets(c->bitmapInfo, out))
        return false;
    int dx = static_cast<int>(m.tx), dy = static_cast<int>(m.ty);
    const auto* src = static_cast<const unsigned char*>(image->provider->data);
    auto* dst = static_cast<unsigned char*>(c->data);
    // Only the image's own pixels are copied; the box may reach past them.
    int x0 = box.x0 > dx ? box.x0 : dx, y0 = box.y0 > dy ? box.y0 : dy;
    int x1 =
        box.x1 < dx + static_cast<int>(image->width) ? box.x1 : dx + static_cast<int>(image->width);
    int y1 = box.y1 < dy + static_cast<int>(image->height) ? box.y1
                                                           : dy + static_cast<int>(image->height);
    for (int y = y0; y < y1; ++y) {
        const unsigned char* s = src + (y - dy) * image->bytesPerRow + (x0 - dx) * 4;
        unsigned char* d = dst + y * c->bytesPerRow + x0 * 4;
        for (int x = x0; x < x1; ++x, s += 4, d += 4) {
            d[out[0]] = s[in[0]];
            d[out[1]] = s[in[1]];
            d[out[2]] = s[in[2]];
        }
    }
    return true;
}

} // namespace

void CGContextDrawImage(CGContextRef c, CGRect rect, CGImageRef image) {
    if (!c || !image || CGRectIsEmpty(rect)) return;
    // Image pixels (x right, y down from the top row) to user space, then to target pixels.
    CGFloat iw = static_cast<CGFloat>(image->width), ih = static_cast<CGFloat>(image->height);
    CGAffineTransform imageToUser =
        CGAffineTransformMake(rect.size.width / iw, 0, 0, -rect.size.height / ih, rect.origin.x,
                              rect.origin.y + rect.size.height);
    CGAffineTransform imageToPixels = CGAffineTransformConcat(imageToUser, UserToPixels(c));
    CGFloat xs[4], ys[4];
    for (int i = 0; i < 4; ++i) {
        CGPoint corner =
            CGPointApplyAffineTransform(CGPointMake(i & 1 ? iw : 0, i & 2 ? ih : 0), imageToPixels);
        xs[i] = corner.x;
        ys[i] = corner.y;
    }
    Box box = ClipBox(c, {CentreEdge(fmin(fmin(xs[0], xs[1]), fmin(xs[2], xs[3]))),
                          CentreEdge(fmin(fmin(ys[0], ys[1]), fmin(ys[2], ys[3]))),
                          CentreEdge(fmax(fmax(xs[0], xs[1]), fmax(xs[2], xs[3]))),
                          CentreEdge(fmax(fmax(ys[0], ys[1]), fmax(ys[2], ys[3])))});
    if (box.IsEmpty()) return;
    if (CopyOpaqueImage(c, image, imageToPixels, box)) return;

    void* copy = nullptr;
    pixman_image_t* pixels = PixmanImageFor(image, &copy);
    if (!pixels) {
        free(copy);
        return;
    }
    CGAffineTransform inverse = CGAffineTransformInvert(imageToPixels);
    struct pixman_f_transform ft;
    pixman_f_transform_init_identity(&ft);
    ft.m[0][0] = inverse.a;
    ft.m[0][1] = inverse.c;
    ft.m[0][2] = inverse.tx;
    ft.m[1][0] = inverse.b;
    ft.m[1][1] = inverse.d;
    ft.m[1][2] = inverse.ty;
    pixman_transform_t transform;
    pixman_transform_from_pixman_f_transform(&transform, &ft);
    pixman_image_set_transform(pixels, &transform);
    bool smooth = image->shouldInterpolate && c->state.interpolation != kCGInterpolationNone;
    pixman_image_set_filter(pixels, smooth ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST,
                            nullptr, 0);
    if (image->isMask) {
        pixman_image_t* source = SolidSource(c->state.fill);
        if (source && c->state.fill[3] > 0) CompositeOver(c, source, pixels, box.x0, box.y0, box);
        if (source) pixman_image_unref(source);
    } else {
        // Edge pixels repeat outward so that smoothing does not fade the image's border.
        pixman_image_set_repeat(pixels, PIXMAN_REPEAT_PAD);
        CompositeOver(c, pixels, nullptr, 0, 0, box);
    }
    pixman_image_unref(pixels);
    free(copy);
}
