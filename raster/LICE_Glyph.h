#pragma once

#include "raster/LICE_IBitmap.h"

// Draws an 8-bit coverage map (glyph_w x glyph_h bytes, row after row, 0 = untouched) in one
// colour with its top-left corner at (x, y), clipped to the bitmap. Every non-zero byte v applies
// the operator of (mode & 0xff), copy to HSV adjust, with the colour's own four channels and the
// weight (v * trunc(alpha * 256)) ÷ 256. A null map or bitmap, an empty or clipped-away map, a
// weight of 0 or less and operators above 5 draw nothing.
void LICE_DrawGlyph(LICE_IBitmap* dest, int x, int y, LICE_pixel color, const unsigned char* alphas,
                    int glyph_w, int glyph_h, float alpha, int mode);
