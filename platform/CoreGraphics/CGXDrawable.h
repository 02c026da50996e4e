#pragma once

// Not part of Apple's Quartz: how the window stand-in shows a bitmap context on an X server.
// A view draws into a bitmap context in memory; these calls convert the part it drew into the
// layout of the window's X visual (its channel masks, pixel size and byte order) and send it
// with XPutImage. Xlib types are passed as opaque pointers and ids so that this header does
// not bring Xlib's macros into the code that includes it.
#include <CoreGraphics/CGContext.h>

CG_EXTERN_C_BEGIN

// The pixel layout of an X visual's images.
typedef struct CGXPixelFormat {
    uint32_t redMask, greenMask, blueMask;
    int bitsPerPixel; // 16, 24 or 32
    bool msbFirst;    // the image's byte order is most significant byte first
} CGXPixelFormat;

// Converts width x height pixels of a 32-bit context in its own bitmap info layout (alpha or
// skipped byte first, either byte order) into the format, rows dstRowBytes apart. Each channel
// keeps its top bits: a 5-bit red mask receives red >> 3. False for a format this does not
// convert (another pixel size, a mask wider than 8 bits, an unsupported source layout).
CG_EXTERN bool CGXConvertPixels(const void* src, size_t srcRowBytes, CGBitmapInfo srcInfo,
                                void* dst, size_t dstRowBytes, size_t width, size_t height,
                                const CGXPixelFormat* format);

// Sends the context's device pixels [x, x + width) x [y, y + height) (top row 0) to drawable at
// (dstX, dstY), through gc, converted for visual (a Visual*) of depth bits on display (a
// Display*). The rectangle is clipped to the context. Answers false when nothing could be sent
// (no context, empty rectangle, an unsupported visual, no memory); X errors are reported to the
// display's error handler as usual.
CG_EXTERN bool CGContextPutToXDrawable(CGContextRef c, void* display, unsigned long drawable,
                                       void* gc, void* visual, int depth, int x, int y, int width,
                                       int height, int dstX, int dstY);

CG_EXTERN_C_END
