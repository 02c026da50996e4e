#include "FontTestSupport.h"

#include "raster/LICE_Fill.h"

#include <fontconfig/fontconfig.h>

#include <atomic>
#include <cmath>

namespace {
std::atomic<int> gTextCalls{0};
} // namespace

// The font tests link with the GDI layer's text call wrapped (see tests/raster/CMakeLists.txt),
// so every call the rasteriser makes passes through here and is counted. The symbol is the
// function's C++ name as the linker sees it.
int RealDrawText(HDC ctx, const char* text, int len, RECT* rect,
                 int flags) __asm__("__real__Z14SWELL_DrawTextP5HDC__PKciP4RECTi");
int CountedDrawText(HDC ctx, const char* text, int len, RECT* rect,
                    int flags) __asm__("__wrap__Z14SWELL_DrawTextP5HDC__PKciP4RECTi");

int CountedDrawText(HDC ctx, const char* text, int len, RECT* rect, int flags) {
    ++gTextCalls;
    return RealDrawText(ctx, text, len, rect, flags);
}

namespace font_test {

int TextCalls() {
    return gTextCalls.load();
}

FreeTypeFace::FreeTypeFace(double points) : mPoints(points) {
    // A configuration of its own, as the GDI layer keeps, destroyed once the face is found.
    FcConfig* config = FcInitLoadConfigAndFonts();
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(kFace));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    FcChar8* file = nullptr;
    int index = 0;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        FT_Init_FreeType(&mLibrary) == 0) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        if (FT_New_Face(mLibrary, reinterpret_cast<const char*>(file), index, &mFace) != 0)
            mFace = nullptr;
        else
            FT_Set_Char_Size(mFace, 0, std::lround(points * 64), 72, 72);
    }
    if (match) FcPatternDestroy(match);
    FcConfigDestroy(config);
}

FreeTypeFace::~FreeTypeFace() {
    if (mFace) FT_Done_Face(mFace);
    if (mLibrary) FT_Done_FreeType(mLibrary);
}

FT_GlyphSlot FreeTypeFace::render(unsigned codePoint) {
    if (FT_Load_Char(mFace, codePoint, FT_LOAD_RENDER | FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT))
        return nullptr;
    return mFace->glyph;
}

int FreeTypeFace::ascent() const {
    return static_cast<int>(mFace->ascender * mPoints / mFace->units_per_EM + 0.5);
}

Canvas::Canvas(int w, int h, LICE_pixel colour) : LICE_MemBitmap(w, h, 4) {
    LICE_Clear(this, colour);
}

bool Canvas::samePixels(Canvas& other) {
    for (int y = 0; y < getHeight(); ++y)
        for (int x = 0; x < getWidth(); ++x)
            if (at(x, y) != other.at(x, y)) return false;
    return true;
}

bool Canvas::allOf(LICE_pixel colour) {
    for (int y = 0; y < getHeight(); ++y)
        for (int x = 0; x < getWidth(); ++x)
            if (at(x, y) != colour) return false;
    return true;
}

std::string utf8(unsigned c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 63));
    } else {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 63));
        s += static_cast<char>(0x80 | (c & 63));
    }
    return s;
}

} // namespace font_test
