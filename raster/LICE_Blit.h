#pragma once

#include "raster/LICE_IBitmap.h"

// Straight blits: a source rectangle (the whole source when srcrect is null) drawn at
// (dstx, dsty) through the standard dispatch at weight trunc(alpha * 256), clipped to both
// bitmaps. A negative source left or top moves the destination by the same amount. A low mode
// byte of 0xf0 or more copies one byte channel instead (source channel mode & 3 into destination
// channel (mode >> 2) & 3). Plain copies at alpha 1.0 copy rows as bytes; at 0.5 each byte
// becomes (d >> 1) + (s >> 1). Null bitmaps, null bits, zero alpha and empty rectangles draw
// nothing.
void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, const RECT* srcrect,
               float alpha, int mode);
void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch, float alpha, int mode);

// Resizes dest to the size of src and copies every pixel. The only blit that allocates.
void LICE_Copy(LICE_IBitmap* dest, LICE_IBitmap* src);
