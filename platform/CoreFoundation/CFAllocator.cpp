#include "CoreFoundation/CFRuntime_p.h"

#include <cstdlib>

// Allocators: every allocator of this platform is the C heap, except kCFAllocatorNull, which
// hands out nothing and frees nothing (for buffers whose owner stays the caller).
struct __CFAllocator {
    CFRuntimeBase base;
    bool isNull;
};

namespace {

const CFRuntimeClass kAllocatorClass = {
    kCFRuntimeIDAllocator, "CFAllocator", nullptr, nullptr, nullptr, nullptr};

__CFAllocator gSystemAllocator = {{&kAllocatorClass, {kCFRuntimeImmortal}}, false};
__CFAllocator gMallocAllocator = {{&kAllocatorClass, {kCFRuntimeImmortal}}, false};
__CFAllocator gNullAllocator = {{&kAllocatorClass, {kCFRuntimeImmortal}}, true};

bool isNullAllocator(CFAllocatorRef allocator) {
    return allocator && allocator->isNull;
}

} // namespace

const CFAllocatorRef kCFAllocatorDefault = nullptr;
const CFAllocatorRef kCFAllocatorSystemDefault = &gSystemAllocator;
const CFAllocatorRef kCFAllocatorMalloc = &gMallocAllocator;
const CFAllocatorRef kCFAllocatorNull = &gNullAllocator;

CFAllocatorRef CFAllocatorGetDefault(void) {
    return kCFAllocatorSystemDefault;
}

void* CFAllocatorAllocate(CFAllocatorRef allocator, CFIndex size, CFOptionFlags) {
    if (size <= 0 || isNullAllocator(allocator)) return nullptr;
    return malloc(static_cast<size_t>(size));
}

void* CFAllocatorReallocate(CFAllocatorRef allocator, void* ptr, CFIndex newsize, CFOptionFlags) {
    if (isNullAllocator(allocator)) return nullptr;
    if (newsize <= 0) {
        free(ptr);
        return nullptr;
    }
    return realloc(ptr, static_cast<size_t>(newsize));
}

void CFAllocatorDeallocate(CFAllocatorRef allocator, void* ptr) {
    if (isNullAllocator(allocator)) return;
    free(ptr);
}

CFTypeID CFAllocatorGetTypeID(void) {
    return kCFRuntimeIDAllocator;
}
