#pragma once

// Relocatable blocks (Handles), as the Component Manager's name and info arguments use them:
// a Handle points at a pointer to the block, so the block can be resized behind it.
#include <MacTypes.h>

GRINDVOX_EXTERN_C_BEGIN

// NULL when memory runs out or the size is negative; the new bytes are zero for
// NewHandleClear and unspecified for NewHandle.
GRINDVOX_PLATFORM_API Handle NewHandle(Size byteCount);
GRINDVOX_PLATFORM_API Handle NewHandleClear(Size byteCount);
GRINDVOX_PLATFORM_API void DisposeHandle(Handle h);
GRINDVOX_PLATFORM_API Size GetHandleSize(Handle h);
// Keeps the bytes that fit; on failure the handle keeps its block and MemError answers
// memFullErr.
GRINDVOX_PLATFORM_API void SetHandleSize(Handle h, Size newSize);
// The result of the last memory call on this thread: noErr, memFullErr or nilHandleErr.
GRINDVOX_PLATFORM_API OSErr MemError(void);

GRINDVOX_EXTERN_C_END
