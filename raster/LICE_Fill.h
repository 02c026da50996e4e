#pragma once

#include "raster/LICE_IBitmap.h"

// Fills one colour into the rectangle (x, y, w, h) clipped to the bitmap, at weight
// trunc(alpha * 256). With LICE_USE_SOURCE_ALPHA alpha is first scaled by the colour's alpha
// byte ÷ 255. The operator comes from (mode & 0xff) alone; the weight stands in for the source
// alpha. Plain copies at weights 256, 192, 128 and 64 use word-wide mixes.
void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha,
                   int mode);

// Every pixel of the bitmap := color.
void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color);

// Every pixel of the clipped rectangle := (pixel & mask) | orbits.
void LICE_ClearRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel mask = 0,
                    LICE_pixel orbits = 0);

// A linear gradient over the clipped rectangle: channel values 0..1 at (x, y) and their changes
// per pixel along x and y. Colour channels scale by 255 and alpha by 256 into 16.16 steps; the
// alpha value is each pixel's weight, and results are clamped. The operator comes from
// (mode & 0xff); a plain copy at a constant alpha of 1 overwrites.
void LICE_GradRect(LICE_IBitmap* dest, int x, int y, int w, int h, float ir, float ig, float ib,
                   float ia, float drdx, float dgdx, float dbdx, float dadx, float drdy, float dgdy,
                   float dbdy, float dady, int mode);
