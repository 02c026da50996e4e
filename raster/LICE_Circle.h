#pragma once

#include "raster/LICE_IBitmap.h"

// Circles, arcs and rounded rectangles. Pixel centres lie at whole coordinates. Each operation
// takes a colour, an alpha (weight trunc(alpha * 256)) and a blend mode whose operator field
// (mode & 0xff) alone picks the operator, applied with the colour's own four channels; weight 0
// and operators above 5 draw nothing, as do a negative, NaN or infinite radius or centre. Only the
// rows that meet the bitmap are visited, so any radius returns promptly, and one call blends each
// pixel at most once.
//
// Aliased outlines take, on each row where the circle is steeper than 45 degrees, the pixel
// nearest the circle on each side, and on each column elsewhere the pixel nearest it above and
// below. Antialiased outlines split the weight of each such crossing between the two pixels
// around it, in proportion to its position. Filled circles cover the pixels between the
// crossings; antialiased, the edge pixels get the part of their width (or height) that is
// inside.

// A circle outline. Radii of exactly 1.5, 2, 2.5, 3, 3.5 and 4 draw prebuilt coverage maps.
void LICE_Circle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha,
                 int mode, bool aa);

void LICE_FillCircle(LICE_IBitmap* dest, float cx, float cy, float r, LICE_pixel color, float alpha,
                     int mode, bool aa);

// Part of a circle outline: angles in radians, 0 at the top (12 o'clock), growing clockwise. A
// span of 2 pi or more draws the whole circle. The arc is drawn as pieces within the right half
// (angles 0 to pi, the centre column included) or the left half, each limited to the rows
// between its end angles.
void LICE_Arc(LICE_IBitmap* dest, float cx, float cy, float r, float minAngle, float maxAngle,
              LICE_pixel color, float alpha, int mode, bool aa);

// A rectangle outline from (x, y) to (x + w, y + h) (coordinates rounded down) with quarter
// circle corners of radius min(cornerradius, w / 2, h / 2); a radius below 2 draws the plain
// outline of LICE_DrawRect.
void LICE_RoundRect(LICE_IBitmap* dest, float x, float y, float w, float h, int cornerradius,
                    LICE_pixel color, float alpha, int mode, bool aa);
