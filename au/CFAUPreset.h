#pragma once

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

// A reference-counted factory-preset record for the host's preset array. Its first part is the
// platform's AUPreset, so a host reads it as one. The record is allocated with, and freed
// through, the allocator it was made with; it holds one reference to its name per reference
// to itself.
struct CFAUPreset {
    AUPreset auPreset;
    CFAllocatorRef allocator;
    CFIndex retainCount;
};

// A new record with retain count 1 and a copy of the name (null stays null); null when the
// allocator has no memory.
CFAUPreset* CFAUPresetCreate(CFAllocatorRef allocator, SInt32 presetNumber, CFStringRef name);
CFAUPreset* CFAUPresetRetain(CFAUPreset* preset);
// Ignores null and records already released to 0; frees the record at 0.
void CFAUPresetRelease(CFAUPreset* preset);

// The callbacks of the factory-presets array: retain, release, describe and compare records.
const void* CFAUPresetArrayRetainCallBack(CFAllocatorRef allocator, const void* value);
void CFAUPresetArrayReleaseCallBack(CFAllocatorRef allocator, const void* value);
// "AUPreset:\npreset number = N\npreset name = NAME"; the caller releases it.
CFStringRef CFAUPresetArrayCopyDescriptionCallBack(const void* value);
// Equal numbers and names equal without comparison options.
Boolean CFAUPresetArrayEqualCallBack(const void* a, const void* b);

extern const CFArrayCallBacks kCFAUPresetArrayCallBacks;
// Fills a caller's record like kCFAUPresetArrayCallBacks; null is ignored.
void CFAUPresetArrayCallBacks_Init(CFArrayCallBacks* callBacks);
