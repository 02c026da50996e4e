#pragma once

#include "raster/LICE_IBitmap.h"

// Compares two bitmaps: 0 when both have the same size and the same pixels (two null bitmaps
// are equal). Otherwise non-zero: a difference of width, then of height, decides first
// (-1 when a is the smaller), then the first differing pixel in row order (-1 when a's pixel
// value is the smaller); a null bitmap orders before any other. With coordsOut, a pixel
// difference also stores the bounding box of all differing pixels there as x, y, width,
// height (all 0 when the bitmaps are equal or differ in size).
int LICE_BitmapCmp(LICE_IBitmap* a, LICE_IBitmap* b, int* coordsOut = nullptr);
