#include "CoreFoundation/CFCollection_p.h"

#include <CoreFoundation/CFArray.h>
#include <CoreFoundation/CFString.h>

#include <climits>
#include <cstdlib>
#include <cstring>

// An array: a heap block of values and a copy of the callbacks it was made with.
struct __CFArray {
    CFRuntimeBase base;
    CFArrayCallBacks callBacks;
    const void** values;
    CFIndex count;
    CFIndex allocated;
    CFIndex capacity; // 0: unbounded
    bool isMutable;
};

namespace {

void arrayFinalize(CFTypeRef cf);
Boolean arrayEqual(CFTypeRef cf1, CFTypeRef cf2);
CFHashCode arrayHash(CFTypeRef cf);
CFStringRef arrayCopyDescription(CFTypeRef cf);

const CFRuntimeClass kArrayClass = {kCFRuntimeIDArray, "CFArray", arrayFinalize,
                                    arrayEqual,        arrayHash, arrayCopyDescription};

const CFArrayCallBacks kNullCallBacks = {0, nullptr, nullptr, nullptr, nullptr};

__CFArray* asArray(CFArrayRef array) {
    return CFRuntimeIsA(array, &kArrayClass) ? const_cast<__CFArray*>(array) : nullptr;
}

const void* retainValue(const __CFArray* array, const void* value) {
    return array->callBacks.retain ? array->callBacks.retain(nullptr, value) : value;
}

void releaseValue(const __CFArray* array, const void* value) {
    if (array->callBacks.release) array->callBacks.release(nullptr, value);
}

bool valuesEqual(const __CFArray* array, const void* a, const void* b) {
    if (a == b) return true;
    return array->callBacks.equal && array->callBacks.equal(a, b);
}

void arrayFinalize(CFTypeRef cf) {
    auto* array = static_cast<const __CFArray*>(cf);
    for (CFIndex i = 0; i < array->count; ++i)
        releaseValue(array, array->values[i]);
    free(array->values);
}

Boolean arrayEqual(CFTypeRef cf1, CFTypeRef cf2) {
    auto* a = static_cast<const __CFArray*>(cf1);
    auto* b = static_cast<const __CFArray*>(cf2);
    if (a->count != b->count) return false;
    for (CFIndex i = 0; i < a->count; ++i) {
        if (!valuesEqual(a, a->values[i], b->values[i])) return false;
    }
    return true;
}

CFHashCode arrayHash(CFTypeRef cf) {
    return static_cast<CFHashCode>(static_cast<const __CFArray*>(cf)->count);
}

CFStringRef arrayCopyDescription(CFTypeRef cf) {
    auto* array = static_cast<const __CFArray*>(cf);
    CFDescriptionText text;
    text.append("(\n");
    for (CFIndex i = 0; i < array->count; ++i) {
        const void* value = array->values[i];
        text.append("    ");
        CFStringRef description =
            array->callBacks.copyDescription ? array->callBacks.copyDescription(value) : nullptr;
        text.appendDescription(description, value);
        text.append(i + 1 < array->count ? ",\n" : "\n");
    }
    text.append(")");
    return text.finish();
}

bool reserve(__CFArray* array, CFIndex count) {
    if (count <= array->allocated) return true;
    CFIndex wanted = array->allocated ? array->allocated * 2 : 8;
    if (wanted < count) wanted = count;
    if (static_cast<size_t>(wanted) > SIZE_MAX / sizeof(const void*)) return false;
    auto* grown = static_cast<const void**>(
        realloc(array->values, static_cast<size_t>(wanted) * sizeof(const void*)));
    if (!grown) return false;
    array->values = grown;
    array->allocated = wanted;
    return true;
}

__CFArray* createArray(const CFArrayCallBacks* callBacks, CFIndex capacity, bool isMutable) {
    auto* array = static_cast<__CFArray*>(CFRuntimeCreateInstance(&kArrayClass, sizeof(__CFArray)));
    if (!array) return nullptr;
    array->callBacks = callBacks ? *callBacks : kNullCallBacks;
    array->capacity = capacity;
    array->isMutable = isMutable;
    return array;
}

bool rangeInside(const __CFArray* array, CFRange range) {
    return range.location >= 0 && range.length >= 0 &&
           range.location <= array->count - range.length;
}

__CFArray* mutableArray(CFMutableArrayRef theArray) {
    __CFArray* array = asArray(theArray);
    return array && array->isMutable ? array : nullptr;
}

} // namespace

const void* CFTypeRetainCallBack(CFAllocatorRef, const void* value) {
    return CFRetain(value);
}

void CFTypeReleaseCallBack(CFAllocatorRef, const void* value) {
    CFRelease(value);
}

const CFArrayCallBacks kCFTypeArrayCallBacks = {0, CFTypeRetainCallBack, CFTypeReleaseCallBack,
                                                CFCopyDescription, CFEqual};

CFTypeID CFArrayGetTypeID(void) {
    return kCFRuntimeIDArray;
}

CFArrayRef CFArrayCreate(CFAllocatorRef, const void** values, CFIndex numValues,
                         const CFArrayCallBacks* callBacks) {
    if (numValues < 0 || (!values && numValues)) return nullptr;
    __CFArray* array = createArray(callBacks, 0, false);
    if (!array) return nullptr;
    if (!reserve(array, numValues)) {
        CFRelease(array);
        return nullptr;
    }
    for (CFIndex i = 0; i < numValues; ++i)
        array->values[array->count++] = retainValue(array, values[i]);
    return array;
}

CFArrayRef CFArrayCreateCopy(CFAllocatorRef allocator, CFArrayRef theArray) {
    __CFArray* source = asArray(theArray);
    if (!source) return nullptr;
    return CFArrayCreate(allocator, source->values, source->count, &source->callBacks);
}

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef, CFIndex capacity,
                                       const CFArrayCallBacks* callBacks) {
    if (capacity < 0) return nullptr;
    return createArray(callBacks, capacity, true);
}

CFMutableArrayRef CFArrayCreateMutableCopy(CFAllocatorRef, CFIndex capacity, CFArrayRef theArray) {
    __CFArray* source = asArray(theArray);
    if (!source || capacity < 0 || (capacity && capacity < source->count)) return nullptr;
    __CFArray* array = createArray(&source->callBacks, capacity, true);
    if (!array) return nullptr;
    if (!reserve(array, source->count)) {
        CFRelease(array);
        return nullptr;
    }
    for (CFIndex i = 0; i < source->count; ++i)
        array->values[array->count++] = retainValue(array, source->values[i]);
    return array;
}

CFIndex CFArrayGetCount(CFArrayRef theArray) {
    __CFArray* array = asArray(theArray);
    return array ? array->count : 0;
}

const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx) {
    __CFArray* array = asArray(theArray);
    if (!array || idx < 0 || idx >= array->count) return nullptr;
    return array->values[idx];
}

void CFArrayGetValues(CFArrayRef theArray, CFRange range, const void** values) {
    __CFArray* array = asArray(theArray);
    if (!array || !values || !rangeInside(array, range)) return;
    for (CFIndex i = 0; i < range.length; ++i)
        values[i] = array->values[range.location + i];
}

CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef theArray, CFRange range, const void* value) {
    __CFArray* array = asArray(theArray);
    if (!array || !rangeInside(array, range)) return kCFNotFound;
    for (CFIndex i = range.location; i < range.location + range.length; ++i) {
        if (valuesEqual(array, array->values[i], value)) return i;
    }
    return kCFNotFound;
}

Boolean CFArrayContainsValue(CFArrayRef theArray, CFRange range, const void* value) {
    return CFArrayGetFirstIndexOfValue(theArray, range, value) != kCFNotFound;
}

void CFArrayApplyFunction(CFArrayRef theArray, CFRange range, CFArrayApplierFunction applier,
                          void* context) {
    __CFArray* array = asArray(theArray);
    if (!array || !applier || !rangeInside(array, range)) return;
    for (CFIndex i = range.location; i < range.location + range.length; ++i)
        applier(array->values[i], context);
}

void CFArrayInsertValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void* value) {
    __CFArray* array = mutableArray(theArray);
    if (!array || idx < 0 || idx > array->count) return;
    if (array->capacity && array->count >= array->capacity) return;
    if (!reserve(array, array->count + 1)) return;
    const void* stored = retainValue(array, value);
    memmove(array->values + idx + 1, array->values + idx,
            static_cast<size_t>(array->count - idx) * sizeof(const void*));
    array->values[idx] = stored;
    ++array->count;
}

void CFArrayAppendValue(CFMutableArrayRef theArray, const void* value) {
    CFArrayInsertValueAtIndex(theArray, CFArrayGetCount(theArray), value);
}

void CFArraySetValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void* value) {
    __CFArray* array = mutableArray(theArray);
    if (!array || idx < 0 || idx > array->count) return;
    if (idx == array->count) {
        CFArrayAppendValue(theArray, value);
        return;
    }
    const void* stored = retainValue(array, value);
    releaseValue(array, array->values[idx]);
    array->values[idx] = stored;
}

void CFArrayRemoveValueAtIndex(CFMutableArrayRef theArray, CFIndex idx) {
    __CFArray* array = mutableArray(theArray);
    if (!array || idx < 0 || idx >= array->count) return;
    const void* removed = array->values[idx];
    memmove(array->values + idx, array->values + idx + 1,
            static_cast<size_t>(array->count - idx - 1) * sizeof(const void*));
    --array->count;
    releaseValue(array, removed);
}

void CFArrayRemoveAllValues(CFMutableArrayRef theArray) {
    __CFArray* array = mutableArray(theArray);
    if (!array) return;
    CFIndex count = array->count;
    array->count = 0;
    for (CFIndex i = 0; i < count; ++i)
        releaseValue(array, array->values[i]);
}
