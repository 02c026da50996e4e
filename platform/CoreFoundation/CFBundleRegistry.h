#pragma once

// Not part of Apple's CoreFoundation: how a Linux host tells the platform which bundles it has
// loaded. On the Mac the system knows every loaded bundle and the program's own; here the host
// says so, once per bundle, before the bundle's code asks for itself by identifier:
//
//     GrindvoxPlatform_RegisterBundle("com.example.audiounit.Thing", "/path/Thing.component");
//     GrindvoxPlatform_RegisterMainBundle("com.example.host", "/path/to/host");
//
// Registering reads Contents/Info.plist when there is one. The registry owns its bundles for the
// life of the process; registering an identifier again answers the bundle already registered.
#include <CoreFoundation/CFBundle.h>

CF_EXTERN_C_BEGIN

// The bundle registered for identifier (not retained: the registry owns it), or NULL when an
// argument is NULL or empty or memory runs out.
CF_EXPORT CFBundleRef GrindvoxPlatform_RegisterBundle(const char* identifier, const char* path);
// Registers the bundle as above and makes it the main bundle.
CF_EXPORT CFBundleRef GrindvoxPlatform_RegisterMainBundle(const char* identifier, const char* path);

CF_EXTERN_C_END
