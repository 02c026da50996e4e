#include "CGContext_p.h"

#include <CoreGraphics/CGXDrawable.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <stdlib.h>
#include <string.h>

namespace {

// Where red, green and blue sit within a source pixel's four bytes.
struct SourceLayout {
    int red, green, blue;
};

bool sourceLayoutFor(CGBitmapInfo info, SourceLayout* layout) {
    CGImageAlphaInfo alpha = info & kCGBitmapAlphaInfoMask;
    bool alphaFirst = alpha == kCGImageAlphaNoneSkipFirst ||
                      alpha == kCGImageAlphaPremultipliedFirst || alpha == kCGImageAlphaFirst;
    if (!alphaFirst) return false;
    CGBitmapInfo order = info & kCGBitmapByteOrderMask;
    if (order == kCGBitmapByteOrder32Little) {
        *layout = {2, 1, 0}; // B G R A in memory
        return true;
    }
    if (order == kCGBitmapByteOrderDefault || order == kCGBitmapByteOrder32Big) {
        *layout = {1, 2, 3}; // A R G B in memory
        return true;
    }
    return false;
}

// The value each 8-bit channel contributes to a pixel under its mask: the channel's top bits,
// shifted into place.
struct ChannelTables {
    uint32_t red[256], green[256], blue[256];
};

bool fillTable(uint32_t mask, uint32_t* table) {
    if (!mask) return false;
    int shift = __builtin_ctz(mask);
    int bits = __builtin_popcount(mask);
    if (bits > 8 || (mask >> shift) != (1u << bits) - 1) return false;
    for (uint32_t v = 0; v < 256; ++v)
        table[v] = (v >> (8 - bits)) << shift;
    return true;
}

// One row loop per destination pixel size and byte order.
template <int Bytes, bool MsbFirst>
void convertRows(const uint8_t* src, size_t srcRowBytes, SourceLayout in, uint8_t* dst,
                 size_t dstRowBytes, size_t width, size_t height, const ChannelTables& t) {
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* s = src + y * srcRowBytes;
        uint8_t* d = dst + y * dstRowBytes;
        for (size_t x = 0; x < width; ++x, s += 4, d += Bytes) {
            uint32_t pixel = t.red[s[in.red]] | t.green[s[in.green]] | t.blue[s[in.blue]];
            for (int b = 0; b < Bytes; ++b) {
                int shift = MsbFirst ? 8 * (Bytes - 1 - b) : 8 * b;
                d[b] = static_cast<uint8_t>(pixel >> shift);
            }
        }
    }
}

typedef void (*RowConverter)(const uint8_t*, size_t, SourceLayout, uint8_t*, size_t, size_t, size_t,
                             const ChannelTables&);

RowConverter converterFor(int bitsPerPixel, bool msbFirst) {
    struct Entry {
        int bits;
        bool msb;
        RowConverter convert;
    };
    static const Entry kConverters[] = {
        {16, false, convertRows<2, false>}, {16, true, convertRows<2, true>},
        {24, false, convertRows<3, false>}, {24, true, convertRows<3, true>},
        {32, false, convertRows<4, false>}, {32, true, convertRows<4, true>},
    };
    for (const Entry& e : kConverters)
        if (e.bits == bitsPerPixel && e.msb == msbFirst) return e.convert;
    return nullptr;
}

// The bits per pixel of the server's images at depth (they may be wider than the depth).
int bitsPerPixelForDepth(Display* display, int depth) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bits = 0;
    for (int i = 0; formats && i < count; ++i)
        if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
    if (formats) XFree(formats);
    return bits;
}

} // namespace

bool CGXConvertPixels(const void* src, size_t srcRowBytes, CGBitmapInfo srcInfo, void* dst,
                      size_t dstRowBytes, size_t width, size_t height,
                      const CGXPixelFormat* format) {
    if (!src || !dst || !format) return false;
    SourceLayout in;
    if (!sourceLayoutFor(srcInfo, &in)) return false;
    RowConverter convert = converterFor(format->bitsPerPixel, format->msbFirst);
    if (!convert) return false;
    static thread_local ChannelTables tables;
    if (!fillTable(format->redMask, tables.red) || !fillTable(format->greenMask, tables.green) ||
        !fillTable(format->blueMask, tables.blue))
        return false;
    convert(static_cast<const uint8_t*>(src), srcRowBytes, in, static_cast<uint8_t*>(dst),
            dstRowBytes, width, height, tables);
    return true;
}

bool CGContextPutToXDrawable(CGContextRef c, void* display, unsigned long drawable, void* gc,
                             void* visual, int depth, int x, int y, int width, int height, int dstX,
                             int dstY) {
    if (!c || !display || !drawable || !gc || !visual) return false;
    // Clip to the context.
    if (x < 0) {
        width += x;
        dstX -= x;
        x = 0;
    }
    if (y < 0) {
        height += y;
        dstY -= y;
        y = 0;
    }
    width = static_cast<int>(std::min<long>(width, static_cast<long>(c->width) - x));
    height = static_cast<int>(std::min<long>(height, static_cast<long>(c->height) - y));
    if (width <= 0 || height <= 0) return false;

    auto* dpy = static_cast<Display*>(display);
    auto* vis = static_cast<Visual*>(visual);
    CGXPixelFormat format = {static_cast<uint32_t>(vis->red_mask),
                             static_cast<uint32_t>(vis->green_mask),
                             static_cast<uint32_t>(vis->blue_mask),
                             bitsPerPixelForDepth(dpy, depth), ImageByteOrder(dpy) == MSBFirst};
    const uint8_t* pixels = static_cast<const uint8_t*>(c->data);
    SourceLayout in;
    if (!sourceLayoutFor(c->bitmapInfo, &in)) return false;

    // The common visual (32-bit pixels, 8 bits a channel, least significant byte first) is the
    // layout of a little-endian x8r8g8b8 context: the image is the context's own memory.
    bool native = format.bitsPerPixel == 32 && !format.msbFirst && format.redMask == 0xff0000 &&
                  format.greenMask == 0xff00 && format.blueMask == 0xff && in.red == 2 &&
                  in.green == 1 && in.blue == 0;
    XImage* image = nullptr;
    char* scratch = nullptr;
    if (native) {
        image = XCreateImage(dpy, vis, static_cast<unsigned>(depth), ZPixmap, 0,
                             const_cast<char*>(reinterpret_cast<const char*>(pixels)),
                             static_cast<unsigned>(c->width), static_cast<unsigned>(c->height), 32,
                             static_cast<int>(c->bytesPerRow));
        if (!image) return false;
        XPutImage(dpy, drawable, static_cast<GC>(gc), image, x, y, dstX, dstY,
                  static_cast<unsigned>(width), static_cast<unsigned>(height));
    } else {
        size_t bytesPerPixel = static_cast<size_t>(format.bitsPerPixel) / 8;
        if (bytesPerPixel < 2) return false;
        size_t rowBytes = (static_cast<size_t>(width) * bytesPerPixel + 3) & ~size_t(3);
        scratch = static_cast<char*>(malloc(rowBytes * static_cast<size_t>(height)));
        if (!scratch) return false;
        if (!CGXConvertPixels(pixels + y * c->bytesPerRow + x * 4, c->bytesPerRow, c->bitmapInfo,
                              scratch, rowBytes, static_cast<size_t>(width),
                              static_cast<size_t>(height), &format)) {
            free(scratch);
            return false;
        }
        image = XCreateImage(dpy, vis, static_cast<unsigned>(depth), ZPixmap, 0, scratch,
                             static_cast<unsigned>(width), static_cast<unsigned>(height), 32,
                             static_cast<int>(rowBytes));
        if (!image) {
            free(scratch);
            return false;
        }
        XPutImage(dpy, drawable, static_cast<GC>(gc), image, 0, 0, dstX, dstY,
                  static_cast<unsigned>(width), static_cast<unsigned>(height));
    }
    // The pixels belong to the context or to the scratch buffer, never to the image.
    image->data = nullptr;
    XDestroyImage(image);
    free(scratch);
    return true;
}
