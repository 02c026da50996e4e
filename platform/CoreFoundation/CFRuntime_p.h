#pragma once

// The object model under every CoreFoundation type: a header holding the type's class and an
// atomic retain count, followed by the type's own fields. Objects are allocated with malloc in
// one block (so allocation failure is a NULL result, never an exception) and freed when the
// last reference goes, after the class's finalizer has released what the object holds.
#include <CoreFoundation/CFBase.h>

#include <atomic>
#include <cstddef>

struct CFRuntimeClass {
    CFTypeID typeID;
    const char* className;
    // Releases what the object holds; NULL when it holds nothing.
    void (*finalize)(CFTypeRef cf);
    // NULL: identity.
    Boolean (*equal)(CFTypeRef cf1, CFTypeRef cf2);
    // NULL: the address.
    CFHashCode (*hash)(CFTypeRef cf);
    // NULL: "<ClassName 0x...>".
    CFStringRef (*copyDescription)(CFTypeRef cf);
};

struct CFRuntimeBase {
    const CFRuntimeClass* cls;
    std::atomic<CFIndex> retainCount;
};

// Type identifiers, fixed so that CFGetTypeID answers the same in every process.
enum : CFTypeID {
    kCFRuntimeIDAllocator = 2,
    kCFRuntimeIDString = 7,
    kCFRuntimeIDBoolean = 21,
    kCFRuntimeIDNumber = 22,
    kCFRuntimeIDData = 20,
    kCFRuntimeIDArray = 19,
    kCFRuntimeIDDictionary = 18,
    kCFRuntimeIDURL = 29,
    kCFRuntimeIDBundle = 31,
    kCFRuntimeIDError = 42
};

// A count at or above this marks an object that lives for the process (constant strings,
// booleans, allocators, registered bundles): retain and release leave it alone.
constexpr CFIndex kCFRuntimeImmortal = CFIndex(1) << 60;

// A zeroed object of `size` bytes (header included) with retain count 1, or NULL.
void* CFRuntimeCreateInstance(const CFRuntimeClass* cls, size_t size);
// Makes an object immortal (for objects built once and kept by a registry).
void CFRuntimeMakeImmortal(CFTypeRef cf);
// True when cf is an object of that class (false for NULL).
bool CFRuntimeIsA(CFTypeRef cf, const CFRuntimeClass* cls);

// Internal string helpers shared by the other types.
// A new string of `length` UTF-8 bytes; NULL when they are not valid UTF-8 or memory runs out.
CFStringRef CFStringCreateWithUTF8(const char* bytes, size_t length);
// The string's NUL-terminated UTF-8 bytes and their count (NULL and 0 for a non-string).
const char* CFStringUTF8(CFStringRef str, size_t* length = nullptr);
