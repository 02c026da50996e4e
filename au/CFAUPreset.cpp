#include "au/CFAUPreset.h"

const CFArrayCallBacks kCFAUPresetArrayCallBacks = {
    0,
    CFAUPresetArrayRetainCallBack,
    CFAUPresetArrayReleaseCallBack,
    CFAUPresetArrayCopyDescriptionCallBack,
    CFAUPresetArrayEqualCallBack,
};

void CFAUPresetArrayCallBacks_Init(CFArrayCallBacks* callBacks) {
    if (callBacks) *callBacks = kCFAUPresetArrayCallBacks;
}

CFAUPreset* CFAUPresetCreate(CFAllocatorRef allocator, SInt32 presetNumber, CFStringRef name) {
    auto* preset = static_cast<CFAUPreset*>(CFAllocatorAllocate(allocator, sizeof(CFAUPreset), 0));
    if (!preset) return nullptr;
    preset->auPreset.presetNumber = presetNumber;
    preset->auPreset.presetName = name ? CFStringCreateCopy(allocator, name) : nullptr;
    preset->allocator = allocator;
    preset->retainCount = 1;
    return preset;
}

CFAUPreset* CFAUPresetRetain(CFAUPreset* preset) {
    if (!preset) return nullptr;
    if (preset->auPreset.presetName) CFRetain(preset->auPreset.presetName);
    ++preset->retainCount;
    return preset;
}

void CFAUPresetRelease(CFAUPreset* preset) {
    if (!preset || preset->retainCount < 1) return;
    if (preset->auPreset.presetName) CFRelease(preset->auPreset.presetName);
    if (--preset->retainCount > 0) return;
    preset->auPreset.presetName = nullptr;
    preset->auPreset.presetNumber = 0;
    CFAllocatorDeallocate(preset->allocator, preset);
}

const void* CFAUPresetArrayRetainCallBack(CFAllocatorRef /*allocator*/, const void* value) {
    return CFAUPresetRetain(static_cast<CFAUPreset*>(const_cast<void*>(value)));
}

void CFAUPresetArrayReleaseCallBack(CFAllocatorRef /*allocator*/, const void* value) {
    CFAUPresetRelease(static_cast<CFAUPreset*>(const_cast<void*>(value)));
}

CFStringRef CFAUPresetArrayCopyDescriptionCallBack(const void* value) {
    const auto* preset = static_cast<const CFAUPreset*>(value);
    return CFStringCreateWithFormat(
        kCFAllocatorDefault, nullptr, CFSTR("AUPreset:\npreset number = %d\npreset name = %@"),
        static_cast<int>(preset->auPreset.presetNumber), preset->auPreset.presetName);
}

Boolean CFAUPresetArrayEqualCallBack(const void* a, const void* b) {
    const auto* left = static_cast<const CFAUPreset*>(a);
    const auto* right = static_cast<const CFAUPreset*>(b);
    if (left->auPreset.presetNumber != right->auPreset.presetNumber) return false;
    CFStringRef leftName = left->auPreset.presetName;
    CFStringRef rightName = right->auPreset.presetName;
    if (!leftName || !rightName) return leftName == rightName;
    return CFStringCompare(leftName, rightName, 0) == kCFCompareEqualTo;
}
