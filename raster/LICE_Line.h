#pragma once

#include "raster/LICE_IBitmap.h"

// Lines and rectangle outlines. Every operation takes a colour, an alpha (weight
// trunc(alpha * 256)) and a blend mode whose operator field (mode & 0xff) alone picks the
// operator, applied with the colour's own four channels; weight 0 and operators above 5 draw
// nothing. End points may lie anywhere in the int range: what falls inside the bitmap is
// exactly what the same line lights on a bitmap large enough to hold it whole. One call blends
// each pixel at most once.

// A line including both end points. Horizontal, vertical and diagonal lines have loops of their
// own; other lines are drawn from both ends toward the middle with 16.16 error stepping.
// Antialiased lines split each step's weight between the two pixels nearest the line.
void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_pixel color, float alpha,
               int mode, bool aa);

// Clips a segment to 0 <= x < w, 0 <= y < h; an end point outside moves onto the first edge it
// violates (bottom, top, right, left) along the segment, truncating toward zero. Returns false
// (end points unchanged) when nothing of the segment remains.
bool ClipLine(int* x1, int* y1, int* x2, int* y2, int w, int h);

// ClipLine against xlo <= x < xhi, ylo <= y < yhi.
bool LICE_ClipLine(int* x1, int* y1, int* x2, int* y2, int xlo, int ylo, int xhi, int yhi);

// A line between sub-pixel end points (pixel centres at whole coordinates): aliased, the pixel
// nearest the line on each step of the longer axis; antialiased, that step's weight split
// between the two nearest pixels. End points that are not finite draw nothing.
void LICE_FLine(LICE_IBitmap* dest, float x1, float y1, float x2, float y2, LICE_pixel color,
                float alpha, int mode, bool aa);

// Clips a segment with floating end points to 0 <= x <= w - 1, 0 <= y <= h - 1 (the bitmap's
// pixel centres). Returns false, end points unchanged, when nothing remains or an end point is
// not finite.
bool ClipFLine(float* x1, float* y1, float* x2, float* y2, int w, int h);

// ClipFLine against xlo <= x <= xhi - 1, ylo <= y <= yhi - 1.
bool LICE_ClipFLine(float* x1, float* y1, float* x2, float* y2, float xlo, float ylo, float xhi,
                    float yhi);

// A line drawn in runs: pxon pixels on, then pxoff pixels off, counted along the longer axis
// from (x1, y1), which starts a run. Non-positive pxon draws nothing; non-positive pxoff draws
// the whole line.
void LICE_DashedLine(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, int pxon, int pxoff,
                     LICE_pixel color, float alpha, int mode, bool aa);

// The outline of the rectangle with corners (x, y) and (x + w, y + h), both included: rows y and
// y + h, columns x and x + w, each pixel (corners included) blended once.
void LICE_DrawRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha,
                   int mode);

// LICE_FillRect of (x + 1, y + 1, w - 1, h - 1) in bgcolor, then LICE_DrawRect of (x, y, w, h)
// in fgcolor.
void LICE_BorderedRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel bgcolor,
                       LICE_pixel fgcolor, float alpha, int mode);
