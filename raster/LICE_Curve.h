#pragma once

#include "raster/LICE_IBitmap.h"

// Quadratic and cubic Bezier curves, drawn as chains of short sub-pixel line segments (the
// segments of one curve share their ends, each blended once) and filled down or across to a
// fixed row or column. tol is the largest distance in pixels the chain may stray from the curve;
// a non-positive or non-finite tol means half a pixel. Control points that are not finite draw
// nothing. Colour, alpha and mode act as for lines.

void LICE_DrawQBezier(LICE_IBitmap* dest, double xstart, double ystart, double xctl, double yctl,
                      double xend, double yend, LICE_pixel color, float alpha, int mode, bool aa,
                      double tol = 0.0);

void LICE_DrawCBezier(LICE_IBitmap* dest, double xstart, double ystart, double xctl1, double yctl1,
                      double xctl2, double yctl2, double xend, double yend, LICE_pixel color,
                      float alpha, int mode, bool aa, double tol = 0.0);

// The area between a cubic curve and row yfill, column by column: each column the curve crosses
// (once, for a curve whose x only grows or only shrinks) is filled from the curve's row to
// yfill inclusive.
void LICE_FillCBezier(LICE_IBitmap* dest, double xstart, double ystart, double xctl1, double yctl1,
                      double xctl2, double yctl2, double xend, double yend, int yfill,
                      LICE_pixel color, float alpha, int mode, double tol = 0.0);

// The same across: each row the curve crosses is filled from the curve's column to xfill.
void LICE_FillCBezierX(LICE_IBitmap* dest, double xstart, double ystart, double xctl1, double yctl1,
                       double xctl2, double yctl2, double xend, double yend, int xfill,
                       LICE_pixel color, float alpha, int mode, double tol = 0.0);

// The y of a cubic curve whose x only grows or only shrinks, where its x equals x; false (y
// unchanged) when x lies outside the curve's span or a value is not finite.
bool LICE_CBezier_GetY(double x1, double x2, double x3, double x4, double y1, double y2, double y3,
                       double y4, double x, double* y);

// The same for a quadratic curve.
bool LICE_Bezier_GetY(double x1, double x2, double x3, double y1, double y2, double y3, double x,
                      double* y);
