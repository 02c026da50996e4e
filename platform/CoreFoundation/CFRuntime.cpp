#include "CoreFoundation/CFRuntime_p.h"

#include <CoreFoundation/CFString.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

const CFRuntimeBase* base(CFTypeRef cf) {
    return static_cast<const CFRuntimeBase*>(cf);
}

CFRuntimeBase* mutableBase(CFTypeRef cf) {
    return const_cast<CFRuntimeBase*>(base(cf));
}

} // namespace

void* CFRuntimeCreateInstance(const CFRuntimeClass* cls, size_t size) {
    void* block = calloc(1, size);
    if (!block) return nullptr;
    auto* header = new (block) CFRuntimeBase;
    header->cls = cls;
    header->retainCount.store(1, std::memory_order_relaxed);
    return block;
}

void CFRuntimeMakeImmortal(CFTypeRef cf) {
    if (cf) mutableBase(cf)->retainCount.store(kCFRuntimeImmortal, std::memory_order_relaxed);
}

bool CFRuntimeIsA(CFTypeRef cf, const CFRuntimeClass* cls) {
    return cf && base(cf)->cls == cls;
}

CFTypeRef CFRetain(CFTypeRef cf) {
    if (!cf) return nullptr;
    std::atomic<CFIndex>& count = mutableBase(cf)->retainCount;
    if (count.load(std::memory_order_relaxed) >= kCFRuntimeImmortal) return cf;
    count.fetch_add(1, std::memory_order_relaxed);
    return cf;
}

void CFRelease(CFTypeRef cf) {
    if (!cf) return;
    CFRuntimeBase* header = mutableBase(cf);
    std::atomic<CFIndex>& count = header->retainCount;
    if (count.load(std::memory_order_relaxed) >= kCFRuntimeImmortal) return;
    // Acquire-release, so that the finalizer sees every write other owners made before letting
    // their references go.
    if (count.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    if (header->cls->finalize) header->cls->finalize(cf);
    header->~CFRuntimeBase();
    free(header);
}

CFIndex CFGetRetainCount(CFTypeRef cf) {
    if (!cf) return 0;
    return base(cf)->retainCount.load(std::memory_order_relaxed);
}

CFTypeID CFGetTypeID(CFTypeRef cf) {
    if (!cf) return 0;
    return base(cf)->cls->typeID;
}

CFAllocatorRef CFGetAllocator(CFTypeRef) {
    return kCFAllocatorSystemDefault;
}

Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2) {
    if (cf1 == cf2) return true;
    if (!cf1 || !cf2) return false;
    const CFRuntimeClass* cls = base(cf1)->cls;
    if (cls != base(cf2)->cls || !cls->equal) return false;
    return cls->equal(cf1, cf2);
}

CFHashCode CFHash(CFTypeRef cf) {
    if (!cf) return 0;
    const CFRuntimeClass* cls = base(cf)->cls;
    if (cls->hash) return cls->hash(cf);
    return reinterpret_cast<CFHashCode>(cf);
}

CFStringRef CFCopyDescription(CFTypeRef cf) {
    if (!cf) return nullptr;
    const CFRuntimeClass* cls = base(cf)->cls;
    if (cls->copyDescription) return cls->copyDescription(cf);
    char text[96];
    int length = snprintf(text, sizeof text, "<%s %p>", cls->className, cf);
    return CFStringCreateWithUTF8(text, static_cast<size_t>(length));
}

CFStringRef CFCopyTypeIDDescription(CFTypeID typeID) {
    struct Name {
        CFTypeID id;
        const char* name;
    };
    static const Name kNames[] = {
        {kCFRuntimeIDAllocator, "CFAllocator"},
        {kCFRuntimeIDString, "CFString"},
        {kCFRuntimeIDBoolean, "CFBoolean"},
        {kCFRuntimeIDNumber, "CFNumber"},
        {kCFRuntimeIDData, "CFData"},
        {kCFRuntimeIDArray, "CFArray"},
        {kCFRuntimeIDDictionary, "CFDictionary"},
        {kCFRuntimeIDURL, "CFURL"},
        {kCFRuntimeIDBundle, "CFBundle"},
        {kCFRuntimeIDError, "CFError"},
    };
    for (const Name& entry : kNames) {
        if (entry.id == typeID) return CFStringCreateWithUTF8(entry.name, strlen(entry.name));
    }
    return nullptr;
}
