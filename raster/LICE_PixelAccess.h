#pragma once

#include "raster/LICE_IBitmap.h"

// Combines color into the pixel at (x, y) at weight trunc(alpha * 256), with the colour's own
// alpha byte as the source alpha; the operator comes from (mode & 0xff). Positions outside the
// bitmap change nothing.
void LICE_PutPixel(LICE_IBitmap* dest, int x, int y, LICE_pixel color, float alpha, int mode);

// The pixel at (x, y); 0 for a null bitmap, null bits or a position outside.
LICE_pixel LICE_GetPixel(LICE_IBitmap* src, int x, int y);
