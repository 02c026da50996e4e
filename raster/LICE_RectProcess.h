#pragma once

#include "raster/LICE_IBitmap.h"

// Per-pixel processing of a rectangle clipped to the bitmap, and colour-keyed operations.

// Each channel := clamp(channel * scale + add), channels and adds in levels 0..255.
void LICE_MultiplyAddRect(LICE_IBitmap* dest, int x, int y, int w, int h, float rsc, float gsc,
                          float bsc, float asc, float radd, float gadd, float badd, float aadd);

// Calls procpix once per pixel of the clipped rectangle, row by row.
void LICE_ProcessRect(LICE_IBitmap* dest, int x, int y, int w, int h,
                      void (*procpix)(LICE_pixel* pixel, void* parm), void* parm);

// Scan fill from (x, y): pixels whose (pixel & comparemask) equals the start pixel's are
// reached row by row, down and then up from y while column x still matches, and left and right
// from column x in each row while pixels match; each becomes (pixel & keepmask) | newcolor.
void LICE_SimpleFill(LICE_IBitmap* dest, int x, int y, LICE_pixel newcolor, LICE_pixel comparemask,
                     LICE_pixel keepmask);

// A pixel whose red, green and blue equal those of color gets alpha 0, every other pixel 255.
void LICE_SetAlphaFromColorMask(LICE_IBitmap* dest, LICE_pixel color);
