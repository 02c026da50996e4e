#include "raster/LICE_CachedFont.h"

#include "gdi/SWELL_Context.h"
#include "gdi/SWELL_Objects.h"
#include "gdi/SWELL_Text.h"
#include "raster/LICE_Blit.h"
#include "raster/LICE_BlitTemplates.h"
#include "raster/LICE_Blur.h"
#include "raster/LICE_Fill.h"
#include "raster/LICE_SysBitmap.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// Glyph cells are limited to this many pixels a side, whatever size a font claims.
const int kMaxGlyphSide = 1024;
// The scratch bitmap is at least this square once a font is set.
const int kScratchSide = 256;
// Rendering flags that keep text off the GDI layer's own drawing.
const int kCachedOnlyFlags = LICE_CACHEDFONT_VERTICAL | LICE_CACHEDFONT_BOTTOM_UP |
                             LICE_CACHEDFONT_PRECACHE | LICE_CACHEDFONT_BLUR |
                             LICE_CACHEDFONT_INVERT | LICE_CACHEDFONT_MONO |
                             LICE_CACHEDFONT_SHADOW | LICE_CACHEDFONT_OUTLINE;
const int kEffectFlags = LICE_CACHEDFONT_SHADOW | LICE_CACHEDFONT_OUTLINE;
// Alignment flags the GDI layer applies itself, cleared when the font only wants a size.
const unsigned int kAlignAndMeasureFlags =
    DT_CALCRECT | DT_VCENTER | DT_CENTER | DT_BOTTOM | DT_RIGHT | DT_NOPREFIX;
const unsigned int kInternalCall = 0x80000000u;
// Coverage below this becomes background when a font thresholds its glyphs.
const int kThreshold = 131;
const unsigned char kEffectCoverage = 128;

// Glyphs are rendered white on black into this one, shared by every font; never freed.
LICE_SysBitmap* glyphScratch() {
    static LICE_SysBitmap* bm = new LICE_SysBitmap();
    return bm;
}

// Where the GDI layer draws text for destinations without a context of their own.
LICE_SysBitmap* nativeScratch() {
    static LICE_SysBitmap* bm = new LICE_SysBitmap();
    return bm;
}

// Grows the glyph scratch bitmap to at least w x h, setting its context up for white text on an
// opaque black background whenever the context is new. False when it cannot be had.
bool prepareGlyphScratch(LICE_SysBitmap* bm, int w, int h) {
    if (bm->getBits() && bm->getWidth() >= w && bm->getHeight() >= h) return true;
    bm->resize(w > bm->getWidth() ? w : bm->getWidth(), h > bm->getHeight() ? h : bm->getHeight());
    HDC dc = bm->getDC();
    if (!bm->getBits() || !dc || bm->getWidth() < w || bm->getHeight() < h) return false;
    SetTextColor(dc, 0xffffff);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, 0);
    return true;
}

bool growScratch(LICE_SysBitmap* bm, int w, int h) {
    if (bm->getBits() && bm->getWidth() >= w && bm->getHeight() >= h) return true;
    bm->resize(w > bm->getWidth() ? w : bm->getWidth(), h > bm->getHeight() ? h : bm->getHeight());
    return bm->getBits() && bm->getDC() && bm->getWidth() >= w && bm->getHeight() >= h;
}

int gdiColour(LICE_pixel p) {
    return (LICE_PixelR(p) << 16) | (LICE_PixelG(p) << 8) | LICE_PixelB(p);
}

int encodeUTF8(unsigned short c, char* out) {
    if (c < 0x80) {
        out[0] = (char)c;
        return 1;
    }
    if (c < 0x800) {
        out[0] = (char)(0xC0 + (c >> 6));
        out[1] = (char)(0x80 + (c & 63));
        return 2;
    }
    out[0] = (char)(0xE0 + (c >> 12));
    out[1] = (char)(0x80 + ((c >> 6) & 63));
    out[2] = (char)(0x80 + (c & 63));
    return 3;
}

int clampSide(int v) {
    return v < 1 ? 1 : (v > kMaxGlyphSide ? kMaxGlyphSide : v);
}

int clampToInt(long long v) {
    return v < INT_MIN ? INT_MIN : (v > INT_MAX ? INT_MAX : (int)v);
}

// Calls f once per character of the text, within the byte budget (negative: up to the NUL).
// Carriage returns are dropped; a line feed reaches f as '\n' unless single line makes it a space.
template <class F>
void walkText(const char* str, int strcnt, bool singleLine, F&& f) {
    int left = strcnt;
    while (left != 0 && *str) {
        unsigned short c;
        const int n = LICE_CachedFont::utf8char(str, left, &c);
        str += n;
        if (left > 0) left -= n;
        if (c == '\r') continue;
        if (c == '\n' && singleLine) c = ' ';
        f(c);
    }
}

bool hasNewline(const char* str, int strcnt) {
    for (int i = 0; strcnt < 0 || i < strcnt; ++i) {
        if (!str[i]) return false;
        if (str[i] == '\n') return true;
    }
    return false;
}

// The visible part of one glyph: destination rows and origin, the first coverage byte shown,
// the map's row length and the visible size.
struct GlyphCell {
    LICE_Rows rows;
    int x, y, w, h;
    const unsigned char* map;
    int stride;
};

// The first non-zero coverage byte at or after i, or n: glyph cells are mostly empty, so empty
// stretches are passed eight bytes at a time.
inline int nextCovered(const unsigned char* in, int i, int n) {
    while (i + 8 <= n) {
        uint64_t v;
        memcpy(&v, in + i, sizeof(v));
        if (v) break;
        i += 8;
    }
    while (i < n && !in[i])
        ++i;
    return i;
}

// Calls f(pixel, coverage) for every covered pixel of the cell.
template <class F>
inline void forEachCovered(const GlyphCell& c, F&& f) {
    for (int j = 0; j < c.h; ++j) {
        const unsigned char* in = c.map + (size_t)j * c.stride;
        LICE_pixel* out = c.rows.row(c.y + j) + c.x;
        for (int i = nextCovered(in, 0, c.w); i < c.w; i = nextCovered(in, i + 1, c.w))
            f(out + i, in[i]);
    }
}

template <class Op>
struct GlyphRenderer {
    // Antialiased coverage: at full weight a byte v weighs v + 1, else v * ia ÷ 256.
    static void Normal(const GlyphCell& c, LICE_pixel color, int ia) {
        const int r = LICE_PixelR(color), g = LICE_PixelG(color), b = LICE_PixelB(color);
        forEachCovered(c, [&](LICE_pixel* p, int v) {
            int w = ia == 256 ? v + 1 : (v * ia) / 256;
            if (w > 256) w = 256;
            Op::doPix((LICE_pixel_chan*)p, r, g, b, 255, w);
        });
    }
    // Thresholded coverage: every covered pixel at the one weight.
    static void Mono(const GlyphCell& c, LICE_pixel color, int ia) {
        const int r = LICE_PixelR(color), g = LICE_PixelG(color), b = LICE_PixelB(color);
        forEachCovered(
            c, [&](LICE_pixel* p, int) { Op::doPix((LICE_pixel_chan*)p, r, g, b, 255, ia); });
    }
    // Shadow or outline: full coverage in the text colour, effect pixels in the effect colour.
    static void Effect(const GlyphCell& c, LICE_pixel text, LICE_pixel effect, int ia) {
        forEachCovered(c, [&](LICE_pixel* p, int v) {
            const LICE_pixel k = v == 255 ? text : effect;
            Op::doPix((LICE_pixel_chan*)p, LICE_PixelR(k), LICE_PixelG(k), LICE_PixelB(k), 255, ia);
        });
    }
};

// The plain case (full weight, copy) of antialiased glyphs: coverage v weighs v + 1, so full
// coverage is the colour with alpha 255 as a whole word, and each partial pixel is the copy
// operator's s + (d - s)(255 - v) ÷ 256. With SSE2, four pixels at a time by the same
// arithmetic as the copy row kernel (a multiplier of 256 leaves an uncovered pixel as it is).
void storeAntialiased(const GlyphCell& c, LICE_pixel color) {
    const LICE_pixel full = (color & ~(LICE_pixel)0xff) | 0xff;
    const int r = LICE_PixelR(color), g = LICE_PixelG(color), b = LICE_PixelB(color);
    auto one = [&](LICE_pixel* p, int v) {
        if (v == 255)
            *p = full;
        else if (v)
            _LICE_CombinePixelsCopyNoClamp::doPix((LICE_pixel_chan*)p, r, g, b, 255, v + 1);
    };
#if LICE_HAVE_SSE2
    const __m128i source = _mm_set1_epi32((int)full);
    const __m128i zero = _mm_setzero_si128(), k255 = _mm_set1_epi16(255), k1 = _mm_set1_epi16(1);
    for (int j = 0; j < c.h; ++j) {
        const unsigned char* in = c.map + (size_t)j * c.stride;
        LICE_pixel* out = c.rows.row(c.y + j) + c.x;
        int i = 0;
        for (; i + 4 <= c.w; i += 4) {
            uint32_t four;
            memcpy(&four, in + i, sizeof(four));
            if (!four) continue;
            if (four == 0xffffffffu) {
                lice_detail::store4(out + i, source);
                continue;
            }
            // Multipliers 255 - v (256 where v is 0), each spread over its pixel's four bytes.
            const __m128i v = _mm_unpacklo_epi8(_mm_cvtsi32_si128((int)four), zero);
            const __m128i m =
                _mm_add_epi16(_mm_sub_epi16(k255, v), _mm_and_si128(_mm_cmpeq_epi16(v, zero), k1));
            const __m128i pairs = _mm_unpacklo_epi16(m, m);
            const __m128i mlo = _mm_unpacklo_epi32(pairs, pairs);
            const __m128i mhi = _mm_unpackhi_epi32(pairs, pairs);
            lice_detail::store4(
                out + i, lice_detail::mixBytes(lice_detail::load4(out + i), source, mlo, mhi));
        }
        for (; i < c.w; ++i)
            one(out + i, in[i]);
    }
#else
    forEachCovered(c, one);
#endif
}

void storeMono(const GlyphCell& c, LICE_pixel color) {
    forEachCovered(c, [&](LICE_pixel* p, int) { *p = color; });
}

void storeEffect(const GlyphCell& c, LICE_pixel text, LICE_pixel effect) {
    forEachCovered(c, [&](LICE_pixel* p, int v) { *p = v == 255 ? text : effect; });
}

// Threshold, then mark shadow (left, upper-left or upper neighbour covered) or outline (any
// of the four neighbours covered) pixels, in raster order and in place.
void applyEffects(unsigned char* map, int w, int h, int flags) {
    for (int i = 0; i < w * h; ++i)
        map[i] = map[i] < kThreshold ? 0 : 255;
    if (!(flags & kEffectFlags)) return;
    const bool shadow = (flags & LICE_CACHEDFONT_SHADOW) != 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            unsigned char* p = map + (size_t)y * w + x;
            if (*p) continue;
            const bool left = x > 0 && p[-1] == 255;
            const bool up = y > 0 && p[-w] == 255;
            bool mark;
            if (shadow) {
                mark = left || up || (x > 0 && y > 0 && p[-w - 1] == 255);
            } else {
                mark = left || up || (x + 1 < w && p[1] == 255) || (y + 1 < h && p[w] == 255);
            }
            if (mark) *p = kEffectCoverage;
        }
    }
}

} // namespace

LICE_CachedFont::LICE_CachedFont() : m_extrachars(4096), m_glyphstore(65536) {
    memset(m_lowchars, 0, sizeof(m_lowchars));
}

LICE_CachedFont::~LICE_CachedFont() {
    if ((m_flags & LICE_CACHEDFONT_OWNS_FONT) && m_font) DeleteObject(m_font);
}

int LICE_CachedFont::utf8char(const char* p, int avail, unsigned short* out) {
    const unsigned char* s = (const unsigned char*)p;
    const unsigned b0 = s[0];
    // The n bytes after the first are there and are continuation bytes; a NUL stops the test.
    auto continues = [&](int n) {
        if (avail >= 0 && avail < n + 1) return false;
        for (int i = 1; i <= n; ++i)
            if (s[i] < 0x80 || s[i] > 0xBF) return false;
        return true;
    };
    if (b0 >= 0xC2 && b0 <= 0xDF && continues(1)) {
        *out = (unsigned short)(((b0 << 6) & 0x7C0) + (s[1] & 63));
        return 2;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF && continues(2)) {
        *out = (unsigned short)((b0 << 12) + ((s[1] << 6) & 0xFC0) + (s[2] & 63));
        return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4 && continues(3)) {
        *out = ' ';
        return 4;
    }
    *out = (unsigned short)b0;
    return 1;
}

void LICE_CachedFont::SetFromHFont(HGDIOBJ font, int flags) {
    if ((m_flags & LICE_CACHEDFONT_OWNS_FONT) && m_font && m_font != font) DeleteObject(m_font);
    m_flags = flags;
    m_font = font;
    if (font) {
        LICE_SysBitmap* scratch = glyphScratch();
        prepareGlyphScratch(scratch, kScratchSide, kScratchSide);
        HDC dc = scratch->getDC();
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRIC tm;
        GetTextMetrics(dc, &tm);
        m_lineheight = tm.tmHeight;
        SelectObject(dc, old);
    }
    memset(m_lowchars, 0, sizeof(m_lowchars));
    m_extrachars.Resize(0);
    m_glyphstore.Resize(0);
    if (flags & LICE_CACHEDFONT_PRECACHE)
        for (unsigned short c = 0; c < 128; ++c)
            RenderGlyph(c);
}

LICE_pixel LICE_CachedFont::SetTextColor(LICE_pixel color) {
    return std::exchange(m_textcolor, color);
}

LICE_pixel LICE_CachedFont::SetBkColor(LICE_pixel color) {
    return std::exchange(m_bkcolor, color);
}

LICE_pixel LICE_CachedFont::SetEffectColor(LICE_pixel color) {
    return std::exchange(m_effectcolor, color);
}

int LICE_CachedFont::SetBkMode(int mode) {
    return std::exchange(m_bkmode, mode);
}

void LICE_CachedFont::SetCombineMode(int mode, float alpha) {
    m_combinemode = mode;
    m_alpha = alpha;
}

const LICE_CachedFont::GlyphRecord* LICE_CachedFont::findChar(unsigned short c) const {
    if (c < 128) return &m_lowchars[c];
    const GlyphRecord* recs = (const GlyphRecord*)m_extrachars.Get();
    int lo = 0, hi = ExtraCharCount();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (recs[mid].charid == c) return &recs[mid];
        if (recs[mid].charid < c)
            lo = mid + 1;
        else
            hi = mid;
    }
    return nullptr;
}

const unsigned char* LICE_CachedFont::getGlyphMap(const GlyphRecord* rec) const {
    if (!rec || rec->base <= 0) return nullptr;
    if ((long long)rec->base - 1 + (long long)rec->width * rec->height > m_glyphstore.GetSize())
        return nullptr;
    return (const unsigned char*)m_glyphstore.Get() + (rec->base - 1);
}

LICE_CachedFont::GlyphRecord* LICE_CachedFont::record(unsigned short c) {
    return const_cast<GlyphRecord*>(findChar(c));
}

// A zeroed record for c at its sorted place, so the search finds it whatever its fate.
LICE_CachedFont::GlyphRecord* LICE_CachedFont::insertExtraChar(unsigned short c) {
    const int n = ExtraCharCount();
    const int bytes = (n + 1) * (int)sizeof(GlyphRecord);
    m_extrachars.Resize(bytes, false);
    if (m_extrachars.GetSize() != bytes) return nullptr;
    GlyphRecord* recs = (GlyphRecord*)m_extrachars.Get();
    int at = 0;
    while (at < n && recs[at].charid < c)
        ++at;
    memmove(recs + at + 1, recs + at, (size_t)(n - at) * sizeof(GlyphRecord));
    recs[at] = {0, 0, 0, 0, c};
    return recs + at;
}

bool LICE_CachedFont::RenderGlyph(unsigned short c) {
    GlyphRecord* rec = record(c);
    if (!rec) {
        if (m_flags & LICE_CACHEDFONT_PRECACHE) return false;
        rec = insertExtraChar(c);
        if (!rec) return false;
    }
    // Rendered as nothing until the coverage is stored.
    rec->base = -1;
    rec->width = rec->height = rec->advance = 0;
    if (!m_font) return true;

    LICE_SysBitmap* scratch = glyphScratch();
    const int side = clampSide(m_lineheight);
    if (!prepareGlyphScratch(scratch, side, side)) return true;
    char text[3];
    const int n = encodeUTF8(c, text);
    HGDIOBJ old = SelectObject(scratch->getDC(), m_font);
    RECT r = {0, 0, 0, 0};
    SWELL_DrawText(scratch->getDC(), text, n, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(scratch->getDC(), old);
    const int advance = r.right;
    // Capitals may reach past their advance (italics, kerning overhangs).
    if (c >= 'A' && c <= 'Z') r.right += 2;
    if (r.right < 1 || r.bottom < 1) return true;
    const int w = r.right > kMaxGlyphSide ? kMaxGlyphSide : r.right;
    const int h = r.bottom > kMaxGlyphSide ? kMaxGlyphSide : r.bottom;
    if (!prepareGlyphScratch(scratch, w, h)) return true;

    LICE_ClearRect(scratch, 0, 0, w, h, 0, 0);
    HDC dc = scratch->getDC();
    old = SelectObject(dc, m_font);
    RECT cell = {0, 0, w, h};
    SWELL_DrawText(dc, text, n, &cell, DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    if (m_flags & LICE_CACHEDFONT_BLUR) LICE_Blur(scratch, scratch, 0, 0, 0, 0, w, h);
    if (storeCoverage(rec, scratch, w, h)) rec->advance = advance;
    return true;
}

// Appends the scratch bitmap's w x h glyph to the store as coverage (the red bytes), turned for
// vertical fonts and with the font's effects. False, leaving the record empty, when the store
// cannot grow.
bool LICE_CachedFont::storeCoverage(GlyphRecord* rec, LICE_IBitmap* scratch, int w, int h) {
    const int size = m_glyphstore.GetSize();
    const long long grown = (long long)size + (long long)w * h;
    if (grown > INT_MAX) return false;
    m_glyphstore.Resize((int)grown, false);
    if (m_glyphstore.GetSize() != grown) return false;
    unsigned char* map = (unsigned char*)m_glyphstore.Get() + size;

    const bool vertical = isVertical(), bottomUp = isBottomUp();
    const int mw = vertical ? h : w, mh = vertical ? w : h;
    const LICE_pixel* bits = scratch->getBits();
    const int span = scratch->getRowSpan();
    const unsigned char flip = (m_flags & LICE_CACHEDFONT_INVERT) ? 255 : 0;
    for (int r = 0; r < mh; ++r) {
        for (int k = 0; k < mw; ++k) {
            // Clockwise: new (r, k) is old (h - 1 - k, r); counter-clockwise: old (k, w - 1 - r).
            const int sx = !vertical ? k : (bottomUp ? w - 1 - r : r);
            const int sy = !vertical ? r : (bottomUp ? k : h - 1 - k);
            map[(size_t)r * mw + k] =
                (unsigned char)(LICE_PixelR(bits[(size_t)sy * span + sx]) ^ flip);
        }
    }
    if (m_flags & (LICE_CACHEDFONT_MONO | kEffectFlags)) applyEffects(map, mw, mh, m_flags);
    rec->base = size + 1;
    rec->width = mw;
    rec->height = mh;
    return true;
}

const LICE_CachedFont::GlyphRecord* LICE_CachedFont::drawableGlyph(unsigned short c) {
    const GlyphRecord* rec = findChar(c);
    if (!rec || rec->base == 0) {
        if (!RenderGlyph(c)) return nullptr;
        rec = findChar(c);
    }
    return getGlyphMap(rec) ? rec : nullptr;
}

bool LICE_CachedFont::DrawGlyph(LICE_IBitmap* bm, const GlyphRecord* rec, int x, int y,
                                const RECT& clip, float alpha) {
    const long long l = x > clip.left ? x : clip.left, t = y > clip.top ? y : clip.top;
    const long long xr = (long long)x + rec->width, yb = (long long)y + rec->height;
    const long long r = xr < clip.right ? xr : clip.right, b = yb < clip.bottom ? yb : clip.bottom;
    if (r <= l || b <= t) return false;
    const int cw = (int)(r - l), ch = (int)(b - t);
    if (m_bkmode == OPAQUE)
        LICE_FillRect(bm, (int)l, (int)t, cw, ch, m_bkcolor, alpha,
                      m_combinemode & ~LICE_USE_SOURCE_ALPHA);
    const LICE_Rows rows = LICE_RowsOf(bm);
    if (!rows.first) return true;
    const unsigned char* map = (const unsigned char*)m_glyphstore.Get() + (rec->base - 1) +
                               (size_t)(t - y) * rec->width + (size_t)(l - x);
    const GlyphCell cell = {rows, (int)l, (int)t, cw, ch, map, rec->width};
    int ia = LICE_AlphaToWeight(alpha);
    if (ia > 256) ia = 256;
    const int op = m_combinemode & LICE_COMBINE_MASK;
    const bool plain = ia == 256 && op == LICE_COMBINE_COPY;

    if (m_flags & LICE_CACHEDFONT_MONO) {
        if (plain) return storeMono(cell, m_textcolor), true;
        LICE_DispatchPlain(op, ia, [&](auto tag) {
            GlyphRenderer<typename decltype(tag)::type>::Mono(cell, m_textcolor, ia);
        });
    } else if (m_flags & kEffectFlags) {
        if (plain) return storeEffect(cell, m_textcolor, m_effectcolor), true;
        LICE_DispatchPlain(op, ia, [&](auto tag) {
            GlyphRenderer<typename decltype(tag)::type>::Effect(cell, m_textcolor, m_effectcolor,
                                                                ia);
        });
    } else {
        if (plain) return storeAntialiased(cell, m_textcolor), true;
        LICE_DispatchPlain(op, ia, [&](auto tag) {
            GlyphRenderer<typename decltype(tag)::type>::Normal(cell, m_textcolor, ia);
        });
    }
    return true;
}

int LICE_CachedFont::measureText(const char* str, int strcnt, RECT* rect, unsigned int dtFlags) {
    const bool vertical = isVertical();
    const long long step = (long long)m_lineheight + m_linespacing;
    long long x = 0, y = 0, extentX = 0, extentY = 0;
    walkText(str, strcnt, (dtFlags & DT_SINGLELINE) != 0, [&](unsigned short c) {
        if (c == '\n') {
            if (vertical)
                x += step, y = 0;
            else
                y += step, x = 0;
            return;
        }
        const GlyphRecord* g = drawableGlyph(c);
        if (!g) return;
        if (vertical) {
            y += g->advance;
            if (y > extentY) extentY = y;
            if (x + g->width > extentX) extentX = x + g->width;
        } else {
            x += g->advance;
            if (x > extentX) extentX = x;
            if (y + g->height > extentY) extentY = y + g->height;
        }
    });
    rect->right = clampToInt(rect->left + extentX);
    rect->bottom = clampToInt(rect->top + extentY);
    return clampToInt(vertical ? extentX : extentY);
}

int LICE_CachedFont::drawCached(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect,
                                unsigned int dtFlags) {
    // The weight stays local: nothing of the font changes while drawing.
    float alpha = m_alpha;
    if (dtFlags & LICE_DT_USEFGALPHA) alpha *= LICE_PixelA(m_textcolor) / 255.0f;
    if (LICE_AlphaToWeight(alpha) <= 0) return 0;

    long long x = rect->left, y = rect->top;
    const bool bottomUp = isBottomUp();
    if ((dtFlags & (DT_RIGHT | DT_CENTER | DT_BOTTOM | DT_VCENTER)) || bottomUp) {
        RECT m = {0, 0, 0, 0};
        measureText(str, strcnt, &m, dtFlags & DT_SINGLELINE);
        const long long tw = m.right, th = m.bottom;
        if (dtFlags & DT_CENTER)
            x = rect->left + ((long long)rect->right - rect->left - tw) / 2;
        else if (dtFlags & DT_RIGHT)
            x = rect->right - tw;
        if (dtFlags & DT_VCENTER)
            y = rect->top + ((long long)rect->bottom - rect->top - th) / 2;
        else if (dtFlags & DT_BOTTOM)
            y = rect->bottom - th;
        if (bottomUp) y += th;
    }

    RECT clip = {0, 0, bm->getWidth(), bm->getHeight()};
    if (!(dtFlags & DT_NOCLIP)) {
        if (rect->left > clip.left) clip.left = rect->left;
        if (rect->top > clip.top) clip.top = rect->top;
        if (rect->right < clip.right) clip.right = rect->right;
        if (rect->bottom < clip.bottom) clip.bottom = rect->bottom;
    }
    if (clip.right <= clip.left || clip.bottom <= clip.top) return 0;

    const bool vertical = isVertical();
    const long long startX = x, startY = y, step = (long long)m_lineheight + m_linespacing;
    long long farX = startX, farY = startY;
    walkText(str, strcnt, (dtFlags & DT_SINGLELINE) != 0, [&](unsigned short c) {
        if (c == '\n') {
            if (vertical)
                x += step, y = startY;
            else
                y += step, x = startX;
            return;
        }
        const GlyphRecord* g = drawableGlyph(c);
        if (!g) return;
        if (bottomUp) y -= g->height;
        DrawGlyph(bm, g, clampToInt(x), clampToInt(y), clip, alpha);
        if (x + g->width > farX) farX = x + g->width;
        if (y + g->height > farY) farY = y + g->height;
        if (!vertical)
            x += g->advance;
        else if (bottomUp)
            y += g->height - g->advance;
        else
            y += g->advance;
    });
    return clampToInt(vertical ? farX - startX : farY - startY);
}

bool LICE_CachedFont::useNative(const char* str, int strcnt, unsigned int dtFlags) const {
    if (!(m_flags & LICE_CACHEDFONT_NATIVE) || !m_font) return false;
    if ((dtFlags & LICE_DT_USEFGALPHA) || (m_flags & kCachedOnlyFlags)) return false;
    // Extra line spacing is the cache's to apply.
    return !(m_linespacing && !(dtFlags & DT_SINGLELINE) && hasNewline(str, strcnt));
}

void LICE_CachedFont::applyContextColours(HDC dc) {
    ::SetTextColor(dc, gdiColour(m_textcolor));
    ::SetBkMode(dc, m_bkmode);
    if (m_bkmode == OPAQUE) ::SetBkColor(dc, gdiColour(m_bkcolor));
}

int LICE_CachedFont::drawNative(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect,
                                unsigned int dtFlags) {
    HDC target = bm ? bm->getDC() : nullptr;
    if (target) {
        HGDIOBJ old = SelectObject(target, m_font);
        applyContextColours(target);
        RECT r = *rect;
        const int result = SWELL_DrawText(target, str, strcnt, &r, (int)(dtFlags | DT_NOPREFIX));
        if (dtFlags & DT_CALCRECT) *rect = r;
        SelectObject(target, old);
        return result;
    }

    // No context of its own: measure in the scratch bitmap, draw there over a copy of the
    // destination, and blit the box back.
    LICE_SysBitmap* scratch = nativeScratch();
    if (!growScratch(scratch, 1, 1)) return 0;
    HGDIOBJ old = SelectObject(scratch->getDC(), m_font);
    RECT m = {0, 0, 0, 0};
    const int result =
        SWELL_DrawText(scratch->getDC(), str, strcnt, &m,
                       (int)((dtFlags & ~kAlignAndMeasureFlags) | DT_CALCRECT | DT_NOPREFIX));
    SelectObject(scratch->getDC(), old);
    const long long mw = m.right, mh = m.bottom;
    if (dtFlags & DT_CALCRECT) {
        rect->right = clampToInt(rect->left + mw);
        rect->bottom = clampToInt(rect->top + mh);
        return result;
    }

    // The box the text occupies: aligned within the rectangle when narrower, and around it
    // when wider with no clipping. A pixel of margin takes in anti-aliased edges.
    long long bx = rect->left, by = rect->top;
    long long bw = (long long)rect->right - rect->left, bh = (long long)rect->bottom - rect->top;
    if (mw < bw || (dtFlags & DT_NOCLIP)) {
        if (dtFlags & DT_RIGHT)
            bx += bw - mw;
        else if (dtFlags & DT_CENTER)
            bx += (bw - mw) / 2;
        bw = mw;
    }
    if (mh < bh || (dtFlags & DT_NOCLIP)) {
        if (dtFlags & DT_BOTTOM)
            by += bh - mh;
        else if (dtFlags & DT_VCENTER)
            by += (bh - mh) / 2;
        bh = mh;
    }
    bx -= 1, by -= 1, bw += 2, bh += 2;
    // Only the part of the box inside the destination is composed.
    const long long cl = bx > 0 ? bx : 0, ct = by > 0 ? by : 0;
    const long long cr = bx + bw < bm->getWidth() ? bx + bw : bm->getWidth();
    const long long cb = by + bh < bm->getHeight() ? by + bh : bm->getHeight();
    if (cr <= cl || cb <= ct) return result;
    const int cw = (int)(cr - cl), ch = (int)(cb - ct);
    if (!growScratch(scratch, cw, ch)) return result;

    // The text is laid out in the caller's rectangle, moved to the scratch bitmap's origin, so
    // that it lands on the same pixels as it would on a bitmap with a context.
    LICE_Blit(scratch, bm, 0, 0, (int)cl, (int)ct, cw, ch, 1.0f, LICE_COMBINE_COPY);
    HDC dc = scratch->getDC();
    old = SelectObject(dc, m_font);
    applyContextColours(dc);
    RECT moved = {clampToInt(rect->left - cl), clampToInt(rect->top - ct),
                  clampToInt(rect->right - cl), clampToInt(rect->bottom - ct)};
    SWELL_DrawText(dc, str, strcnt, &moved, (int)((dtFlags & ~DT_CALCRECT) | DT_NOPREFIX));
    SelectObject(dc, old);
    LICE_Blit(bm, scratch, (int)cl, (int)ct, 0, 0, cw, ch, m_alpha, LICE_COMBINE_COPY);
    return result;
}

int LICE_CachedFont::DrawText(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect,
                              unsigned int dtFlags) {
    if (!str || !rect) return 0;
    const bool internal = (dtFlags & kInternalCall) != 0;
    dtFlags &= ~kInternalCall;
    if (!bm && !(dtFlags & DT_CALCRECT)) return 0;
    if (strcnt == 0) {
        if (dtFlags & DT_CALCRECT) rect->right = rect->left, rect->bottom = rect->top;
        return 0;
    }
    if (!internal && useNative(str, strcnt, dtFlags))
        return drawNative(bm, str, strcnt, rect, dtFlags);
    if (dtFlags & DT_CALCRECT) return measureText(str, strcnt, rect, dtFlags);
    return drawCached(bm, str, strcnt, rect, dtFlags);
}
