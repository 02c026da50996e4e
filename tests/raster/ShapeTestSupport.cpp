#include "ShapeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace raster_test {

bool SameImages(TestBitmap& got, TestBitmap& want, const std::string& name) {
    int bad = 0;
    TestBitmap diff(got.getWidth(), got.getHeight());
    for (int y = 0; y < got.getHeight(); ++y)
        for (int x = 0; x < got.getWidth(); ++x) {
            const bool same = got.at(x, y) == want.at(x, y);
            diff.at(x, y) = same ? 0 : 0xffffffffu;
            bad += !same;
        }
    if (!bad && got.paddingIntact() && want.paddingIntact()) return true;
    const std::string base = ::testing::TempDir() + "raster_" + name;
    WritePng(got, base + "_got.png");
    WritePng(want, base + "_want.png");
    WritePng(diff, base + "_diff.png");
    ADD_FAILURE() << name << ": " << bad << " pixels differ"
                  << (got.paddingIntact() && want.paddingIntact() ? "" : "; row padding written")
                  << "; see " << base << "_{got,want,diff}.png";
    return false;
}

void CopyImage(TestBitmap& from, TestBitmap& to) {
    for (int y = 0; y < from.getHeight(); ++y)
        for (int x = 0; x < from.getWidth(); ++x)
            to.at(x, y) = from.at(x, y);
}

std::vector<double> Supersample(int w, int h, const std::function<bool(double, double)>& inside) {
    std::vector<double> out((size_t)w * h, 0.0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int n = 0;
            for (int j = 0; j < 16; ++j)
                for (int i = 0; i < 16; ++i)
                    n += inside(x - 0.5 + (i + 0.5) / 16.0, y - 0.5 + (j + 0.5) / 16.0);
            out[(size_t)y * w + x] = n / 256.0;
        }
    return out;
}

std::vector<double> CoverageOf(TestBitmap& bm) {
    std::vector<double> out((size_t)bm.getWidth() * bm.getHeight());
    for (int y = 0; y < bm.getHeight(); ++y)
        for (int x = 0; x < bm.getWidth(); ++x)
            out[(size_t)y * bm.getWidth() + x] = LICE_PixelR(bm.at(x, y)) / 255.0;
    return out;
}

bool CoverageMatches(TestBitmap& drawn, const std::vector<double>& model, double inkTolerance,
                     double pixelTolerance, const std::string& name) {
    const std::vector<double> got = CoverageOf(drawn);
    double inkGot = 0, inkModel = 0, worst = 0;
    int wx = 0, wy = 0;
    for (size_t i = 0; i < got.size(); ++i) {
        inkGot += got[i], inkModel += model[i];
        const double d = std::fabs(got[i] - model[i]);
        if (d > worst)
            worst = d, wx = (int)(i % drawn.getWidth()), wy = (int)(i / drawn.getWidth());
    }
    const bool ink = std::fabs(inkGot - inkModel) <= inkTolerance * inkModel;
    if (ink && worst <= pixelTolerance && drawn.paddingIntact()) return true;
    TestBitmap want(drawn.getWidth(), drawn.getHeight());
    for (int y = 0; y < want.getHeight(); ++y)
        for (int x = 0; x < want.getWidth(); ++x) {
            const int v = (int)std::lround(model[(size_t)y * want.getWidth() + x] * 255);
            want.at(x, y) = LICE_MakePixel(v, v, v, 255);
        }
    const std::string base = ::testing::TempDir() + "raster_" + name;
    WritePng(drawn, base + "_got.png");
    WritePng(want, base + "_model.png");
    ADD_FAILURE() << name << ": ink " << inkGot << " against " << inkModel << ", worst pixel ("
                  << wx << ", " << wy << ") off by " << worst << "; see " << base
                  << "_{got,model}.png";
    return false;
}

} // namespace raster_test
