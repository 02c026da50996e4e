#pragma once

// Models and comparisons for the line and shape tests: images compared pixel for pixel (with
// PNG files of both and their difference written on a mismatch), coverage measured from a shape
// drawn white on black, and a slow supersampled coverage model of a region.

#include "RasterTestSupport.h"

#include <functional>
#include <string>
#include <vector>

namespace raster_test {

// True when both images hold the same pixels and neither wrote its row padding; otherwise adds
// a failure naming the PNG files written for got, want and their difference.
bool SameImages(TestBitmap& got, TestBitmap& want, const std::string& name);

// A copy of a bitmap's image (same orientation).
void CopyImage(TestBitmap& from, TestBitmap& to);

// The coverage of each pixel (row-major, 0..1) by a region, from 16 x 16 samples per pixel.
// Pixel (x, y) covers [x - 1/2, x + 1/2] x [y - 1/2, y + 1/2].
std::vector<double> Supersample(int w, int h, const std::function<bool(double, double)>& inside);

// The coverage a drawing left on a black bitmap drawn in white: the red channel / 255.
std::vector<double> CoverageOf(TestBitmap& bm);

// Compares drawn coverage with a model: the totals within inkTolerance (relative) and every
// pixel within pixelTolerance. Writes both as PNG files on a failure.
bool CoverageMatches(TestBitmap& drawn, const std::vector<double>& model, double inkTolerance,
                     double pixelTolerance, const std::string& name);

// Deterministic numbers for randomised cases.
struct Random {
    uint32_t s;
    uint32_t next() { return s = s * 1664525u + 1013904223u, s ^ (s >> 15); }
    int range(int lo, int hi) { return lo + (int)(next() % (uint32_t)(hi - lo + 1)); }
};

} // namespace raster_test
