#pragma once

// Event listeners: hosts learn of parameter changes and gestures (and property changes) posted
// by units or by other listeners. A listener receives the events it added, matched by event
// type, unit, ID, scope and element (kAUParameterListener_AnyParameter matches every
// parameter). Delivery is synchronous, on the posting thread, before AUEventListenerNotify
// returns; the run loop, interval and granularity given at creation are accepted and ignored.
// Registration, removal and disposal are thread-safe; a listener may be called once more by a
// notification already under way on another thread while it is being disposed.
#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>
#include <MacTypes.h>

GRINDVOX_EXTERN_C_BEGIN

typedef struct AUListenerBase* AUParameterListenerRef;
typedef AUParameterListenerRef AUEventListenerRef;

enum { kAUParameterListener_AnyParameter = 0xFFFFFFFF };

typedef UInt32 AudioUnitEventType;
enum {
    kAudioUnitEvent_ParameterValueChange = 0,
    kAudioUnitEvent_BeginParameterChangeGesture = 1,
    kAudioUnitEvent_EndParameterChangeGesture = 2,
    kAudioUnitEvent_PropertyChange = 3
};

typedef struct AudioUnitEvent {
    AudioUnitEventType mEventType;
    union {
        AudioUnitParameter mParameter;
        AudioUnitProperty mProperty;
    } mArgument;
} AudioUnitEvent;

// inParameterValue is the parameter's value as the unit reports it when the event is
// delivered (0 for property events); inEventHostTime is a monotonic clock in nanoseconds.
typedef void (*AUEventListenerProc)(void* inCallbackRefCon, void* inObject,
                                    const AudioUnitEvent* inEvent, UInt64 inEventHostTime,
                                    AudioUnitParameterValue inParameterValue);

// paramErr for a NULL procedure or output; memFullErr when memory runs out.
GRINDVOX_PLATFORM_API OSStatus AUEventListenerCreate(AUEventListenerProc inProc, void* inUserData,
                                                     CFRunLoopRef inRunLoop,
                                                     CFStringRef inRunLoopMode,
                                                     Float32 inNotificationInterval,
                                                     Float32 inNotificationGranularity,
                                                     AUEventListenerRef* outListener);
// Events are delivered with inObject as their object. Adding the same registration twice
// keeps one.
GRINDVOX_PLATFORM_API OSStatus AUEventListenerAddEventType(AUEventListenerRef inListener,
                                                           void* inObject,
                                                           const AudioUnitEvent* inEvent);
GRINDVOX_PLATFORM_API OSStatus AUEventListenerRemoveEventType(AUEventListenerRef inListener,
                                                              void* inObject,
                                                              const AudioUnitEvent* inEvent);
// Delivers the event to every matching registration, except those of inSendingListener.
// inSendingObject is not used for filtering.
GRINDVOX_PLATFORM_API OSStatus AUEventListenerNotify(AUEventListenerRef inSendingListener,
                                                     void* inSendingObject,
                                                     const AudioUnitEvent* inEvent);
// Removes every registration of the listener and frees it.
GRINDVOX_PLATFORM_API OSStatus AUListenerDispose(AUParameterListenerRef inListener);

GRINDVOX_EXTERN_C_END
