#pragma once

#include "raster/LICE_IBitmap.h"

// Filled trapezoids and convex polygons, row by row. A row y of an edge from (xa, ya) to
// (xb, yb) lies at xa + floor((xb - xa)(y - ya) / (yb - ya)), computed exactly, so edges end on
// their end points and shapes that share an edge meet without gaps or jags. Each covered row's
// span runs from the left edge to the right edge inclusive and is blended once. Plain copies at
// weights 256, 192, 128 and 64 use the word-wide mixes; otherwise the operator field
// (mode & 0xff) picks the operator, applied with the colour's own four channels. Weight 0 and
// operators above 5 draw nothing. Coordinates may lie anywhere in the int range.

// Row y1 spans x1a..x1b and row y2 spans x2a..x2b (either order each), inclusive; the rows
// between follow the two edges.
void LICE_FillTrapezoid(LICE_IBitmap* dest, int x1a, int x1b, int y1, int x2a, int x2b, int y2,
                        LICE_pixel color, float alpha, int mode);

// The convex polygon of npoints points in any order (fewer than 3 draw nothing). Its outline is
// walked down two chains from the top row, the left one turning as little as possible to the
// left and the right one to the right, which for points in convex position is their hull. Up to
// 512 points are kept on the stack.
void LICE_FillConvexPolygon(LICE_IBitmap* dest, const int* x, const int* y, int npoints,
                            LICE_pixel color, float alpha, int mode);

void LICE_FillTriangle(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3,
                       LICE_pixel color, float alpha, int mode);
