#pragma once

#include "raster/LICE_IBitmap.h"

// Draws the source rectangle scaled into the destination rectangle and turned by angle radians
// (positive turns clockwise on screen) about the rectangle's centre moved by (rotxcent,
// rotycent) source pixels. With cliptosourcerect only pixels of the source rectangle are read,
// otherwise any pixel of the source. A negative dstw or dsth mirrors, as in LICE_ScaledBlit.
// Destination pixels whose sample falls outside are left untouched.
void LICE_RotatedBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                      float srcx, float srcy, float srcw, float srch, float angle,
                      bool cliptosourcerect, float alpha, int mode, float rotxcent = 0.0f,
                      float rotycent = 0.0f);

// The general affine sampler: destination pixel (i, j) of the rectangle reads the source at
// (srcx, srcy) + j (dsdy, dtdy) + i (dsdx + j dsdxdy, dtdx + j dtdxdy). With cliptosourcerect the
// reads are limited to (srcx, srcy, srcw, srch), otherwise to the whole source.
void LICE_DeltaBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                    float srcx, float srcy, float srcw, float srch, double dsdx, double dtdx,
                    double dsdy, double dtdy, double dsdxdy, double dtdxdy, bool cliptosourcerect,
                    float alpha, int mode);

// Warps the source onto the destination rectangle through a grid of div_w x div_h source points
// (x, y pairs, row by row, the first at the rectangle's top-left corner and the last at its
// bottom-right); each grid cell is drawn by the delta sampler. Grids smaller than 2 x 2 draw
// nothing.
void LICE_TransformBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw,
                        int dsth, const float* srcpoints, int div_w, int div_h, float alpha,
                        int mode);
