#include "tests/support/AllocationTracking.h"

#include <cerrno>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define GRINDVOX_TRACKING 0
#else
#define GRINDVOX_TRACKING 1
#endif

namespace {

// Thread-local and plain: touching them allocates nothing in an executable.
thread_local int tAllocations = 0;
thread_local bool tFailing = false;
thread_local int tSuccessesLeft = 0;
thread_local int tFailuresLeft = 0; // -1: every allocation after the successes fails

// Counts one allocation; false when it must fail.
[[maybe_unused]] bool noteAllocation() {
    ++tAllocations;
    if (!tFailing) return true;
    if (tSuccessesLeft > 0) {
        --tSuccessesLeft;
        return true;
    }
    if (tFailuresLeft == 0) return true;
    if (tFailuresLeft > 0) --tFailuresLeft;
    return false;
}

} // namespace

#if GRINDVOX_TRACKING
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);

void* malloc(size_t size) {
    return noteAllocation() ? __libc_malloc(size) : nullptr;
}

void* calloc(size_t count, size_t size) {
    return noteAllocation() ? __libc_calloc(count, size) : nullptr;
}

void* realloc(void* block, size_t size) {
    return noteAllocation() ? __libc_realloc(block, size) : nullptr;
}

void* memalign(size_t alignment, size_t size) {
    return noteAllocation() ? __libc_memalign(alignment, size) : nullptr;
}

void* aligned_alloc(size_t alignment, size_t size) {
    return memalign(alignment, size);
}

int posix_memalign(void** out, size_t alignment, size_t size) {
    void* block = memalign(alignment, size);
    if (!block) return ENOMEM;
    *out = block;
    return 0;
}

void free(void* block) {
    __libc_free(block);
}
}
#endif

namespace grindvox::test {

bool AllocationTrackingAvailable() {
    return GRINDVOX_TRACKING != 0;
}

AllocationCounter::AllocationCounter() : mStart(tAllocations) {}

AllocationCounter::~AllocationCounter() = default;

int AllocationCounter::Count() const {
    return tAllocations - mStart;
}

AllocationFailure::AllocationFailure(int successes, int failures) {
    tSuccessesLeft = successes;
    tFailuresLeft = failures;
    tFailing = true;
}

AllocationFailure::~AllocationFailure() {
    tFailing = false;
}

} // namespace grindvox::test
