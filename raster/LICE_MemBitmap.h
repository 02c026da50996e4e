#pragma once

#include "raster/LICE_IBitmap.h"

// A bitmap whose pixels live in a heap block it owns. Rows are padded to the line alignment
// (4 pixels for every caller here) and the pixels start on a 64-byte boundary. The block grows
// with 25 % headroom so that repeated small enlargements do not reallocate each time, and it is
// only given back when the bitmap becomes empty or is destroyed.
class LICE_MemBitmap : public LICE_IBitmap {
public:
    explicit LICE_MemBitmap(int w = 0, int h = 0, unsigned int linealign = 4);
    ~LICE_MemBitmap() override;
    LICE_MemBitmap(const LICE_MemBitmap&) = delete;
    LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

    LICE_pixel* getBits() override;
    int getWidth() override { return m_width; }
    int getHeight() override { return m_height; }
    int getRowSpan() override { return (m_width + m_alignmask) & ~m_alignmask; }
    // A size whose pixel bytes do not fit a 32-bit signed count, or an allocation failure, leaves
    // a 0 x 0 bitmap with null bits (and still reports a change).
    bool resize(int w, int h) override;

    // Bytes of pixel storage reserved, not counting the 63 bytes of alignment slack.
    int getAllocBytes() const { return m_allocbytes; }

private:
    void release();

    void* m_buffer = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_allocbytes = 0;
    int m_alignmask = 0;
};
