#pragma once

#include "gdi/SWELL.h"

#include <stdint.h>

// A memory context for one test, with byte access to its frame buffer.
class TestContext {
public:
    TestContext(int w, int h) : mW(w), mH(h), mCtx(SWELL_CreateMemContext(nullptr, w, h)) {}
    ~TestContext() { SWELL_DeleteGfxContext(mCtx); }
    TestContext(const TestContext&) = delete;
    TestContext& operator=(const TestContext&) = delete;

    HDC Get() const { return mCtx; }
    int Width() const { return mW; }
    int Height() const { return mH; }
    unsigned char* Bytes() const {
        return static_cast<unsigned char*>(SWELL_GetCtxFrameBuffer(mCtx));
    }
    // Byte `channel` (0 the ignored byte, 1 red, 2 green, 3 blue) of pixel (x, y).
    int At(int x, int y, int channel) const { return Bytes()[(y * mW + x) * 4 + channel]; }

    // The smallest box holding every pixel with a non-zero colour byte; false when none.
    bool InkBox(int* x0, int* y0, int* x1, int* y1) const {
        bool any = false;
        for (int y = 0; y < mH; ++y)
            for (int x = 0; x < mW; ++x) {
                if (!At(x, y, 1) && !At(x, y, 2) && !At(x, y, 3)) continue;
                if (!any) *x0 = *x1 = x, *y0 = *y1 = y;
                any = true;
                *x0 = x < *x0 ? x : *x0;
                *x1 = x > *x1 ? x : *x1;
                *y0 = y < *y0 ? y : *y0;
                *y1 = y > *y1 ? y : *y1;
            }
        return any;
    }

private:
    int mW, mH;
    HDC mCtx;
};

inline HFONT MakeFont(const char* face, int height, int weight = FW_NORMAL,
                      char quality = ANTIALIASED_QUALITY) {
    return CreateFont(height, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, quality, 0, face);
}
