#include "gdi/SWELL_Context.h"

#include "gdi/SWELL_Records.h"

#include <stdint.h>
#include <stdlib.h>

namespace {

// Frame buffers start on a 64-byte boundary inside their allocation.
void* AlignedFrameBuffer(void* memory) {
    uintptr_t p = reinterpret_cast<uintptr_t>(memory);
    return reinterpret_cast<void*>((p + 63) & ~static_cast<uintptr_t>(63));
}

HDC NewContext(CGContextRef cg, void* memory) {
    HDC ctx = SWELL_NewContextRecord();
    if (!ctx) return nullptr;
    ctx->ctx = cg;
    ctx->ownedMemory = memory;
    ctx->textColourObject = SWELL_CreateColour(0, 1);
    return ctx;
}

} // namespace

HDC SWELL_CreateMemContext(HDC, int w, int h) {
    if (w < 1 || h < 1 || w > 0x7fffffff / 4 / h) return nullptr;
    void* memory = calloc(static_cast<size_t>(w) * 4 * h + 63, 1);
    if (!memory) return nullptr;
    CGContextRef cg =
        CGBitmapContextCreate(AlignedFrameBuffer(memory), w, h, 8, static_cast<size_t>(w) * 4,
                              SWELL_DeviceRGB(), kCGImageAlphaNoneSkipFirst);
    if (!cg) {
        free(memory);
        return nullptr;
    }
    // GDI's y grows downward from the top row.
    CGContextTranslateCTM(cg, 0, h);
    CGContextScaleCTM(cg, 1, -1);
    HDC ctx = NewContext(cg, memory);
    if (!ctx) {
        CGContextRelease(cg);
        free(memory);
    }
    return ctx;
}

void* SWELL_GetCtxFrameBuffer(HDC ctx) {
    if (!SWELL_IsValidContext(ctx) || !ctx->ownedMemory) return nullptr;
    return AlignedFrameBuffer(ctx->ownedMemory);
}

void SWELL_DeleteGfxContext(HDC ctx) {
    if (!SWELL_IsValidContext(ctx)) return;
    CGContextRelease(ctx->ctx);
    free(ctx->ownedMemory);
    CGColorRelease(ctx->textColourObject);
    SWELL_FreeContextRecord(ctx);
}

HDC SWELL_CreateGfxContext(void* cgContext) {
    if (!cgContext) return nullptr;
    CGContextRef cg = CGContextRetain(static_cast<CGContextRef>(cgContext));
    HDC ctx = NewContext(cg, nullptr);
    if (!ctx) CGContextRelease(cg);
    return ctx;
}

void* SWELL_GetCtxGC(HDC ctx) {
    return SWELL_IsValidContext(ctx) ? ctx->ctx : nullptr;
}

void SetTextColor(HDC ctx, int colour) {
    if (!SWELL_IsValidContext(ctx)) return;
    CGColorRef object = SWELL_CreateColour(colour, 1);
    // Without a new colour object the old one stays, so text keeps a colour it can draw in.
    if (!object) return;
    ctx->textColour = colour;
    CGColorRelease(ctx->textColourObject);
    ctx->textColourObject = object;
}

int GetTextColor(HDC ctx) {
    return SWELL_IsValidContext(ctx) ? ctx->textColour : -1;
}

void SetBkColor(HDC ctx, int colour) {
    if (SWELL_IsValidContext(ctx)) ctx->bkColour = colour;
}

void SetBkMode(HDC ctx, int mode) {
    if (SWELL_IsValidContext(ctx)) ctx->bkMode = mode;
}
