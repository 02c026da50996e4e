#pragma once

// The pixel loops behind every blit and fill, written once per shape of work and instantiated
// per combine operator; the operation chooses the operator once and then runs one of these.
// Rows are addressed through LICE_Rows so that flipped bitmaps need nothing special here.
//
//   _LICE_Template_Blit0  word-wide operators: solid fills and nearest-sampled scaled copies
//   _LICE_Template_Blit1  one colour or a gradient through a per-channel operator
//   _LICE_Template_Blit2  straight, scaled and filtered-down blits through an operator
//   _LICE_Template_Blit3  the general affine sampler of rotated, delta and transform blits
//
// Fixed-point positions are 16.16 values held in 64 bits; a position is inside a range of
// pixels [lo, hi) when its integer part (truncated toward zero) lies in it, so positions from
// -65535 to -1 count as pixel 0.

#include "raster/LICE_CombineRows.h"
#include "raster/LICE_IBitmap.h"

#include <cstddef>
#include <cstdint>

// Image rows of one bitmap: row(y) is image row y whatever the bitmap's orientation.
struct LICE_Rows {
    LICE_pixel* first = nullptr;
    ptrdiff_t step = 0;
    LICE_pixel* row(int y) const { return first + (ptrdiff_t)y * step; }
};

inline LICE_Rows LICE_RowsOf(LICE_IBitmap* bm) {
    LICE_Rows rows;
    LICE_pixel* bits = bm->getBits();
    if (!bits) return rows;
    const ptrdiff_t span = bm->getRowSpan();
    if (bm->isFlipped()) {
        rows.first = bits + (ptrdiff_t)(bm->getHeight() - 1) * span;
        rows.step = -span;
    } else {
        rows.first = bits;
        rows.step = span;
    }
    return rows;
}

namespace lice_detail {

inline long long fixedInt(long long pos) {
    return pos >= 0 ? pos >> 16 : -((-pos) >> 16);
}
inline bool fixedInside(long long pos, int lo, int hi) {
    const long long i = fixedInt(pos);
    return i >= lo && i < hi;
}

// The first index and one past the last of n positions start + i * step that are inside
// [lo, hi); the inside positions of a linear run are contiguous. first == end when none is.
inline void insideRun(long long start, long long step, int n, int lo, int hi, int& first,
                      int& end) {
    first = end = 0;
    int i = 0;
    while (i < n && !fixedInside(start + i * step, lo, hi))
        ++i;
    first = end = i;
    while (end < n && fixedInside(start + end * step, lo, hi))
        ++end;
}

// Pixel channels two at a time in 32-bit lanes of 64-bit words, so that products of a channel
// and a 16.16 weight (up to 2^24) and their sums never spill into the neighbour.
struct Lanes {
    uint64_t ag, rb;
};
inline Lanes spread(LICE_pixel p) {
    return {(uint64_t)(p & 0xff) | ((uint64_t)((p >> 16) & 0xff) << 32),
            (uint64_t)((p >> 8) & 0xff) | ((uint64_t)(p >> 24) << 32)};
}
inline LICE_pixel gatherShifted16(uint64_t ag, uint64_t rb) {
    return (LICE_pixel)((ag >> 16) & 0xff) | (LICE_pixel)(((rb >> 16) & 0xff) << 8) |
           (LICE_pixel)(((ag >> 48) & 0xff) << 16) | (LICE_pixel)(((rb >> 48) & 0xff) << 24);
}

// Bilinear mix of the pixel at (x, y) with its right, lower and lower-right neighbours, by the
// 16-bit fractions xf and yf. Callers at the last usable column or row pass xf or yf as 0 and
// any readable pixel as the missing neighbour: the weights then reduce to the two-pixel mix or
// to the pixel itself, exactly.
inline LICE_pixel bilinear(LICE_pixel tl, LICE_pixel tr, LICE_pixel bl, LICE_pixel br, int xf,
                           int yf) {
    const uint64_t f = ((uint64_t)xf * (uint64_t)yf) >> 16;
    const uint64_t wtl = 65536 - (uint64_t)yf - (uint64_t)xf + f;
    const uint64_t wtr = (uint64_t)xf - f, wbl = (uint64_t)yf - f, wbr = f;
    const Lanes a = spread(tl), b = spread(tr), c = spread(bl), d = spread(br);
    return gatherShifted16(a.ag * wtl + b.ag * wtr + c.ag * wbl + d.ag * wbr,
                           a.rb * wtl + b.rb * wtr + c.rb * wbl + d.rb * wbr);
}

// Bilinear sample at integer pixel (x, y) with fractions, honouring the last usable column
// (right - 1) and row (bottom - 1).
inline LICE_pixel bilinearAt(const LICE_pixel* row0, const LICE_pixel* row1, int x, int xf,
                             int right, int yf) {
    const int x1 = x + 1 < right ? x + 1 : x;
    if (x1 == x) xf = 0;
    return bilinear(row0[x], row0[x1], row1[x], row1[x1], xf, yf);
}

// Rows of the bilinear pair for a vertical position; the last usable row mixes only across.
inline void bilinearRows(const LICE_Rows& src, int y, int& yf, int bottom, const LICE_pixel*& r0,
                         const LICE_pixel*& r1) {
    r0 = src.row(y);
    if (y + 1 < bottom) {
        r1 = src.row(y + 1);
    } else {
        r1 = r0;
        yf = 0;
    }
}

// Samples gathered per chunk before an operator's row kernel consumes them.
constexpr int kChunk = 128;

} // namespace lice_detail

// Where a scaled blit reads: the first sample position and step per axis (16.16), the number
// of destination pixels, and the sampling limits (columns [0, right), rows [0, bottom)).
struct LICE_ScaleSetup {
    int dstw, dsth;
    long long icurx, icury;
    long long idx, idy;
    int right, bottom;
};

template <class Op>
struct _LICE_Template_Blit0 {
    // Every pixel of a w x h area through the word operator with a prepared colour.
    static void solidBlitFAST(const LICE_Rows& dest, int x, int y, int w, int h,
                              LICE_pixel prepared) {
        for (int j = 0; j < h; ++j)
            LICE_FastRowKernel<Op>::fillRowFAST(dest.row(y + j) + x, w, prepared);
    }

    // Nearest-sampled scaled copy through the word operator.
    static void scaleBlitFAST(const LICE_Rows& dest, int dstx, int dsty, const LICE_Rows& src,
                              const LICE_ScaleSetup& s) {
        int c0, c1, r0, r1;
        lice_detail::insideRun(s.icurx, s.idx, s.dstw, 0, s.right, c0, c1);
        lice_detail::insideRun(s.icury, s.idy, s.dsth, 0, s.bottom, r0, r1);
        for (int j = r0; j < r1; ++j) {
            const LICE_pixel* srow = src.row((int)lice_detail::fixedInt(s.icury + j * s.idy));
            LICE_pixel* drow = dest.row(dsty + j) + dstx;
            long long pos = s.icurx + c0 * s.idx;
            for (int i = c0; i < c1; ++i, pos += s.idx)
                Op::doPixFAST(drow + i, srow[pos < 0 ? 0 : (pos >> 16)]);
        }
    }
};

template <class Op>
struct _LICE_Template_Blit1 {
    // One colour over a w x h area; the weight stands in for the source alpha, as fills draw.
    static void solidBlit(const LICE_Rows& dest, int x, int y, int w, int h, int r, int g, int b,
                          int ia) {
        for (int j = 0; j < h; ++j)
            LICE_RowKernel<Op>::fillRow(dest.row(y + j) + x, w, r, g, b, ia, ia);
    }

    // A linear gradient: channel values in 16.16 at the area's top-left pixel and their steps
    // per column and per row. The alpha value (0..256 scale) is each pixel's weight (and, limited
    // to 255, its source alpha); pixels of weight 0 or less are left alone.
    static void gradBlit(const LICE_Rows& dest, int x, int y, int w, int h, const int start[4],
                         const int dx[4], const int dy[4]) {
        long long row[4] = {start[0], start[1], start[2], start[3]};
        for (int j = 0; j < h; ++j) {
            LICE_pixel* p = dest.row(y + j) + x;
            long long v[4] = {row[0], row[1], row[2], row[3]};
            for (int i = 0; i < w; ++i) {
                const int wa = (int)clampWeight(v[3] >> 16);
                if (wa > 0)
                    Op::doPix((LICE_pixel_chan*)(p + i), clampChannel(v[0] >> 16),
                              clampChannel(v[1] >> 16), clampChannel(v[2] >> 16),
                              wa > 255 ? 255 : wa, wa);
                for (int k = 0; k < 4; ++k)
                    v[k] += dx[k];
            }
            for (int k = 0; k < 4; ++k)
                row[k] += dy[k];
        }
    }

private:
    // Channels are clamped by the operators; these limits only keep their products in range.
    static int clampChannel(long long v) {
        return (int)(v < -8192 ? -8192 : (v > 8192 ? 8192 : v));
    }
    static long long clampWeight(long long v) { return v > 256 ? 256 : v; }
};

template <class Op>
struct _LICE_Template_Blit2 {
    // Row by row, pixel for pixel: w x h pixels from src at (sx, sy) to dest at (dx, dy).
    static void blit(const LICE_Rows& dest, int dx, int dy, const LICE_Rows& src, int sx, int sy,
                     int w, int h, int ia) {
        for (int j = 0; j < h; ++j)
            LICE_RowKernel<Op>::blitRow(dest.row(dy + j) + dx, src.row(sy + j) + sx, w, ia);
    }

    // Scaled blit, nearest or bilinear, samples gathered per chunk and combined by the row
    // kernel. Rows and columns whose sample lies outside the limits are left untouched.
    static void scaleBlit(const LICE_Rows& dest, int dstx, int dsty, const LICE_Rows& src,
                          const LICE_ScaleSetup& s, int ia, bool bilinear) {
        using namespace lice_detail;
        int c0, c1, r0, r1;
        insideRun(s.icurx, s.idx, s.dstw, 0, s.right, c0, c1);
        insideRun(s.icury, s.idy, s.dsth, 0, s.bottom, r0, r1);
        LICE_pixel tmp[kChunk];
        for (int j = r0; j < r1; ++j) {
            const long long ypos = s.icury + j * s.idy;
            const int yi = (int)fixedInt(ypos);
            int yf = (int)(ypos & 0xffff);
            const LICE_pixel *row0, *row1;
            bilinearRows(src, yi, yf, s.bottom, row0, row1);
            LICE_pixel* drow = dest.row(dsty + j) + dstx;
            for (int i = c0; i < c1; i += kChunk) {
                const int n = c1 - i < kChunk ? c1 - i : kChunk;
                long long pos = s.icurx + i * s.idx;
                if (bilinear) {
                    for (int k = 0; k < n; ++k, pos += s.idx)
                        tmp[k] = bilinearAt(row0, row1, (int)fixedInt(pos), (int)(pos & 0xffff),
                                            s.right, yf);
                } else {
                    for (int k = 0; k < n; ++k, pos += s.idx)
                        tmp[k] = row0[fixedInt(pos)];
                }
                LICE_RowKernel<Op>::blitRow(drow + i, tmp, n, ia);
            }
        }
    }

    // Shrinking by 1.7 or more with the filter: each sample is the average of the K x K pixels
    // centred on it that lie inside the limits.
    static void scaleBlitFilterDown(const LICE_Rows& dest, int dstx, int dsty, const LICE_Rows& src,
                                    const LICE_ScaleSetup& s, int ia, int kernel) {
        using namespace lice_detail;
        int c0, c1, r0, r1;
        insideRun(s.icurx, s.idx, s.dstw, 0, s.right, c0, c1);
        insideRun(s.icury, s.idy, s.dsth, 0, s.bottom, r0, r1);
        const int half = kernel / 2;
        LICE_pixel tmp[kChunk];
        for (int j = r0; j < r1; ++j) {
            const int yc = (int)fixedInt(s.icury + j * s.idy);
            const int ya = yc - half < 0 ? 0 : yc - half;
            const int yb = yc + half + 1 > s.bottom ? s.bottom : yc + half + 1;
            LICE_pixel* drow = dest.row(dsty + j) + dstx;
            for (int i = c0; i < c1; i += kChunk) {
                const int n = c1 - i < kChunk ? c1 - i : kChunk;
                long long pos = s.icurx + i * s.idx;
                for (int k = 0; k < n; ++k, pos += s.idx) {
                    const int xc = (int)fixedInt(pos);
                    const int xa = xc - half < 0 ? 0 : xc - half;
                    const int xb = xc + half + 1 > s.right ? s.right : xc + half + 1;
                    tmp[k] = average(src, xa, xb, ya, yb);
                }
                LICE_RowKernel<Op>::blitRow(drow + i, tmp, n, ia);
            }
        }
    }

private:
    // Every tap weighs the same, so the weighted mean is the plain mean, truncated. Channel sums
    // of at most 25 taps fit 16-bit lanes.
    static LICE_pixel average(const LICE_Rows& src, int xa, int xb, int ya, int yb) {
        uint32_t ag = 0, rb = 0;
        for (int y = ya; y < yb; ++y) {
            const LICE_pixel* r = src.row(y);
            for (int x = xa; x < xb; ++x) {
                ag += r[x] & 0x00ff00ff;
                rb += (r[x] >> 8) & 0x00ff00ff;
            }
        }
        const uint32_t n = (uint32_t)((xb - xa) * (yb - ya));
        if (n == 0) return 0;
        return LICE_MakePixel((int)((rb & 0xffff) / n), (int)((ag >> 16) / n),
                              (int)((rb >> 16) / n), (int)((ag & 0xffff) / n));
    }
};

// Where a delta blit reads: 16.16 start, steps per column and per row, and the change of the
// column step from one row to the next; sampling limits [left, right) x [top, bottom).
struct LICE_DeltaSetup {
    long long s, t;
    long long dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy;
    int left, top, right, bottom;
};

template <class Op>
struct _LICE_Template_Blit3 {
    static void deltaBlit(const LICE_Rows& dest, int dstx, int dsty, int w, int h,
                          const LICE_Rows& src, const LICE_DeltaSetup& d, int ia, bool bilinear) {
        using namespace lice_detail;
        long long rs = d.s, rt = d.t, cs = d.dsdx, ct = d.dtdx;
        for (int j = 0; j < h; ++j) {
            LICE_pixel* drow = dest.row(dsty + j) + dstx;
            long long ps = rs, pt = rt;
            for (int i = 0; i < w; ++i, ps += cs, pt += ct) {
                const long long xi = fixedInt(ps), yi = fixedInt(pt);
                if (xi < d.left || xi >= d.right || yi < d.top || yi >= d.bottom) continue;
                const LICE_pixel* row0 = src.row((int)yi);
                LICE_pixel c;
                if (bilinear) {
                    int yf = (int)(pt & 0xffff);
                    const LICE_pixel* row1 = yi + 1 < d.bottom ? src.row((int)yi + 1) : row0;
                    if (row1 == row0) yf = 0;
                    c = bilinearAt(row0, row1, (int)xi, (int)(ps & 0xffff), d.right, yf);
                } else {
                    c = row0[xi];
                }
                Op::doPix((LICE_pixel_chan*)(drow + i), LICE_PixelR(c), LICE_PixelG(c),
                          LICE_PixelB(c), LICE_PixelA(c), ia);
            }
            rs += d.dsdy, rt += d.dtdy, cs += d.dsdxdy, ct += d.dtdxdy;
        }
    }
};
