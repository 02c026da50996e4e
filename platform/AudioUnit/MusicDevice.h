#pragma once

// Music devices (instruments): MIDI events and notes sent to a unit. Effects may accept the
// MIDI event call too.
#include <AudioUnit/AUComponent.h>
#include <MacTypes.h>

GRINDVOX_EXTERN_C_BEGIN

typedef UInt32 MusicDeviceInstrumentID;
typedef UInt32 MusicDeviceGroupID;
typedef UInt32 NoteInstanceID;
typedef AudioUnit MusicDeviceComponent;

enum { kMusicNoteEvent_UseGroupInstrument = 0xFFFFFFFF, kMusicNoteEvent_Unused = 0xFFFFFFFF };

typedef struct NoteParamsControlValue {
    AudioUnitParameterID mID;
    AudioUnitParameterValue mValue;
} NoteParamsControlValue;

// argCount counts mPitch, mVelocity and the control values that follow.
typedef struct MusicDeviceNoteParams {
    UInt32 argCount;
    Float32 mPitch;
    Float32 mVelocity;
    NoteParamsControlValue mControls[1];
} MusicDeviceNoteParams;

enum {
    kMusicDeviceRange = 0x0100,
    kMusicDeviceMIDIEventSelect = 0x0101,
    kMusicDeviceSysExSelect = 0x0102,
    kMusicDevicePrepareInstrumentSelect = 0x0103,
    kMusicDeviceReleaseInstrumentSelect = 0x0104,
    kMusicDeviceStartNoteSelect = 0x0105,
    kMusicDeviceStopNoteSelect = 0x0106
};

typedef OSStatus (*MusicDeviceMIDIEventProc)(void* inComponentStorage, UInt32 inStatus,
                                             UInt32 inData1, UInt32 inData2,
                                             UInt32 inOffsetSampleFrame);

GRINDVOX_PLATFORM_API OSStatus MusicDeviceMIDIEvent(MusicDeviceComponent inUnit, UInt32 inStatus,
                                                    UInt32 inData1, UInt32 inData2,
                                                    UInt32 inOffsetSampleFrame);
GRINDVOX_PLATFORM_API OSStatus MusicDeviceSysEx(MusicDeviceComponent inUnit, const UInt8* inData,
                                                UInt32 inLength);
GRINDVOX_PLATFORM_API OSStatus MusicDevicePrepareInstrument(MusicDeviceComponent inUnit,
                                                            MusicDeviceInstrumentID inInstrument);
GRINDVOX_PLATFORM_API OSStatus MusicDeviceReleaseInstrument(MusicDeviceComponent inUnit,
                                                            MusicDeviceInstrumentID inInstrument);
GRINDVOX_PLATFORM_API OSStatus MusicDeviceStartNote(MusicDeviceComponent inUnit,
                                                    MusicDeviceInstrumentID inInstrument,
                                                    MusicDeviceGroupID inGroupID,
                                                    NoteInstanceID* outNoteInstanceID,
                                                    UInt32 inOffsetSampleFrame,
                                                    const MusicDeviceNoteParams* inParams);
GRINDVOX_PLATFORM_API OSStatus MusicDeviceStopNote(MusicDeviceComponent inUnit,
                                                   MusicDeviceGroupID inGroupID,
                                                   NoteInstanceID inNoteInstanceID,
                                                   UInt32 inOffsetSampleFrame);

GRINDVOX_EXTERN_C_END
