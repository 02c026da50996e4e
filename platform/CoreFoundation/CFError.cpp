#include "CoreFoundation/CFRuntime_p.h"

#include <CoreFoundation/CFError.h>

#include <cstdio>

// An error: a domain string, a code and an optional user-info dictionary, all retained.
struct __CFError {
    CFRuntimeBase base;
    CFStringRef domain;
    CFIndex code;
    CFDictionaryRef userInfo;
};

namespace {

void errorFinalize(CFTypeRef cf) {
    auto* error = static_cast<const __CFError*>(cf);
    if (error->domain) CFRelease(error->domain);
    if (error->userInfo) CFRelease(error->userInfo);
}

CFStringRef errorCopyDescription(CFTypeRef cf) {
    auto* error = static_cast<const __CFError*>(cf);
    const char* domain = CFStringUTF8(error->domain);
    char text[256];
    int length = snprintf(text, sizeof text, "The operation couldn't be completed. (%s error %ld.)",
                          domain ? domain : "unknown", error->code);
    if (length < 0) return nullptr;
    size_t count =
        static_cast<size_t>(length) < sizeof text ? static_cast<size_t>(length) : sizeof text - 1;
    return CFStringCreateWithUTF8(text, count);
}

const CFRuntimeClass kErrorClass = {kCFRuntimeIDError, "CFError", errorFinalize,
                                    nullptr,           nullptr,   errorCopyDescription};

const __CFError* asError(CFErrorRef err) {
    return CFRuntimeIsA(err, &kErrorClass) ? err : nullptr;
}

} // namespace

const CFErrorDomain kCFErrorDomainPOSIX = CFSTR("NSPOSIXErrorDomain");
const CFErrorDomain kCFErrorDomainOSStatus = CFSTR("NSOSStatusErrorDomain");
const CFErrorDomain kCFErrorDomainCocoa = CFSTR("NSCocoaErrorDomain");

CFTypeID CFErrorGetTypeID(void) {
    return kCFRuntimeIDError;
}

CFErrorRef CFErrorCreate(CFAllocatorRef, CFErrorDomain domain, CFIndex code,
                         CFDictionaryRef userInfo) {
    if (!domain) return nullptr;
    auto* error = static_cast<__CFError*>(CFRuntimeCreateInstance(&kErrorClass, sizeof(__CFError)));
    if (!error) return nullptr;
    error->domain = static_cast<CFStringRef>(CFRetain(domain));
    error->code = code;
    error->userInfo = static_cast<CFDictionaryRef>(CFRetain(userInfo));
    return error;
}

CFErrorDomain CFErrorGetDomain(CFErrorRef err) {
    const __CFError* error = asError(err);
    return error ? error->domain : nullptr;
}

CFIndex CFErrorGetCode(CFErrorRef err) {
    const __CFError* error = asError(err);
    return error ? error->code : 0;
}

CFStringRef CFErrorCopyDescription(CFErrorRef err) {
    return asError(err) ? errorCopyDescription(err) : nullptr;
}
