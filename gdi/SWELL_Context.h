#pragma once

#include "gdi/SWELL_Types.h"

// Device contexts: memory contexts with a directly addressable frame buffer, wrapped Quartz
// contexts, and the per-context text colour and background state. Handles that are null or
// already deleted are ignored by every operation.

// A context over its own zero-filled frame buffer of w x h pixels: rows of w x 4 bytes, top row
// first, first pixel 64-byte aligned, each pixel one ignored byte then red, green, blue. The
// reference context is not used. Null when the memory or the context cannot be made. The
// caller deletes it with SWELL_DeleteGfxContext.
HDC SWELL_CreateMemContext(HDC reference, int w, int h);

// The first pixel of the top row of a memory context; stable until the context is deleted.
// Null for an invalid context or one without its own memory.
void* SWELL_GetCtxFrameBuffer(HDC ctx);

// Deletes a context made by SWELL_CreateMemContext or SWELL_CreateGfxContext, and the frame
// buffer it owns.
void SWELL_DeleteGfxContext(HDC ctx);

// A context drawing into someone else's Quartz context (a CGContextRef), which it retains.
// Null for a null context.
HDC SWELL_CreateGfxContext(void* cgContext);

// The Quartz context (CGContextRef) a context draws into, or null. Owned by the context.
void* SWELL_GetCtxGC(HDC ctx);

// Colours are 0x00RRGGBB.
void SetTextColor(HDC ctx, int colour);
// The text colour, or -1 for an invalid context.
int GetTextColor(HDC ctx);
void SetBkColor(HDC ctx, int colour);
// OPAQUE (1) fills the background colour behind text; any other value leaves it transparent.
void SetBkMode(HDC ctx, int mode);
