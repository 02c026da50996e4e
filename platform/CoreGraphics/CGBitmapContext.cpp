#include "CGContext_p.h"
#include "CGImage_p.h"

#include <CoreGraphics/CGBitmapContext.h>

#include <new>
#include <stdlib.h>
#include <string.h>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the pixman formats below assume a little-endian machine");

bool CGPixmanFormatFor(CGBitmapInfo info, pixman_format_code_t* format, int* skipByte) {
    CGBitmapInfo order = info & kCGBitmapByteOrderMask;
    bool little = order == kCGBitmapByteOrder32Little;
    if (!little && order != kCGBitmapByteOrderDefault && order != kCGBitmapByteOrder32Big)
        return false;
    // Read as a native word, big-endian A R G B is B G R A from the top byte down.
    struct Layout {
        CGImageAlphaInfo alpha;
        pixman_format_code_t big, little;
        int bigSkip, littleSkip;
    };
    static const Layout layouts[] = {
        {kCGImageAlphaNoneSkipFirst, PIXMAN_b8g8r8x8, PIXMAN_x8r8g8b8, 0, 3},
        {kCGImageAlphaPremultipliedFirst, PIXMAN_b8g8r8a8, PIXMAN_a8r8g8b8, -1, -1},
        {kCGImageAlphaFirst, PIXMAN_b8g8r8a8, PIXMAN_a8r8g8b8, -1, -1},
        {kCGImageAlphaNoneSkipLast, PIXMAN_x8b8g8r8, PIXMAN_r8g8b8x8, 3, 0},
        {kCGImageAlphaPremultipliedLast, PIXMAN_a8b8g8r8, PIXMAN_r8g8b8a8, -1, -1},
        {kCGImageAlphaLast, PIXMAN_a8b8g8r8, PIXMAN_r8g8b8a8, -1, -1},
    };
    for (const Layout& layout : layouts) {
        if (layout.alpha != (info & kCGBitmapAlphaInfoMask)) continue;
        *format = little ? layout.little : layout.big;
        *skipByte = little ? layout.littleSkip : layout.bigSkip;
        return true;
    }
    return false;
}

CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent,
                                   size_t bytesPerRow, CGColorSpaceRef space,
                                   CGBitmapInfo bitmapInfo) {
    if (!space || bitsPerComponent != 8 || width == 0 || height == 0) return nullptr;
    if (width > 0x3fffffff / 4 || height > 0x7fffffff) return nullptr;
    if (bytesPerRow == 0 && !data) bytesPerRow = width * 4;
    if (bytesPerRow < width * 4 || bytesPerRow % 4 != 0 || bytesPerRow > 0x7fffffff) return nullptr;
    // Only a context that writes its pixels may be premultiplied or skip its alpha.
    CGImageAlphaInfo alpha = bitmapInfo & kCGBitmapAlphaInfoMask;
    if (alpha == kCGImageAlphaFirst || alpha == kCGImageAlphaLast) return nullptr;
    pixman_format_code_t format;
    int skipByte;
    if (!CGPixmanFormatFor(bitmapInfo, &format, &skipByte)) return nullptr;
    if (height > SIZE_MAX / bytesPerRow) return nullptr;

    CGContext* c = new (std::nothrow) CGContext;
    if (!c) return nullptr;
    if (!data) {
        data = calloc(height, bytesPerRow);
        c->ownsData = true;
    }
    c->data = data;
    c->width = width;
    c->height = height;
    c->bytesPerRow = bytesPerRow;
    c->bitmapInfo = bitmapInfo;
    c->skipByte = skipByte;
    if (data)
        c->target =
            pixman_image_create_bits(format, static_cast<int>(width), static_cast<int>(height),
                                     static_cast<uint32_t*>(data), static_cast<int>(bytesPerRow));
    if (!c->target) {
        if (c->ownsData) free(data);
        delete c;
        return nullptr;
    }
    CGContextResetState(c);
    return c;
}

void* CGBitmapContextGetData(CGContextRef c) {
    return c ? c->data : nullptr;
}
size_t CGBitmapContextGetWidth(CGContextRef c) {
    return c ? c->width : 0;
}
size_t CGBitmapContextGetHeight(CGContextRef c) {
    return c ? c->height : 0;
}
size_t CGBitmapContextGetBytesPerRow(CGContextRef c) {
    return c ? c->bytesPerRow : 0;
}
size_t CGBitmapContextGetBitsPerPixel(CGContextRef c) {
    return c ? 32 : 0;
}
CGBitmapInfo CGBitmapContextGetBitmapInfo(CGContextRef c) {
    return c ? c->bitmapInfo : 0;
}

static void FreeCopiedPixels(void*, const void* data, size_t) {
    free(const_cast<void*>(data));
}

CGImageRef CGBitmapContextCreateImage(CGContextRef c) {
    if (!c) return nullptr;
    size_t size = c->height * c->bytesPerRow;
    void* copy = malloc(size);
    if (!copy) return nullptr;
    memcpy(copy, c->data, size);
    CGDataProviderRef provider =
        CGDataProviderCreateWithData(nullptr, copy, size, FreeCopiedPixels);
    if (!provider) {
        free(copy);
        return nullptr;
    }
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    CGImageRef image =
        CGImageCreate(c->width, c->height, 8, 32, c->bytesPerRow, space, c->bitmapInfo, provider,
                      nullptr, true, kCGRenderingIntentDefault);
    CGColorSpaceRelease(space);
    CGDataProviderRelease(provider);
    return image;
}
