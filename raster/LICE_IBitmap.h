#pragma once

#include "gdi/SWELL_Types.h"
#include "raster/LICE_Pixel.h"

#include <cstdint>

// The interface every drawing operation takes: a rectangle of pixels with a row span, owned by
// the implementation. Drawing operations never keep a bitmap beyond the call.
class LICE_IBitmap {
public:
    virtual ~LICE_IBitmap() {}

    // First pixel of memory row 0 (image row 0 unless flipped); null when the bitmap holds none.
    virtual LICE_pixel* getBits() = 0;
    virtual int getWidth() = 0;
    virtual int getHeight() = 0;
    // Distance in pixels from one memory row to the next; at least the width.
    virtual int getRowSpan() = 0;
    // True when memory row 0 is the bottom image row: image row y lives at memory row
    // height - 1 - y and image rows step by -span.
    virtual bool isFlipped() { return false; }
    // Returns true when the size changed. Pixel contents are undefined afterwards.
    virtual bool resize(int w, int h) = 0;
    // The system drawing context behind the pixels, or null; the bitmap keeps ownership.
    virtual HDC getDC() { return nullptr; }
    virtual intptr_t Extended(int id, void* data) {
        (void)id;
        (void)data;
        return 0;
    }
};
