// The cached font and the PNG loader against the libraries under them, in the same run:
//   - decoding PNG pictures of the editor's kinds through LICE_LoadPNGFromMemory against plain
//     libpng reading the same bytes with the same transformations into the same rows;
//   - drawing a 20-character label through the glyph cache against FreeType rendering the same
//     glyphs each time and blending their coverage into the same bitmap.
// After the runs a table gives each pair's CPU times and their ratio (CPU time, because the
// machine may be busy with other work).

#include "bench/support/ResultsReporter.h"
#include "gdi/SWELL_Objects.h"
#include "gdi/SWELL_Text.h"
#include "raster/LICE_CachedFont.h"
#include "raster/LICE_Combine.h"
#include "raster/LICE_Fill.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_PNG.h"

#include <benchmark/benchmark.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const char kLabel[] = "Cutoff 1234.5 Hz mix";
const char kFace[] = "DejaVu Sans";
const int kLabelHeight = -14; // CreateFont height: a 13.3-point face

// ---- PNG pictures -------------------------------------------------------------------------

struct Picture {
    std::string name;
    int width, height, colourType;
    std::vector<unsigned char> bytes;
};

void appendBytes(png_structp png, png_bytep data, size_t n) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

void noFlush(png_structp) {}

// Smooth shading with some texture, so that compression and filtering are as in real artwork.
std::vector<unsigned char> encode(int w, int h, int colourType) {
    const int channels = colourType == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : 3;
    std::vector<unsigned char> pixels((size_t)w * h * channels);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &pixels[((size_t)y * w + x) * channels];
            const double r = std::hypot(x % 48 - 24.0, y % 48 - 24.0);
            p[0] = (unsigned char)(128 + 100 * std::sin(x * 0.05) + (x * y) % 7);
            p[1] = (unsigned char)(128 + 90 * std::cos(y * 0.07));
            p[2] = (unsigned char)(r * 5);
            if (channels == 4) p[3] = (unsigned char)(r < 20 ? 255 : r < 22 ? 128 : 0);
        }
    std::vector<png_bytep> rows;
    for (int y = 0; y < h; ++y)
        rows.push_back(&pixels[(size_t)y * w * channels]);
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendBytes, noFlush);
    png_set_IHDR(png, info, (png_uint_32)w, (png_uint_32)h, 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<Picture> pictures() {
    std::vector<Picture> list = {
        {"background rgb 436x108", 436, 108, PNG_COLOR_TYPE_RGB, {}},
        {"knob strip rgba 48x2880", 48, 2880, PNG_COLOR_TYPE_RGB_ALPHA, {}},
    };
    for (Picture& p : list)
        p.bytes = encode(p.width, p.height, p.colourType);
    return list;
}

struct MemoryRead {
    const unsigned char* p;
    size_t left;
};

void readMemory(png_structp png, png_bytep out, size_t n) {
    auto* src = static_cast<MemoryRead*>(png_get_io_ptr(png));
    if (n > src->left) png_error(png, "short");
    memcpy(out, src->p, n);
    src->p += n;
    src->left -= n;
}

// Plain libpng: the loader's transformations for these colour types, rows into the bitmap.
bool plainDecode(const Picture& pic, LICE_IBitmap* bm, png_bytep* rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    MemoryRead src = {pic.bytes.data(), pic.bytes.size()};
    png_set_read_fn(png, &src, readMemory);
    png_read_info(png, info);
    if (pic.colourType == PNG_COLOR_TYPE_RGB_ALPHA)
        png_set_swap_alpha(png);
    else
        png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
    png_read_update_info(png, info);
    for (int y = 0; y < bm->getHeight(); ++y)
        rows[y] = (png_bytep)(bm->getBits() + (size_t)y * bm->getRowSpan());
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// ---- Text ---------------------------------------------------------------------------------

// The face the GDI layer picks for kFace, straight from FreeType at the same size.
struct FreeType {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    FreeType(double points) {
        FcConfig* config = FcInitLoadConfigAndFonts();
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(kFace));
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcPatternDestroy(pattern);
        FcChar8* file = nullptr;
        if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
            FT_Init_FreeType(&library) == 0 &&
            FT_New_Face(library, reinterpret_cast<const char*>(file), 0, &face) == 0)
            FT_Set_Char_Size(face, 0, std::lround(points * 64), 72, 72);
        if (match) FcPatternDestroy(match);
        FcConfigDestroy(config);
    }
    ~FreeType() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

// Renders each glyph of the label and copies its coverage into the bitmap in one colour.
void freeTypeLabel(FreeType& ft, LICE_IBitmap* bm, int x, int baseline, LICE_pixel colour) {
    for (const char* p = kLabel; *p; ++p) {
        if (FT_Load_Char(ft.face, (unsigned char)*p,
                         FT_LOAD_RENDER | FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT))
            continue;
        FT_GlyphSlot g = ft.face->glyph;
        const int left = x + g->bitmap_left, top = baseline - g->bitmap_top;
        for (unsigned j = 0; j < g->bitmap.rows; ++j) {
            const int y = top + (int)j;
            if (y < 0 || y >= bm->getHeight()) continue;
            LICE_pixel* row = bm->getBits() + (size_t)y * bm->getRowSpan();
            for (unsigned i = 0; i < g->bitmap.width; ++i) {
                const int px = left + (int)i;
                const int v = g->bitmap.buffer[j * g->bitmap.pitch + i];
                if (v && px >= 0 && px < bm->getWidth())
                    _LICE_CombinePixelsCopyNoClamp::doPix((LICE_pixel_chan*)(row + px),
                                                          LICE_PixelR(colour), LICE_PixelG(colour),
                                                          LICE_PixelB(colour), 255, v + 1);
            }
        }
        x += (int)(g->advance.x >> 6);
    }
}

// ---- Report -------------------------------------------------------------------------------

class RatioReporter : public ResultsReporter {
public:
    struct Pair {
        std::string title, ours, theirs, aim;
        bool oursOverTheirs;
    };
    std::vector<Pair> mPairs;

protected:
    void Summarise() override {
        printf("\n%-36s %14s %14s %10s %s\n", "work", "grindvox us", "library us", "ratio",
               "(aim)");
        for (const Pair& p : mPairs) {
            const double ours = Result(p.ours), theirs = Result(p.theirs);
            const double ratio = p.oursOverTheirs ? ours / theirs : theirs / ours;
            printf("%-36s %14.2f %14.2f %10.2f %s\n", p.title.c_str(), ours, theirs, ratio,
                   p.aim.c_str());
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;

    static const std::vector<Picture> pics = pictures();
    for (const Picture& pic : pics) {
        const std::string ours = "LICE_LoadPNGFromMemory/" + pic.name;
        const std::string theirs = "libpng/" + pic.name;
        benchmark::RegisterBenchmark(ours.c_str(), [&pic](benchmark::State& st) {
            LICE_MemBitmap bm(pic.width, pic.height, 4);
            for (auto _ : st) {
                if (!LICE_LoadPNGFromMemory(pic.bytes.data(), (int)pic.bytes.size(), &bm))
                    st.SkipWithError("refused");
                benchmark::ClobberMemory();
            }
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(theirs.c_str(), [&pic](benchmark::State& st) {
            LICE_MemBitmap bm(pic.width, pic.height, 4);
            std::vector<png_bytep> rows((size_t)pic.height);
            for (auto _ : st) {
                if (!plainDecode(pic, &bm, rows.data())) st.SkipWithError("refused");
                benchmark::ClobberMemory();
            }
        })->Unit(benchmark::kMicrosecond);
        reporter.mPairs.push_back({"PNG decode " + pic.name, ours, theirs, "(<= 1.05)", true});
    }

    const LICE_pixel colour = LICE_MakePixel(230, 230, 210, 255);
    benchmark::RegisterBenchmark("LICE_CachedFont/label", [colour](benchmark::State& st) {
        LICE_MemBitmap bm(436, 108, 4);
        LICE_Clear(&bm, 0);
        LICE_CachedFont font;
        font.SetFromHFont(
            CreateFont(kLabelHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, kFace),
            LICE_CACHEDFONT_OWNS_FONT);
        font.SetTextColor(colour);
        for (auto _ : st) {
            RECT r = {10, 40, 436, 108};
            font.DrawText(&bm, kLabel, -1, &r, 0);
            benchmark::ClobberMemory();
        }
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("FreeType/label", [colour](benchmark::State& st) {
        LICE_MemBitmap bm(436, 108, 4);
        LICE_Clear(&bm, 0);
        FreeType ft(-kLabelHeight * 0.95);
        if (!ft.face) st.SkipWithError("no face");
        for (auto _ : st) {
            if (ft.face) freeTypeLabel(ft, &bm, 10, 55, colour);
            benchmark::ClobberMemory();
        }
    })->Unit(benchmark::kMicrosecond);
    reporter.mPairs.push_back({"20-character label (FreeType / cache)", "LICE_CachedFont/label",
                               "FreeType/label", "(>= 20)", false});

    return RunBenchmarks(argc, argv, &reporter);
}
