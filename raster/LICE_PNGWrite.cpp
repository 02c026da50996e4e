#include "raster/LICE_PNGWrite.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace {

// One image row in PNG byte order (red, green, blue[, alpha]).
void packRow(const LICE_pixel* src, int w, bool wantalpha, png_byte* out) {
    const int channels = wantalpha ? 4 : 3;
    for (int x = 0; x < w; ++x, out += channels) {
        out[0] = (png_byte)LICE_PixelR(src[x]);
        out[1] = (png_byte)LICE_PixelG(src[x]);
        out[2] = (png_byte)LICE_PixelB(src[x]);
        if (wantalpha) out[3] = (png_byte)LICE_PixelA(src[x]);
    }
}

// The encoder itself; libpng reports errors by jumping back here, so nothing in this frame
// may need a destructor between setjmp and the end.
bool encode(FILE* f, LICE_IBitmap* bmp, bool wantalpha, png_byte* row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const int w = bmp->getWidth();
    const int h = bmp->getHeight();
    const int span = bmp->getRowSpan();
    const bool flipped = bmp->isFlipped();
    const LICE_pixel* bits = bmp->getBits();
    png_init_io(png, f);
    png_set_IHDR(png, info, (png_uint_32)w, (png_uint_32)h, 8,
                 wantalpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) {
        const int memRow = flipped ? h - 1 - y : y;
        packRow(bits + (size_t)memRow * (size_t)span, w, wantalpha, row);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool LICE_WritePNG(const char* filename, LICE_IBitmap* bmp, bool wantalpha) {
    if (!filename || !bmp || !bmp->getBits()) return false;
    if (bmp->getWidth() <= 0 || bmp->getHeight() <= 0) return false;
    std::vector<png_byte> row((size_t)bmp->getWidth() * 4);
    FILE* f = fopen(filename, "wb");
    if (!f) return false;
    const bool encoded = encode(f, bmp, wantalpha, row.data());
    const bool closed = fclose(f) == 0;
    if (encoded && closed) return true;
    remove(filename);
    return false;
}
