#pragma once

// Bundles: a folder with Contents/Info.plist and Contents/Resources/, named by a
// reverse-domain identifier. The process keeps a registry of the bundles it has loaded (a host
// registers each component bundle it loads, and its own main bundle, through the functions of
// <CoreFoundation/CFBundleRegistry.h>); bundles found here are owned by the registry and live
// for the process, so Get functions return them without a reference.
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFURL.h>

CF_EXTERN_C_BEGIN

typedef struct __CFBundle* CFBundleRef;

CF_EXPORT CFTypeID CFBundleGetTypeID(void);

// The registered bundle with that identifier, or NULL.
CF_EXPORT CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID);
// The program's own bundle as its host registered it, or NULL when none was registered.
CF_EXPORT CFBundleRef CFBundleGetMainBundle(void);

CF_EXPORT CFStringRef CFBundleGetIdentifier(CFBundleRef bundle);
// The bundle folder.
CF_EXPORT CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle);
// Contents/Resources of the bundle; the bundle folder itself for a flat bundle, one with no
// Contents folder.
CF_EXPORT CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle);
// The file <resources>[/subDirName]/resourceName[.resourceType] when it exists, else
// NULL. resourceType may be NULL or empty when resourceName carries its own extension.
CF_EXPORT CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName,
                                           CFStringRef resourceType, CFStringRef subDirName);
// The bundle's Info.plist as read at registration (an empty dictionary when it had none); owned
// by the bundle.
CF_EXPORT CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle);
CF_EXPORT CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key);

CF_EXTERN_C_END
