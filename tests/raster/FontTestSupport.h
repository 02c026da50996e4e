#pragma once

// What the font tests share: a pinned face made through the GDI layer, FreeType's own rendering
// of the same face and size, a count of the GDI layer's text calls, and pixel access.

#include "gdi/SWELL_Objects.h"
#include "gdi/SWELL_Text.h"
#include "raster/LICE_MemBitmap.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

namespace font_test {

// Every test draws with this face, so glyph shapes and the reference image stay fixed.
constexpr const char* kFace = "DejaVu Sans";
// CreateFont height -20: the GDI layer's 19-point (pixel) face.
constexpr int kHeight = -20;
constexpr double kPoints = 19.0;

inline HFONT MakeFont(int height = kHeight) {
    return CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, DEFAULT_QUALITY, 0, kFace);
}

// How many times the GDI layer was asked to draw or measure text since the program started.
int TextCalls();

// The face fontconfig picks for kFace, loaded and rendered by FreeType directly.
class FreeTypeFace {
public:
    explicit FreeTypeFace(double points = kPoints);
    ~FreeTypeFace();
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;

    bool ok() const { return mFace != nullptr; }
    // The glyph rendered as the GDI layer renders it (light hinting, outlines only), or null.
    FT_GlyphSlot render(unsigned codePoint);
    // The baseline's distance from the top of a line, as the GDI layer rounds it.
    int ascent() const;

private:
    FT_Library mLibrary = nullptr;
    FT_Face mFace = nullptr;
    double mPoints;
};

// A heap bitmap cleared to one colour.
class Canvas : public LICE_MemBitmap {
public:
    Canvas(int w, int h, LICE_pixel colour = 0);
    LICE_pixel at(int x, int y) { return getBits()[y * getRowSpan() + x]; }
    // True when every pixel equals the other canvas's (same size assumed).
    bool samePixels(Canvas& other);
    // True when no pixel differs from colour.
    bool allOf(LICE_pixel colour);
};

std::string utf8(unsigned codePoint);

} // namespace font_test
