#include "containers/WDL_Mutex.h"

WDL_Mutex::WDL_Mutex() {
    pthread_mutex_init(&m_mutex, nullptr);
}

WDL_Mutex::~WDL_Mutex() {
    pthread_mutex_destroy(&m_mutex);
}

void WDL_Mutex::Enter() {
    const pthread_t self = pthread_self();
    if (pthread_equal(m_ownerthread.load(std::memory_order_relaxed), self)) {
        ++m_lockcnt;
        return;
    }
    pthread_mutex_lock(&m_mutex);
    m_ownerthread.store(self, std::memory_order_relaxed);
    m_lockcnt = 0;
}

void WDL_Mutex::Leave() {
    if (--m_lockcnt >= 0) return;
    m_ownerthread.store(0, std::memory_order_relaxed);
    m_lockcnt = 0;
    pthread_mutex_unlock(&m_mutex);
}

bool WDL_Mutex::IsHeldByCaller() const {
    return pthread_equal(m_ownerthread.load(std::memory_order_relaxed), pthread_self());
}
