#pragma once

#include "raster/LICE_IBitmap.h"

// A bitmap whose pixels are the frame buffer of a GDI memory context it owns, so that system
// text and shapes can be drawn into it through getDC() as well as by the rasteriser. Rows are
// the context's width, rounded up to a multiple of 4 pixels. Shrinking keeps the context; only
// growing beyond it makes a new one (with new, zeroed pixels).
class LICE_SysBitmap : public LICE_IBitmap {
public:
    explicit LICE_SysBitmap(int w = 0, int h = 0);
    ~LICE_SysBitmap() override;
    LICE_SysBitmap(const LICE_SysBitmap&) = delete;
    LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

    LICE_pixel* getBits() override { return m_bits; }
    int getWidth() override { return m_width; }
    int getHeight() override { return m_height; }
    int getRowSpan() override { return m_allocwidth; }
    // False when the size is unchanged, or when a zero width or height leaves no context. A
    // failed context leaves a 0 x 0 bitmap with null bits.
    bool resize(int w, int h) override;
    HDC getDC() override { return m_context; }

private:
    int m_width = 0;
    int m_height = 0;
    HDC m_context = nullptr;
    LICE_pixel* m_bits = nullptr;
    int m_allocwidth = 0;
    int m_allocheight = 0;
};
