#include "host/grindvox/PngFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

namespace {

struct Source {
    const unsigned char* pixels;
    int width, height, bytesPerRow, bytesPerPixel;

    const unsigned char* at(int x, int y) const {
        return pixels + (size_t)y * (size_t)bytesPerRow + (size_t)x * (size_t)bytesPerPixel;
    }
};

void packRow(const Source& src, int y, png_byte* out) {
    for (int x = 0; x < src.width; ++x)
        for (int c = 0; c < 3; ++c)
            out[x * 3 + c] = src.at(x, y)[c];
}

// libpng reports errors by jumping back here; nothing in this frame needs a destructor.
bool encode(FILE* f, const Source& src, png_byte* row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, (png_uint_32)src.width, (png_uint_32)src.height, 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < src.height; ++y) {
        packRow(src, y, row);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool WriteRgbPng(const std::string& path, const unsigned char* pixels, int width, int height,
                 int bytesPerRow, int bytesPerPixel) {
    if (!pixels || width <= 0 || height <= 0 || bytesPerPixel < 3) return false;
    const Source src{pixels, width, height, bytesPerRow, bytesPerPixel};
    std::vector<png_byte> row((size_t)width * 3);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool encoded = encode(f, src, row.data());
    const bool closed = std::fclose(f) == 0;
    if (encoded && closed) return true;
    std::remove(path.c_str());
    return false;
}
