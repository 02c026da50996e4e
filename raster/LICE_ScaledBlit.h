#pragma once

#include "raster/LICE_IBitmap.h"

// Draws the source rectangle (srcx, srcy, srcw, srch), in fractional source pixels, scaled onto
// the destination rectangle (dstx, dsty, dstw, dsth), stepping in 16.16 fixed point. A negative
// dstw or dsth mirrors: the rectangle then ends at dstx (dsty) and the source is read from its
// far edge inward, every destination column (row) filled. The filter field LICE_FILTER_BILINEAR
// samples bilinearly, and shrinking by 1.7 or more with it averages 3 x 3 (5 x 5 beyond a step of
// 3) pixels per sample. Without scaling it is a straight blit from the rounded source position.
// Null bitmaps, a zero size or zero alpha draw nothing; nothing outside the source rectangle
// rounded outward is ever read.
void LICE_ScaledBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                     float srcx, float srcy, float srcw, float srch, float alpha, int mode);
