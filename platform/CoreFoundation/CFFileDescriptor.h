#pragma once

// A file descriptor watched by a run loop. Its callbacks are one-shot, as on the Mac: after
// the callout for a readable descriptor runs, reading is watched again only once the callout
// (or anyone) enables it again with CFFileDescriptorEnableCallBacks.
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFRunLoop.h>

CF_EXTERN_C_BEGIN

typedef int CFFileDescriptorNativeDescriptor;
typedef struct __CFFileDescriptor* CFFileDescriptorRef;

enum { kCFFileDescriptorReadCallBack = 1UL << 0, kCFFileDescriptorWriteCallBack = 1UL << 1 };

typedef void (*CFFileDescriptorCallBack)(CFFileDescriptorRef f, CFOptionFlags callBackTypes,
                                         void* info);

typedef struct {
    CFIndex version;
    void* info;
    void* (*retain)(void* info);
    void (*release)(void* info);
    CFStringRef (*copyDescription)(void* info);
} CFFileDescriptorContext;

// NULL for a negative descriptor. With closeOnInvalidate, invalidating closes the descriptor.
CF_EXPORT CFFileDescriptorRef CFFileDescriptorCreate(CFAllocatorRef allocator,
                                                     CFFileDescriptorNativeDescriptor fd,
                                                     Boolean closeOnInvalidate,
                                                     CFFileDescriptorCallBack callout,
                                                     const CFFileDescriptorContext* context);
CF_EXPORT CFFileDescriptorNativeDescriptor
CFFileDescriptorGetNativeDescriptor(CFFileDescriptorRef f);
CF_EXPORT void CFFileDescriptorEnableCallBacks(CFFileDescriptorRef f, CFOptionFlags callBackTypes);
CF_EXPORT void CFFileDescriptorDisableCallBacks(CFFileDescriptorRef f, CFOptionFlags callBackTypes);
CF_EXPORT void CFFileDescriptorInvalidate(CFFileDescriptorRef f);
CF_EXPORT Boolean CFFileDescriptorIsValid(CFFileDescriptorRef f);
// The source to add to a run loop; a new reference. One descriptor has one source.
CF_EXPORT CFRunLoopSourceRef CFFileDescriptorCreateRunLoopSource(CFAllocatorRef allocator,
                                                                 CFFileDescriptorRef f,
                                                                 CFIndex order);

CF_EXTERN_C_END
