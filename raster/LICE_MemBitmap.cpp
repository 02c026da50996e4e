#include "raster/LICE_MemBitmap.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace {

// Slack allocated past the reserved bytes so that the pixels can start on a 64-byte boundary.
constexpr int kAlignSlack = 63;

// The largest pixel byte count whose block, slack included, still has a 32-bit signed size.
constexpr long long kMaxBytes = INT_MAX - kAlignSlack;

} // namespace

LICE_MemBitmap::LICE_MemBitmap(int w, int h, unsigned int linealign) {
    if (linealign > 1) m_alignmask = (int)((linealign & (~linealign + 1)) - 1);
    if (w || h) resize(w, h);
}

LICE_MemBitmap::~LICE_MemBitmap() {
    free(m_buffer);
}

LICE_pixel* LICE_MemBitmap::getBits() {
    if (!m_buffer) return nullptr;
    const uintptr_t p = ((uintptr_t)m_buffer + kAlignSlack) & ~(uintptr_t)kAlignSlack;
    return (LICE_pixel*)p;
}

void LICE_MemBitmap::release() {
    free(m_buffer);
    m_buffer = nullptr;
    m_allocbytes = 0;
    m_width = 0;
    m_height = 0;
}

bool LICE_MemBitmap::resize(int w, int h) {
    if (w == m_width && h == m_height) return false;
    m_width = w;
    m_height = h;

    // Computed wide: a product that does not fit 32 bits is refused rather than wrapped.
    const long long span = ((long long)w + m_alignmask) & ~(long long)m_alignmask;
    const long long bytes = span * h * 4;
    if (w <= 0 || h <= 0 || bytes <= 0 || bytes > kMaxBytes) {
        release();
        return true;
    }

    if (!m_buffer) {
        m_allocbytes = (int)bytes;
        m_buffer = malloc((size_t)bytes + kAlignSlack);
    } else if (bytes > m_allocbytes) {
        long long grown = bytes + bytes / 4;
        if (grown > kMaxBytes) grown = kMaxBytes;
        void* moved = realloc(m_buffer, (size_t)grown + kAlignSlack);
        if (moved) {
            m_buffer = moved;
            m_allocbytes = (int)grown;
        } else {
            free(m_buffer);
            m_allocbytes = (int)bytes;
            m_buffer = malloc((size_t)bytes + kAlignSlack);
        }
    }
    if (!m_buffer) release();
    return true;
}
