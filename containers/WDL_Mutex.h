#pragma once

#include <pthread.h>

#include <atomic>

// A recursive mutex: the owning thread may enter again and must leave as often as it entered.
// Made of a plain system mutex, the owner and a lock count rather than a recursive system
// mutex, so that the owner can be asked about.
class WDL_Mutex {
public:
    WDL_Mutex();
    ~WDL_Mutex();
    WDL_Mutex(const WDL_Mutex&) = delete;
    WDL_Mutex& operator=(const WDL_Mutex&) = delete;

    void Enter();
    void Leave();

    // True on the thread that holds the mutex.
    bool IsHeldByCaller() const;

private:
    pthread_mutex_t m_mutex;
    // Written only by the holder; another thread can only ever read a value that is not its
    // own id, so relaxed order is enough.
    std::atomic<pthread_t> m_ownerthread{0};
    int m_lockcnt = 0;
};

// Holds a WDL_Mutex for one scope.
class WDL_MutexLock {
public:
    explicit WDL_MutexLock(WDL_Mutex* mutex) : m_mutex(mutex) {
        if (m_mutex) m_mutex->Enter();
    }
    ~WDL_MutexLock() {
        if (m_mutex) m_mutex->Leave();
    }
    WDL_MutexLock(const WDL_MutexLock&) = delete;
    WDL_MutexLock& operator=(const WDL_MutexLock&) = delete;

private:
    WDL_Mutex* m_mutex;
};
