#pragma once

// Row kernels: an operator applied along one row of pixels, either from a row of source pixels
// (blitRow) or from one colour (fillRow). The general form calls the operator's doPix per pixel;
// the operators that carry the editor's traffic have SSE2 forms that compute exactly the same
// bytes four pixels at a time (the exhaustive operator tests run both), finishing the row with
// doPix. SSE2 forms are used only for weights in 1..256 and, for fills, colours in 0..255,
// where the products fit 16-bit lanes; anything else takes the general form.

#include "raster/LICE_Combine.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define LICE_HAVE_SSE2 1
#else
#define LICE_HAVE_SSE2 0
#endif

namespace lice_detail {

// The general per-pixel forms, shared by the specialisations for their tails.
template <class Op>
struct ScalarRows {
    static inline void blitRowScalar(LICE_pixel* d, const LICE_pixel* s, int n, int w) {
        for (int i = 0; i < n; ++i) {
            const LICE_pixel c = s[i];
            Op::doPix((LICE_pixel_chan*)(d + i), LICE_PixelR(c), LICE_PixelG(c), LICE_PixelB(c),
                      LICE_PixelA(c), w);
        }
    }
    static inline void fillRowScalar(LICE_pixel* d, int n, int r, int g, int b, int a, int w) {
        for (int i = 0; i < n; ++i)
            Op::doPix((LICE_pixel_chan*)(d + i), r, g, b, a, w);
    }
};

} // namespace lice_detail

// The general form: the operator's doPix per pixel.
template <class Op>
struct LICE_RowKernel : lice_detail::ScalarRows<Op> {
    static inline void blitRow(LICE_pixel* d, const LICE_pixel* s, int n, int w) {
        lice_detail::ScalarRows<Op>::blitRowScalar(d, s, n, w);
    }
    static inline void fillRow(LICE_pixel* d, int n, int r, int g, int b, int a, int w) {
        lice_detail::ScalarRows<Op>::fillRowScalar(d, n, r, g, b, a, w);
    }
};

namespace lice_detail {

#if LICE_HAVE_SSE2

inline __m128i load4(const LICE_pixel* p) {
    return _mm_loadu_si128((const __m128i*)p);
}
inline void store4(LICE_pixel* p, __m128i v) {
    _mm_storeu_si128((__m128i*)p, v);
}

// (x * m) >> 8 per byte, for byte x and 16-bit factors m in 0..256 laid out per byte lane of
// the low (mlo) and high (mhi) two pixels.
inline __m128i scaleBytes(__m128i x, __m128i mlo, __m128i mhi) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(x, zero), mlo), 8);
    const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(x, zero), mhi), 8);
    return _mm_packus_epi16(lo, hi);
}

// s + (d - s) * m ÷ 256 per byte, truncating toward zero: the magnitudes of d - s are scaled
// separately for each sign, and at most one of them is non-zero in any byte.
inline __m128i mixBytes(__m128i d, __m128i s, __m128i mlo, __m128i mhi) {
    const __m128i up = scaleBytes(_mm_subs_epu8(d, s), mlo, mhi);
    const __m128i down = scaleBytes(_mm_subs_epu8(s, d), mlo, mhi);
    return _mm_sub_epi8(_mm_add_epi8(s, up), down);
}

// Spreads each pixel's alpha byte over its four 16-bit lanes (low and high two pixels).
inline void alphaLanes(__m128i s, __m128i& lo, __m128i& hi) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i a = _mm_and_si128(s, _mm_set1_epi32(0xff));
    const __m128i l = _mm_unpacklo_epi8(a, zero);
    const __m128i h = _mm_unpackhi_epi8(a, zero);
    lo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(l, 0), 0);
    hi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(h, 0), 0);
}

inline __m128i select(__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

struct CopyVec {
    __m128i m;
    explicit CopyVec(int w) : m(_mm_set1_epi16((short)(256 - w))) {}
    __m128i operator()(__m128i d, __m128i s) const { return mixBytes(d, s, m, m); }
};

struct AddVec {
    __m128i m;
    bool whole;
    explicit AddVec(int w) : m(_mm_set1_epi16((short)w)), whole(w == 256) {}
    __m128i operator()(__m128i d, __m128i s) const {
        return _mm_adds_epu8(d, whole ? s : scaleBytes(s, m, m));
    }
};

// Source-alpha copy below weight 256: w' = ((a + 1) w) ÷ 256 per pixel. (a + 1) w must fit
// 16 bits, so weights up to 255 only.
struct CopySourceAlphaVec {
    __m128i w16;
    explicit CopySourceAlphaVec(int w) : w16(_mm_set1_epi16((short)w)) {}
    __m128i operator()(__m128i d, __m128i s) const {
        __m128i alo, ahi;
        alphaLanes(s, alo, ahi);
        const __m128i one = _mm_set1_epi16(1);
        const __m128i wlo = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(alo, one), w16), 8);
        const __m128i whi = _mm_srli_epi16(_mm_mullo_epi16(_mm_add_epi16(ahi, one), w16), 8);
        const __m128i c256 = _mm_set1_epi16(256);
        const __m128i mixed = mixBytes(d, s, _mm_sub_epi16(c256, wlo), _mm_sub_epi16(c256, whi));
        const __m128i alpha = _mm_adds_epu8(d, _mm_packus_epi16(wlo, whi));
        const __m128i amask = _mm_set1_epi32(0xff);
        const __m128i out = select(amask, alpha, mixed);
        const __m128i clear = _mm_cmpeq_epi32(_mm_and_si128(s, amask), _mm_setzero_si128());
        return select(clear, d, out);
    }
};

// Source-alpha copy at weight 256: colour weighted by (255 - a) ÷ 256, alpha accumulated. At
// a = 255 this yields the source colour and alpha 255 without a special case.
struct CopySourceAlphaWholeVec {
    __m128i operator()(__m128i d, __m128i s) const {
        __m128i alo, ahi;
        alphaLanes(s, alo, ahi);
        const __m128i c255 = _mm_set1_epi16(255);
        const __m128i mixed = mixBytes(d, s, _mm_sub_epi16(c255, alo), _mm_sub_epi16(c255, ahi));
        const __m128i amask = _mm_set1_epi32(0xff);
        const __m128i out = select(amask, _mm_adds_epu8(d, s), mixed);
        const __m128i clear = _mm_cmpeq_epi32(_mm_and_si128(s, amask), _mm_setzero_si128());
        return select(clear, d, out);
    }
};

template <class Op, class Vec>
inline void vecBlitRow(LICE_pixel* d, const LICE_pixel* s, int n, int w, const Vec& vec) {
    int i = 0;
    for (; i + 4 <= n; i += 4)
        store4(d + i, vec(load4(d + i), load4(s + i)));
    ScalarRows<Op>::blitRowScalar(d + i, s + i, n - i, w);
}

// The source-alpha copy at weight 256 over a row, with the two kinds of group a picture with a
// cut-out shape is mostly made of taken whole: four opaque source pixels are the source (what the
// mix gives at alpha 255) and four clear ones leave the destination as it is.
template <class Op>
inline void sourceAlphaWholeRow(LICE_pixel* d, const LICE_pixel* s, int n) {
    const CopySourceAlphaWholeVec vec;
    const __m128i amask = _mm_set1_epi32(0xff);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i src = load4(s + i);
        const __m128i alpha = _mm_and_si128(src, amask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, amask)) == 0xFFFF) {
            store4(d + i, src);
        } else if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128())) != 0xFFFF) {
            store4(d + i, vec(load4(d + i), src));
        }
    }
    ScalarRows<Op>::blitRowScalar(d + i, s + i, n - i, 256);
}

template <class Op, class Vec>
inline void vecFillRow(LICE_pixel* d, int n, int r, int g, int b, int a, int w, const Vec& vec) {
    const __m128i c = _mm_set1_epi32((int)LICE_MakePixel(r, g, b, a));
    int i = 0;
    for (; i + 4 <= n; i += 4)
        store4(d + i, vec(load4(d + i), c));
    ScalarRows<Op>::fillRowScalar(d + i, n - i, r, g, b, a, w);
}

inline bool byteColour(int r, int g, int b, int a) {
    return ((r | g | b | a) & ~0xff) == 0;
}

#endif

} // namespace lice_detail

#if LICE_HAVE_SSE2

template <>
struct LICE_RowKernel<_LICE_CombinePixelsClobberNoClamp>
    : lice_detail::ScalarRows<_LICE_CombinePixelsClobberNoClamp> {
    static inline void blitRow(LICE_pixel* d, const LICE_pixel* s, int n, int) {
        if (n > 0) memcpy(d, s, (size_t)n * sizeof(LICE_pixel));
    }
    static inline void fillRow(LICE_pixel* d, int n, int r, int g, int b, int a, int) {
        const LICE_pixel c = LICE_MakePixel(r, g, b, a);
        for (int i = 0; i < n; ++i)
            d[i] = c;
    }
};

template <>
struct LICE_RowKernel<_LICE_CombinePixelsCopyNoClamp>
    : lice_detail::ScalarRows<_LICE_CombinePixelsCopyNoClamp> {
    typedef _LICE_CombinePixelsCopyNoClamp Op;
    static inline void blitRow(LICE_pixel* d, const LICE_pixel* s, int n, int w) {
        if (w < 1 || w > 256) return blitRowScalar(d, s, n, w);
        lice_detail::vecBlitRow<Op>(d, s, n, w, lice_detail::CopyVec(w));
    }
    static inline void fillRow(LICE_pixel* d, int n, int r, int g, int b, int a, int w) {
        if (w < 1 || w > 256 || !lice_detail::byteColour(r, g, b, a))
            return fillRowScalar(d, n, r, g, b, a, w);
        lice_detail::vecFillRow<Op>(d, n, r, g, b, a, w, lice_detail::CopyVec(w));
    }
};

template <>
struct LICE_RowKernel<_LICE_CombinePixelsAdd> : lice_detail::ScalarRows<_LICE_CombinePixelsAdd> {
    typedef _LICE_CombinePixelsAdd Op;
    static inline void blitRow(LICE_pixel* d, const LICE_pixel* s, int n, int w) {
        if (w < 1 || w > 256) return blitRowScalar(d, s, n, w);
        lice_detail::vecBlitRow<Op>(d, s, n, w, lice_detail::AddVec(w));
    }
    static inline void fillRow(LICE_pixel* d, int n, int r, int g, int b, int a, int w) {
        if (w < 1 || w > 256 || !lice_detail::byteColour(r, g, b, a))
            return fillRowScalar(d, n, r, g, b, a, w);
        lice_detail::vecFillRow<Op>(d, n, r, g, b, a, w, lice_detail::AddVec(w));
    }
};

template <>
struct LICE_RowKernel<_LICE_CombinePixelsCopySourceAlphaNoClamp>
    : lice_detail::ScalarRows<_LICE_CombinePixelsCopySourceAlphaNoClamp> {
    typedef _LICE_CombinePixelsCopySourceAlphaNoClamp Op;
    static inline void blitRow(LICE_pixel* d, const LICE_pixel* s, int n, int w) {
        if (w < 1 || w > 255) return blitRowScalar(d, s, n, w);
        lice_detail::vecBlitRow<Op>(d, s, n, w, lice_detail::CopySourceAlphaVec(w));
    }
    static inline void fillRow(LICE_pixel* d, int n, int r, int g, int b, int a, int w) {
        fillRowScalar(d, n, r, g, b, a, w);
    }
};

template <>
struct LICE_RowKernel<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>
    : lice_detail::ScalarRows<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp> {
    typedef _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp Op;
    static inline void blitRow(LICE_pixel* d, const LICE_pixel* s, int n, int) {
        lice_detail::sourceAlphaWholeRow<Op>(d, s, n);
    }
    static inline void fillRow(LICE_pixel* d, int n, int r, int g, int b, int a, int w) {
        fillRowScalar(d, n, r, g, b, a, w);
    }
};

#endif

// Word-wide rows: blitRowFAST mixes a row of source words in, fillRowFAST one prepared colour.
template <class Op>
struct LICE_FastRowKernel {
    static inline void blitRowFAST(LICE_pixel* d, const LICE_pixel* s, int n) {
        for (int i = 0; i < n; ++i)
            Op::doPixFAST(d + i, s[i]);
    }
    static inline void fillRowFAST(LICE_pixel* d, int n, LICE_pixel prepared) {
        for (int i = 0; i < n; ++i)
            Op::doPixFAST(d + i, prepared);
    }
};

#if LICE_HAVE_SSE2

namespace lice_detail {

inline __m128i halfWords(__m128i v) {
    return _mm_and_si128(_mm_srli_epi32(v, 1), _mm_set1_epi32(0x7f7f7f7f));
}
inline __m128i quarterWords(__m128i v) {
    return _mm_and_si128(_mm_srli_epi32(v, 2), _mm_set1_epi32(0x3f3f3f3f));
}

} // namespace lice_detail

template <>
struct LICE_FastRowKernel<_LICE_CombinePixelsHalfMixFAST> {
    static inline void blitRowFAST(LICE_pixel* d, const LICE_pixel* s, int n) {
        using namespace lice_detail;
        int i = 0;
        for (; i + 4 <= n; i += 4)
            store4(d + i, _mm_add_epi32(halfWords(load4(d + i)), halfWords(load4(s + i))));
        for (; i < n; ++i)
            _LICE_CombinePixelsHalfMixFAST::doPixFAST(d + i, s[i]);
    }
};

template <>
struct LICE_FastRowKernel<_LICE_CombinePixelsHalfMix2FAST> {
    static inline void fillRowFAST(LICE_pixel* d, int n, LICE_pixel prepared) {
        using namespace lice_detail;
        const __m128i c = _mm_set1_epi32((int)prepared);
        int i = 0;
        for (; i + 4 <= n; i += 4)
            store4(d + i, _mm_add_epi32(halfWords(load4(d + i)), c));
        for (; i < n; ++i)
            _LICE_CombinePixelsHalfMix2FAST::doPixFAST(d + i, prepared);
    }
};

template <>
struct LICE_FastRowKernel<_LICE_CombinePixelsQuarterMix2FAST> {
    static inline void fillRowFAST(LICE_pixel* d, int n, LICE_pixel prepared) {
        using namespace lice_detail;
        const __m128i c = _mm_set1_epi32((int)prepared);
        int i = 0;
        for (; i + 4 <= n; i += 4) {
            const __m128i v = load4(d + i);
            store4(d + i, _mm_add_epi32(_mm_add_epi32(quarterWords(v), halfWords(v)), c));
        }
        for (; i < n; ++i)
            _LICE_CombinePixelsQuarterMix2FAST::doPixFAST(d + i, prepared);
    }
};

template <>
struct LICE_FastRowKernel<_LICE_CombinePixelsThreeQuarterMix2FAST> {
    static inline void fillRowFAST(LICE_pixel* d, int n, LICE_pixel prepared) {
        using namespace lice_detail;
        const __m128i c = _mm_set1_epi32((int)prepared);
        int i = 0;
        for (; i + 4 <= n; i += 4)
            store4(d + i, _mm_add_epi32(quarterWords(load4(d + i)), c));
        for (; i < n; ++i)
            _LICE_CombinePixelsThreeQuarterMix2FAST::doPixFAST(d + i, prepared);
    }
};

#endif

#if LICE_HAVE_SSE2

// Plain stores, aligned once the row reaches a 16-byte boundary.
template <>
struct LICE_FastRowKernel<_LICE_CombinePixelsClobberFAST> {
    static inline void blitRowFAST(LICE_pixel* d, const LICE_pixel* s, int n) {
        if (n > 0) memcpy(d, s, (size_t)n * sizeof(LICE_pixel));
    }
    static inline void fillRowFAST(LICE_pixel* d, int n, LICE_pixel c) {
        int i = 0;
        for (; i < n && ((uintptr_t)(d + i) & 15); ++i)
            d[i] = c;
        const __m128i v = _mm_set1_epi32((int)c);
        for (; i + 8 <= n; i += 8) {
            _mm_store_si128((__m128i*)(d + i), v);
            _mm_store_si128((__m128i*)(d + i + 4), v);
        }
        for (; i < n; ++i)
            d[i] = c;
    }
};

#endif
