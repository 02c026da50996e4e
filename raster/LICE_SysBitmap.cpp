#include "raster/LICE_SysBitmap.h"

#include "gdi/SWELL_Context.h"

#include <cstddef>

LICE_SysBitmap::LICE_SysBitmap(int w, int h) {
    resize(w, h);
}

LICE_SysBitmap::~LICE_SysBitmap() {
    if (m_context) SWELL_DeleteGfxContext(m_context);
}

bool LICE_SysBitmap::resize(int w, int h) {
    if (w == m_width && h == m_height) return false;
    // Negative sizes are no bitmap at all.
    if (w < 0 || h < 0) w = h = 0;
    m_width = w;
    m_height = h;

    if (w && h && m_allocwidth >= w && m_allocheight >= h && m_bits) {
        // A flipped bitmap keeps its bottom row at the bottom of the frame buffer.
        if (isFlipped())
            m_bits = (LICE_pixel*)SWELL_GetCtxFrameBuffer(m_context) +
                     (ptrdiff_t)(m_allocheight - h) * m_allocwidth;
        return true;
    }

    m_allocwidth = w > 0x7ffffff0 ? 0 : (w + 3) & ~3;
    m_allocheight = h;
    if (m_context) SWELL_DeleteGfxContext(m_context);
    m_context = nullptr;
    m_bits = nullptr;
    if (!m_allocwidth || !h) return false;

    m_context = SWELL_CreateMemContext(nullptr, m_allocwidth, h);
    if (m_context) m_bits = (LICE_pixel*)SWELL_GetCtxFrameBuffer(m_context);
    if (!m_bits) {
        if (m_context) SWELL_DeleteGfxContext(m_context);
        m_context = nullptr;
        m_width = m_height = 0;
        m_allocwidth = m_allocheight = 0;
    }
    return true;
}
