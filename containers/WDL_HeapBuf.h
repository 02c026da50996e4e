#pragma once

// A growable byte buffer. It owns its block; the granularity and the minimum allocation decide
// how much spare room a resize reserves, so that buffers that grow a little at a time are not
// reallocated on every step. The data pointer reads as null whenever the size is 0.
class WDL_HeapBuf {
public:
    static constexpr int kMaxGrowthStep = 4 * 1024 * 1024;

    explicit WDL_HeapBuf(int granularity = 4096, int minAllocation = 0);
    ~WDL_HeapBuf();
    WDL_HeapBuf(const WDL_HeapBuf&) = delete;
    WDL_HeapBuf& operator=(const WDL_HeapBuf&) = delete;

    void* Get() const { return m_size ? m_buf : nullptr; }
    int GetSize() const { return m_size; }
    int GetAllocated() const { return m_alloc; }
    int GetGranul() const { return m_granul; }

    void SetGranul(int granularity) { m_granul = granularity > 0 ? granularity : 1; }
    void SetMinAllocSize(int minAllocation) { m_mas = minAllocation > 0 ? minAllocation : 0; }

    // Returns the data (null for size 0). When no memory can be had the buffer keeps its old
    // block and size and null is returned; compare GetSize() with the request to tell.
    void* Resize(int newSize, bool resizeDown = true);

private:
    bool Reallocate(int newSize);
    long long AllocationFor(int newSize) const;

    void* m_buf = nullptr;
    int m_granul;    // bytes
    int m_alloc = 0; // bytes allocated
    int m_size = 0;  // bytes in use
    int m_mas;       // minimum allocation, bytes
};
