#include "raster/LICE_Fill.h"

#include "raster/LICE_BlitTemplates.h"

namespace {

// The rectangle clipped to the bitmap; false when nothing of it remains or there are no bits.
struct Area {
    LICE_Rows rows;
    int x, y, w, h;
};

bool clipArea(LICE_IBitmap* dest, int x, int y, int w, int h, Area& out) {
    long long l = x, t = y, r = (long long)x + w, b = (long long)y + h;
    if (l < 0) l = 0;
    if (t < 0) t = 0;
    if (r > dest->getWidth()) r = dest->getWidth();
    if (b > dest->getHeight()) b = dest->getHeight();
    if (r <= l || b <= t || dest->getRowSpan() <= 0) return false;
    out.rows = LICE_RowsOf(dest);
    if (!out.rows.first) return false;
    out.x = (int)l, out.y = (int)t, out.w = (int)(r - l), out.h = (int)(b - t);
    return true;
}

template <class Op>
void fast(const Area& a, LICE_pixel color) {
    _LICE_Template_Blit0<Op>::solidBlitFAST(a.rows, a.x, a.y, a.w, a.h, Op::prepare(color));
}

} // namespace

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel color, float alpha,
                   int mode) {
    if (!dest) return;
    if (mode & LICE_USE_SOURCE_ALPHA) alpha *= LICE_PixelA(color) / 255.0f;
    Area a;
    if (alpha == 0.0f || !clipArea(dest, x, y, w, h, a)) return;

    const int ia = LICE_AlphaToWeight(alpha);
    if ((mode & LICE_COMBINE_MASK) == LICE_COMBINE_COPY) {
        switch (ia) {
        case 256: return fast<_LICE_CombinePixelsClobberFAST>(a, color);
        case 192: return fast<_LICE_CombinePixelsThreeQuarterMix2FAST>(a, color);
        case 128: return fast<_LICE_CombinePixelsHalfMix2FAST>(a, color);
        case 64: return fast<_LICE_CombinePixelsQuarterMix2FAST>(a, color);
        default: break;
        }
    }
    if (ia == 0) return;
    const int r = LICE_PixelR(color), g = LICE_PixelG(color), b = LICE_PixelB(color);
    LICE_DispatchPlain(mode, ia, [&](auto tag) {
        _LICE_Template_Blit1<typename decltype(tag)::type>::solidBlit(a.rows, a.x, a.y, a.w, a.h, r,
                                                                      g, b, ia);
    });
}

void LICE_Clear(LICE_IBitmap* dest, LICE_pixel color) {
    if (!dest) return;
    Area a;
    if (!clipArea(dest, 0, 0, dest->getWidth(), dest->getHeight(), a)) return;
    fast<_LICE_CombinePixelsClobberFAST>(a, color);
}

void LICE_ClearRect(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_pixel mask,
                    LICE_pixel orbits) {
    if (!dest) return;
    Area a;
    if (!clipArea(dest, x, y, w, h, a)) return;
    for (int j = 0; j < a.h; ++j) {
        LICE_pixel* p = a.rows.row(a.y + j) + a.x;
        for (int i = 0; i < a.w; ++i)
            p[i] = (p[i] & mask) | orbits;
    }
}

void LICE_GradRect(LICE_IBitmap* dest, int x, int y, int w, int h, float ir, float ig, float ib,
                   float ia, float drdx, float dgdx, float dbdx, float dadx, float drdy, float dgdy,
                   float dbdy, float dady, int mode) {
    if (!dest) return;
    const double scale[4] = {255.0 * 65536.0, 255.0 * 65536.0, 255.0 * 65536.0, 256.0 * 65536.0};
    const float s0[4] = {ir, ig, ib, ia}, dx0[4] = {drdx, dgdx, dbdx, dadx},
                dy0[4] = {drdy, dgdy, dbdy, dady};
    int start[4], dx[4], dy[4];
    for (int k = 0; k < 4; ++k) {
        dx[k] = LICE_DoubleToIntSat(dx0[k] * scale[k]);
        dy[k] = LICE_DoubleToIntSat(dy0[k] * scale[k]);
        // The values at the first pixel drawn, past any part clipped away on the left or top.
        double v = s0[k] * scale[k];
        if (x < 0) v -= (double)x * dx[k];
        if (y < 0) v -= (double)y * dy[k];
        start[k] = LICE_DoubleToIntSat(v);
    }
    Area a;
    if (!clipArea(dest, x, y, w, h, a)) return;

    auto run = [&](auto tag) {
        _LICE_Template_Blit1<typename decltype(tag)::type>::gradBlit(a.rows, a.x, a.y, a.w, a.h,
                                                                     start, dx, dy);
    };
    switch (mode & LICE_COMBINE_MASK) {
    case LICE_COMBINE_COPY:
        if (start[3] >= 256 * 65536 && dx[3] == 0 && dy[3] == 0)
            run(LICE_OpTag<_LICE_CombinePixelsClobberClamp>());
        else
            run(LICE_OpTag<_LICE_CombinePixelsCopyClamp>());
        break;
    case LICE_COMBINE_ADD: run(LICE_OpTag<_LICE_CombinePixelsAdd>()); break;
    case LICE_COMBINE_DODGE: run(LICE_OpTag<_LICE_CombinePixelsColorDodge>()); break;
    case LICE_COMBINE_MULTIPLY: run(LICE_OpTag<_LICE_CombinePixelsMulClamp>()); break;
    case LICE_COMBINE_OVERLAY: run(LICE_OpTag<_LICE_CombinePixelsOverlay>()); break;
    case LICE_COMBINE_HSV_ADJUST: run(LICE_OpTag<_LICE_CombinePixelsHSVAdjust>()); break;
    default: break;
    }
}
