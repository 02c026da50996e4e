#pragma once

#include <CoreGraphics/CGBase.h>

typedef struct CGDataProvider* CGDataProviderRef;

typedef void (*CGDataProviderReleaseDataCallback)(void* info, const void* data, size_t size);

CG_EXTERN_C_BEGIN

// A provider reading size bytes at data, which stay the caller's until the provider's last
// release calls releaseData (when given). The caller releases the provider.
CG_EXTERN CGDataProviderRef CGDataProviderCreateWithData(
    void* info, const void* data, size_t size, CGDataProviderReleaseDataCallback releaseData);
CG_EXTERN CGDataProviderRef CGDataProviderRetain(CGDataProviderRef provider);
CG_EXTERN void CGDataProviderRelease(CGDataProviderRef provider);

CG_EXTERN_C_END
