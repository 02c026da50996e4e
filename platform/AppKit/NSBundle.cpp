#include "CoreFoundation/CFRuntime_p.h"

#include <AppKit/NSBundle.h>
#include <AppKit/NSString.h>

#include <string>

namespace {

NSString* pathOf(CFURLRef url) {
    if (!url) return nil;
    CFStringRef path = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
    CFRelease(url);
    if (!path) return nil;
    NSString* out = NSString::stringWithCFString(path);
    CFRelease(path);
    return out;
}

NSBundle* wrap(CFBundleRef bundle);

class RegisteredBundle : public NSBundle {
public:
    explicit RegisteredBundle(CFBundleRef bundle) : NSBundle(bundle) {}
};

NSBundle* wrap(CFBundleRef bundle) {
    if (!bundle) return nil;
    return static_cast<NSBundle*>((new RegisteredBundle(bundle))->autorelease());
}

} // namespace

NSBundle* NSBundle::bundleWithIdentifier(NSString* identifier) {
    if (!identifier) return nil;
    CFStringRef cf = identifier->copyCFString();
    if (!cf) return nil;
    CFBundleRef bundle = CFBundleGetBundleWithIdentifier(cf);
    CFRelease(cf);
    return wrap(bundle);
}

NSBundle* NSBundle::mainBundle() {
    return wrap(CFBundleGetMainBundle());
}

NSString* NSBundle::bundleIdentifier() const {
    return NSString::stringWithCFString(CFBundleGetIdentifier(mBundle));
}

NSString* NSBundle::bundlePath() const {
    return pathOf(CFBundleCopyBundleURL(mBundle));
}

NSString* NSBundle::resourcePath() const {
    return pathOf(CFBundleCopyResourcesDirectoryURL(mBundle));
}

NSString* NSBundle::executablePath() const {
    CFTypeRef name = CFBundleGetValueForInfoDictionaryKey(mBundle, CFSTR("CFBundleExecutable"));
    const char* text = CFStringUTF8(static_cast<CFStringRef>(name));
    NSString* folder = bundlePath();
    if (!text || !*text || !folder) return nil;
    return NSString::stringWithUTF8String((folder->utf8() + "/Contents/Linux/" + text).c_str());
}

NSString* NSBundle::pathForResource_ofType(NSString* name, NSString* type) const {
    if (!name) return nil;
    CFStringRef cfName = name->copyCFString();
    CFStringRef cfType = type ? type->copyCFString() : nullptr;
    CFURLRef url = cfName ? CFBundleCopyResourceURL(mBundle, cfName, cfType, nullptr) : nullptr;
    if (cfName) CFRelease(cfName);
    if (cfType) CFRelease(cfType);
    return pathOf(url);
}
