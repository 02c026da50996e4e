#include "editor/IGraphicsMacBitmap_p.h"

#include "gdi/SWELL_Context.h"
#include "raster/LICE_PNG.h"
#include "raster/LICE_SysBitmap.h"

#include <CoreGraphics/CoreGraphics.h>

bool DrawSysBitmapInto(LICE_SysBitmap* bitmap, void* port, int w, int h) {
    if (!bitmap || !port) return false;
    CGContextRef source = static_cast<CGContextRef>(SWELL_GetCtxGC(bitmap->getDC()));
    CGImageRef image = source ? CGBitmapContextCreateImage(source) : nullptr;
    if (!image) return false;
    CGContextDrawImage(static_cast<CGContextRef>(port), CGRectMake(0, 0, w, h), image);
    CGImageRelease(image);
    return true;
}

bool ResizeSysBitmap(LICE_SysBitmap* bitmap, int w, int h) {
    return bitmap && bitmap->resize(w, h);
}

LICE_IBitmap* LoadPNGFile(const char* path) {
    return LICE_LoadPNG(path, nullptr);
}
