#pragma once

#include <stdint.h>

struct FT_SizeRec_;
struct SWELL_FaceFile;

// How glyphs are drawn: anti-aliased or monochrome coverage, slanted by `obliqueness` (x moves
// right by that much per unit of height) and grown by `embolden` pixels of outline width.
struct SWELL_GlyphStyle {
    bool monochrome;
    double obliqueness;
    double embolden;
};

// An 8-bit coverage buffer that glyphs are drawn into; pixel (0, 0) is the top-left one.
struct SWELL_CoverageMask {
    unsigned char* data;
    int width;
    int height;
    int stride;
};

// A typeface at one size, found by name through fontconfig (falling back to the closest face
// installed) and drawn by FreeType. Sizes are in pixels (one point per pixel). Faces loaded
// from one file are shared by every size; every FreeType call runs under one process-wide
// lock, so fonts may be made, used and deleted on any thread.
class SWELL_FontFace {
public:
    // Null when fontconfig knows no face at all or the file cannot be read.
    static SWELL_FontFace* Create(const char* faceName, double pointSize);
    ~SWELL_FontFace();
    SWELL_FontFace(const SWELL_FontFace&) = delete;
    SWELL_FontFace& operator=(const SWELL_FontFace&) = delete;

    double PointSize() const { return mPointSize; }
    // The family fontconfig chose, for example "DejaVu Sans".
    const char* FamilyName() const;

    // Vertical metrics in pixels, unrounded; the descender is negative below the baseline.
    double Ascender() const { return mAscender; }
    double Descender() const { return mDescender; }
    double CapHeight() const { return mCapHeight; }
    double LineGap() const { return mLineGap; }
    double LineHeight() const { return mAscender - mDescender + mLineGap; }
    // Underline top below the baseline, and its thickness, in pixels.
    double UnderlineOffset() const { return mUnderlineOffset; }
    double UnderlineThickness() const { return mUnderlineThickness; }

    // Maps n code points to glyphs and their pen positions from the run's start (kerning
    // applied); returns the run's advance width.
    double LayoutRun(const uint32_t* text, int n, unsigned* glyphs, double* positions) const;
    bool HasGlyph(uint32_t codePoint) const;

    // Draws glyphs with their origins at (originX + positions[i], baselineY) in mask
    // coordinates, adding their coverage to what the mask holds.
    void RenderRun(const unsigned* glyphs, const double* positions, int n, double originX,
                   double baselineY, const SWELL_GlyphStyle& style, SWELL_CoverageMask* mask) const;

private:
    SWELL_FontFace() = default;

    SWELL_FaceFile* mFile = nullptr;
    FT_SizeRec_* mSize = nullptr;
    double mPointSize = 0;
    double mAscender = 0;
    double mDescender = 0;
    double mCapHeight = 0;
    double mLineGap = 0;
    double mUnderlineOffset = 0;
    double mUnderlineThickness = 0;
};
