#include "CoreFoundation/CFRuntime_p.h"

#include <CoreFoundation/CFData.h>
#include <CoreFoundation/CFString.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// A data object: its bytes in a separate heap block, so mutable data can grow.
struct __CFData {
    CFRuntimeBase base;
    UInt8* bytes;
    CFIndex length;
    CFIndex allocated;
    CFIndex capacity; // 0: unbounded
    bool isMutable;
};

namespace {

void dataFinalize(CFTypeRef cf);
Boolean dataEqual(CFTypeRef cf1, CFTypeRef cf2);
CFHashCode dataHash(CFTypeRef cf);
CFStringRef dataCopyDescription(CFTypeRef cf);

const CFRuntimeClass kDataClass = {kCFRuntimeIDData, "CFData", dataFinalize,
                                   dataEqual,        dataHash, dataCopyDescription};

const __CFData* asData(CFDataRef data) {
    return CFRuntimeIsA(data, &kDataClass) ? data : nullptr;
}

void dataFinalize(CFTypeRef cf) {
    free(static_cast<const __CFData*>(cf)->bytes);
}

Boolean dataEqual(CFTypeRef cf1, CFTypeRef cf2) {
    auto* a = static_cast<const __CFData*>(cf1);
    auto* b = static_cast<const __CFData*>(cf2);
    return a->length == b->length &&
           (a->length == 0 || memcmp(a->bytes, b->bytes, static_cast<size_t>(a->length)) == 0);
}

CFHashCode dataHash(CFTypeRef cf) {
    auto* data = static_cast<const __CFData*>(cf);
    CFHashCode hash = 14695981039346656037ull;
    for (CFIndex i = 0; i < data->length; ++i) {
        hash ^= data->bytes[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

CFStringRef dataCopyDescription(CFTypeRef cf) {
    auto* data = static_cast<const __CFData*>(cf);
    char text[64];
    int length = snprintf(text, sizeof text, "<CFData %p>{length = %ld}", cf, data->length);
    return CFStringCreateWithUTF8(text, static_cast<size_t>(length));
}

// Grows the byte block to hold `length` bytes; false (nothing changed) when it cannot.
bool reserve(__CFData* data, CFIndex length) {
    if (length <= data->allocated) return true;
    CFIndex wanted = data->allocated ? data->allocated : 16;
    while (wanted < length)
        wanted = wanted > LONG_MAX / 2 ? length : wanted * 2;
    auto* grown = static_cast<UInt8*>(realloc(data->bytes, static_cast<size_t>(wanted)));
    if (!grown) return false;
    data->bytes = grown;
    data->allocated = wanted;
    return true;
}

__CFData* createData(const UInt8* bytes, CFIndex length, bool isMutable, CFIndex capacity) {
    auto* data = static_cast<__CFData*>(CFRuntimeCreateInstance(&kDataClass, sizeof(__CFData)));
    if (!data) return nullptr;
    data->isMutable = isMutable;
    data->capacity = capacity;
    if (length > 0) {
        if (!reserve(data, length)) {
            CFRelease(data);
            return nullptr;
        }
        memcpy(data->bytes, bytes, static_cast<size_t>(length));
        data->length = length;
    }
    return data;
}

} // namespace

CFTypeID CFDataGetTypeID(void) {
    return kCFRuntimeIDData;
}

CFDataRef CFDataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length) {
    if (length < 0 || (!bytes && length)) return nullptr;
    return createData(bytes, length, false, 0);
}

CFDataRef CFDataCreateCopy(CFAllocatorRef, CFDataRef theData) {
    const __CFData* data = asData(theData);
    if (!data) return nullptr;
    return createData(data->bytes, data->length, false, 0);
}

CFMutableDataRef CFDataCreateMutable(CFAllocatorRef, CFIndex capacity) {
    if (capacity < 0) return nullptr;
    return createData(nullptr, 0, true, capacity);
}

CFIndex CFDataGetLength(CFDataRef theData) {
    const __CFData* data = asData(theData);
    return data ? data->length : 0;
}

const UInt8* CFDataGetBytePtr(CFDataRef theData) {
    const __CFData* data = asData(theData);
    return data && data->length ? data->bytes : nullptr;
}

UInt8* CFDataGetMutableBytePtr(CFMutableDataRef theData) {
    __CFData* data = const_cast<__CFData*>(asData(theData));
    return data && data->isMutable && data->length ? data->bytes : nullptr;
}

void CFDataGetBytes(CFDataRef theData, CFRange range, UInt8* buffer) {
    const __CFData* data = asData(theData);
    if (!data || !buffer || range.location < 0 || range.length <= 0 ||
        range.location > data->length - range.length)
        return;
    memcpy(buffer, data->bytes + range.location, static_cast<size_t>(range.length));
}

void CFDataAppendBytes(CFMutableDataRef theData, const UInt8* bytes, CFIndex length) {
    __CFData* data = const_cast<__CFData*>(asData(theData));
    if (!data || !data->isMutable || !bytes || length <= 0) return;
    if (length > LONG_MAX - data->length) return;
    CFIndex total = data->length + length;
    if (data->capacity && total > data->capacity) return;
    if (!reserve(data, total)) return;
    memcpy(data->bytes + data->length, bytes, static_cast<size_t>(length));
    data->length = total;
}

void CFDataSetLength(CFMutableDataRef theData, CFIndex length) {
    __CFData* data = const_cast<__CFData*>(asData(theData));
    if (!data || !data->isMutable || length < 0) return;
    if (data->capacity && length > data->capacity) return;
    if (!reserve(data, length)) return;
    if (length > data->length)
        memset(data->bytes + data->length, 0, static_cast<size_t>(length - data->length));
    data->length = length;
}
