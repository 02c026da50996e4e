#include "CoreServices/Components_p.h"

#include <AudioUnit/AudioUnit.h>

// The host side of the Audio Unit API: each call is its selector and its arguments, in the
// published order, sent to the unit's entry.

OSStatus AudioUnitInitialize(AudioUnit inUnit) {
    return GrindvoxCallInstance(inUnit, kAudioUnitInitializeSelect);
}

OSStatus AudioUnitUninitialize(AudioUnit inUnit) {
    return GrindvoxCallInstance(inUnit, kAudioUnitUninitializeSelect);
}

OSStatus AudioUnitGetPropertyInfo(AudioUnit inUnit, AudioUnitPropertyID inID,
                                  AudioUnitScope inScope, AudioUnitElement inElement,
                                  UInt32* outDataSize, Boolean* outWritable) {
    return GrindvoxCallInstance(inUnit, kAudioUnitGetPropertyInfoSelect, inID, inScope, inElement,
                                outDataSize, outWritable);
}

OSStatus AudioUnitGetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                              AudioUnitElement inElement, void* outData, UInt32* ioDataSize) {
    return GrindvoxCallInstance(inUnit, kAudioUnitGetPropertySelect, inID, inScope, inElement,
                                outData, ioDataSize);
}

OSStatus AudioUnitSetProperty(AudioUnit inUnit, AudioUnitPropertyID inID, AudioUnitScope inScope,
                              AudioUnitElement inElement, const void* inData, UInt32 inDataSize) {
    return GrindvoxCallInstance(inUnit, kAudioUnitSetPropertySelect, inID, inScope, inElement,
                                inData, inDataSize);
}

OSStatus AudioUnitAddPropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                      AudioUnitPropertyListenerProc inProc, void* inProcUserData) {
    return GrindvoxCallInstance(inUnit, kAudioUnitAddPropertyListenerSelect, inID, inProc,
                                inProcUserData);
}

OSStatus AudioUnitRemovePropertyListener(AudioUnit inUnit, AudioUnitPropertyID inID,
                                         AudioUnitPropertyListenerProc inProc) {
    return GrindvoxCallInstance(inUnit, kAudioUnitRemovePropertyListenerSelect, inID, inProc);
}

OSStatus AudioUnitRemovePropertyListenerWithUserData(AudioUnit inUnit, AudioUnitPropertyID inID,
                                                     AudioUnitPropertyListenerProc inProc,
                                                     void* inProcUserData) {
    return GrindvoxCallInstance(inUnit, kAudioUnitRemovePropertyListenerWithUserDataSelect, inID,
                                inProc, inProcUserData);
}

OSStatus AudioUnitAddRenderNotify(AudioUnit inUnit, AURenderCallback inProc, void* inProcUserData) {
    return GrindvoxCallInstance(inUnit, kAudioUnitAddRenderNotifySelect, inProc, inProcUserData);
}

OSStatus AudioUnitRemoveRenderNotify(AudioUnit inUnit, AURenderCallback inProc,
                                     void* inProcUserData) {
    return GrindvoxCallInstance(inUnit, kAudioUnitRemoveRenderNotifySelect, inProc, inProcUserData);
}

OSStatus AudioUnitGetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                               AudioUnitElement inElement, AudioUnitParameterValue* outValue) {
    return GrindvoxCallInstance(inUnit, kAudioUnitGetParameterSelect, inID, inScope, inElement,
                                outValue);
}

OSStatus AudioUnitSetParameter(AudioUnit inUnit, AudioUnitParameterID inID, AudioUnitScope inScope,
                               AudioUnitElement inElement, AudioUnitParameterValue inValue,
                               UInt32 inBufferOffsetInFrames) {
    return GrindvoxCallInstance(inUnit, kAudioUnitSetParameterSelect, inID, inScope, inElement,
                                inValue, inBufferOffsetInFrames);
}

OSStatus AudioUnitScheduleParameters(AudioUnit inUnit,
                                     const AudioUnitParameterEvent* inParameterEvent,
                                     UInt32 inNumParamEvents) {
    return GrindvoxCallInstance(inUnit, kAudioUnitScheduleParametersSelect, inParameterEvent,
                                inNumParamEvents);
}

OSStatus AudioUnitRender(AudioUnit inUnit, AudioUnitRenderActionFlags* ioActionFlags,
                         const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber,
                         UInt32 inNumberFrames, AudioBufferList* ioData) {
    return GrindvoxCallInstance(inUnit, kAudioUnitRenderSelect, ioActionFlags, inTimeStamp,
                                inOutputBusNumber, inNumberFrames, ioData);
}

OSStatus AudioUnitReset(AudioUnit inUnit, AudioUnitScope inScope, AudioUnitElement inElement) {
    return GrindvoxCallInstance(inUnit, kAudioUnitResetSelect, inScope, inElement);
}

OSStatus AudioUnitCarbonViewCreate(AudioUnitCarbonView inView, AudioUnit inAudioUnit,
                                   WindowRef inWindow, ControlRef inParentControl,
                                   const Float32Point* inLocation, const Float32Point* inSize,
                                   ControlRef* outControl) {
    return GrindvoxCallInstance(inView, kAudioUnitCarbonViewCreateSelect, inAudioUnit, inWindow,
                                inParentControl, inLocation, inSize, outControl);
}
