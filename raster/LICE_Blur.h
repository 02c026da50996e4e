#pragma once

#include "raster/LICE_IBitmap.h"

// Cross-shaped blur of the source rectangle (srcx, srcy, srcw, srch) drawn at (dstx, dsty):
// each pixel becomes ½ of itself plus ⅛ of each of its four neighbours, word-wide; where the
// rectangle has no neighbour on one side, the opposite one on that axis weighs ¼ (and with
// neither, the pixel itself). src and dest may be the same bitmap: the unblurred rows are then
// kept in a buffer on the stack, or on the heap beyond 1024 pixels of width (if that allocation
// fails nothing is drawn).
void LICE_Blur(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch);

// Each destination pixel := the mean of a 2 x 2 source block (four quarter words), over at most
// half the source size.
void LICE_HalveBlitAA(LICE_IBitmap* dest, LICE_IBitmap* src);
