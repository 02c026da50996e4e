#pragma once

// Carbon view components of older hosts: a component of type 'auvw' that makes a control for a
// unit's editor inside a host window.
#include <AudioUnit/AUComponent.h>
#include <AudioUnit/AudioUnitProperties.h>
#include <MacTypes.h>

GRINDVOX_EXTERN_C_BEGIN

typedef struct OpaqueWindowPtr* WindowRef;
typedef struct OpaqueControlRef* ControlRef;

typedef ComponentInstance AudioUnitCarbonView;

enum {
    kAudioUnitCarbonViewRange = 0x0300,
    kAudioUnitCarbonViewCreateSelect = 0x0301,
    kAudioUnitCarbonViewSetEventListenerSelect = 0x0302
};

// Sends kAudioUnitCarbonViewCreateSelect with its six arguments.
GRINDVOX_PLATFORM_API OSStatus AudioUnitCarbonViewCreate(AudioUnitCarbonView inView,
                                                         AudioUnit inAudioUnit, WindowRef inWindow,
                                                         ControlRef inParentControl,
                                                         const Float32Point* inLocation,
                                                         const Float32Point* inSize,
                                                         ControlRef* outControl);

GRINDVOX_EXTERN_C_END
