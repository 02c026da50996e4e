#pragma once

#include "raster/LICE_IBitmap.h"

// Writes the bitmap's image rows (top row first, whatever its orientation) to filename as an
// 8-bit PNG: RGBA with the pixels' alpha bytes when wantalpha, else RGB. The file is written
// whole or not at all: false, with no file left behind, for a bitmap without pixels, a file
// that cannot be made, or a write that fails.
bool LICE_WritePNG(const char* filename, LICE_IBitmap* bmp, bool wantalpha = true);
