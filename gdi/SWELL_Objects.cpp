#include "gdi/SWELL_Objects.h"

#include "gdi/SWELL_FontFace.h"
#include "gdi/SWELL_Records.h"

#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

namespace {

HGDIOBJ* SlotFor(HDC ctx, int type) {
    switch (type) {
    case HGDIOBJ__::kPen: return &ctx->pen;
    case HGDIOBJ__::kBrush: return &ctx->brush;
    case HGDIOBJ__::kFont: return &ctx->font;
    default: return nullptr;
    }
}

HGDIOBJ PseudoHandle(int type) {
    return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(type));
}

HGDIOBJ NewColouredObject(int type, int width, int colour, float alpha) {
    HGDIOBJ obj = SWELL_NewObjectRecord();
    if (!obj) return nullptr;
    obj->type = type;
    obj->width = width;
    obj->colour = SWELL_CreateColour(colour, alpha);
    return obj;
}

void ReleaseFontAttributes(SWELL_FontAttributes* attributes) {
    if (!attributes) return;
    delete attributes->font;
    CGColorRelease(attributes->foreground);
    delete attributes;
}

} // namespace

HGDIOBJ SelectObject(HDC ctx, HGDIOBJ obj) {
    if (!SWELL_IsValidContext(ctx)) return nullptr;
    uintptr_t pseudo = reinterpret_cast<uintptr_t>(obj);
    if (pseudo >= 1 && pseudo <= 3) {
        int type = static_cast<int>(pseudo);
        HGDIOBJ* slot = SlotFor(ctx, type);
        HGDIOBJ previous = *slot;
        *slot = nullptr;
        return SWELL_IsObjectOfType(previous, type) ? previous : obj;
    }
    if (!SWELL_IsValidObject(obj)) return nullptr;
    HGDIOBJ* slot = SlotFor(ctx, obj->type);
    if (!slot) return nullptr;
    HGDIOBJ previous = *slot;
    *slot = obj;
    return SWELL_IsObjectOfType(previous, obj->type) ? previous : PseudoHandle(obj->type);
}

void DeleteObject(HGDIOBJ obj) {
    if (SWELL_IsStockObject(obj) || !SWELL_IsValidObject(obj)) return;
    if (obj->type < HGDIOBJ__::kPen || obj->type > HGDIOBJ__::kBitmap) {
        free(obj);
        return;
    }
    if ((obj->type == HGDIOBJ__::kPen || obj->type == HGDIOBJ__::kBrush) && obj->width < 0) return;
    CGColorRelease(obj->colour);
    ReleaseFontAttributes(obj->attributes);
    // No text style is ever made here; the field stays for records that arrive with one.
    free(obj->textStyle);
    if (obj->width != 0) CGImageRelease(obj->image);
    SWELL_FreeObjectRecord(obj);
}

HGDIOBJ GetStockObject(int index) {
    switch (index) {
    case NULL_PEN: return SWELL_StockPen();
    case NULL_BRUSH: return SWELL_StockBrush();
    default: return nullptr;
    }
}

HPEN CreatePen(int, int width, int colour) {
    return CreatePenAlpha(0, width, colour, 1);
}

HPEN CreatePenAlpha(int, int width, int colour, float alpha) {
    return NewColouredObject(HGDIOBJ__::kPen, width > 0 ? width : 0, colour, alpha);
}

HBRUSH CreateSolidBrush(int colour) {
    return CreateSolidBrushAlpha(colour, 1);
}

HBRUSH CreateSolidBrushAlpha(int colour, float alpha) {
    return NewColouredObject(HGDIOBJ__::kBrush, 0, colour, alpha);
}

int GetSysColor(int index) {
    static const int colours[] = {0x606060, 0xe0e0e0, 0xc0c0c0, 0,       0xc0c0c0,
                                  0x202020, 0x303030, 0xc0c0c0, 0xfff0c8};
    if (index < 0 || index >= static_cast<int>(sizeof(colours) / sizeof(colours[0]))) return 0;
    return colours[index];
}

namespace {

void FreeBitmapPixels(void*, const void* data, size_t) {
    free(const_cast<void*>(data));
}

CGImageRef CreateImageFromPixels(int w, int h, const void* bits, bool alpha) {
    size_t size = static_cast<size_t>(w) * 4 * h;
    void* copy = malloc(size);
    if (!copy) return nullptr;
    memcpy(copy, bits, size);
    CGDataProviderRef provider =
        CGDataProviderCreateWithData(nullptr, copy, size, FreeBitmapPixels);
    if (!provider) {
        free(copy);
        return nullptr;
    }
    CGImageRef image = CGImageCreate(w, h, 8, 32, static_cast<size_t>(w) * 4, SWELL_DeviceRGB(),
                                     alpha ? kCGImageAlphaFirst : kCGImageAlphaNoneSkipFirst,
                                     provider, nullptr, true, kCGRenderingIntentDefault);
    CGDataProviderRelease(provider);
    return image;
}

} // namespace

HBITMAP CreateBitmap(int w, int h, int, int bpp, const void* bits) {
    if (w < 1 || h < 1 || !bits || w > 0x7fffffff / 4 / h) return nullptr;
    CGImageRef image = CreateImageFromPixels(w, h, bits, bpp == 32);
    if (!image) return nullptr;
    HGDIOBJ obj = SWELL_NewObjectRecord();
    if (!obj) {
        CGImageRelease(image);
        return nullptr;
    }
    obj->type = HGDIOBJ__::kBitmap;
    obj->width = 1;
    obj->image = image;
    return obj;
}

HICON CreateIconIndirect(const ICONINFO* info) {
    if (!info || !info->fIcon || !SWELL_IsObjectOfType(info->hbmColor, HGDIOBJ__::kBitmap) ||
        !info->hbmColor->image)
        return nullptr;
    HGDIOBJ obj = SWELL_NewObjectRecord();
    if (!obj) return nullptr;
    obj->type = HGDIOBJ__::kBitmap;
    obj->width = 1;
    obj->image = CGImageRetain(info->hbmColor->image);
    return obj;
}

int GetObject(HGDIOBJ obj, int size, void* out) {
    if (out && size > 0) memset(out, 0, static_cast<size_t>(size));
    if (!out || size != static_cast<int>(sizeof(BITMAP)) ||
        !SWELL_IsObjectOfType(obj, HGDIOBJ__::kBitmap) || !obj->image)
        return 0;
    BITMAP* bm = static_cast<BITMAP*>(out);
    bm->bmWidth = static_cast<int>(lround(static_cast<double>(CGImageGetWidth(obj->image))));
    bm->bmHeight = static_cast<int>(lround(static_cast<double>(CGImageGetHeight(obj->image))));
    return 1;
}

void* GetNSImageFromHICON(HICON icon) {
    return SWELL_IsObjectOfType(icon, HGDIOBJ__::kBitmap) ? icon->image : nullptr;
}
