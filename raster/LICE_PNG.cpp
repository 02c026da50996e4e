#include "raster/LICE_PNG.h"

#include "raster/LICE_MemBitmap.h"

#include <CoreFoundation/CoreFoundation.h>
#include <png.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <strings.h>

_LICE_ImageLoader_rec* LICE_ImageLoader_list = nullptr;

namespace {

// Larger pictures are refused before anything is allocated for them.
const png_uint_32 kMaxSide = 1 << 14;
const size_t kMaxResourceName = 400;
const int kPathSize = 1536;

// Where the memory loader reads next and how much is left.
struct MemorySource {
    const unsigned char* p;
    int left;
};

// Past the end of the block the data reads as zeros, which libpng then rejects as a bad chunk.
void staticPngReadFunc(png_structp png, png_bytep out, size_t n) {
    MemorySource* src = (MemorySource*)png_get_io_ptr(png);
    const size_t take = n < (size_t)src->left ? n : (size_t)src->left;
    memcpy(out, src->p, take);
    memset(out + take, 0, n - take);
    src->p += take;
    src->left -= (int)take;
}

[[noreturn]] void onPngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// The transformations that turn every colour type and depth into alpha, red, green, blue bytes.
// Expanding a transparency chunk adds alpha after the colour, so it is swapped to the front like
// a stored alpha channel.
void requestPixelFormat(png_structp png, png_infop info, int depth, int colour) {
    if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (transparency) png_set_tRNS_to_alpha(png);
    if (depth == 16) png_set_strip_16(png);
    if (depth < 8) png_set_packing(png);
    if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if ((colour & PNG_COLOR_MASK_ALPHA) || transparency)
        png_set_swap_alpha(png);
    else
        png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
    png_set_interlace_handling(png);
}

// Decodes the picture whose reading is set up on png. Everything that lives across libpng's
// error jump is a plain pointer, freed on the error path.
LICE_IBitmap* decode(png_structp png, png_infop info, LICE_IBitmap* bmp) {
    LICE_IBitmap* volatile created = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        delete created;
        free(rows);
        return nullptr;
    }
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colour, nullptr, nullptr, nullptr);
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return nullptr;
    if ((unsigned long long)width * height * 4 > INT_MAX) return nullptr;
    requestPixelFormat(png, info, depth, colour);
    png_read_update_info(png, info);
    // Every row must arrive as exactly width pixels, or the row table would be overrun.
    if (png_get_rowbytes(png, info) != (size_t)width * 4) return nullptr;

    const int w = (int)width, h = (int)height;
    LICE_IBitmap* bm = bmp;
    if (bm) {
        bm->resize(w, h);
    } else {
        bm = created = new (std::nothrow) LICE_MemBitmap(w, h, 4);
        if (!bm) return nullptr;
    }
    LICE_pixel* bits = bm->getBits();
    if (bm->getWidth() != w || bm->getHeight() != h || !bits || bm->getRowSpan() < w) {
        delete created;
        return nullptr;
    }
    rows = (png_bytep*)malloc(sizeof(png_bytep) * (size_t)h);
    if (!rows) {
        delete created;
        return nullptr;
    }
    const ptrdiff_t span = bm->getRowSpan();
    const bool flipped = bm->isFlipped();
    for (int i = 0; i < h; ++i)
        rows[i] = (png_bytep)(bits + (flipped ? (ptrdiff_t)(h - 1 - i) : i) * span);
    png_read_image(png, rows);
    // The end chunk too, so that a cut-off file is refused however little is missing.
    png_read_end(png, nullptr);
    free(rows);
    return bm;
}

png_structp createReader(png_infop* info) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onPngError, onPngWarning);
    if (!png) return nullptr;
    *info = png_create_info_struct(png);
    if (!*info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    return png;
}

bool endsWithPNG(const char* name) {
    const char* p = name + strlen(name);
    while (p > name && *p != '.' && *p != '/' && *p != '\\')
        --p;
    return strcasecmp(p, ".png") == 0;
}

// The loader joins the list when the program starts.
_LICE_ImageLoader_rec LICE_pngldr;

struct RegisterPNGLoader {
    RegisterPNGLoader() {
        LICE_pngldr.loadfunc = LICE_PNGLoader::loadfunc;
        LICE_pngldr.get_extlist = LICE_PNGLoader::get_extlist;
        LICE_pngldr._next = LICE_ImageLoader_list;
        LICE_ImageLoader_list = &LICE_pngldr;
    }
} registerPNGLoader;

} // namespace

LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bmp) {
    if (!filename) return nullptr;
    FILE* file = fopen(filename, "rb");
    if (!file) return nullptr;
    png_infop info = nullptr;
    png_structp png = createReader(&info);
    LICE_IBitmap* result = nullptr;
    if (png) {
        png_init_io(png, file);
        result = decode(png, info, bmp);
        png_destroy_read_struct(&png, &info, nullptr);
    }
    fclose(file);
    return result;
}

LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, int len, LICE_IBitmap* bmp) {
    if (!data || len < 8 || png_sig_cmp((png_const_bytep)data, 0, 8) != 0) return nullptr;
    png_infop info = nullptr;
    png_structp png = createReader(&info);
    if (!png) return nullptr;
    MemorySource source = {(const unsigned char*)data, len};
    png_set_read_fn(png, &source, staticPngReadFunc);
    LICE_IBitmap* result = decode(png, info, bmp);
    png_destroy_read_struct(&png, &info, nullptr);
    return result;
}

LICE_IBitmap* LICE_LoadPNGFromResource(void*, int, LICE_IBitmap*) {
    return nullptr;
}

LICE_IBitmap* LICE_LoadPNGFromNamedResource(const char* name, LICE_IBitmap* bmp) {
    if (!name || strlen(name) > kMaxResourceName) return nullptr;
    CFBundleRef bundle = CFBundleGetMainBundle();
    if (!bundle) return nullptr;
    CFURLRef url = CFBundleCopyBundleURL(bundle);
    if (!url) return nullptr;
    char path[kPathSize + 64];
    path[0] = 0;
    const bool ok = CFURLGetFileSystemRepresentation(url, true, (UInt8*)path, kPathSize);
    CFRelease(url);
    if (!ok || !path[0]) return nullptr;
    static const char kResources[] = "/Contents/Resources/";
    const size_t used = strlen(path);
    char full[kPathSize + sizeof(kResources) + kMaxResourceName + 1];
    snprintf(full, sizeof(full), "%.*s%s%s", (int)used, path, kResources, name);
    return LICE_LoadPNG(full, bmp);
}

LICE_IBitmap* LICE_PNGLoader::loadfunc(const char* filename, bool checkFileName,
                                       LICE_IBitmap* bmp) {
    if (!filename) return nullptr;
    if (checkFileName && !endsWithPNG(filename)) return nullptr;
    return LICE_LoadPNG(filename, bmp);
}

const char* LICE_PNGLoader::get_extlist() {
    return "PNG files (*.PNG)\0*.PNG\0";
}
