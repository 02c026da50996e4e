#include "gdi/SWELL_FontFace.h"

#include "containers/WDL_Mutex.h"
#include "containers/WDL_PtrList.h"
#include "containers/WDL_String.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <math.h>
#include <new>
#include <stdlib.h>
#include <string.h>

// A font file opened once and kept for the process's lifetime: every font of that face shares
// it through its own FreeType size object.
struct SWELL_FaceFile {
    WDL_String path;
    WDL_String family;
    int index = 0;
    FT_Face face = nullptr;
};

namespace {

// FreeType objects are not thread-safe; this lock guards the library, the shared faces and
// the file list. Never destroyed, so fonts may be deleted during static destruction.
WDL_Mutex& FontLock() {
    static WDL_Mutex* lock = new WDL_Mutex;
    return *lock;
}

FT_Library Library() {
    static FT_Library library = nullptr;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (FT_Init_FreeType(&library) != 0) library = nullptr;
    }
    return library;
}

WDL_PtrList<SWELL_FaceFile>& Files() {
    static WDL_PtrList<SWELL_FaceFile>* files = new WDL_PtrList<SWELL_FaceFile>;
    return *files;
}

// The layer's own fontconfig configuration, loaded on first use and destroyed at exit, so
// that it neither shares state with other fontconfig users in the process nor outlives it.
FcConfig* gFontConfig = nullptr;

void DestroyFontConfig() {
    FcConfigDestroy(gFontConfig);
    gFontConfig = nullptr;
}

FcConfig* FontConfig() {
    static bool tried = false;
    if (!tried) {
        tried = true;
        gFontConfig = FcInitLoadConfigAndFonts();
        if (gFontConfig) atexit(DestroyFontConfig);
    }
    return gFontConfig;
}

// fontconfig's choice for a family name: the named face when installed, its closest match
// otherwise (an empty name asks for the default face).
bool FindFaceFile(const char* faceName, WDL_String* path, int* index, WDL_String* family) {
    FcConfig* config = FontConfig();
    if (!config) return false;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    if (faceName && faceName[0])
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    FcChar8* file = nullptr;
    FcChar8* name = nullptr;
    bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
    if (found) {
        path->Set(reinterpret_cast<const char*>(file));
        if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
        if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name)
            family->Set(reinterpret_cast<const char*>(name));
    }
    FcPatternDestroy(match);
    return found;
}

SWELL_FaceFile* OpenFaceFile(const char* faceName) {
    WDL_String path, family;
    int index = 0;
    if (!FindFaceFile(faceName, &path, &index, &family)) return nullptr;
    WDL_PtrList<SWELL_FaceFile>& files = Files();
    for (int i = 0; i < files.GetSize(); ++i) {
        SWELL_FaceFile* f = files.Get(i);
        if (f->index == index && strcmp(f->path.Get(), path.Get()) == 0) return f;
    }
    FT_Library library = Library();
    if (!library) return nullptr;
    SWELL_FaceFile* f = new (std::nothrow) SWELL_FaceFile;
    if (!f) return nullptr;
    f->path = path;
    f->family = family;
    f->index = index;
    if (FT_New_Face(library, path.Get(), index, &f->face) != 0 || !FT_IS_SCALABLE(f->face) ||
        !files.Add(f)) {
        if (f->face) FT_Done_Face(f->face);
        delete f;
        return nullptr;
    }
    return f;
}

double CapHeightOf(FT_Face face, double scale) {
    TT_OS2* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version >= 2 && os2->sCapHeight > 0) return os2->sCapHeight * scale;
    // Older tables: the height of the capital H.
    FT_UInt h = FT_Get_Char_Index(face, 'H');
    if (h && FT_Load_Glyph(face, h, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) == 0)
        return face->glyph->metrics.horiBearingY * scale;
    return face->ascender * scale;
}

} // namespace

SWELL_FontFace* SWELL_FontFace::Create(const char* faceName, double pointSize) {
    WDL_MutexLock lock(&FontLock());
    SWELL_FaceFile* file = OpenFaceFile(faceName);
    if (!file) return nullptr;
    FT_Size size = nullptr;
    if (FT_New_Size(file->face, &size) != 0) return nullptr;
    FT_Activate_Size(size);
    if (FT_Set_Char_Size(file->face, 0, static_cast<FT_F26Dot6>(lround(pointSize * 64)), 72, 72) !=
        0) {
        FT_Done_Size(size);
        return nullptr;
    }
    SWELL_FontFace* font = new (std::nothrow) SWELL_FontFace;
    if (!font) {
        FT_Done_Size(size);
        return nullptr;
    }
    FT_Face face = file->face;
    double scale = pointSize / face->units_per_EM;
    font->mFile = file;
    font->mSize = size;
    font->mPointSize = pointSize;
    font->mAscender = face->ascender * scale;
    font->mDescender = face->descender * scale;
    font->mLineGap = fmax((face->height - face->ascender + face->descender) * scale, 0);
    font->mCapHeight = CapHeightOf(face, scale);
    font->mUnderlineThickness = fmax(face->underline_thickness * scale, 1);
    font->mUnderlineOffset = -face->underline_position * scale - font->mUnderlineThickness / 2;
    return font;
}

SWELL_FontFace::~SWELL_FontFace() {
    WDL_MutexLock lock(&FontLock());
    FT_Done_Size(mSize);
}

const char* SWELL_FontFace::FamilyName() const {
    return mFile->family.Get();
}

bool SWELL_FontFace::HasGlyph(uint32_t codePoint) const {
    WDL_MutexLock lock(&FontLock());
    return FT_Get_Char_Index(mFile->face, codePoint) != 0;
}

double SWELL_FontFace::LayoutRun(const uint32_t* text, int n, unsigned* glyphs,
                                 double* positions) const {
    WDL_MutexLock lock(&FontLock());
    FT_Face face = mFile->face;
    FT_Activate_Size(mSize);
    bool kerning = FT_HAS_KERNING(face);
    double pen = 0;
    FT_UInt previous = 0;
    for (int i = 0; i < n; ++i) {
        FT_UInt glyph = FT_Get_Char_Index(face, text[i]);
        if (kerning && previous && glyph) {
            FT_Vector delta;
            if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_UNFITTED, &delta) == 0)
                pen += delta.x / 64.0;
        }
        glyphs[i] = glyph;
        positions[i] = pen;
        // Unhinted advances keep a run's width independent of where it is drawn.
        FT_Fixed advance = 0;
        if (FT_Get_Advance(face, glyph, FT_LOAD_NO_HINTING, &advance) == 0)
            pen += advance / 65536.0;
        previous = glyph;
    }
    return pen;
}

namespace {

void AddCoverage(unsigned char* pixel, unsigned value) {
    // Overlapping glyphs combine as two layers of paint would.
    unsigned old = *pixel;
    *pixel = static_cast<unsigned char>(old + value - (old * value + 127) / 255);
}

void BlitGlyph(const FT_Bitmap& bitmap, int left, int top, SWELL_CoverageMask* mask) {
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        int y = top + static_cast<int>(row);
        if (y < 0 || y >= mask->height) continue;
        const unsigned char* in = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
        unsigned char* out = mask->data + static_cast<long>(y) * mask->stride;
        for (unsigned col = 0; col < bitmap.width; ++col) {
            int x = left + static_cast<int>(col);
            if (x < 0 || x >= mask->width) continue;
            unsigned value = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                 ? ((in[col >> 3] >> (7 - (col & 7))) & 1) * 255u
                                 : in[col];
            if (value) AddCoverage(out + x, value);
        }
    }
}

} // namespace

void SWELL_FontFace::RenderRun(const unsigned* glyphs, const double* positions, int n,
                               double originX, double baselineY, const SWELL_GlyphStyle& style,
                               SWELL_CoverageMask* mask) const {
    WDL_MutexLock lock(&FontLock());
    FT_Face face = mFile->face;
    FT_Activate_Size(mSize);
    FT_Int32 load =
        FT_LOAD_NO_BITMAP | (style.monochrome ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT);
    FT_Render_Mode mode = style.monochrome ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL;
    int baseline = static_cast<int>(floor(baselineY + 0.5));
    for (int i = 0; i < n; ++i) {
        if (FT_Load_Glyph(face, glyphs[i], load) != 0) continue;
        FT_GlyphSlot slot = face->glyph;
        if (slot->format != FT_GLYPH_FORMAT_OUTLINE) continue;
        if (style.embolden > 0)
            FT_Outline_Embolden(&slot->outline, static_cast<FT_Pos>(lround(style.embolden * 64)));
        if (style.obliqueness != 0) {
            FT_Matrix shear = {0x10000, static_cast<FT_Fixed>(lround(style.obliqueness * 0x10000)),
                               0, 0x10000};
            FT_Outline_Transform(&slot->outline, &shear);
        }
        if (FT_Render_Glyph(slot, mode) != 0) continue;
        int x = static_cast<int>(floor(originX + positions[i] + 0.5));
        BlitGlyph(slot->bitmap, x + slot->bitmap_left, baseline - slot->bitmap_top, mask);
    }
}
