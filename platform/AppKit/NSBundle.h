#pragma once

// Bundles, over CoreFoundation's registry of the bundles the process loaded.
#include <AppKit/NSObject.h>
#include <CoreFoundation/CFBundle.h>

class NSString;

class NSBundle : public NSObject {
public:
    // The registered bundle with that identifier (a new autoreleased wrapper), or nil.
    static NSBundle* bundleWithIdentifier(NSString* identifier);
    static NSBundle* mainBundle();

    NSString* bundleIdentifier() const;
    // The bundle folder.
    NSString* bundlePath() const;
    // Contents/Resources.
    NSString* resourcePath() const;
    // The module the bundle's Info.plist names (CFBundleExecutable) in Contents/Linux, or nil.
    NSString* executablePath() const;
    // The resource name.type when it exists, else nil.
    NSString* pathForResource_ofType(NSString* name, NSString* type) const;
    CFBundleRef cfBundle() const { return mBundle; }

protected:
    explicit NSBundle(CFBundleRef bundle) : mBundle(bundle) {}

private:
    CFBundleRef mBundle; // owned by the registry
};
