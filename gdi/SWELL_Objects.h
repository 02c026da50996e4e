#pragma once

#include "gdi/SWELL_Types.h"

// GDI objects: pens, brushes, bitmaps, icons, stock objects, and their selection into
// contexts. Every object made here is deleted by its creator with DeleteObject.

// Puts an object into the context's pen, brush or font slot, or clears a slot when given the
// pseudo handle 1 (pen), 2 (brush) or 3 (font). Returns the previously selected object of that
// kind; when there was none, the pseudo handle of the kind, so selecting the result back
// restores the old state. 0 for an invalid context or object.
HGDIOBJ SelectObject(HDC ctx, HGDIOBJ obj);

// Deletes an object. Stock objects, pseudo handles and deleted handles are ignored.
void DeleteObject(HGDIOBJ obj);

// NULL_PEN (1): a pen that draws nothing; NULL_BRUSH (2): a brush that fills nothing. Owned by
// the layer. Null for any other index.
HGDIOBJ GetStockObject(int index);

// A solid pen of max(width, 0) pixels (drawn at least 1 wide) in 0x00RRGGBB; the style is
// ignored.
HPEN CreatePen(int style, int width, int colour);
HPEN CreatePenAlpha(int style, int width, int colour, float alpha);
HBRUSH CreateSolidBrush(int colour);
HBRUSH CreateSolidBrushAlpha(int colour, float alpha);

// The colours of the user interface elements by index; 0 for an unknown index.
int GetSysColor(int index);

// A bitmap object owning an image copied from w x h pixels of 32 bits (rows of w x 4 bytes,
// each pixel alpha or an ignored byte, then red, green, blue); with alpha when bpp is 32.
// Null when w or h is below 1 or bits is null.
HBITMAP CreateBitmap(int w, int h, int planes, int bpp, const void* bits);

// An icon sharing the image of info->hbmColor, when info->fIcon is set and hbmColor is a valid
// bitmap; null otherwise.
HICON CreateIconIndirect(const ICONINFO* info);

// Zeroes size bytes of out; for a bitmap with size 8 (a BITMAP) writes its width and height and
// returns 1, otherwise 0.
int GetObject(HGDIOBJ obj, int size, void* out);

// The image (CGImageRef) of a bitmap or icon object, owned by the object, or null.
void* GetNSImageFromHICON(HICON icon);
