#include "raster/LICE_ScaledBlit.h"

#include "raster/LICE_Blit.h"
#include "raster/LICE_BlitTemplates.h"

#include <cmath>

namespace {

bool offInteger(double v) {
    return std::fabs(v - std::floor(v + 0.5)) >= 0.03;
}

// Skips the destination pixels of one axis whose samples fall before the source, then keeps
// only those whose sample lies inside the source: count, offset and start are adjusted.
void clipAxis(int& count, int& offset, long long& start, long long step, int srcSize) {
    if (step <= 0) return;
    if (start < 0) {
        const long long n = ((step - 1) - start) / step;
        const int skip = (int)(n < count ? n : count);
        count -= skip;
        offset += skip;
        start += skip * step;
    }
    if (count <= 0) return;
    // Column i reads pixel (start + i * step) >> 16, inside while it is below srcSize.
    const long long last = ((long long)srcSize * 65536 - 1 - start);
    const long long fit = last < 0 ? 0 : last / step + 1;
    if (fit < count) count = (int)fit;
}

} // namespace

void LICE_ScaledBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                     float srcx_, float srcy_, float srcw_, float srch_, float alpha, int mode) {
    if (!dest || !src || !dstw || !dsth || alpha == 0.0f) return;
    const bool bilinear = (mode & LICE_FILTER_MASK) == LICE_FILTER_BILINEAR;

    // Steps and positions are floats, as the drawing code has always computed them.
    float srcx = srcx_, srcy = srcy_, srcw = srcw_, srch = srch_;
    if (std::fabs((double)srcw - dstw) < 0.001 && std::fabs((double)srch - dsth) < 0.001 &&
        !(bilinear && (offInteger(srcx) || offInteger(srcy)))) {
        const int l = LICE_DoubleToIntSat(srcx + 0.5), t = LICE_DoubleToIntSat(srcy + 0.5);
        LICE_Blit(dest, src, dstx, dsty, l, t, dstw, dsth, alpha, mode);
        return;
    }

    // The sampling limits come from the rectangle as given, before any mirroring.
    const int srcW = src->getWidth(), srcH = src->getHeight();
    int right = LICE_DoubleToIntSat(srcx + (srcw > 0 ? srcw : 0) + 0.999999);
    int bottom = LICE_DoubleToIntSat(srcy + (srch > 0 ? srch : 0) + 0.999999);
    if (right > srcW) right = srcW;
    if (bottom > srcH) bottom = srcH;
    if (right <= 0 || bottom <= 0) return;

    const bool mirrorX = dstw < 0, mirrorY = dsth < 0;
    if (mirrorX) srcx += srcw, dstx += dstw, srcw = -srcw, dstw = -dstw;
    if (mirrorY) srcy += srch, dsty += dsth, srch = -srch, dsth = -dsth;
    const float xstep = srcw / dstw, ystep = srch / dsth;
    // A mirrored axis starts one step in from the far edge, so that its first destination pixel
    // shows the last source pixel rather than the one past the rectangle.
    if (mirrorX) srcx += xstep;
    if (mirrorY) srcy += ystep;

    if (dstx < 0) dstw += dstx, srcx -= dstx * xstep, dstx = 0;
    if (dsty < 0) dsth += dsty, srcy -= dsty * ystep, dsty = 0;
    if (dstw > dest->getWidth() - dstx) dstw = dest->getWidth() - dstx;
    if (dsth > dest->getHeight() - dsty) dsth = dest->getHeight() - dsty;
    if (dstw <= 0 || dsth <= 0) return;

    LICE_ScaleSetup s;
    s.idx = LICE_DoubleToIntSat((double)xstep * 65536.0);
    s.idy = LICE_DoubleToIntSat((double)ystep * 65536.0);
    s.icurx = LICE_DoubleToIntSat((double)srcx * 65536.0);
    s.icury = LICE_DoubleToIntSat((double)srcy * 65536.0);
    clipAxis(dstw, dstx, s.icurx, s.idx, srcW);
    clipAxis(dsth, dsty, s.icury, s.idy, srcH);
    if (dstw <= 0 || dsth <= 0) return;
    s.dstw = dstw, s.dsth = dsth, s.right = right, s.bottom = bottom;

    const LICE_Rows d = LICE_RowsOf(dest), sr = LICE_RowsOf(src);
    if (!d.first || !sr.first) return;

    const int ia = LICE_AlphaToWeight(alpha);
    if ((mode & 0x1ffff) == 0) {
        if (ia == 256)
            return _LICE_Template_Blit0<_LICE_CombinePixelsClobberFAST>::scaleBlitFAST(d, dstx,
                                                                                       dsty, sr, s);
        if (ia == 128)
            return _LICE_Template_Blit0<_LICE_CombinePixelsHalfMixFAST>::scaleBlitFAST(d, dstx,
                                                                                       dsty, sr, s);
    }
    if (xstep >= 1.7 && ystep >= 1.7 && bilinear) {
        const int kernel = (s.idx > s.idy ? s.idx : s.idy) > 0x30000 ? 5 : 3;
        LICE_DispatchStandard(mode, ia, [&](auto tag) {
            _LICE_Template_Blit2<typename decltype(tag)::type>::scaleBlitFilterDown(
                d, dstx, dsty, sr, s, ia, kernel);
        });
        return;
    }
    if (ia == 0) return;
    LICE_DispatchStandard(mode, ia, [&](auto tag) {
        _LICE_Template_Blit2<typename decltype(tag)::type>::scaleBlit(d, dstx, dsty, sr, s, ia,
                                                                      bilinear);
    });
}
