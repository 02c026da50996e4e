#pragma once

#include "containers/WDL_HeapBuf.h"

// An array of plain elements over a WDL_HeapBuf. Growing leaves the new elements
// uninitialised; the elements must be trivially copyable, since the block moves with realloc.
template <class T>
class WDL_TypedBuf {
public:
    explicit WDL_TypedBuf(int granularity = 4096) : m_hb(granularity) {}

    T* Get() const { return static_cast<T*>(m_hb.Get()); }
    int GetSize() const { return m_hb.GetSize() / static_cast<int>(sizeof(T)); }

    // Returns the elements, or null when the size is 0 or no memory could be had (the buffer is
    // then unchanged).
    T* Resize(int count, bool resizeDown = true) {
        if (count < 0) count = 0;
        if (static_cast<long long>(count) * sizeof(T) > 0x7fffffffLL) return nullptr;
        return static_cast<T*>(m_hb.Resize(count * static_cast<int>(sizeof(T)), resizeDown));
    }

    WDL_HeapBuf m_hb;
};
