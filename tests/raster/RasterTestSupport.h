#pragma once

// Bitmaps for raster tests: rows padded past the width (so span mistakes show) and optionally
// flipped (memory row 0 is the bottom image row).

#include "raster/LICE_IBitmap.h"

#include <cstdint>
#include <string>
#include <vector>

namespace raster_test {

class TestBitmap : public LICE_IBitmap {
public:
    TestBitmap(int w, int h, bool flipped = false, int pad = 3)
        : mW(w), mH(h), mSpan(w + pad), mFlipped(flipped), mPixels((size_t)mSpan * h, 0xdeadbeefu) {
    }

    LICE_pixel* getBits() override { return mPixels.empty() ? nullptr : mPixels.data(); }
    int getWidth() override { return mW; }
    int getHeight() override { return mH; }
    int getRowSpan() override { return mSpan; }
    bool isFlipped() override { return mFlipped; }
    bool resize(int, int) override { return false; }

    // Image coordinates, whatever the orientation.
    LICE_pixel& at(int x, int y) {
        return mPixels[(size_t)(mFlipped ? mH - 1 - y : y) * mSpan + x];
    }
    // The padding pixels past each row, which no operation may touch.
    bool paddingIntact() const {
        for (int y = 0; y < mH; ++y)
            for (int x = mW; x < mSpan; ++x)
                if (mPixels[(size_t)y * mSpan + x] != 0xdeadbeefu) return false;
        return true;
    }
    void fill(LICE_pixel c) {
        for (int y = 0; y < mH; ++y)
            for (int x = 0; x < mW; ++x)
                at(x, y) = c;
    }
    void randomise(uint32_t seed) {
        for (int y = 0; y < mH; ++y)
            for (int x = 0; x < mW; ++x) {
                seed = seed * 1664525u + 1013904223u;
                at(x, y) = seed ^ (seed >> 13);
            }
    }

private:
    int mW, mH, mSpan;
    bool mFlipped;
    std::vector<LICE_pixel> mPixels;
};

// Writes the image rows of a bitmap as an RGBA PNG (alpha forced opaque so the colours show).
bool WritePng(TestBitmap& bm, const std::string& path);

// Checks a drawn picture against its reference PNG pixel for pixel (colour channels only),
// having written it to actualPath for a person to look at. With GRINDVOX_REGENERATE_IMAGES set
// it writes the reference instead and skips the test.
void ExpectMatchesReferencePicture(TestBitmap& actual, const std::string& actualPath,
                                   const std::string& expectedPath);

} // namespace raster_test
