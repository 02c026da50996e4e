#pragma once

// The run loop type and its mode names, for the calls that take them (event listeners). The run
// loop itself, with its timers, is not part of this platform yet: listeners are called at once
// on the posting thread, whatever run loop they name.
#include <CoreFoundation/CFBase.h>

CF_EXTERN_C_BEGIN

typedef struct __CFRunLoop* CFRunLoopRef;

CF_EXPORT const CFStringRef kCFRunLoopDefaultMode;
CF_EXPORT const CFStringRef kCFRunLoopCommonModes;

CF_EXTERN_C_END
