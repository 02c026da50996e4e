#include "raster/LICE_Glyph.h"

#include "raster/LICE_BlitTemplates.h"

namespace {

// The visible part of a map: destination origin, map origin and size.
struct GlyphClip {
    int dx, dy, mx, my, w, h;
};

bool clipGlyph(LICE_IBitmap* dest, int x, int y, int glyph_w, int glyph_h, GlyphClip& c) {
    long long l = x, t = y, r = (long long)x + glyph_w, b = (long long)y + glyph_h;
    const long long mx = l < 0 ? -l : 0, my = t < 0 ? -t : 0;
    if (l < 0) l = 0;
    if (t < 0) t = 0;
    if (r > dest->getWidth()) r = dest->getWidth();
    if (b > dest->getHeight()) b = dest->getHeight();
    if (r <= l || b <= t) return false;
    c = {(int)l, (int)t, (int)mx, (int)my, (int)(r - l), (int)(b - t)};
    return true;
}

template <class Op>
struct GlyphDrawImpl {
    static void DrawGlyph(const LICE_Rows& dest, const GlyphClip& c, const unsigned char* map,
                          int stride, LICE_pixel color, int ia) {
        const int r = LICE_PixelR(color), g = LICE_PixelG(color), b = LICE_PixelB(color),
                  a = LICE_PixelA(color);
        for (int j = 0; j < c.h; ++j) {
            const unsigned char* in = map + (size_t)(c.my + j) * stride + c.mx;
            LICE_pixel* out = dest.row(c.dy + j) + c.dx;
            for (int i = 0; i < c.w; ++i)
                if (in[i]) Op::doPix((LICE_pixel_chan*)(out + i), r, g, b, a, (in[i] * ia) / 256);
        }
    }
};

} // namespace

void LICE_DrawGlyph(LICE_IBitmap* dest, int x, int y, LICE_pixel color, const unsigned char* alphas,
                    int glyph_w, int glyph_h, float alpha, int mode) {
    if (!dest || !alphas || glyph_w <= 0 || glyph_h <= 0) return;
    const int ia = LICE_AlphaToWeight(alpha);
    if (ia <= 0) return;
    GlyphClip c;
    if (!clipGlyph(dest, x, y, glyph_w, glyph_h, c)) return;
    const LICE_Rows rows = LICE_RowsOf(dest);
    if (!rows.first) return;
    LICE_DispatchPlain(mode, ia, [&](auto tag) {
        GlyphDrawImpl<typename decltype(tag)::type>::DrawGlyph(rows, c, alphas, glyph_w, color, ia);
    });
}
