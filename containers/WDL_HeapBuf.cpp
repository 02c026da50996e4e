#include "containers/WDL_HeapBuf.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

constexpr long long kPage = 4096;
constexpr long long kHeaderSlack = 96; // keeps a page-sized request plus the allocator's header in
                                       // whole pages

long long clampLL(long long v, long long lo, long long hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

} // namespace

WDL_HeapBuf::WDL_HeapBuf(int granularity, int minAllocation)
    : m_granul(granularity > 0 ? granularity : 1), m_mas(minAllocation > 0 ? minAllocation : 0) {}

WDL_HeapBuf::~WDL_HeapBuf() {
    std::free(m_buf);
}

long long WDL_HeapBuf::AllocationFor(int newSize) const {
    const long long n = newSize;
    long long alloc;
    if (m_granul >= kPage) {
        long long g = n / 2 > m_granul ? n / 2 : m_granul;
        g = clampLL(g & ~(kPage - 1), kPage, kMaxGrowthStep);
        alloc = ((n + g + kHeaderSlack) & ~(kPage - 1)) - kHeaderSlack;
    } else {
        alloc = n + (n / 2 > m_granul ? n / 2 : m_granul);
    }
    return alloc < m_mas ? m_mas : alloc;
}

bool WDL_HeapBuf::Reallocate(int newSize) {
    const long long alloc = AllocationFor(newSize);
    if (alloc > INT_MAX) return false;

    if (void* grown = std::realloc(m_buf, static_cast<size_t>(alloc))) {
        m_buf = grown;
    } else {
        void* fresh = std::malloc(static_cast<size_t>(alloc));
        if (!fresh) return false;
        if (m_buf)
            std::memcpy(fresh, m_buf, static_cast<size_t>(m_size < newSize ? m_size : newSize));
        std::free(m_buf);
        m_buf = fresh;
    }
    m_alloc = static_cast<int>(alloc);
    return true;
}

void* WDL_HeapBuf::Resize(int newSize, bool resizeDown) {
    if (newSize < 0) newSize = 0;
    if (newSize == m_size) return Get();

    if (newSize <= m_alloc) {
        const bool shrink = resizeDown && newSize < m_alloc / 2 &&
                            static_cast<long long>(newSize) < m_alloc - 4LL * m_granul;
        if (!shrink) {
            m_size = newSize;
            return Get();
        }
    }
    if (!Reallocate(newSize)) return nullptr;
    m_size = newSize;
    return Get();
}
