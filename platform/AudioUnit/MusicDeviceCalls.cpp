#include "CoreServices/Components_p.h"

#include <AudioUnit/MusicDevice.h>

// The host side of the music-device calls, packed like every other unit call.

OSStatus MusicDeviceMIDIEvent(MusicDeviceComponent inUnit, UInt32 inStatus, UInt32 inData1,
                              UInt32 inData2, UInt32 inOffsetSampleFrame) {
    return GrindvoxCallInstance(inUnit, kMusicDeviceMIDIEventSelect, inStatus, inData1, inData2,
                                inOffsetSampleFrame);
}

OSStatus MusicDeviceSysEx(MusicDeviceComponent inUnit, const UInt8* inData, UInt32 inLength) {
    return GrindvoxCallInstance(inUnit, kMusicDeviceSysExSelect, inData, inLength);
}

OSStatus MusicDevicePrepareInstrument(MusicDeviceComponent inUnit,
                                      MusicDeviceInstrumentID inInstrument) {
    return GrindvoxCallInstance(inUnit, kMusicDevicePrepareInstrumentSelect, inInstrument);
}

OSStatus MusicDeviceReleaseInstrument(MusicDeviceComponent inUnit,
                                      MusicDeviceInstrumentID inInstrument) {
    return GrindvoxCallInstance(inUnit, kMusicDeviceReleaseInstrumentSelect, inInstrument);
}

OSStatus MusicDeviceStartNote(MusicDeviceComponent inUnit, MusicDeviceInstrumentID inInstrument,
                              MusicDeviceGroupID inGroupID, NoteInstanceID* outNoteInstanceID,
                              UInt32 inOffsetSampleFrame, const MusicDeviceNoteParams* inParams) {
    return GrindvoxCallInstance(inUnit, kMusicDeviceStartNoteSelect, inInstrument, inGroupID,
                                outNoteInstanceID, inOffsetSampleFrame, inParams);
}

OSStatus MusicDeviceStopNote(MusicDeviceComponent inUnit, MusicDeviceGroupID inGroupID,
                             NoteInstanceID inNoteInstanceID, UInt32 inOffsetSampleFrame) {
    return GrindvoxCallInstance(inUnit, kMusicDeviceStopNoteSelect, inGroupID, inNoteInstanceID,
                                inOffsetSampleFrame);
}
