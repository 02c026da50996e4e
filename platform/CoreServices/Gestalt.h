#pragma once

// Asking the system what it is. The system version answers 10.6.8 (0x1068 in BCD for
// gestaltSystemVersion).
#include <CoreServices/MacErrors.h>
#include <MacTypes.h>

GRINDVOX_EXTERN_C_BEGIN

enum {
    gestaltSystemVersion = 'sysv',
    gestaltSystemVersionMajor = 'sys1',
    gestaltSystemVersionMinor = 'sys2',
    gestaltSystemVersionBugFix = 'sys3'
};

// noErr with *response set, or gestaltUndefSelectorErr for a selector not listed above
// (paramErr for a NULL response).
GRINDVOX_PLATFORM_API OSErr Gestalt(OSType selector, SInt32* response);

GRINDVOX_EXTERN_C_END
