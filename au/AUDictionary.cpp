#include "au/AUDictionary.h"

#include <cstring>

namespace {

// The value under a UTF-8 key, when it has the expected type.
CFTypeRef lookUp(CFDictionaryRef dict, const char* key, CFTypeID type) {
    if (!dict || !key) return nullptr;
    CFStringRef keyString = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
    if (!keyString) return nullptr;
    CFTypeRef value = CFDictionaryGetValue(dict, keyString);
    CFRelease(keyString);
    return value && CFGetTypeID(value) == type ? value : nullptr;
}

void put(CFMutableDictionaryRef dict, const char* key, CFTypeRef value) {
    CFStringRef keyString = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
    if (keyString && value) CFDictionarySetValue(dict, keyString, value);
    if (keyString) CFRelease(keyString);
    if (value) CFRelease(value);
}

} // namespace

bool CopyUTF8(CFStringRef text, WDL_TypedBuf<char>* utf8) {
    if (!text) return false;
    // UTF-16 units can need up to three bytes each: size the buffer for UTF-8, not for UTF-16.
    const CFIndex size =
        CFStringGetMaximumSizeForEncoding(CFStringGetLength(text), kCFStringEncodingUTF8) + 1;
    if (size <= 0 || size > 0x7fffffff || !utf8->Resize(static_cast<int>(size))) return false;
    return CFStringGetCString(text, utf8->Get(), size, kCFStringEncodingUTF8);
}

bool GetStrFromDict(CFDictionaryRef dict, const char* key, char* out, int outSize) {
    if (outSize <= 0) return false;
    out[0] = 0;
    auto value = static_cast<CFStringRef>(lookUp(dict, key, CFStringGetTypeID()));
    WDL_TypedBuf<char> utf8;
    if (!value || !CopyUTF8(value, &utf8)) return false;

    size_t length = std::strlen(utf8.Get());
    if (length > static_cast<size_t>(outSize - 1)) {
        length = static_cast<size_t>(outSize - 1);
        // Back off to the start of the character the cut fell into.
        while (length > 0 && (static_cast<unsigned char>(utf8.Get()[length]) & 0xC0) == 0x80) {
            --length;
        }
    }
    std::memcpy(out, utf8.Get(), length);
    out[length] = 0;
    return true;
}

bool GetDataFromDict(CFDictionaryRef dict, const char* key, ByteChunk* chunk) {
    auto value = static_cast<CFDataRef>(lookUp(dict, key, CFDataGetTypeID()));
    if (!value) return false;
    const CFIndex length = CFDataGetLength(value);
    if (length < 0 || length > 0x7fffffff || !chunk->Resize(static_cast<int>(length))) return false;
    if (length > 0) std::memcpy(chunk->GetBytes(), CFDataGetBytePtr(value), length);
    return true;
}

bool GetSInt32FromDict(CFDictionaryRef dict, const char* key, SInt32* value) {
    auto number = static_cast<CFNumberRef>(lookUp(dict, key, CFNumberGetTypeID()));
    return number && CFNumberGetValue(number, kCFNumberSInt32Type, value);
}

void PutStrInDict(CFMutableDictionaryRef dict, const char* key, const char* text) {
    put(dict, key, CFStringCreateWithCString(nullptr, text ? text : "", kCFStringEncodingUTF8));
}

void PutDataInDict(CFMutableDictionaryRef dict, const char* key, const ByteChunk* chunk) {
    put(dict, key, CFDataCreate(nullptr, chunk->GetBytes(), chunk->Size()));
}

void PutSInt32InDict(CFMutableDictionaryRef dict, const char* key, SInt32 value) {
    put(dict, key, CFNumberCreate(nullptr, kCFNumberSInt32Type, &value));
}
