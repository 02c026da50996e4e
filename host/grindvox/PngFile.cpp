#include "host/grindvox/PngFile.h"

#include <png.h>

#include <algorithm>
#include <cmath>
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

// Output row y of the picture enlarged scale times, bilinear between source pixel centres.
void scaledRow(const Source& src, int scale, int y, png_byte* out) {
    const double sy = std::clamp((y + 0.5) / scale - 0.5, 0.0, src.height - 1.0);
    const int y0 = (int)sy, y1 = std::min(y0 + 1, src.height - 1);
    const double fy = sy - y0;
    for (int x = 0; x < src.width * scale; ++x) {
        const double sx = std::clamp((x + 0.5) / scale - 0.5, 0.0, src.width - 1.0);
        const int x0 = (int)sx, x1 = std::min(x0 + 1, src.width - 1);
        const double fx = sx - x0;
        for (int c = 0; c < 3; ++c) {
            const double top = src.at(x0, y0)[c] * (1 - fx) + src.at(x1, y0)[c] * fx;
            const double bottom = src.at(x0, y1)[c] * (1 - fx) + src.at(x1, y1)[c] * fx;
            out[x * 3 + c] = (png_byte)std::lround(top * (1 - fy) + bottom * fy);
        }
    }
}

// libpng reports errors by jumping back here; nothing in this frame needs a destructor.
bool encode(FILE* f, const Source& src, int scale, png_byte* row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, (png_uint_32)(src.width * scale), (png_uint_32)(src.height * scale), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < src.height * scale; ++y) {
        scaledRow(src, scale, y, row);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool WriteRgbPng(const std::string& path, const unsigned char* pixels, int width, int height,
                 int bytesPerRow, int bytesPerPixel, int scale) {
    if (!pixels || width <= 0 || height <= 0 || bytesPerPixel < 3 || scale < 1) return false;
    const Source src{pixels, width, height, bytesPerRow, bytesPerPixel};
    std::vector<png_byte> row((size_t)width * (size_t)scale * 3);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool encoded = encode(f, src, scale, row.data());
    const bool closed = std::fclose(f) == 0;
    if (encoded && closed) return true;
    std::remove(path.c_str());
    return false;
}
