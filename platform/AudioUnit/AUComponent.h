#pragma once

// Audio Units as components: the unit types, the types of property, scope, element and
// parameter identifiers, the component selectors, the status codes, and the host-side calls.
// Each call packs its arguments into a ComponentParameters block (see
// <CoreServices/Components.h>) and sends it to the unit's entry with the unit's storage; the
// unit's status comes back unchanged. A NULL or closed unit answers badComponentInstance.
#include <CoreAudio/CoreAudioTypes.h>
#include <CoreServices/CoreServices.h>
#include <MacTypes.h>

GRINDVOX_EXTERN_C_BEGIN

typedef ComponentInstance AudioUnit;

enum {
    kAudioUnitType_Output = 'auou',
    kAudioUnitType_MusicDevice = 'aumu',
    kAudioUnitType_MusicEffect = 'aumf',
    kAudioUnitType_FormatConverter = 'aufc',
    kAudioUnitType_Effect = 'aufx',
    kAudioUnitType_Mixer = 'aumx',
    kAudioUnitType_Panner = 'aupn',
    kAudioUnitType_OfflineEffect = 'auol',
    kAudioUnitType_Generator = 'augn'
};

enum { kAudioUnitManufacturer_Apple = 'appl' };

typedef UInt32 AudioUnitPropertyID;
typedef UInt32 AudioUnitScope;
typedef UInt32 AudioUnitElement;
typedef UInt32 AudioUnitParameterID;
typedef Float32 AudioUnitParameterValue;

typedef UInt32 AUParameterEventType;
enum { kParameterEvent_Immediate = 1, kParameterEvent_Ramped = 2 };

typedef struct AudioUnitParameterEvent {
    AudioUnitScope scope;
    AudioUnitElement element;
    AudioUnitParameterID parameter;
    AUParameterEventType eventType;
    union {
        struct {
            SInt32 startBufferOffset;
            UInt32 durationInFrames;
            AudioUnitParameterValue startValue;
            AudioUnitParameterValue endValue;
        } ramp;
        struct {
            UInt32 bufferOffset;
            AudioUnitParameterValue value;
        } immediate;
    } eventValues;
} AudioUnitParameterEvent;

// One parameter of one unit, as events name it.
typedef struct AudioUnitParameter {
    AudioUnit mAudioUnit;
    AudioUnitParameterID mParameterID;
    AudioUnitScope mScope;
    AudioUnitElement mElement;
} AudioUnitParameter;

// One property of one unit, as events name it.
typedef struct AudioUnitProperty {
    AudioUnit mAudioUnit;
    AudioUnitPropertyID mPropertyID;
    AudioUnitScope mScope;
    AudioUnitElement mElement;
} AudioUnitProperty;

typedef UInt32 AudioUnitRenderActionFlags;
enum {
    kAudioUnitRenderAction_PreRender = (1U << 2),
    kAudioUnitRenderAction_PostRender = (1U << 3),
    kAudioUnitRenderAction_OutputIsSilence = (1U << 4),
    kAudioOfflineUnitRenderAction_Preflight = (1U << 5),
    kAudioOfflineUnitRenderAction_Render = (1U << 6),
    kAudioOfflineUnitRenderAction_Complete = (1U << 7),
    kAudioUnitRenderAction_PostRenderError = (1U << 8),
    kAudioUnitRenderAction_DoNotCheckRenderArgs = (1U << 9)
};

// Input callbacks and render notifiers.
typedef OSStatus (*AURenderCallback)(void* inRefCon, AudioUnitRenderActionFlags* ioActionFlags,
                                     const AudioTimeStamp* inTimeStamp, UInt32 inBusNumber,
                                     UInt32 inNumberFrames, AudioBufferList* ioData);

typedef void (*AudioUnitPropertyListenerProc)(void* inRefCon, AudioUnit inUnit,
                                              AudioUnitPropertyID inID, AudioUnitScope inScope,
                                              AudioUnitElement inElement);

enum {
    kAudioUnitErr_InvalidProperty = -10879,
    kAudioUnitErr_InvalidParameter = -10878,
    kAudioUnitErr_InvalidElement = -10877,
    kAudioUnitErr_NoConnection = -10876,
    kAudioUnitErr_FailedInitialization = -10875,
    kAudioUnitErr_TooManyFramesToProcess = -10874,
    kAudioUnitErr_InvalidFile = -10871,
    kAudioUnitErr_FormatNotSupported = -10868,
    kAudioUnitErr_Uninitialized = -10867,
    kAudioUnitErr_InvalidScope = -10866,
    kAudioUnitErr_PropertyNotWritable = -10865,
    kAudioUnitErr_CannotDoInCurrentContext = -10863,
    kAudioUnitErr_InvalidPropertyValue = -10851,
    kAudioUnitErr_PropertyNotInUse = -10850,
    kAudioUnitErr_Initialized = -10849,
    kAudioUnitErr_InvalidOfflineRender = -10848,
    kAudioUnitErr_Unauthorized = -10847
};

enum {
    kAudioUnitRange = 0x0000,
    kAudioUnitInitializeSelect = 0x0001,
    kAudioUnitUninitializeSelect = 0x0002,
    kAudioUnitGetPropertyInfoSelect = 0x0003,
    kAudioUnitGetPropertySelect = 0x0004,
    kAudioUnitSetPropertySelect = 0x0005,
    kAudioUnitGetParameterSelect = 0x0006,
    kAudioUnitSetParameterSelect = 0x0007,
    kAudioUnitResetSelect = 0x0009,
    kAudioUnitAddPropertyListenerSelect = 0x000A,
    kAudioUnitRemovePropertyListenerSelect = 0x000B,
    kAudioUnitRenderSelect = 0x000E,
    kAudioUnitAddRenderNotifySelect = 0x000F,
    kAudioUnitRemoveRenderNotifySelect = 0x0010,
    kAudioUnitScheduleParametersSelect = 0x0011,
    kAudioUnitRemovePropertyListenerWithUserDataSelect = 0x0012
};

// The fast-dispatch forms (kAudioUnitProperty_FastDispatch): called directly with the unit's
// storage instead of through its entry.
typedef OSStatus (*AudioUnitGetParameterProc)(void* inComponentStorage, AudioUnitParameterID inID,
                                              AudioUnitScope inScope, AudioUnitElement inElement,
                                              AudioUnitParameterValue* outValue);
typedef OSStatus (*AudioUnitSetParameterProc)(void* inComponentStorage, AudioUnitParameterID inID,
                                              AudioUnitScope inScope, AudioUnitElement inElement,
                                              AudioUnitParameterValue inValue,
                                              UInt32 inBufferOffsetInFrames);
typedef OSStatus (*AudioUnitRenderProc)(void* inComponentStorage,
                                        AudioUnitRenderActionFlags* ioActionFlags,
                                        const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber,
                                        UInt32 inNumberFrames, AudioBufferList* ioData);

GRINDVOX_PLATFORM_API OSStatus AudioUnitInitialize(AudioUnit inUnit);
GRINDVOX_PLATFORM_API OSStatus AudioUnitUninitialize(AudioUnit inUnit);
GRINDVOX_PLATFORM_API OSStatus AudioUnitGetPropertyInfo(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                        AudioUnitScope inScope,
                                                        AudioUnitElement inElement,
                                                        UInt32* outDataSize, Boolean* outWritable);
GRINDVOX_PLATFORM_API OSStatus AudioUnitGetProperty(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                    AudioUnitScope inScope,
                                                    AudioUnitElement inElement, void* outData,
                                                    UInt32* ioDataSize);
GRINDVOX_PLATFORM_API OSStatus AudioUnitSetProperty(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                    AudioUnitScope inScope,
                                                    AudioUnitElement inElement, const void* inData,
                                                    UInt32 inDataSize);
GRINDVOX_PLATFORM_API OSStatus AudioUnitAddPropertyListener(AudioUnit inUnit,
                                                            AudioUnitPropertyID inID,
                                                            AudioUnitPropertyListenerProc inProc,
                                                            void* inProcUserData);
GRINDVOX_PLATFORM_API OSStatus AudioUnitRemovePropertyListener(
    AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitPropertyListenerProc inProc);
GRINDVOX_PLATFORM_API OSStatus AudioUnitRemovePropertyListenerWithUserData(
    AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitPropertyListenerProc inProc,
    void* inProcUserData);
GRINDVOX_PLATFORM_API OSStatus AudioUnitAddRenderNotify(AudioUnit inUnit, AURenderCallback inProc,
                                                        void* inProcUserData);
GRINDVOX_PLATFORM_API OSStatus AudioUnitRemoveRenderNotify(AudioUnit inUnit,
                                                           AURenderCallback inProc,
                                                           void* inProcUserData);
GRINDVOX_PLATFORM_API OSStatus AudioUnitGetParameter(AudioUnit inUnit, AudioUnitParameterID inID,
                                                     AudioUnitScope inScope,
                                                     AudioUnitElement inElement,
                                                     AudioUnitParameterValue* outValue);
GRINDVOX_PLATFORM_API OSStatus AudioUnitSetParameter(AudioUnit inUnit, AudioUnitParameterID inID,
                                                     AudioUnitScope inScope,
                                                     AudioUnitElement inElement,
                                                     AudioUnitParameterValue inValue,
                                                     UInt32 inBufferOffsetInFrames);
GRINDVOX_PLATFORM_API OSStatus AudioUnitScheduleParameters(
    AudioUnit inUnit, const AudioUnitParameterEvent* inParameterEvent, UInt32 inNumParamEvents);
// Allocates nothing and takes no lock of the Component Manager's own beyond a short look-up.
GRINDVOX_PLATFORM_API OSStatus AudioUnitRender(AudioUnit inUnit,
                                               AudioUnitRenderActionFlags* ioActionFlags,
                                               const AudioTimeStamp* inTimeStamp,
                                               UInt32 inOutputBusNumber, UInt32 inNumberFrames,
                                               AudioBufferList* ioData);
GRINDVOX_PLATFORM_API OSStatus AudioUnitReset(AudioUnit inUnit, AudioUnitScope inScope,
                                              AudioUnitElement inElement);

GRINDVOX_EXTERN_C_END
