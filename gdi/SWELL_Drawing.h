#pragma once

#include "gdi/SWELL_Types.h"

// Lines, shapes, fills, clipping and blits, drawn with the context's selected pen and brush.
// Coordinates are pixels with the origin at the top left; an invalid context draws nothing.

// Sets the current position; writes the previous one to old when given.
void MoveToEx(HDC ctx, int x, int y, POINT* old);
// A line from the current position to (x, y) with the selected pen; the position moves there.
void SWELL_LineTo(HDC ctx, int x, int y);
// Strokes `count` polylines, the i-th with counts[i] points taken in turn from points.
void PolyPolyline(HDC ctx, const POINT* points, const DWORD* counts, int count);
// Strokes cubic Bezier segments from the current position: three points per segment.
void PolyBezierTo(HDC ctx, const POINT* points, int count);

// The path through points 0 to n-1, filled with the selected brush and outlined with the
// selected pen.
void SWELL_Polygon(HDC ctx, const POINT* points, int n);
void Rectangle(HDC ctx, int left, int top, int right, int bottom);
void Ellipse(HDC ctx, int left, int top, int right, int bottom);
// Corners cut to an octagon by a third of ew and eh.
void RoundRect(HDC ctx, int left, int top, int right, int bottom, int ew, int eh);
void SWELL_FillRect(HDC ctx, const RECT* rect, HBRUSH brush);
void SWELL_SetPixel(HDC ctx, int x, int y, int colour);
// Fills with the background colour of dialogs.
void SWELL_FillDialogBackground(HDC ctx, const RECT* rect, int level);

// Clipping is part of the context's saved state: push saves it, pop restores it, and set
// intersects the current clip with the rectangle.
void SWELL_PushClipRegion(HDC ctx);
void SWELL_PopClipRegion(HDC ctx);
void SWELL_SetClipRegion(HDC ctx, const RECT* rect);

// Copies (sx, sy, sw, sh) of the memory context src, clipped to its bitmap, scaled into
// (x, y, w, h) of dst. mode SRCCOPY_USESOURCEALPHA blends by each source pixel's first byte.
void StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                int mode);
void BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int mode);
