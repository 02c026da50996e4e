#pragma once

#include "containers/WDL_HeapBuf.h"
#include "raster/LICE_IBitmap.h"

// A font that draws UTF-8 text onto any bitmap, with its own colours, blend mode and weight.
// Editor thread only. Returns are the text's height (horizontal fonts) or width (vertical).
class LICE_IFont {
public:
    virtual ~LICE_IFont() {}

    // Takes the GDI font to draw with and the LICE_CACHEDFONT_ flags; forgets every cached glyph.
    virtual void SetFromHFont(HGDIOBJ font, int flags = 0) = 0;
    // Each setter returns the previous value. Colours are rasteriser pixels.
    virtual LICE_pixel SetTextColor(LICE_pixel color) = 0;
    virtual LICE_pixel SetBkColor(LICE_pixel color) = 0;
    virtual LICE_pixel SetEffectColor(LICE_pixel color) = 0;
    // OPAQUE (1) fills each glyph's cell with the background colour first.
    virtual int SetBkMode(int mode) = 0;
    virtual void SetCombineMode(int mode, float alpha = 1.0f) = 0;
    // Draws strcnt bytes of str (negative: up to the NUL) into rect, aligned and clipped by the
    // DT_ flags; with DT_CALCRECT it only sets rect's right and bottom to the text's extent.
    virtual int DrawText(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect,
                         unsigned int dtFlags) = 0;
    virtual LICE_pixel GetTextColor() = 0;
    virtual HGDIOBJ GetHFont() = 0;
    virtual int GetLineHeight() = 0;
};

// Rendering flags of SetFromHFont.
enum {
    // Text runs top to bottom: maps turned a quarter clockwise, new lines move right.
    LICE_CACHEDFONT_VERTICAL = 0x1,
    // With VERTICAL: turned counter-clockwise, text runs bottom to top.
    LICE_CACHEDFONT_BOTTOM_UP = 0x2,
    // Renders codes 0 to 127 at once and never renders codes of 128 and up.
    LICE_CACHEDFONT_PRECACHE = 0x4,
    LICE_CACHEDFONT_BLUR = 0x10,
    LICE_CACHEDFONT_INVERT = 0x20,
    // Coverage thresholded to 0 or 255; drawn without antialiasing.
    LICE_CACHEDFONT_MONO = 0x40,
    LICE_CACHEDFONT_SHADOW = 0x80,
    LICE_CACHEDFONT_OUTLINE = 0x100,
    // The font deletes its GDI font when it is replaced or destroyed.
    LICE_CACHEDFONT_OWNS_FONT = 0x200,
    // Lets the GDI layer draw the text itself when no other rendering flag is set.
    LICE_CACHEDFONT_NATIVE = 0x400,
};

// DrawText flags of the font's own, beside the GDI layer's DT_ flags.
enum {
    // Multiplies the weight by the text colour's alpha byte ÷ 255; never takes the native path.
    LICE_DT_USEFGALPHA = 0x40000000,
};

// Renders each character once through the GDI layer into a shared scratch bitmap, keeps its
// coverage in a glyph store, and from then on draws text by combining cached coverage into the
// destination. The font owns its glyph store; the GDI font only with LICE_CACHEDFONT_OWNS_FONT.
// All fonts share the scratch bitmaps, so every font belongs to one thread (the editor's).
class LICE_CachedFont : public LICE_IFont {
public:
    LICE_CachedFont();
    ~LICE_CachedFont() override;
    LICE_CachedFont(const LICE_CachedFont&) = delete;
    LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

    void SetFromHFont(HGDIOBJ font, int flags = 0) override;
    LICE_pixel SetTextColor(LICE_pixel color) override;
    LICE_pixel SetBkColor(LICE_pixel color) override;
    LICE_pixel SetEffectColor(LICE_pixel color) override;
    int SetBkMode(int mode) override;
    void SetCombineMode(int mode, float alpha = 1.0f) override;
    int DrawText(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect,
                 unsigned int dtFlags) override;
    LICE_pixel GetTextColor() override { return m_textcolor; }
    HGDIOBJ GetHFont() override { return m_font; }
    int GetLineHeight() override { return m_lineheight; }

    // Extra pixels between lines of multi-line text.
    void SetLineSpacing(int spacing) { m_linespacing = spacing; }
    int GetLineSpacing() const { return m_linespacing; }

    // Decodes one character of UTF-8 from at most avail bytes (negative: up to the NUL) and
    // returns the bytes consumed, 1 to 4. Invalid or cut-off sequences yield their first byte
    // alone; characters beyond 16 bits yield a space.
    static int utf8char(const char* p, int avail, unsigned short* out);

    // One cached character. base is 1 + the map's offset in the glyph store, 0 when not yet
    // rendered and -1 when rendered as nothing; the map is width x height coverage bytes.
    struct GlyphRecord {
        int base;
        int width;
        int height;
        int advance;
        int charid;
    };

    // The record of c, or null when c has none yet.
    const GlyphRecord* findChar(unsigned short c) const;
    // The coverage bytes of a record found by findChar, or null when it has none.
    const unsigned char* getGlyphMap(const GlyphRecord* rec) const;
    // Number of characters of 128 and up with records.
    int ExtraCharCount() const { return m_extrachars.GetSize() / (int)sizeof(GlyphRecord); }

private:
    GlyphRecord* record(unsigned short c);
    GlyphRecord* insertExtraChar(unsigned short c);
    // The record of c, rendered when it was not yet; null when c cannot be drawn.
    const GlyphRecord* drawableGlyph(unsigned short c);
    bool RenderGlyph(unsigned short c);
    bool storeCoverage(GlyphRecord* rec, LICE_IBitmap* scratch, int w, int h);
    bool DrawGlyph(LICE_IBitmap* bm, const GlyphRecord* rec, int x, int y, const RECT& clip,
                   float alpha);
    int measureText(const char* str, int strcnt, RECT* rect, unsigned int dtFlags);
    int drawCached(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags);
    bool useNative(const char* str, int strcnt, unsigned int dtFlags) const;
    int drawNative(LICE_IBitmap* bm, const char* str, int strcnt, RECT* rect, unsigned int dtFlags);
    void applyContextColours(HDC dc);
    bool isVertical() const { return (m_flags & LICE_CACHEDFONT_VERTICAL) != 0; }
    bool isBottomUp() const {
        return (m_flags & (LICE_CACHEDFONT_VERTICAL | LICE_CACHEDFONT_BOTTOM_UP)) ==
               (LICE_CACHEDFONT_VERTICAL | LICE_CACHEDFONT_BOTTOM_UP);
    }

    LICE_pixel m_textcolor = 0;
    LICE_pixel m_bkcolor = 0xffffffff;
    LICE_pixel m_effectcolor = 0xffffffff;
    int m_bkmode = 0;
    int m_combinemode = 0;
    float m_alpha = 1.0f;
    int m_flags = 0;
    int m_lineheight = 0;  // pixels
    int m_linespacing = 0; // pixels
    GlyphRecord m_lowchars[128];
    WDL_HeapBuf m_extrachars; // GlyphRecords of codes 128 and up, sorted by charid
    WDL_HeapBuf m_glyphstore; // every coverage map, one after another
    HGDIOBJ m_font = nullptr;
};
