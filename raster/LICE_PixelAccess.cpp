#include "raster/LICE_PixelAccess.h"

#include "raster/LICE_BlitTemplates.h"

namespace {

LICE_pixel* pixelAt(LICE_IBitmap* bm, int x, int y) {
    if (!bm || x < 0 || y < 0 || x >= bm->getWidth() || y >= bm->getHeight()) return nullptr;
    const LICE_Rows rows = LICE_RowsOf(bm);
    return rows.first ? rows.row(y) + x : nullptr;
}

template <class Op>
void fastPixel(LICE_pixel* p, LICE_pixel color) {
    Op::doPixFAST(p, Op::prepare(color));
}

} // namespace

void LICE_PutPixel(LICE_IBitmap* dest, int x, int y, LICE_pixel color, float alpha, int mode) {
    LICE_pixel* p = pixelAt(dest, x, y);
    if (!p) return;
    const int ia = LICE_AlphaToWeight(alpha);
    if ((mode & LICE_COMBINE_MASK) == LICE_COMBINE_COPY) {
        switch (ia) {
        case 256: return fastPixel<_LICE_CombinePixelsClobberFAST>(p, color);
        case 192: return fastPixel<_LICE_CombinePixelsThreeQuarterMix2FAST>(p, color);
        case 128: return fastPixel<_LICE_CombinePixelsHalfMix2FAST>(p, color);
        case 64: return fastPixel<_LICE_CombinePixelsQuarterMix2FAST>(p, color);
        default: break;
        }
    }
    if (ia == 0) return;
    LICE_DispatchPlain(mode, ia, [&](auto tag) {
        typedef typename decltype(tag)::type Op;
        Op::doPix((LICE_pixel_chan*)p, LICE_PixelR(color), LICE_PixelG(color), LICE_PixelB(color),
                  LICE_PixelA(color), ia);
    });
}

LICE_pixel LICE_GetPixel(LICE_IBitmap* src, int x, int y) {
    const LICE_pixel* p = pixelAt(src, x, y);
    return p ? *p : 0;
}
