#include "tests/lv2/LockCounting.h"

#include <dlfcn.h>
#include <pthread.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define GRINDVOX_LOCK_COUNTING 0
#else
#define GRINDVOX_LOCK_COUNTING 1
#endif

namespace {

thread_local int tLockCalls = 0;

} // namespace

#if GRINDVOX_LOCK_COUNTING
namespace {

using MutexCall = int (*)(pthread_mutex_t*);

// The C library's function of that name, found once.
MutexCall next(const char* name, MutexCall& cached) {
    if (!cached) cached = reinterpret_cast<MutexCall>(dlsym(RTLD_NEXT, name));
    return cached;
}

MutexCall gLock = nullptr;
MutexCall gTryLock = nullptr;
MutexCall gUnlock = nullptr;

} // namespace

extern "C" {
int pthread_mutex_lock(pthread_mutex_t* mutex) {
    ++tLockCalls;
    return next("pthread_mutex_lock", gLock)(mutex);
}

int pthread_mutex_trylock(pthread_mutex_t* mutex) {
    ++tLockCalls;
    return next("pthread_mutex_trylock", gTryLock)(mutex);
}

int pthread_mutex_unlock(pthread_mutex_t* mutex) {
    ++tLockCalls;
    return next("pthread_mutex_unlock", gUnlock)(mutex);
}
}
#endif

namespace grindvox::test {

bool LockCountingAvailable() {
    return GRINDVOX_LOCK_COUNTING != 0;
}

LockCounter::LockCounter() : mStart(tLockCalls) {}

int LockCounter::Count() const {
    return tLockCalls - mStart;
}

} // namespace grindvox::test
