#include "editor/IGraphicsMacBitmap_p.h"

#include "gdi/SWELL_Context.h"
#include "raster/LICE_PNG.h"
#include "raster/LICE_ScaledBlit.h"
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

LICE_SysBitmap* NewSysBitmap(int w, int h) {
    auto* bitmap = new LICE_SysBitmap(w, h);
    if (bitmap->getBits() && bitmap->getWidth() == w && bitmap->getHeight() == h) return bitmap;
    delete bitmap;
    return nullptr;
}

void DeleteSysBitmap(LICE_SysBitmap* bitmap) {
    delete bitmap;
}

void ScaleSysBitmapArea(LICE_SysBitmap* dest, LICE_SysBitmap* source, int scale,
                        const IRECT& area) {
    if (!dest || !source || scale < 1) return;
    const IRECT r = area.Intersect(IRECT(0, 0, source->getWidth(), source->getHeight()));
    if (r.W() <= 0 || r.H() <= 0) return;
    // Device pixel i samples the editor at i / s. Starting one editor pixel early (plus one
    // device pixel) and reading one editor pixel past the area keeps every edge pixel's mix
    // with its outside neighbour: the blit never reads beyond its source rectangle.
    const float step = 1.0f / scale;
    const int w = r.W() + 1, h = r.H() + 1;
    LICE_ScaledBlit(dest, source, scale * (r.L - 1) + 1, scale * (r.T - 1) + 1, w * scale,
                    h * scale, r.L - 1 + step, r.T - 1 + step, w, h, 1.0f,
                    LICE_COMBINE_COPY | LICE_FILTER_BILINEAR);
}

LICE_IBitmap* LoadPNGFile(const char* path) {
    return LICE_LoadPNG(path, nullptr);
}
