#pragma once

// The per-pixel combine operators every blit, fill, line, shape and glyph is built from, the
// standard way of choosing one from a blend mode and weight, and the single-pixel entry points.
//
// Each operator is a stateless class with one static doPix(pixel, r, g, b, a, w) that updates the
// four bytes of one destination pixel in place from a source colour and an integer weight
// (256 = fully the source). Loops are templates over these classes, so the per-pixel work holds no
// mode test. The arithmetic is exact and fixed: ÷ below means C integer division (truncating
// toward zero), and results are what the drawing code has always produced, bit for bit.
// The word-wide classes ending in FAST work on whole pixel words and serve the fixed weights of
// plain copies.

#include "raster/LICE_Pixel.h"

namespace lice_detail {

inline int clamp255(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// Source-alpha operators scale the weight by the source pixel's alpha first.
inline int sourceAlphaWeight(int a, int w) {
    return ((a + 1) * w) / 256;
}

inline int copyChannel(int d, int s, int w) {
    return s + ((d - s) * (256 - w)) / 256;
}
inline int mulChannel(int d, int s, int w) {
    return (d * (s * w + (256 - w) * 256)) / 65536;
}
inline int dodgeChannel(int d, int s, int w) {
    const int k = 256 - (s * w) / 256;
    return clamp255(k > 1 ? (d * 256) / k : d * 256);
}
inline int overlayChannel(int d, int s, int w) {
    const int sv = s * w + (256 - w) * 128;
    return clamp255(((((32768 - sv) * d) / 256) + sv) * d / 32768);
}

// The entry i is floor(65536 / i) - 1 (0 for i = 0): a reciprocal for the HSV conversion.
extern const unsigned short LICE_RGB2HSV_invtab[256];

void hsvAdjust(LICE_pixel_chan* pixel, int r, int g, int b, int a, int w);

} // namespace lice_detail

// The rasteriser's historical name for the reciprocal table.
#define _LICE_RGB2HSV_invtab lice_detail::LICE_RGB2HSV_invtab

// Copy at weight 256: all four bytes become the source (the weight is ignored).
class _LICE_CombinePixelsClobberNoClamp {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int) {
        p[LICE_PIXEL_R] = (LICE_pixel_chan)r;
        p[LICE_PIXEL_G] = (LICE_pixel_chan)g;
        p[LICE_PIXEL_B] = (LICE_pixel_chan)b;
        p[LICE_PIXEL_A] = (LICE_pixel_chan)a;
    }
};

// Gradient fill at weight 256: the source, each channel clamped to 0..255.
class _LICE_CombinePixelsClobberClamp {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int) {
        using lice_detail::clamp255;
        p[LICE_PIXEL_R] = (LICE_pixel_chan)clamp255(r);
        p[LICE_PIXEL_G] = (LICE_pixel_chan)clamp255(g);
        p[LICE_PIXEL_B] = (LICE_pixel_chan)clamp255(b);
        p[LICE_PIXEL_A] = (LICE_pixel_chan)clamp255(a);
    }
};

// Blend toward the source: d := s + (d - s)(256 - w) ÷ 256, stored as its low byte.
class _LICE_CombinePixelsCopyNoClamp {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        using lice_detail::copyChannel;
        p[LICE_PIXEL_R] = (LICE_pixel_chan)copyChannel(p[LICE_PIXEL_R], r, w);
        p[LICE_PIXEL_G] = (LICE_pixel_chan)copyChannel(p[LICE_PIXEL_G], g, w);
        p[LICE_PIXEL_B] = (LICE_pixel_chan)copyChannel(p[LICE_PIXEL_B], b, w);
        p[LICE_PIXEL_A] = (LICE_pixel_chan)copyChannel(p[LICE_PIXEL_A], a, w);
    }
};

// As the copy, for source channels that may lie outside 0..255: results are clamped.
class _LICE_CombinePixelsCopyClamp {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        using lice_detail::clamp255;
        using lice_detail::copyChannel;
        p[LICE_PIXEL_R] = (LICE_pixel_chan)clamp255(copyChannel(p[LICE_PIXEL_R], r, w));
        p[LICE_PIXEL_G] = (LICE_pixel_chan)clamp255(copyChannel(p[LICE_PIXEL_G], g, w));
        p[LICE_PIXEL_B] = (LICE_pixel_chan)clamp255(copyChannel(p[LICE_PIXEL_B], b, w));
        p[LICE_PIXEL_A] = (LICE_pixel_chan)clamp255(copyChannel(p[LICE_PIXEL_A], a, w));
    }
};

// Copy weighted by the source alpha, weight below 256. A transparent source changes nothing;
// the destination alpha accumulates the effective weight.
class _LICE_CombinePixelsCopySourceAlphaNoClamp {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        using lice_detail::copyChannel;
        if (a == 0) return;
        const int sw = lice_detail::sourceAlphaWeight(a, w);
        p[LICE_PIXEL_R] = (LICE_pixel_chan)copyChannel(p[LICE_PIXEL_R], r, sw);
        p[LICE_PIXEL_G] = (LICE_pixel_chan)copyChannel(p[LICE_PIXEL_G], g, sw);
        p[LICE_PIXEL_B] = (LICE_pixel_chan)copyChannel(p[LICE_PIXEL_B], b, sw);
        const int da = p[LICE_PIXEL_A] + sw;
        p[LICE_PIXEL_A] = (LICE_pixel_chan)(da > 255 ? 255 : da);
    }
};

// Like the previous one with every result clamped, for LICE_CombinePixels2Clamp.
class _LICE_CombinePixelsCopySourceAlphaClamp {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        using lice_detail::clamp255;
        using lice_detail::copyChannel;
        if (a == 0) return;
        const int sw = lice_detail::sourceAlphaWeight(a, w);
        p[LICE_PIXEL_R] = (LICE_pixel_chan)clamp255(copyChannel(p[LICE_PIXEL_R], r, sw));
        p[LICE_PIXEL_G] = (LICE_pixel_chan)clamp255(copyChannel(p[LICE_PIXEL_G], g, sw));
        p[LICE_PIXEL_B] = (LICE_pixel_chan)clamp255(copyChannel(p[LICE_PIXEL_B], b, sw));
        p[LICE_PIXEL_A] = (LICE_pixel_chan)clamp255(p[LICE_PIXEL_A] + sw);
    }
};

// Copy with source alpha at weight 256: the source alpha alone is the weight, over 255 steps.
class _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int) {
        if (a == 0) return;
        if (a == 255) {
            p[LICE_PIXEL_R] = (LICE_pixel_chan)r;
            p[LICE_PIXEL_G] = (LICE_pixel_chan)g;
            p[LICE_PIXEL_B] = (LICE_pixel_chan)b;
            p[LICE_PIXEL_A] = 255;
            return;
        }
        const int m = 255 - a;
        p[LICE_PIXEL_R] = (LICE_pixel_chan)(r + ((p[LICE_PIXEL_R] - r) * m) / 256);
        p[LICE_PIXEL_G] = (LICE_pixel_chan)(g + ((p[LICE_PIXEL_G] - g) * m) / 256);
        p[LICE_PIXEL_B] = (LICE_pixel_chan)(b + ((p[LICE_PIXEL_B] - b) * m) / 256);
        const int da = p[LICE_PIXEL_A] + a;
        p[LICE_PIXEL_A] = (LICE_pixel_chan)(da > 255 ? 255 : da);
    }
};

// The same inside LICE_CombinePixels2Clamp: every result clamped.
class _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int) {
        using lice_detail::clamp255;
        if (a == 0) return;
        if (a == 255) {
            p[LICE_PIXEL_R] = (LICE_pixel_chan)clamp255(r);
            p[LICE_PIXEL_G] = (LICE_pixel_chan)clamp255(g);
            p[LICE_PIXEL_B] = (LICE_pixel_chan)clamp255(b);
            p[LICE_PIXEL_A] = 255;
            return;
        }
        const int m = 255 - a;
        p[LICE_PIXEL_R] = (LICE_pixel_chan)clamp255(r + ((p[LICE_PIXEL_R] - r) * m) / 256);
        p[LICE_PIXEL_G] = (LICE_pixel_chan)clamp255(g + ((p[LICE_PIXEL_G] - g) * m) / 256);
        p[LICE_PIXEL_B] = (LICE_pixel_chan)clamp255(b + ((p[LICE_PIXEL_B] - b) * m) / 256);
        p[LICE_PIXEL_A] = (LICE_pixel_chan)clamp255(p[LICE_PIXEL_A] + a);
    }
};

// Adds the weighted source, saturating.
class _LICE_CombinePixelsAdd {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        using lice_detail::clamp255;
        p[LICE_PIXEL_R] = (LICE_pixel_chan)clamp255(p[LICE_PIXEL_R] + (r * w) / 256);
        p[LICE_PIXEL_G] = (LICE_pixel_chan)clamp255(p[LICE_PIXEL_G] + (g * w) / 256);
        p[LICE_PIXEL_B] = (LICE_pixel_chan)clamp255(p[LICE_PIXEL_B] + (b * w) / 256);
        p[LICE_PIXEL_A] = (LICE_pixel_chan)clamp255(p[LICE_PIXEL_A] + (a * w) / 256);
    }
};

class _LICE_CombinePixelsAddSourceAlpha {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        if (a == 0) return;
        _LICE_CombinePixelsAdd::doPix(p, r, g, b, a, lice_detail::sourceAlphaWeight(a, w));
    }
};

// Colour dodge: brightens the destination by the weighted source.
class _LICE_CombinePixelsColorDodge {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        using lice_detail::dodgeChannel;
        p[LICE_PIXEL_R] = (LICE_pixel_chan)dodgeChannel(p[LICE_PIXEL_R], r, w);
        p[LICE_PIXEL_G] = (LICE_pixel_chan)dodgeChannel(p[LICE_PIXEL_G], g, w);
        p[LICE_PIXEL_B] = (LICE_pixel_chan)dodgeChannel(p[LICE_PIXEL_B], b, w);
        p[LICE_PIXEL_A] = (LICE_pixel_chan)dodgeChannel(p[LICE_PIXEL_A], a, w);
    }
};

// Dodge with the source-alpha weight; a transparent source still takes part (weight 0 or more).
class _LICE_CombinePixelsColorDodgeSourceAlpha {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        _LICE_CombinePixelsColorDodge::doPix(p, r, g, b, a, lice_detail::sourceAlphaWeight(a, w));
    }
};

// Multiply: d := d(sw + (256 - w)256) ÷ 65536; white at weight 256 maps 255 to 254.
class _LICE_CombinePixelsMulNoClamp {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        using lice_detail::mulChannel;
        p[LICE_PIXEL_R] = (LICE_pixel_chan)mulChannel(p[LICE_PIXEL_R], r, w);
        p[LICE_PIXEL_G] = (LICE_pixel_chan)mulChannel(p[LICE_PIXEL_G], g, w);
        p[LICE_PIXEL_B] = (LICE_pixel_chan)mulChannel(p[LICE_PIXEL_B], b, w);
        p[LICE_PIXEL_A] = (LICE_pixel_chan)mulChannel(p[LICE_PIXEL_A], a, w);
    }
};

class _LICE_CombinePixelsMulClamp {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        using lice_detail::clamp255;
        using lice_detail::mulChannel;
        p[LICE_PIXEL_R] = (LICE_pixel_chan)clamp255(mulChannel(p[LICE_PIXEL_R], r, w));
        p[LICE_PIXEL_G] = (LICE_pixel_chan)clamp255(mulChannel(p[LICE_PIXEL_G], g, w));
        p[LICE_PIXEL_B] = (LICE_pixel_chan)clamp255(mulChannel(p[LICE_PIXEL_B], b, w));
        p[LICE_PIXEL_A] = (LICE_pixel_chan)clamp255(mulChannel(p[LICE_PIXEL_A], a, w));
    }
};

class _LICE_CombinePixelsMulSourceAlphaNoClamp {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        if (a == 0) return;
        _LICE_CombinePixelsMulNoClamp::doPix(p, r, g, b, a, lice_detail::sourceAlphaWeight(a, w));
    }
};

class _LICE_CombinePixelsMulSourceAlphaClamp {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        if (a == 0) return;
        _LICE_CombinePixelsMulClamp::doPix(p, r, g, b, a, lice_detail::sourceAlphaWeight(a, w));
    }
};

// Overlay: a source channel of 128 leaves the destination as it is at any weight.
class _LICE_CombinePixelsOverlay {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        using lice_detail::overlayChannel;
        p[LICE_PIXEL_R] = (LICE_pixel_chan)overlayChannel(p[LICE_PIXEL_R], r, w);
        p[LICE_PIXEL_G] = (LICE_pixel_chan)overlayChannel(p[LICE_PIXEL_G], g, w);
        p[LICE_PIXEL_B] = (LICE_pixel_chan)overlayChannel(p[LICE_PIXEL_B], b, w);
        p[LICE_PIXEL_A] = (LICE_pixel_chan)overlayChannel(p[LICE_PIXEL_A], a, w);
    }
};

class _LICE_CombinePixelsOverlaySourceAlpha {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        _LICE_CombinePixelsOverlay::doPix(p, r, g, b, a, lice_detail::sourceAlphaWeight(a, w));
    }
};

// Shifts the destination's hue by the source red, its saturation by green and its value by blue
// (128 is neutral), and sets the destination alpha to the source alpha.
class _LICE_CombinePixelsHSVAdjust {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        lice_detail::hsvAdjust(p, r, g, b, a, w);
    }
};

class _LICE_CombinePixelsHSVAdjustSourceAlpha {
public:
    static inline void doPix(LICE_pixel_chan* p, int r, int g, int b, int a, int w) {
        lice_detail::hsvAdjust(p, r, g, b, a, lice_detail::sourceAlphaWeight(a, w));
    }
};

// Word-wide operators: c is the colour (or source) word, prepared once per operation where the
// name ends in 2. They mix alpha like the other channels.
class _LICE_CombinePixelsClobberFAST {
public:
    static inline void doPixFAST(LICE_pixel* p, LICE_pixel c) { *p = c; }
    static inline LICE_pixel prepare(LICE_pixel c) { return c; }
};

class _LICE_CombinePixelsHalfMixFAST {
public:
    static inline void doPixFAST(LICE_pixel* p, LICE_pixel c) {
        *p = ((*p >> 1) & 0x7f7f7f7f) + ((c >> 1) & 0x7f7f7f7f);
    }
};

class _LICE_CombinePixelsHalfMix2FAST {
public:
    static inline LICE_pixel prepare(LICE_pixel c) { return (c >> 1) & 0x7f7f7f7f; }
    static inline void doPixFAST(LICE_pixel* p, LICE_pixel prepared) {
        *p = ((*p >> 1) & 0x7f7f7f7f) + prepared;
    }
};

// Three quarters destination, one quarter colour.
class _LICE_CombinePixelsQuarterMix2FAST {
public:
    static inline LICE_pixel prepare(LICE_pixel c) { return (c >> 2) & 0x3f3f3f3f; }
    static inline void doPixFAST(LICE_pixel* p, LICE_pixel prepared) {
        const LICE_pixel v = *p;
        *p = ((v >> 2) & 0x3f3f3f3f) + ((v >> 1) & 0x7f7f7f7f) + prepared;
    }
};

// One quarter destination, three quarters colour.
class _LICE_CombinePixelsThreeQuarterMix2FAST {
public:
    static inline LICE_pixel prepare(LICE_pixel c) {
        return ((c >> 1) & 0x7f7f7f7f) + ((c >> 2) & 0x3f3f3f3f);
    }
    static inline void doPixFAST(LICE_pixel* p, LICE_pixel prepared) {
        *p = ((*p >> 2) & 0x3f3f3f3f) + prepared;
    }
};

// An operator type carried as a value, so that one generic lambda can receive whichever
// operator the dispatch chose and instantiate its loop for it.
template <class Op>
struct LICE_OpTag {
    typedef Op type;
};

// The standard dispatch of blits: picks the operator from (mode & 0x100ff) and the weight and
// calls f(LICE_OpTag<operator>()). Returns false (f not called) when the combination draws
// nothing.
template <class F>
bool LICE_DispatchStandard(int mode, int ia, F&& f) {
    switch (mode & 0x100ff) {
    case LICE_COMBINE_COPY:
        if (ia < 1) return false;
        if (ia == 256)
            f(LICE_OpTag<_LICE_CombinePixelsClobberNoClamp>());
        else
            f(LICE_OpTag<_LICE_CombinePixelsCopyNoClamp>());
        return true;
    case LICE_COMBINE_ADD: f(LICE_OpTag<_LICE_CombinePixelsAdd>()); return true;
    case LICE_COMBINE_DODGE: f(LICE_OpTag<_LICE_CombinePixelsColorDodge>()); return true;
    case LICE_COMBINE_MULTIPLY: f(LICE_OpTag<_LICE_CombinePixelsMulNoClamp>()); return true;
    case LICE_COMBINE_OVERLAY: f(LICE_OpTag<_LICE_CombinePixelsOverlay>()); return true;
    case LICE_COMBINE_HSV_ADJUST: f(LICE_OpTag<_LICE_CombinePixelsHSVAdjust>()); return true;
    case LICE_USE_SOURCE_ALPHA | LICE_COMBINE_COPY:
        if (ia == 256)
            f(LICE_OpTag<_LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>());
        else
            f(LICE_OpTag<_LICE_CombinePixelsCopySourceAlphaNoClamp>());
        return true;
    case LICE_USE_SOURCE_ALPHA | LICE_COMBINE_ADD:
        f(LICE_OpTag<_LICE_CombinePixelsAddSourceAlpha>());
        return true;
    case LICE_USE_SOURCE_ALPHA | LICE_COMBINE_DODGE:
        f(LICE_OpTag<_LICE_CombinePixelsColorDodgeSourceAlpha>());
        return true;
    case LICE_USE_SOURCE_ALPHA | LICE_COMBINE_MULTIPLY:
        f(LICE_OpTag<_LICE_CombinePixelsMulSourceAlphaNoClamp>());
        return true;
    case LICE_USE_SOURCE_ALPHA | LICE_COMBINE_OVERLAY:
        f(LICE_OpTag<_LICE_CombinePixelsOverlaySourceAlpha>());
        return true;
    case LICE_USE_SOURCE_ALPHA | LICE_COMBINE_HSV_ADJUST:
        f(LICE_OpTag<_LICE_CombinePixelsHSVAdjustSourceAlpha>());
        return true;
    default: return false;
    }
}

// The dispatch of fills and single pixels: the operator field (mode & 0xff) alone; copy only for
// a positive weight. Returns false when nothing is drawn.
template <class F>
bool LICE_DispatchPlain(int mode, int ia, F&& f) {
    switch (mode & LICE_COMBINE_MASK) {
    case LICE_COMBINE_COPY:
        if (ia < 1) return false;
        f(LICE_OpTag<_LICE_CombinePixelsCopyNoClamp>());
        return true;
    case LICE_COMBINE_ADD: f(LICE_OpTag<_LICE_CombinePixelsAdd>()); return true;
    case LICE_COMBINE_DODGE: f(LICE_OpTag<_LICE_CombinePixelsColorDodge>()); return true;
    case LICE_COMBINE_MULTIPLY: f(LICE_OpTag<_LICE_CombinePixelsMulNoClamp>()); return true;
    case LICE_COMBINE_OVERLAY: f(LICE_OpTag<_LICE_CombinePixelsOverlay>()); return true;
    case LICE_COMBINE_HSV_ADJUST: f(LICE_OpTag<_LICE_CombinePixelsHSVAdjust>()); return true;
    default: return false;
    }
}

// Combines src into dest by the standard dispatch at weight trunc(alpha * 256) and returns the
// result; dest itself when the weight is 0 or the mode draws nothing.
LICE_pixel LICE_CombinePixels(LICE_pixel dest, LICE_pixel src, float alpha, int mode);

// The same in place with the weight given as an integer; ia 0 does nothing.
void LICE_CombinePixels2(LICE_pixel* dest, int r, int g, int b, int a, int ia, int mode);

// As LICE_CombinePixels2 for channel values that may lie outside 0..255: every channel result is
// clamped to 0..255.
void LICE_CombinePixels2Clamp(LICE_pixel* dest, int r, int g, int b, int a, int ia, int mode);
