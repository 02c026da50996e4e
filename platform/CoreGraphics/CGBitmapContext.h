#pragma once

#include <CoreGraphics/CGContext.h>

CG_EXTERN_C_BEGIN

// A context drawing into width x height pixels at data, rows bytesPerRow apart, the top row
// first. Supported: 8 bits per component, 32 bits per pixel, kCGImageAlphaNoneSkipFirst or
// kCGImageAlphaPremultipliedFirst in the default (big-endian) or 32-bit little-endian byte
// order. A null data makes the context allocate zero-filled memory it owns. Null when the
// format or sizes are not supported. The ignored byte of a skipped-alpha format is never
// written. The caller releases the context; the memory stays the caller's.
CG_EXTERN CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height,
                                             size_t bitsPerComponent, size_t bytesPerRow,
                                             CGColorSpaceRef space, CGBitmapInfo bitmapInfo);
CG_EXTERN void* CGBitmapContextGetData(CGContextRef c);
CG_EXTERN size_t CGBitmapContextGetWidth(CGContextRef c);
CG_EXTERN size_t CGBitmapContextGetHeight(CGContextRef c);
CG_EXTERN size_t CGBitmapContextGetBytesPerRow(CGContextRef c);
CG_EXTERN size_t CGBitmapContextGetBitsPerPixel(CGContextRef c);
CG_EXTERN CGBitmapInfo CGBitmapContextGetBitmapInfo(CGContextRef c);
// An image holding a copy of the context's pixels as they are now. The caller releases it.
CG_EXTERN CGImageRef CGBitmapContextCreateImage(CGContextRef c);

CG_EXTERN_C_END
