#pragma once

// CoreFoundation's object model: every object is a reference-counted CFTypeRef. Create and
// Copy functions hand the caller one reference, which the caller releases with CFRelease;
// Get functions hand back a reference the caller does not own. Retain counts are atomic, so
// objects may be retained and released from any thread.
#include <MacTypes.h>

#define CF_EXPORT GRINDVOX_PLATFORM_API
#define CF_EXTERN_C_BEGIN GRINDVOX_EXTERN_C_BEGIN
#define CF_EXTERN_C_END GRINDVOX_EXTERN_C_END
#define CF_INLINE static inline

CF_EXTERN_C_BEGIN

typedef long CFIndex;
typedef unsigned long CFOptionFlags;
typedef unsigned long CFHashCode;
typedef unsigned long CFTypeID;

typedef const void* CFTypeRef;
typedef CFTypeRef CFPropertyListRef;
typedef const struct __CFString* CFStringRef;
typedef struct __CFString* CFMutableStringRef;
typedef const struct __CFAllocator* CFAllocatorRef;

typedef struct {
    CFIndex location;
    CFIndex length;
} CFRange;

CF_INLINE CFRange CFRangeMake(CFIndex location, CFIndex length) {
    CFRange range;
    range.location = location;
    range.length = length;
    return range;
}

typedef CFIndex CFComparisonResult;
enum { kCFCompareLessThan = -1, kCFCompareEqualTo = 0, kCFCompareGreaterThan = 1 };

enum { kCFNotFound = -1 };

// Allocators. kCFAllocatorDefault is NULL and means the system allocator; kCFAllocatorNull
// allocates nothing and frees nothing (for buffers the caller keeps).
CF_EXPORT const CFAllocatorRef kCFAllocatorDefault;
CF_EXPORT const CFAllocatorRef kCFAllocatorSystemDefault;
CF_EXPORT const CFAllocatorRef kCFAllocatorMalloc;
CF_EXPORT const CFAllocatorRef kCFAllocatorNull;

CF_EXPORT CFAllocatorRef CFAllocatorGetDefault(void);
// NULL when size is not positive or memory is exhausted.
CF_EXPORT void* CFAllocatorAllocate(CFAllocatorRef allocator, CFIndex size, CFOptionFlags hint);
CF_EXPORT void* CFAllocatorReallocate(CFAllocatorRef allocator, void* ptr, CFIndex newsize,
                                      CFOptionFlags hint);
CF_EXPORT void CFAllocatorDeallocate(CFAllocatorRef allocator, void* ptr);
CF_EXPORT CFTypeID CFAllocatorGetTypeID(void);

// Reference counting. Releasing the last reference frees the object (and releases what it
// holds). Constant strings (CFSTR) live for the whole process: retain and release leave them
// alone. NULL is ignored by CFRelease and returned by CFRetain.
CF_EXPORT CFTypeRef CFRetain(CFTypeRef cf);
CF_EXPORT void CFRelease(CFTypeRef cf);
CF_EXPORT CFIndex CFGetRetainCount(CFTypeRef cf);
CF_EXPORT CFTypeID CFGetTypeID(CFTypeRef cf);
CF_EXPORT CFAllocatorRef CFGetAllocator(CFTypeRef cf);

// Equality and hashing by content for strings, numbers, data, arrays, dictionaries and URLs;
// by identity for everything else.
CF_EXPORT Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2);
CF_EXPORT CFHashCode CFHash(CFTypeRef cf);
// A new string describing the object (the text itself for a string).
CF_EXPORT CFStringRef CFCopyDescription(CFTypeRef cf);
// A new string naming the type ("CFString", "CFDictionary", ...).
CF_EXPORT CFStringRef CFCopyTypeIDDescription(CFTypeID type_id);

CF_EXTERN_C_END
