#include "CoreFoundation/CFRuntime_p.h"

#include <CoreFoundation/CFBundle.h>
#include <CoreFoundation/CFBundleRegistry.h>
#include <CoreFoundation/CFPropertyList.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sys/stat.h>

// A registered bundle: its identifier, its folder and its Info.plist. Bundles are immortal and
// owned by the registry, a list in registration order under one lock.
struct __CFBundle {
    CFRuntimeBase base;
    CFStringRef identifier;
    CFURLRef url;
    CFDictionaryRef info;
    __CFBundle* next;
};

namespace {

CFStringRef bundleCopyDescription(CFTypeRef cf) {
    auto* bundle = static_cast<const __CFBundle*>(cf);
    return CFStringCreateWithFormat(nullptr, nullptr, CFSTR("CFBundle <%@> (%@)"), bundle->url,
                                    bundle->identifier);
}

const CFRuntimeClass kBundleClass = {kCFRuntimeIDBundle,   "CFBundle", nullptr, nullptr, nullptr,
                                     bundleCopyDescription};

std::mutex gBundleMutex;
__CFBundle* gBundles = nullptr;
__CFBundle* gMainBundle = nullptr;

const __CFBundle* asBundle(CFBundleRef bundle) {
    return CFRuntimeIsA(bundle, &kBundleClass) ? bundle : nullptr;
}

// Reads path (a NUL-terminated file name) whole; NULL when it cannot.
CFDataRef readFile(const char* path) {
    FILE* file = fopen(path, "rb");
    if (!file) return nullptr;
    CFMutableDataRef data = CFDataCreateMutable(nullptr, 0);
    char chunk[4096];
    size_t count;
    bool ok = data != nullptr;
    while (ok && (count = fread(chunk, 1, sizeof chunk, file)) > 0) {
        CFIndex before = CFDataGetLength(data);
        CFDataAppendBytes(data, reinterpret_cast<const UInt8*>(chunk), static_cast<CFIndex>(count));
        ok = CFDataGetLength(data) == before + static_cast<CFIndex>(count);
    }
    ok = ok && !ferror(file);
    fclose(file);
    if (!ok && data) {
        CFRelease(data);
        return nullptr;
    }
    return data;
}

// Contents/Info.plist of the bundle folder as a dictionary, or an empty dictionary.
CFDictionaryRef readInfo(const char* folder) {
    size_t length = strlen(folder);
    char* path = static_cast<char*>(malloc(length + sizeof "/Contents/Info.plist"));
    CFDictionaryRef info = nullptr;
    if (path) {
        memcpy(path, folder, length);
        memcpy(path + length, "/Contents/Info.plist", sizeof "/Contents/Info.plist");
        CFDataRef data = readFile(path);
        free(path);
        if (data) {
            CFPropertyListRef plist = CFPropertyListCreateWithData(
                nullptr, data, kCFPropertyListImmutable, nullptr, nullptr);
            CFRelease(data);
            if (plist && CFGetTypeID(plist) == CFDictionaryGetTypeID())
                info = static_cast<CFDictionaryRef>(plist);
            else if (plist)
                CFRelease(plist);
        }
    }
    if (!info)
        info = CFDictionaryCreate(nullptr, nullptr, nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                  &kCFTypeDictionaryValueCallBacks);
    return info;
}

__CFBundle* findLocked(CFStringRef identifier) {
    for (__CFBundle* bundle = gBundles; bundle; bundle = bundle->next) {
        if (CFEqual(bundle->identifier, identifier)) return bundle;
    }
    return nullptr;
}

CFBundleRef registerBundle(const char* identifier, const char* path, bool makeMain) {
    if (!identifier || !*identifier || !path || !*path) return nullptr;
    CFStringRef id = CFStringCreateWithCString(nullptr, identifier, kCFStringEncodingUTF8);
    if (!id) return nullptr;
    {
        std::lock_guard<std::mutex> lock(gBundleMutex);
        if (__CFBundle* existing = findLocked(id)) {
            CFRelease(id);
            if (makeMain) gMainBundle = existing;
            return existing;
        }
    }
    // Built outside the lock: reading Info.plist may take a while.
    auto* bundle =
        static_cast<__CFBundle*>(CFRuntimeCreateInstance(&kBundleClass, sizeof(__CFBundle)));
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(
        nullptr, reinterpret_cast<const UInt8*>(path), static_cast<CFIndex>(strlen(path)), true);
    CFDictionaryRef info = readInfo(path);
    if (!bundle || !url || !info) {
        free(bundle);
        CFRelease(id);
        if (url) CFRelease(url);
        if (info) CFRelease(info);
        return nullptr;
    }
    bundle->identifier = id;
    bundle->url = url;
    bundle->info = info;
    CFRuntimeMakeImmortal(bundle);
    std::lock_guard<std::mutex> lock(gBundleMutex);
    if (__CFBundle* existing = findLocked(id)) {
        // Another thread registered the same identifier meanwhile: keep the first.
        CFRelease(id);
        CFRelease(url);
        CFRelease(info);
        free(bundle);
        if (makeMain) gMainBundle = existing;
        return existing;
    }
    bundle->next = gBundles;
    gBundles = bundle;
    if (makeMain) gMainBundle = bundle;
    return bundle;
}

bool isDirectory(CFURLRef url) {
    char path[4096];
    struct stat info;
    return CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(path),
                                            sizeof path) &&
           stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

CFBundleRef GrindvoxPlatform_RegisterBundle(const char* identifier, const char* path) {
    return registerBundle(identifier, path, false);
}

CFBundleRef GrindvoxPlatform_RegisterMainBundle(const char* identifier, const char* path) {
    return registerBundle(identifier, path, true);
}

CFTypeID CFBundleGetTypeID(void) {
    return kCFRuntimeIDBundle;
}

CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID) {
    if (!bundleID) return nullptr;
    std::lock_guard<std::mutex> lock(gBundleMutex);
    return findLocked(bundleID);
}

CFBundleRef CFBundleGetMainBundle(void) {
    std::lock_guard<std::mutex> lock(gBundleMutex);
    return gMainBundle;
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle) {
    const __CFBundle* b = asBundle(bundle);
    return b ? b->identifier : nullptr;
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle) {
    const __CFBundle* b = asBundle(bundle);
    return b ? static_cast<CFURLRef>(CFRetain(b->url)) : nullptr;
}

CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle) {
    const __CFBundle* b = asBundle(bundle);
    if (!b) return nullptr;
    CFURLRef contents =
        CFURLCreateCopyAppendingPathComponent(nullptr, b->url, CFSTR("Contents"), true);
    if (!contents) return nullptr;
    // A flat bundle (an LV2 bundle is one) keeps its resources in its own folder.
    if (!isDirectory(contents)) {
        CFRelease(contents);
        return static_cast<CFURLRef>(CFRetain(b->url));
    }
    CFURLRef resources =
        CFURLCreateCopyAppendingPathComponent(nullptr, contents, CFSTR("Resources"), true);
    CFRelease(contents);
    return resources;
}

CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName,
                                 CFStringRef resourceType, CFStringRef subDirName) {
    const char* name = CFStringUTF8(resourceName);
    if (!asBundle(bundle) || !name || !*name) return nullptr;
    const char* type = resourceType ? CFStringUTF8(resourceType) : "";
    const char* subdir = subDirName ? CFStringUTF8(subDirName) : "";
    if (!type || !subdir) return nullptr;
    if (*type == '.') ++type;
    // The name may not climb out of the resources folder.
    if (strstr(name, "..") || strstr(subdir, "..") || strstr(type, "..")) return nullptr;
    CFStringRef relative =
        CFStringCreateWithFormat(nullptr, nullptr, CFSTR("%s%s%s%s%s"), subdir, *subdir ? "/" : "",
                                 name, *type ? "." : "", type);
    if (!relative) return nullptr;
    CFURLRef resources = CFBundleCopyResourcesDirectoryURL(bundle);
    CFURLRef url = resources
                       ? CFURLCreateCopyAppendingPathComponent(nullptr, resources, relative, false)
                       : nullptr;
    CFRelease(relative);
    if (resources) CFRelease(resources);
    if (!url) return nullptr;
    char path[4096];
    struct stat info;
    if (!CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(path), sizeof path) ||
        stat(path, &info) != 0) {
        CFRelease(url);
        return nullptr;
    }
    return url;
}

CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle) {
    const __CFBundle* b = asBundle(bundle);
    return b ? b->info : nullptr;
}

CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key) {
    const __CFBundle* b = asBundle(bundle);
    return b && key ? CFDictionaryGetValue(b->info, key) : nullptr;
}
