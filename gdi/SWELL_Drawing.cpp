#include "gdi/SWELL_Drawing.h"

#include "gdi/SWELL_Records.h"

namespace {

// Pens and brushes of negative width are the stock ones, which draw nothing.
bool UsablePen(HDC ctx) {
    return SWELL_IsObjectOfType(ctx->pen, HGDIOBJ__::kPen) && ctx->pen->width >= 0;
}

bool UsableBrush(HGDIOBJ brush) {
    return SWELL_IsObjectOfType(brush, HGDIOBJ__::kBrush) && brush->width >= 0;
}

void UsePen(HDC ctx) {
    CGContextSetStrokeColorWithColor(ctx->ctx, ctx->pen->colour);
    CGContextSetLineWidth(ctx->ctx, ctx->pen->width > 1 ? ctx->pen->width : 1);
}

// Fills the current path with the brush and outlines it with the pen, whichever are usable.
void FillAndStroke(HDC ctx) {
    bool fill = UsableBrush(ctx->brush), stroke = UsablePen(ctx);
    if (fill) CGContextSetFillColorWithColor(ctx->ctx, ctx->brush->colour);
    if (stroke) UsePen(ctx);
    if (fill && stroke)
        CGContextDrawPath(ctx->ctx, kCGPathFillStroke);
    else if (fill)
        CGContextDrawPath(ctx->ctx, kCGPathFill);
    else if (stroke)
        CGContextDrawPath(ctx->ctx, kCGPathStroke);
    else
        CGContextBeginPath(ctx->ctx);
}

} // namespace

void MoveToEx(HDC ctx, int x, int y, POINT* old) {
    if (!SWELL_IsValidContext(ctx)) return;
    if (old) {
        old->x = static_cast<int>(ctx->curX);
        old->y = static_cast<int>(ctx->curY);
    }
    ctx->curX = static_cast<float>(x);
    ctx->curY = static_cast<float>(y);
}

void SWELL_LineTo(HDC ctx, int x, int y) {
    if (!SWELL_IsValidContext(ctx)) return;
    if (UsablePen(ctx)) {
        UsePen(ctx);
        CGContextBeginPath(ctx->ctx);
        CGContextMoveToPoint(ctx->ctx, ctx->curX, ctx->curY);
        CGContextAddLineToPoint(ctx->ctx, x, y);
        CGContextStrokePath(ctx->ctx);
    }
    ctx->curX = static_cast<float>(x);
    ctx->curY = static_cast<float>(y);
}

void PolyPolyline(HDC ctx, const POINT* points, const DWORD* counts, int count) {
    if (!SWELL_IsValidContext(ctx) || !points || !counts || !UsablePen(ctx)) return;
    UsePen(ctx);
    CGContextBeginPath(ctx->ctx);
    for (int i = 0; i < count; ++i) {
        for (DWORD k = 0; k < counts[i]; ++k, ++points) {
            if (k == 0)
                CGContextMoveToPoint(ctx->ctx, points->x, points->y);
            else
                CGContextAddLineToPoint(ctx->ctx, points->x, points->y);
        }
    }
    CGContextStrokePath(ctx->ctx);
}

void PolyBezierTo(HDC ctx, const POINT* points, int count) {
    if (!SWELL_IsValidContext(ctx) || !points || count < 3) return;
    int segments = count / 3;
    if (UsablePen(ctx)) {
        UsePen(ctx);
        CGContextBeginPath(ctx->ctx);
        CGContextMoveToPoint(ctx->ctx, ctx->curX, ctx->curY);
        for (int i = 0; i < segments; ++i) {
            const POINT* p = points + i * 3;
            CGContextAddCurveToPoint(ctx->ctx, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y);
        }
        CGContextStrokePath(ctx->ctx);
    }
    ctx->curX = static_cast<float>(points[segments * 3 - 1].x);
    ctx->curY = static_cast<float>(points[segments * 3 - 1].y);
}

void SWELL_Polygon(HDC ctx, const POINT* points, int n) {
    if (!SWELL_IsValidContext(ctx) || !points || n < 2) return;
    if (!UsableBrush(ctx->brush) && !UsablePen(ctx)) return;
    CGContextBeginPath(ctx->ctx);
    CGContextMoveToPoint(ctx->ctx, points[0].x, points[0].y);
    for (int i = 1; i < n; ++i)
        CGContextAddLineToPoint(ctx->ctx, points[i].x, points[i].y);
    FillAndStroke(ctx);
}

void Rectangle(HDC ctx, int left, int top, int right, int bottom) {
    if (!SWELL_IsValidContext(ctx)) return;
    CGContextBeginPath(ctx->ctx);
    CGContextAddRect(ctx->ctx, CGRectMake(left, top, right - left, bottom - top));
    FillAndStroke(ctx);
}

void Ellipse(HDC ctx, int left, int top, int right, int bottom) {
    if (!SWELL_IsValidContext(ctx)) return;
    CGContextBeginPath(ctx->ctx);
    CGContextAddEllipseInRect(ctx->ctx, CGRectMake(left, top, right - left, bottom - top));
    FillAndStroke(ctx);
}

void RoundRect(HDC ctx, int l, int t, int r, int b, int ew, int eh) {
    int cx = ew / 3, cy = eh / 3;
    // The octagon runs on through its first two points so that a wide pen joins its corner.
    const POINT points[10] = {{l, t + cy}, {l + cx, t}, {r - cx, t}, {r, t + cy}, {r, b - cy},
                              {r - cx, b}, {l + cx, b}, {l, b - cy}, {l, t + cy}, {l + cx, t}};
    SWELL_Polygon(ctx, points, 10);
}

void SWELL_FillRect(HDC ctx, const RECT* rect, HBRUSH brush) {
    if (!SWELL_IsValidContext(ctx) || !rect || !UsableBrush(brush)) return;
    CGContextSetFillColorWithColor(ctx->ctx, brush->colour);
    CGContextFillRect(ctx->ctx, CGRectMake(rect->left, rect->top, rect->right - rect->left,
                                           rect->bottom - rect->top));
}

void SWELL_SetPixel(HDC ctx, int x, int y, int colour) {
    if (!SWELL_IsValidContext(ctx)) return;
    // The pixel's own square: a segment through its corner would smear over four pixels.
    CGContextSetRGBFillColor(ctx->ctx, ((colour >> 16) & 0xff) / 255.0,
                             ((colour >> 8) & 0xff) / 255.0, (colour & 0xff) / 255.0, 1);
    CGContextFillRect(ctx->ctx, CGRectMake(x, y, 1, 1));
}

void SWELL_FillDialogBackground(HDC ctx, const RECT* rect, int) {
    if (!SWELL_IsValidContext(ctx) || !rect) return;
    CGContextSetRGBFillColor(ctx->ctx, 0xec / 255.0, 0xec / 255.0, 0xec / 255.0, 1);
    CGContextFillRect(ctx->ctx, CGRectMake(rect->left, rect->top, rect->right - rect->left,
                                           rect->bottom - rect->top));
}

void SWELL_PushClipRegion(HDC ctx) {
    if (SWELL_IsValidContext(ctx)) CGContextSaveGState(ctx->ctx);
}

void SWELL_PopClipRegion(HDC ctx) {
    if (SWELL_IsValidContext(ctx)) CGContextRestoreGState(ctx->ctx);
}

void SWELL_SetClipRegion(HDC ctx, const RECT* rect) {
    if (!SWELL_IsValidContext(ctx) || !rect) return;
    CGContextClipToRect(ctx->ctx, CGRectMake(rect->left, rect->top, rect->right - rect->left,
                                             rect->bottom - rect->top));
}

namespace {

// Drops the part of a source span before 0 or past `limit`, shrinking the destination span in
// proportion. False when nothing remains.
bool ClipSpan(int* d, int* dw, int* s, int* sw, int limit) {
    if (*s < 0) {
        long long cut = static_cast<long long>(-*s) * *dw / *sw;
        *d += static_cast<int>(cut);
        *dw -= static_cast<int>(cut);
        *sw += *s;
        *s = 0;
    }
    if (*sw < 1) return false;
    if (*s + *sw > limit) {
        int kept = limit - *s;
        if (kept < 1) return false;
        *dw = static_cast<int>(static_cast<long long>(*dw) * kept / *sw);
        *sw = kept;
    }
    return *dw != 0;
}

} // namespace

void StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                int mode) {
    if (!SWELL_IsValidContext(dst) || !SWELL_IsValidContext(src) || !src->ownedMemory) return;
    if (sw < 1 || sh < 1) return;
    int srcW = static_cast<int>(CGBitmapContextGetWidth(src->ctx));
    int srcH = static_cast<int>(CGBitmapContextGetHeight(src->ctx));
    if (!ClipSpan(&x, &w, &sx, &sw, srcW) || !ClipSpan(&y, &h, &sy, &sh, srcH)) return;

    size_t rowBytes = static_cast<size_t>(srcW) * 4;
    const unsigned char* first =
        static_cast<const unsigned char*>(CGBitmapContextGetData(src->ctx)) + sy * rowBytes +
        static_cast<size_t>(sx) * 4;
    size_t available = (static_cast<size_t>(srcH) - sy) * rowBytes - static_cast<size_t>(sx) * 4;
    CGDataProviderRef provider = CGDataProviderCreateWithData(nullptr, first, available, nullptr);
    if (!provider) return;
    CGBitmapInfo info =
        mode == SRCCOPY_USESOURCEALPHA ? kCGImageAlphaFirst : kCGImageAlphaNoneSkipFirst;
    CGImageRef image = CGImageCreate(sw, sh, 8, 32, rowBytes, SWELL_DeviceRGB(), info, provider,
                                     nullptr, true, kCGRenderingIntentDefault);
    CGDataProviderRelease(provider);
    if (!image) return;
    // Quartz draws an image's top row at the rectangle's top in y-up space; flip it back.
    CGContextSaveGState(dst->ctx);
    CGContextTranslateCTM(dst->ctx, x, y + h);
    CGContextScaleCTM(dst->ctx, 1, -1);
    CGContextDrawImage(dst->ctx, CGRectMake(0, 0, w, h), image);
    CGContextRestoreGState(dst->ctx);
    CGImageRelease(image);
}

void BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int mode) {
    StretchBlt(dst, x, y, w, h, src, sx, sy, w, h, mode);
}
