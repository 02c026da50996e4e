#include "raster/LICE_Blit.h"

#include "raster/LICE_BlitTemplates.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace {

long long clampToInt(long long v) {
    return v < INT_MIN ? INT_MIN : (v > INT_MAX ? INT_MAX : v);
}

// One byte channel of every pixel, rows in order.
void channelCopy(const LICE_Rows& dest, int dx, int dy, const LICE_Rows& src, int sx, int sy, int w,
                 int h, int mode) {
    const int from = mode & 3, to = (mode >> 2) & 3;
    for (int j = 0; j < h; ++j) {
        LICE_pixel_chan* d = (LICE_pixel_chan*)(dest.row(dy + j) + dx);
        const LICE_pixel_chan* s = (const LICE_pixel_chan*)(src.row(sy + j) + sx);
        for (int i = 0; i < w; ++i)
            d[i * 4 + to] = s[i * 4 + from];
    }
}

// Rows copied as bytes. A blit of a bitmap onto itself may overlap: rows then go in the order
// that reads each one before it is overwritten. When whole rows are copied and both bitmaps'
// rows follow one another without padding, in the same direction, the rectangle is one block.
void blockCopy(const LICE_Rows& dest, int dx, int dy, const LICE_Rows& src, int sx, int sy, int w,
               int h) {
    const size_t bytes = (size_t)w * sizeof(LICE_pixel);
    if (dest.step == src.step && (dest.step == w || dest.step == -w)) {
        const int first = dest.step > 0 ? 0 : h - 1;
        memmove(dest.row(dy + first) + dx, src.row(sy + first) + sx, bytes * (size_t)h);
        return;
    }
    const bool backward = (uintptr_t)dest.row(dy) > (uintptr_t)src.row(sy);
    for (int k = 0; k < h; ++k) {
        const int j = backward ? h - 1 - k : k;
        memmove(dest.row(dy + j) + dx, src.row(sy + j) + sx, bytes);
    }
}

} // namespace

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, const RECT* srcrect,
               float alpha, int mode) {
    if (!dest || !src || alpha == 0.0f) return;
    const int srcW = src->getWidth(), srcH = src->getHeight();
    const int destW = dest->getWidth(), destH = dest->getHeight();

    // Wide arithmetic: rectangles from callers may sit anywhere in the int range.
    long long l = 0, t = 0, r = srcW, b = srcH, x = dstx, y = dsty;
    if (srcrect) {
        l = srcrect->left, t = srcrect->top, r = srcrect->right, b = srcrect->bottom;
        if (l < 0) x -= l, l = 0;
        if (t < 0) y -= t, t = 0;
        if (r > srcW) r = srcW;
        if (b > srcH) b = srcH;
    }
    if (x < 0) l -= x, x = 0;
    if (y < 0) t -= y, y = 0;
    if (x + (r - l) > destW) r = l + destW - x;
    if (y + (b - t) > destH) b = t + destH - y;
    if (r <= l || b <= t) return;

    const LICE_Rows d = LICE_RowsOf(dest), s = LICE_RowsOf(src);
    if (!d.first || !s.first) return;
    const int dx = (int)x, dy = (int)y, sx = (int)l, sy = (int)t;
    const int w = (int)clampToInt(r - l), h = (int)clampToInt(b - t);

    if ((mode & 0xff) >= LICE_COMBINE_CHANNEL_COPY)
        return channelCopy(d, dx, dy, s, sx, sy, w, h, mode);
    if ((mode & 0x100ff) == LICE_COMBINE_COPY) {
        if (alpha == 1.0f) return blockCopy(d, dx, dy, s, sx, sy, w, h);
        if (alpha == 0.5f) {
            for (int j = 0; j < h; ++j)
                LICE_FastRowKernel<_LICE_CombinePixelsHalfMixFAST>::blitRowFAST(
                    d.row(dy + j) + dx, s.row(sy + j) + sx, w);
            return;
        }
    }
    const int ia = LICE_AlphaToWeight(alpha);
    if (ia == 0) return;
    LICE_DispatchStandard(mode, ia, [&](auto tag) {
        _LICE_Template_Blit2<typename decltype(tag)::type>::blit(d, dx, dy, s, sx, sy, w, h, ia);
    });
}

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch, float alpha, int mode) {
    const RECT r = {srcx, srcy, (int)clampToInt((long long)srcx + srcw),
                    (int)clampToInt((long long)srcy + srch)};
    LICE_Blit(dest, src, dstx, dsty, &r, alpha, mode);
}

void LICE_Copy(LICE_IBitmap* dest, LICE_IBitmap* src) {
    if (!dest || !src) return;
    dest->resize(src->getWidth(), src->getHeight());
    LICE_Blit(dest, src, 0, 0, nullptr, 1.0f, LICE_COMBINE_COPY);
}
