// The context's drawing primitives: the editor's value types turned into rasteriser calls on the
// draw bitmap.
#include "editor/IGraphics.h"

#include "raster/LICE_Blit.h"
#include "raster/LICE_Circle.h"
#include "raster/LICE_Fill.h"
#include "raster/LICE_Line.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_PixelAccess.h"
#include "raster/LICE_Polygon.h"
#include "raster/LICE_RotatedBlit.h"
#include "raster/LICE_SysBitmap.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

LICE_pixel PixelOf(const IColor* color) {
    return LICE_MakePixel(color->R, color->G, color->B, color->A);
}

// Caller coordinates truncated toward zero; values beyond int (or NaN) saturate instead of
// being undefined.
int Trunc(double v) {
    return LICE_DoubleToIntSat(v);
}

float Clamp01(float v) {
    if (!(v > 0.0f)) return 0.0f;
    return v < 1.0f ? v : 1.0f;
}

bool HasPixels(const IBitmap* bitmap) {
    return bitmap && bitmap->mData;
}

// Opaque straight copy, as the editor's guide lines are drawn.
void CopyLine(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, const IColor* color) {
    LICE_Line(dest, x1, y1, x2, y2, PixelOf(color), 1.0f, LICE_COMBINE_COPY, false);
}

} // namespace

int IBitmap::FrameTop(int i) const {
    if (N < 2 || i <= 1) return 0;
    return Trunc(static_cast<double>(i - 1) * H / N + 0.5);
}

// ---- Direct pixel access ----

bool IGraphics::ForcePixel(const IColor* color, int x, int y) {
    if (!color || !mDrawBitmap || !mDrawBitmap->getBits()) return false;
    const int w = mDrawBitmap->getWidth();
    const int h = mDrawBitmap->getHeight();
    if (x < 0 || y < 0 || x >= w || y >= h) return false;
    const int row = mDrawBitmap->isFlipped() ? h - 1 - y : y;
    mDrawBitmap->getBits()[static_cast<long>(row) * mDrawBitmap->getRowSpan() + x] = PixelOf(color);
    return true;
}

IColor IGraphics::GetPoint(int x, int y) {
    const LICE_pixel p = LICE_GetPixel(mDrawBitmap, x, y);
    return IColor(LICE_PixelA(p), LICE_PixelR(p), LICE_PixelG(p), LICE_PixelB(p));
}

// ---- Bitmaps ----

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY,
                           const IChannelBlend* blend) {
    if (!HasPixels(bitmap) || !dest) return false;
    const IRECT r = dest->Intersect(mDrawRECT);
    if (r.Empty()) return true;
    LICE_Blit(mDrawBitmap, bitmap->mData, r.L, r.T, srcX + r.L - dest->L, srcY + r.T - dest->T,
              r.W(), r.H(), BlendWeight(blend), BlendMode(blend));
    return true;
}

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int i, const IChannelBlend* blend) {
    if (!HasPixels(bitmap)) return false;
    return DrawBitmap(bitmap, dest, 0, bitmap->FrameTop(i), blend);
}

bool IGraphics::DrawRotatedBitmap(IBitmap* bitmap, int destCtrX, int destCtrY, double angle,
                                  int yOffsetZeroDeg, const IChannelBlend* blend) {
    if (!HasPixels(bitmap)) return false;
    const int w = bitmap->W;
    const int h = bitmap->H;
    LICE_RotatedBlit(mDrawBitmap, bitmap->mData, destCtrX - w / 2, destCtrY - h / 2, w, h, 0.0f,
                     0.0f, static_cast<float>(w), static_cast<float>(h), static_cast<float>(angle),
                     false, BlendWeight(blend), BlendMode(blend) | LICE_FILTER_BILINEAR, 0.0f,
                     static_cast<float>(yOffsetZeroDeg));
    return true;
}

// The mask is added over the base and the top layer laid over both, each turned about the same
// centre, in the scratch bitmap; the result is one clipped copy.
bool IGraphics::DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y,
                                double angle, const IChannelBlend* blend) {
    if (!HasPixels(base) || !HasPixels(mask) || !HasPixels(top) || !mDrawBitmap) return false;
    const int w = base->W;
    const int h = base->H;
    // An odd width has no centre column: turning about the half pixel to its left keeps the
    // mask's pointer on the base's axis.
    const float rx = (w % 2) ? -0.5f : 0.0f;
    const float a = static_cast<float>(angle * kPi / 180.0);
    if (!mTmpBitmap) mTmpBitmap = new LICE_MemBitmap(0, 0, 4);

    LICE_Copy(mTmpBitmap, base->mData);
    LICE_ClearRect(mTmpBitmap, 0, 0, w, h, 0xFFFFFF00, 0);
    const float wf = static_cast<float>(w);
    const float hf = static_cast<float>(h);
    LICE_RotatedBlit(mTmpBitmap, mask->mData, 0, 0, w, h, 0.0f, 0.0f, wf, hf, a, true, 1.0f,
                     LICE_COMBINE_ADD | LICE_FILTER_BILINEAR | LICE_USE_SOURCE_ALPHA, rx, 0.0f);
    LICE_RotatedBlit(mTmpBitmap, top->mData, 0, 0, w, h, 0.0f, 0.0f, wf, hf, a, true, 1.0f,
                     LICE_COMBINE_COPY | LICE_FILTER_BILINEAR | LICE_USE_SOURCE_ALPHA, rx, 0.0f);

    const IRECT r = IRECT(x, y, x + w, y + h).Intersect(mDrawRECT);
    if (r.Empty()) return true;
    LICE_Blit(mDrawBitmap, mTmpBitmap, r.L, r.T, r.L - x, r.T - y, r.W(), r.H(), BlendWeight(blend),
              BlendMode(blend));
    return true;
}

// ---- Shapes ----

bool IGraphics::DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend,
                          bool /*antiAlias*/) {
    if (!color) return false;
    LICE_PutPixel(mDrawBitmap, Trunc(x + 0.5f), Trunc(y + 0.5f), PixelOf(color), BlendWeight(blend),
                  BlendMode(blend));
    return true;
}

bool IGraphics::DrawLine(const IColor* color, float x1, float y1, float x2, float y2,
                         const IChannelBlend* blend, bool antiAlias) {
    if (!color) return false;
    LICE_Line(mDrawBitmap, Trunc(x1), Trunc(y1), Trunc(x2), Trunc(y2), PixelOf(color),
              BlendWeight(blend), BlendMode(blend), antiAlias);
    return true;
}

bool IGraphics::DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin,
                               float rMax, const IChannelBlend* blend, bool antiAlias) {
    const float s = std::sin(angle);
    const float c = std::cos(angle);
    return DrawLine(color, cx + rMin * s, cy - rMin * c, cx + rMax * s, cy - rMax * c, blend,
                    antiAlias);
}

bool IGraphics::DrawArc(const IColor* color, float cx, float cy, float r, float minAngle,
                        float maxAngle, const IChannelBlend* blend, bool antiAlias) {
    if (!color) return false;
    LICE_Arc(mDrawBitmap, cx, cy, r, minAngle, maxAngle, PixelOf(color), BlendWeight(blend),
             BlendMode(blend), antiAlias);
    return true;
}

bool IGraphics::DrawCircle(const IColor* color, float cx, float cy, float r,
                           const IChannelBlend* blend, bool antiAlias) {
    if (!color) return false;
    LICE_Circle(mDrawBitmap, cx, cy, r, PixelOf(color), BlendWeight(blend), BlendMode(blend),
                antiAlias);
    return true;
}

bool IGraphics::RoundRect(const IColor* color, IRECT* rect, const IChannelBlend* blend,
                          int cornerRadius, bool antiAlias) {
    if (!color || !rect) return false;
    LICE_RoundRect(mDrawBitmap, static_cast<float>(rect->L), static_cast<float>(rect->T),
                   static_cast<float>(rect->W()), static_cast<float>(rect->H()), cornerRadius,
                   PixelOf(color), BlendWeight(blend), BlendMode(blend), antiAlias);
    return true;
}

bool IGraphics::FillIRect(const IColor* color, IRECT* rect, const IChannelBlend* blend) {
    if (!color || !rect) return false;
    LICE_FillRect(mDrawBitmap, rect->L, rect->T, rect->W(), rect->H(), PixelOf(color),
                  BlendWeight(blend), BlendMode(blend));
    return true;
}

bool IGraphics::FillCircle(const IColor* color, int cx, int cy, float r, const IChannelBlend* blend,
                           bool antiAlias) {
    if (!color) return false;
    LICE_FillCircle(mDrawBitmap, static_cast<float>(cx), static_cast<float>(cy), r, PixelOf(color),
                    BlendWeight(blend), BlendMode(blend), antiAlias);
    return true;
}

bool IGraphics::FillIConvexPolygon(const IColor* color, int* x, int* y, int nPoints,
                                   const IChannelBlend* blend) {
    if (!color || !x || !y) return false;
    LICE_FillConvexPolygon(mDrawBitmap, x, y, nPoints, PixelOf(color), BlendWeight(blend),
                           BlendMode(blend));
    return true;
}

bool IGraphics::FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                             const IChannelBlend* blend) {
    if (!color) return false;
    LICE_FillTriangle(mDrawBitmap, x1, y1, x2, y2, x3, y3, PixelOf(color), BlendWeight(blend),
                      BlendMode(blend));
    return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* color, int yi, int xLo, int xHi) {
    if (!color) return false;
    CopyLine(mDrawBitmap, xLo, yi, xHi, yi, color);
    return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* color, IRECT* rect, float y) {
    if (!rect) return false;
    const int yi = rect->B - Trunc(static_cast<float>(rect->B - rect->T) * Clamp01(y));
    return DrawHorizontalLine(color, yi, rect->L, rect->R);
}

bool IGraphics::DrawVerticalLine(const IColor* color, int xi, int yLo, int yHi) {
    if (!color) return false;
    CopyLine(mDrawBitmap, xi, yLo, xi, yHi, color);
    return true;
}

bool IGraphics::DrawVerticalLine(const IColor* color, IRECT* rect, float x) {
    if (!rect) return false;
    const int xi = rect->L + Trunc(static_cast<float>(rect->R - rect->L) * Clamp01(x));
    return DrawVerticalLine(color, xi, rect->T, rect->B);
}

bool IGraphics::DrawRect(const IColor* color, IRECT* rect) {
    if (!color || !rect) return false;
    CopyLine(mDrawBitmap, rect->L, rect->T, rect->R, rect->T, color);
    CopyLine(mDrawBitmap, rect->L, rect->B, rect->R, rect->B, color);
    CopyLine(mDrawBitmap, rect->L, rect->T, rect->L, rect->B, color);
    CopyLine(mDrawBitmap, rect->R, rect->T, rect->R, rect->B, color);
    return true;
}
