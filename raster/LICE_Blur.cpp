#include "raster/LICE_Blur.h"

#include "raster/LICE_BlitTemplates.h"

#include <cstdlib>
#include <cstring>

namespace {

inline LICE_pixel half(LICE_pixel p) {
    return (p >> 1) & 0x7f7f7f7f;
}
inline LICE_pixel quarter(LICE_pixel p) {
    return (p >> 2) & 0x3f3f3f3f;
}
inline LICE_pixel eighth(LICE_pixel p) {
    return (p >> 3) & 0x1f1f1f1f;
}

// The share of one axis: ⅛ of each neighbour, ¼ of the one present, or ¼ of the centre.
inline LICE_pixel axisShare(const LICE_pixel* before, const LICE_pixel* after, LICE_pixel c) {
    if (before && after) return eighth(*before) + eighth(*after);
    if (before) return quarter(*before);
    if (after) return quarter(*after);
    return quarter(c);
}

// Blurs one row: `above`, `row` and `below` hold the unblurred pixels (null when missing).
void blurRow(LICE_pixel* out, const LICE_pixel* above, const LICE_pixel* row,
             const LICE_pixel* below, int w) {
    for (int i = 0; i < w; ++i) {
        const LICE_pixel c = row[i];
        const LICE_pixel* left = i > 0 ? row + i - 1 : nullptr;
        const LICE_pixel* right = i + 1 < w ? row + i + 1 : nullptr;
        out[i] = half(c) + axisShare(left, right, c) +
                 axisShare(above ? above + i : nullptr, below ? below + i : nullptr, c);
    }
}

constexpr int kStackWidth = 1024;

} // namespace

void LICE_Blur(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch) {
    if (!dest || !src) return;
    long long l = srcx, t = srcy, r = (long long)srcx + srcw, b = (long long)srcy + srch;
    long long x = dstx, y = dsty;
    if (l < 0) x -= l, l = 0;
    if (t < 0) y -= t, t = 0;
    if (r > src->getWidth()) r = src->getWidth();
    if (b > src->getHeight()) b = src->getHeight();
    if (x < 0) l -= x, x = 0;
    if (y < 0) t -= y, y = 0;
    if (x + (r - l) > dest->getWidth()) r = l + dest->getWidth() - x;
    if (y + (b - t) > dest->getHeight()) b = t + dest->getHeight() - y;
    if (r <= l || b <= t) return;
    const LICE_Rows d = LICE_RowsOf(dest), s = LICE_RowsOf(src);
    if (!d.first || !s.first) return;
    const int w = (int)(r - l), h = (int)(b - t), sx = (int)l, sy = (int)t;
    const int dx = (int)x, dy = (int)y;

    // Different bitmaps: read straight from the source.
    if (dest->getBits() != src->getBits()) {
        for (int j = 0; j < h; ++j)
            blurRow(d.row(dy + j) + dx, j > 0 ? s.row(sy + j - 1) + sx : nullptr,
                    s.row(sy + j) + sx, j + 1 < h ? s.row(sy + j + 1) + sx : nullptr, w);
        return;
    }

    // The same pixels: hold the unblurred row above and the current one. Rows are written in
    // order; the row below is still unblurred when it is read. When the rectangles do not
    // coincide, the whole source rectangle is held instead, since rows written early may be
    // read later.
    const bool samePlace = dx == sx && dy == sy;
    const size_t rowsHeld = samePlace ? 2 : (size_t)h;
    LICE_pixel stackRows[2 * kStackWidth];
    LICE_pixel* held = stackRows;
    if (!samePlace || w > kStackWidth) {
        held = (LICE_pixel*)malloc(rowsHeld * (size_t)w * sizeof(LICE_pixel));
        if (!held) return;
    }
    const size_t rowBytes = (size_t)w * sizeof(LICE_pixel);
    if (samePlace) {
        LICE_pixel* above = held;
        LICE_pixel* cur = held + w;
        for (int j = 0; j < h; ++j) {
            memcpy(cur, s.row(sy + j) + sx, rowBytes);
            blurRow(d.row(dy + j) + dx, j > 0 ? above : nullptr, cur,
                    j + 1 < h ? s.row(sy + j + 1) + sx : nullptr, w);
            LICE_pixel* t2 = above;
            above = cur;
            cur = t2;
        }
    } else {
        for (int j = 0; j < h; ++j)
            memcpy(held + (size_t)j * w, s.row(sy + j) + sx, rowBytes);
        for (int j = 0; j < h; ++j)
            blurRow(d.row(dy + j) + dx, j > 0 ? held + (size_t)(j - 1) * w : nullptr,
                    held + (size_t)j * w, j + 1 < h ? held + (size_t)(j + 1) * w : nullptr, w);
    }
    if (held != stackRows) free(held);
}

void LICE_HalveBlitAA(LICE_IBitmap* dest, LICE_IBitmap* src) {
    if (!dest || !src) return;
    int w = src->getWidth() / 2, h = src->getHeight() / 2;
    if (w > dest->getWidth()) w = dest->getWidth();
    if (h > dest->getHeight()) h = dest->getHeight();
    if (w <= 0 || h <= 0) return;
    const LICE_Rows d = LICE_RowsOf(dest), s = LICE_RowsOf(src);
    if (!d.first || !s.first) return;
    for (int j = 0; j < h; ++j) {
        const LICE_pixel* r0 = s.row(2 * j);
        const LICE_pixel* r1 = s.row(2 * j + 1);
        LICE_pixel* out = d.row(j);
        for (int i = 0; i < w; ++i)
            out[i] = quarter(r0[2 * i]) + quarter(r0[2 * i + 1]) + quarter(r1[2 * i]) +
                     quarter(r1[2 * i + 1]);
    }
}
