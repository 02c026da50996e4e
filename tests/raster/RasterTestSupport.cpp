#include "RasterTestSupport.h"

#include "raster/LICE_PNG.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace raster_test {

bool WritePng(TestBitmap& bm, const std::string& path) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, (png_uint_32)bm.getWidth(), (png_uint_32)bm.getHeight(), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row((size_t)bm.getWidth() * 4);
    for (int y = 0; y < bm.getHeight(); ++y) {
        for (int x = 0; x < bm.getWidth(); ++x) {
            const LICE_pixel p = bm.at(x, y);
            row[x * 4 + 0] = (png_byte)LICE_PixelR(p);
            row[x * 4 + 1] = (png_byte)LICE_PixelG(p);
            row[x * 4 + 2] = (png_byte)LICE_PixelB(p);
            row[x * 4 + 3] = 255;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    fclose(f);
    return true;
}

void ExpectMatchesReferencePicture(TestBitmap& actual, const std::string& actualPath,
                                   const std::string& expectedPath) {
    ASSERT_TRUE(WritePng(actual, actualPath));
    if (getenv("GRINDVOX_REGENERATE_IMAGES")) {
        ASSERT_TRUE(WritePng(actual, expectedPath));
        GTEST_SKIP() << "wrote " << expectedPath;
    }
    std::unique_ptr<LICE_IBitmap> expected(LICE_LoadPNG(expectedPath.c_str()));
    ASSERT_NE(expected, nullptr) << expectedPath;
    ASSERT_EQ(expected->getWidth(), actual.getWidth());
    ASSERT_EQ(expected->getHeight(), actual.getHeight());
    int differing = 0, fx = -1, fy = -1;
    for (int y = 0; y < actual.getHeight(); ++y)
        for (int x = 0; x < actual.getWidth(); ++x) {
            const LICE_pixel e = expected->getBits()[y * expected->getRowSpan() + x];
            if ((e & 0xffffff00) == (actual.at(x, y) & 0xffffff00)) continue;
            if (fx < 0) fx = x, fy = y;
            ++differing;
        }
    EXPECT_EQ(differing, 0) << "first at (" << fx << ", " << fy << "); the drawn picture is "
                            << actualPath;
}

} // namespace raster_test
