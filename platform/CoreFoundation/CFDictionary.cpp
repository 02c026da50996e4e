#include "CoreFoundation/CFCollection_p.h"

#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFString.h>

#include <climits>
#include <cstdlib>
#include <cstring>

// A dictionary: entries in insertion order with each key's hash kept beside it. Look-ups
// compare hashes first and call the equal callback only on a match; the dictionaries this
// system builds hold a handful of entries, so a linear scan is the whole index.
struct CFDictionaryEntry {
    const void* key;
    const void* value;
    CFHashCode hash;
};

struct __CFDictionary {
    CFRuntimeBase base;
    CFDictionaryKeyCallBacks keyCallBacks;
    CFDictionaryValueCallBacks valueCallBacks;
    CFDictionaryEntry* entries;
    CFIndex count;
    CFIndex allocated;
    CFIndex capacity; // 0: unbounded
    bool isMutable;
};

namespace {

void dictionaryFinalize(CFTypeRef cf);
Boolean dictionaryEqual(CFTypeRef cf1, CFTypeRef cf2);
CFHashCode dictionaryHash(CFTypeRef cf);
CFStringRef dictionaryCopyDescription(CFTypeRef cf);

const CFRuntimeClass kDictionaryClass = {kCFRuntimeIDDictionary, "CFDictionary",
                                         dictionaryFinalize,     dictionaryEqual,
                                         dictionaryHash,         dictionaryCopyDescription};

const CFDictionaryKeyCallBacks kNullKeyCallBacks = {0, nullptr, nullptr, nullptr, nullptr, nullptr};
const CFDictionaryValueCallBacks kNullValueCallBacks = {0, nullptr, nullptr, nullptr, nullptr};

const void* copyStringKey(CFAllocatorRef allocator, const void* value) {
    if (CFGetTypeID(value) == CFStringGetTypeID())
        return CFStringCreateCopy(allocator, static_cast<CFStringRef>(value));
    return CFRetain(value);
}

__CFDictionary* asDictionary(CFDictionaryRef dict) {
    return CFRuntimeIsA(dict, &kDictionaryClass) ? const_cast<__CFDictionary*>(dict) : nullptr;
}

__CFDictionary* mutableDictionary(CFMutableDictionaryRef dict) {
    __CFDictionary* d = asDictionary(dict);
    return d && d->isMutable ? d : nullptr;
}

CFHashCode hashKey(const __CFDictionary* d, const void* key) {
    return d->keyCallBacks.hash ? d->keyCallBacks.hash(key) : reinterpret_cast<CFHashCode>(key);
}

bool keysEqual(const __CFDictionary* d, const void* a, const void* b) {
    if (a == b) return true;
    return d->keyCallBacks.equal && d->keyCallBacks.equal(a, b);
}

bool valuesEqual(const __CFDictionary* d, const void* a, const void* b) {
    if (a == b) return true;
    return d->valueCallBacks.equal && d->valueCallBacks.equal(a, b);
}

CFIndex findKey(const __CFDictionary* d, const void* key) {
    CFHashCode hash = hashKey(d, key);
    for (CFIndex i = 0; i < d->count; ++i) {
        const CFDictionaryEntry& entry = d->entries[i];
        if (entry.hash == hash && keysEqual(d, entry.key, key)) return i;
    }
    return kCFNotFound;
}

const void* retainKey(const __CFDictionary* d, const void* key) {
    return d->keyCallBacks.retain ? d->keyCallBacks.retain(nullptr, key) : key;
}

const void* retainValue(const __CFDictionary* d, const void* value) {
    return d->valueCallBacks.retain ? d->valueCallBacks.retain(nullptr, value) : value;
}

void releaseKey(const __CFDictionary* d, const void* key) {
    if (d->keyCallBacks.release) d->keyCallBacks.release(nullptr, key);
}

void releaseValue(const __CFDictionary* d, const void* value) {
    if (d->valueCallBacks.release) d->valueCallBacks.release(nullptr, value);
}

void dictionaryFinalize(CFTypeRef cf) {
    auto* d = static_cast<const __CFDictionary*>(cf);
    for (CFIndex i = 0; i < d->count; ++i) {
        releaseValue(d, d->entries[i].value);
        releaseKey(d, d->entries[i].key);
    }
    free(d->entries);
}

Boolean dictionaryEqual(CFTypeRef cf1, CFTypeRef cf2) {
    auto* a = static_cast<const __CFDictionary*>(cf1);
    auto* b = static_cast<const __CFDictionary*>(cf2);
    if (a->count != b->count) return false;
    for (CFIndex i = 0; i < a->count; ++i) {
        CFIndex j = findKey(b, a->entries[i].key);
        if (j == kCFNotFound || !valuesEqual(a, a->entries[i].value, b->entries[j].value))
            return false;
    }
    return true;
}

CFHashCode dictionaryHash(CFTypeRef cf) {
    return static_cast<CFHashCode>(static_cast<const __CFDictionary*>(cf)->count);
}

CFStringRef dictionaryCopyDescription(CFTypeRef cf) {
    auto* d = static_cast<const __CFDictionary*>(cf);
    CFDescriptionText text;
    text.append("{\n");
    for (CFIndex i = 0; i < d->count; ++i) {
        const CFDictionaryEntry& entry = d->entries[i];
        text.append("    ");
        text.appendDescription(
            d->keyCallBacks.copyDescription ? d->keyCallBacks.copyDescription(entry.key) : nullptr,
            entry.key);
        text.append(" = ");
        text.appendDescription(d->valueCallBacks.copyDescription
                                   ? d->valueCallBacks.copyDescription(entry.value)
                                   : nullptr,
                               entry.value);
        text.append(";\n");
    }
    text.append("}");
    return text.finish();
}

bool reserve(__CFDictionary* d, CFIndex count) {
    if (count <= d->allocated) return true;
    CFIndex wanted = d->allocated ? d->allocated * 2 : 8;
    if (wanted < count) wanted = count;
    if (static_cast<size_t>(wanted) > SIZE_MAX / sizeof(CFDictionaryEntry)) return false;
    auto* grown = static_cast<CFDictionaryEntry*>(
        realloc(d->entries, static_cast<size_t>(wanted) * sizeof(CFDictionaryEntry)));
    if (!grown) return false;
    d->entries = grown;
    d->allocated = wanted;
    return true;
}

__CFDictionary* createDictionary(CFIndex capacity, const CFDictionaryKeyCallBacks* keyCallBacks,
                                 const CFDictionaryValueCallBacks* valueCallBacks, bool isMutable) {
    auto* d = static_cast<__CFDictionary*>(
        CFRuntimeCreateInstance(&kDictionaryClass, sizeof(__CFDictionary)));
    if (!d) return nullptr;
    d->keyCallBacks = keyCallBacks ? *keyCallBacks : kNullKeyCallBacks;
    d->valueCallBacks = valueCallBacks ? *valueCallBacks : kNullValueCallBacks;
    d->capacity = capacity;
    d->isMutable = isMutable;
    return d;
}

// Adds a new entry (the key known to be absent); false when there is no room.
bool addEntry(__CFDictionary* d, const void* key, const void* value) {
    if (d->capacity && d->count >= d->capacity) return false;
    if (!reserve(d, d->count + 1)) return false;
    CFDictionaryEntry& entry = d->entries[d->count];
    entry.hash = hashKey(d, key);
    entry.key = retainKey(d, key);
    entry.value = retainValue(d, value);
    ++d->count;
    return true;
}

void replaceEntry(__CFDictionary* d, CFIndex i, const void* value) {
    // Retain first: the new value may be the one being replaced.
    const void* stored = retainValue(d, value);
    releaseValue(d, d->entries[i].value);
    d->entries[i].value = stored;
}

__CFDictionary* copyEntries(const __CFDictionary* source, CFIndex capacity, bool isMutable) {
    __CFDictionary* d =
        createDictionary(capacity, &source->keyCallBacks, &source->valueCallBacks, isMutable);
    if (!d) return nullptr;
    if (!reserve(d, source->count)) {
        CFRelease(d);
        return nullptr;
    }
    for (CFIndex i = 0; i < source->count; ++i)
        addEntry(d, source->entries[i].key, source->entries[i].value);
    return d;
}

} // namespace

const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = {
    0, CFTypeRetainCallBack, CFTypeReleaseCallBack, CFCopyDescription, CFEqual, CFHash};
const CFDictionaryKeyCallBacks kCFCopyStringDictionaryKeyCallBacks = {
    0, copyStringKey, CFTypeReleaseCallBack, CFCopyDescription, CFEqual, CFHash};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = {
    0, CFTypeRetainCallBack, CFTypeReleaseCallBack, CFCopyDescription, CFEqual};

CFTypeID CFDictionaryGetTypeID(void) {
    return kCFRuntimeIDDictionary;
}

CFDictionaryRef CFDictionaryCreate(CFAllocatorRef, const void** keys, const void** values,
                                   CFIndex numValues, const CFDictionaryKeyCallBacks* keyCallBacks,
                                   const CFDictionaryValueCallBacks* valueCallBacks) {
    if (numValues < 0 || (numValues && (!keys || !values))) return nullptr;
    __CFDictionary* d = createDictionary(0, keyCallBacks, valueCallBacks, false);
    if (!d) return nullptr;
    if (!reserve(d, numValues)) {
        CFRelease(d);
        return nullptr;
    }
    for (CFIndex i = 0; i < numValues; ++i) {
        CFIndex found = findKey(d, keys[i]);
        if (found == kCFNotFound)
            addEntry(d, keys[i], values[i]);
        else
            replaceEntry(d, found, values[i]);
    }
    return d;
}

CFDictionaryRef CFDictionaryCreateCopy(CFAllocatorRef, CFDictionaryRef theDict) {
    __CFDictionary* source = asDictionary(theDict);
    return source ? copyEntries(source, 0, false) : nullptr;
}

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks) {
    if (capacity < 0) return nullptr;
    return createDictionary(capacity, keyCallBacks, valueCallBacks, true);
}

CFMutableDictionaryRef CFDictionaryCreateMutableCopy(CFAllocatorRef, CFIndex capacity,
                                                     CFDictionaryRef theDict) {
    __CFDictionary* source = asDictionary(theDict);
    if (!source || capacity < 0 || (capacity && capacity < source->count)) return nullptr;
    return copyEntries(source, capacity, true);
}

CFIndex CFDictionaryGetCount(CFDictionaryRef theDict) {
    __CFDictionary* d = asDictionary(theDict);
    return d ? d->count : 0;
}

Boolean CFDictionaryContainsKey(CFDictionaryRef theDict, const void* key) {
    __CFDictionary* d = asDictionary(theDict);
    return d && findKey(d, key) != kCFNotFound;
}

Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef theDict, const void* key,
                                      const void** value) {
    __CFDictionary* d = asDictionary(theDict);
    if (!d) return false;
    CFIndex i = findKey(d, key);
    if (i == kCFNotFound) return false;
    if (value) *value = d->entries[i].value;
    return true;
}

const void* CFDictionaryGetValue(CFDictionaryRef theDict, const void* key) {
    const void* value = nullptr;
    CFDictionaryGetValueIfPresent(theDict, key, &value);
    return value;
}

void CFDictionaryGetKeysAndValues(CFDictionaryRef theDict, const void** keys, const void** values) {
    __CFDictionary* d = asDictionary(theDict);
    if (!d) return;
    for (CFIndex i = 0; i < d->count; ++i) {
        if (keys) keys[i] = d->entries[i].key;
        if (values) values[i] = d->entries[i].value;
    }
}

void CFDictionaryApplyFunction(CFDictionaryRef theDict, CFDictionaryApplierFunction applier,
                               void* context) {
    __CFDictionary* d = asDictionary(theDict);
    if (!d || !applier) return;
    for (CFIndex i = 0; i < d->count; ++i)
        applier(d->entries[i].key, d->entries[i].value, context);
}

void CFDictionaryAddValue(CFMutableDictionaryRef theDict, const void* key, const void* value) {
    __CFDictionary* d = mutableDictionary(theDict);
    if (d && findKey(d, key) == kCFNotFound) addEntry(d, key, value);
}

void CFDictionarySetValue(CFMutableDictionaryRef theDict, const void* key, const void* value) {
    __CFDictionary* d = mutableDictionary(theDict);
    if (!d) return;
    CFIndex i = findKey(d, key);
    if (i == kCFNotFound)
        addEntry(d, key, value);
    else
        replaceEntry(d, i, value);
}

void CFDictionaryReplaceValue(CFMutableDictionaryRef theDict, const void* key, const void* value) {
    __CFDictionary* d = mutableDictionary(theDict);
    if (!d) return;
    CFIndex i = findKey(d, key);
    if (i != kCFNotFound) replaceEntry(d, i, value);
}

void CFDictionaryRemoveValue(CFMutableDictionaryRef theDict, const void* key) {
    __CFDictionary* d = mutableDictionary(theDict);
    if (!d) return;
    CFIndex i = findKey(d, key);
    if (i == kCFNotFound) return;
    CFDictionaryEntry removed = d->entries[i];
    memmove(d->entries + i, d->entries + i + 1,
            static_cast<size_t>(d->count - i - 1) * sizeof(CFDictionaryEntry));
    --d->count;
    releaseValue(d, removed.value);
    releaseKey(d, removed.key);
}

void CFDictionaryRemoveAllValues(CFMutableDictionaryRef theDict) {
    __CFDictionary* d = mutableDictionary(theDict);
    if (!d) return;
    CFIndex count = d->count;
    d->count = 0;
    for (CFIndex i = 0; i < count; ++i) {
        releaseValue(d, d->entries[i].value);
        releaseKey(d, d->entries[i].key);
    }
}
