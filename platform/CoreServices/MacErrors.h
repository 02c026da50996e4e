#pragma once

// Status codes of the Component Manager, the memory manager and CoreFoundation glue.
#include <MacTypes.h>

enum {
    paramErr = -50,
    memFullErr = -108,
    nilHandleErr = -109,
    memWZErr = -111,
    invalidComponentID = -3000,
    validInstancesExist = -3001,
    componentNotCaptured = -3002,
    componentDontRegister = -3003,
    unresolvedComponentDLLErr = -3004,
    retryComponentRegistrationErr = -3005,
    coreFoundationUnknownErr = -4960,
    gestaltUnknownErr = -5550,
    gestaltUndefSelectorErr = -5551,
    badComponentInstance = (int)0x80008001,
    badComponentSelector = (int)0x80008002
};
