#include "CoreFoundation/CFRuntime_p.h"

#include <CoreFoundation/CFURL.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

// A file URL: the absolute path (UTF-8, no trailing slash except for "/"), whether it names a
// directory, and its "file://" text, made once at creation.
struct __CFURL {
    CFRuntimeBase base;
    CFStringRef path;
    CFStringRef string;
    bool isDirectory;
};

namespace {

void urlFinalize(CFTypeRef cf) {
    auto* url = static_cast<const __CFURL*>(cf);
    CFRelease(url->path);
    CFRelease(url->string);
}

Boolean urlEqual(CFTypeRef cf1, CFTypeRef cf2) {
    return CFEqual(static_cast<const __CFURL*>(cf1)->string,
                   static_cast<const __CFURL*>(cf2)->string);
}

CFHashCode urlHash(CFTypeRef cf) {
    return CFHash(static_cast<const __CFURL*>(cf)->string);
}

CFStringRef urlCopyDescription(CFTypeRef cf) {
    return static_cast<CFStringRef>(CFRetain(static_cast<const __CFURL*>(cf)->string));
}

const CFRuntimeClass kURLClass = {kCFRuntimeIDURL, "CFURL", urlFinalize,
                                  urlEqual,        urlHash, urlCopyDescription};

const __CFURL* asURL(CFURLRef url) {
    return CFRuntimeIsA(url, &kURLClass) ? url : nullptr;
}

bool isUnreserved(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           strchr("-._~/!$&'()*+,;=:@", c);
}

// Makes a URL from a path of `length` UTF-8 bytes; relative paths are taken from the current
// directory.
CFURLRef createFromPath(const char* bytes, size_t length, bool isDirectory) {
    if (!bytes || length == 0) return nullptr;
    char* absolute = nullptr;
    size_t absoluteLength = 0;
    if (bytes[0] == '/') {
        absolute = static_cast<char*>(malloc(length + 1));
        if (!absolute) return nullptr;
        memcpy(absolute, bytes, length);
        absoluteLength = length;
    } else {
        char* cwd = getcwd(nullptr, 0);
        if (!cwd) return nullptr;
        size_t cwdLength = strlen(cwd);
        absolute = static_cast<char*>(malloc(cwdLength + 1 + length + 1));
        if (!absolute) {
            free(cwd);
            return nullptr;
        }
        memcpy(absolute, cwd, cwdLength);
        absolute[cwdLength] = '/';
        memcpy(absolute + cwdLength + 1, bytes, length);
        absoluteLength = cwdLength + 1 + length;
        free(cwd);
    }
    while (absoluteLength > 1 && absolute[absoluteLength - 1] == '/')
        --absoluteLength;
    absolute[absoluteLength] = '\0';

    // "file://" + percent-encoded path + "/" for a directory.
    char* text = static_cast<char*>(malloc(7 + absoluteLength * 3 + 2));
    if (!text) {
        free(absolute);
        return nullptr;
    }
    size_t textLength = 0;
    memcpy(text, "file://", 7);
    textLength = 7;
    for (size_t i = 0; i < absoluteLength; ++i) {
        auto c = static_cast<unsigned char>(absolute[i]);
        if (isUnreserved(c)) {
            text[textLength++] = static_cast<char>(c);
        } else {
            snprintf(text + textLength, 4, "%%%02X", c);
            textLength += 3;
        }
    }
    if (isDirectory && absoluteLength > 1) text[textLength++] = '/';

    auto* url = static_cast<__CFURL*>(CFRuntimeCreateInstance(&kURLClass, sizeof(__CFURL)));
    CFStringRef path = CFStringCreateWithUTF8(absolute, absoluteLength);
    CFStringRef string = CFStringCreateWithUTF8(text, textLength);
    free(absolute);
    free(text);
    if (!url || !path || !string) {
        if (path) CFRelease(path);
        if (string) CFRelease(string);
        if (url) CFRelease(url); // its finalizer skips the NULL fields
        return nullptr;
    }
    url->path = path;
    url->string = string;
    url->isDirectory = isDirectory;
    return url;
}

} // namespace

CFTypeID CFURLGetTypeID(void) {
    return kCFRuntimeIDURL;
}

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef, CFStringRef filePath,
                                       CFURLPathStyle pathStyle, Boolean isDirectory) {
    if (pathStyle != kCFURLPOSIXPathStyle) return nullptr;
    size_t length = 0;
    const char* bytes = CFStringUTF8(filePath, &length);
    return createFromPath(bytes, length, isDirectory);
}

CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef, const UInt8* buffer,
                                                 CFIndex bufLen, Boolean isDirectory) {
    if (!buffer || bufLen <= 0) return nullptr;
    return createFromPath(reinterpret_cast<const char*>(buffer), static_cast<size_t>(bufLen),
                          isDirectory);
}

CFStringRef CFURLCopyFileSystemPath(CFURLRef anURL, CFURLPathStyle pathStyle) {
    const __CFURL* url = asURL(anURL);
    if (!url || pathStyle != kCFURLPOSIXPathStyle) return nullptr;
    return static_cast<CFStringRef>(CFRetain(url->path));
}

Boolean CFURLGetFileSystemRepresentation(CFURLRef anURL, Boolean, UInt8* buffer,
                                         CFIndex maxBufLen) {
    const __CFURL* url = asURL(anURL);
    if (!url || !buffer || maxBufLen <= 0) return false;
    size_t length = 0;
    const char* path = CFStringUTF8(url->path, &length);
    if (length + 1 > static_cast<size_t>(maxBufLen)) return false;
    memcpy(buffer, path, length + 1);
    return true;
}

CFStringRef CFURLGetString(CFURLRef anURL) {
    const __CFURL* url = asURL(anURL);
    return url ? url->string : nullptr;
}

Boolean CFURLHasDirectoryPath(CFURLRef anURL) {
    const __CFURL* url = asURL(anURL);
    return url && url->isDirectory;
}

CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef, CFURLRef anURL,
                                               CFStringRef pathComponent, Boolean isDirectory) {
    const __CFURL* url = asURL(anURL);
    size_t componentLength = 0;
    const char* component = CFStringUTF8(pathComponent, &componentLength);
    if (!url || !component) return nullptr;
    size_t baseLength = 0;
    const char* base = CFStringUTF8(url->path, &baseLength);
    char* joined = static_cast<char*>(malloc(baseLength + 1 + componentLength + 1));
    if (!joined) return nullptr;
    memcpy(joined, base, baseLength);
    size_t length = baseLength;
    if (length == 0 || joined[length - 1] != '/') joined[length++] = '/';
    memcpy(joined + length, component, componentLength);
    length += componentLength;
    CFURLRef result = createFromPath(joined, length, isDirectory);
    free(joined);
    return result;
}

CFStringRef CFURLCopyLastPathComponent(CFURLRef anURL) {
    const __CFURL* url = asURL(anURL);
    if (!url) return nullptr;
    size_t length = 0;
    const char* path = CFStringUTF8(url->path, &length);
    if (length == 1) return static_cast<CFStringRef>(CFRetain(url->path)); // "/"
    const char* slash = strrchr(path, '/');
    const char* last = slash ? slash + 1 : path;
    return CFStringCreateWithUTF8(last, length - static_cast<size_t>(last - path));
}
