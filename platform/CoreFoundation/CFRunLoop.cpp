#include <CoreFoundation/CFRunLoop.h>
#include <CoreFoundation/CFString.h>

// The mode names are plain constant strings; they exist so that calls taking a mode compile
// and run as written for the Mac.
const CFStringRef kCFRunLoopDefaultMode = CFSTR("kCFRunLoopDefaultMode");
const CFStringRef kCFRunLoopCommonModes = CFSTR("kCFRunLoopCommonModes");
