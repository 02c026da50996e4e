#pragma once

// The whole rasteriser: pixels and blend modes, bitmaps, combine operators, blits, fills, lines
// and shapes, glyph maps, the cached font and PNG loading.
#include "raster/LICE_BitmapCmp.h"
#include "raster/LICE_Blit.h"
#include "raster/LICE_Blur.h"
#include "raster/LICE_CachedFont.h"
#include "raster/LICE_Circle.h"
#include "raster/LICE_Combine.h"
#include "raster/LICE_Curve.h"
#include "raster/LICE_Fill.h"
#include "raster/LICE_Glyph.h"
#include "raster/LICE_IBitmap.h"
#include "raster/LICE_Line.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_PNG.h"
#include "raster/LICE_Pixel.h"
#include "raster/LICE_PixelAccess.h"
#include "raster/LICE_Polygon.h"
#include "raster/LICE_RectProcess.h"
#include "raster/LICE_RotatedBlit.h"
#include "raster/LICE_ScaledBlit.h"
#include "raster/LICE_SysBitmap.h"
