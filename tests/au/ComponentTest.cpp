// The Grindvox component as a host sees it: loaded from its bundle, opened through the
// Component Manager and driven through the Audio Unit calls only.
#include "host/ComponentBundle.h"

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

Component grindvox() {
    static Component component = [] {
        static ComponentBundle bundle;
        std::string error;
        if (!bundle.Load(GRINDVOX_BUNDLE, &error)) {
            ADD_FAILURE() << error;
            return Component(nullptr);
        }
        return bundle.Find(kAudioUnitType_Effect);
    }();
    return component;
}

void PutNumber(CFMutableDictionaryRef dict, const char* key, SInt32 value) {
    CFStringRef keyString = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
    CFNumberRef number = CFNumberCreate(nullptr, kCFNumberSInt32Type, &value);
    CFDictionarySetValue(dict, keyString, number);
    CFRelease(number);
    CFRelease(keyString);
}

void PutString(CFMutableDictionaryRef dict, const char* key, const std::string& text) {
    CFStringRef keyString = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
    CFStringRef value = CFStringCreateWithCString(nullptr, text.c_str(), kCFStringEncodingUTF8);
    CFDictionarySetValue(dict, keyString, value);
    CFRelease(value);
    CFRelease(keyString);
}

void Remove(CFMutableDictionaryRef dict, const char* key) {
    CFStringRef keyString = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
    CFDictionaryRemoveValue(dict, keyString);
    CFRelease(keyString);
}

std::string utf8(CFStringRef text) {
    char buffer[512];
    if (!text || !CFStringGetCString(text, buffer, sizeof buffer, kCFStringEncodingUTF8)) {
        return "?";
    }
    return buffer;
}

} // namespace

class Component_ : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(grindvox(), nullptr);
        ASSERT_EQ(OpenAComponent(grindvox(), &mUnit), noErr);
    }
    void TearDown() override {
        if (mUnit) CloseComponent(mUnit);
    }

    float Parameter(AudioUnit unit, AudioUnitParameterID id) {
        AudioUnitParameterValue value = -1;
        EXPECT_EQ(AudioUnitGetParameter(unit, id, kAudioUnitScope_Global, 0, &value), noErr);
        return value;
    }
    void SetParameter(AudioUnit unit, AudioUnitParameterID id, float value) {
        ASSERT_EQ(AudioUnitSetParameter(unit, id, kAudioUnitScope_Global, 0, value, 0), noErr);
    }

    CFMutableDictionaryRef State(AudioUnit unit) {
        CFPropertyListRef state = nullptr;
        UInt32 size = sizeof state;
        EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global,
                                       0, &state, &size),
                  noErr);
        CFMutableDictionaryRef copy =
            CFDictionaryCreateMutableCopy(nullptr, 0, static_cast<CFDictionaryRef>(state));
        CFRelease(state);
        return copy;
    }
    OSStatus Restore(AudioUnit unit, CFPropertyListRef state) {
        return AudioUnitSetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0,
                                    &state, sizeof state);
    }
    int CurrentPreset(AudioUnit unit) {
        AUPreset preset = {};
        UInt32 size = sizeof preset;
        AudioUnitGetProperty(unit, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0,
                             &preset, &size);
        if (preset.presetName) CFRelease(preset.presetName);
        return preset.presetNumber;
    }

    AudioUnit mUnit = nullptr;
};

TEST_F(Component_, IdentifiesItself) {
    EXPECT_EQ(CallComponentVersion(mUnit), 0x00010200);
    ComponentDescription description = {};
    ASSERT_EQ(GetComponentInfo(reinterpret_cast<Component>(mUnit), &description, nullptr, nullptr,
                               nullptr),
              noErr);
    EXPECT_EQ(description.componentType, static_cast<OSType>('aufx'));
    EXPECT_EQ(description.componentSubType, static_cast<OSType>('gRvx'));
    EXPECT_EQ(description.componentManufacturer, static_cast<OSType>('GrVo'));
}

TEST_F(Component_, OffersTenFactoryPresetsNamedInit) {
    CFArrayRef presets = nullptr;
    UInt32 size = sizeof presets;
    ASSERT_EQ(AudioUnitGetProperty(mUnit, kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global,
                                   0, &presets, &size),
              noErr);
    ASSERT_EQ(CFArrayGetCount(presets), 10);
    for (CFIndex i = 0; i < 10; ++i) {
        auto* preset = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, i));
        EXPECT_EQ(preset->presetNumber, i);
        EXPECT_EQ(utf8(preset->presetName), "Init");
    }
    CFRelease(presets);
}

TEST_F(Component_, StateFromOneInstanceRestoresOnAnother) {
    SetParameter(mUnit, 1, 1200.0f);
    SetParameter(mUnit, 3, 4.0f);
    AUPreset preset = {7, nullptr};
    AudioUnitSetProperty(mUnit, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0,
                         &preset, sizeof preset);
    SetParameter(mUnit, 1, 1200.0f); // after selecting the preset
    CFMutableDictionaryRef state = State(mUnit);

    AudioUnit other = nullptr;
    ASSERT_EQ(OpenAComponent(grindvox(), &other), noErr);
    EXPECT_EQ(Restore(other, state), noErr);
    EXPECT_EQ(Parameter(other, 1), 1200.0f);
    EXPECT_EQ(Parameter(other, 3), 16.0f) << "preset 7 held the defaults";
    EXPECT_EQ(CurrentPreset(other), 0) << "the preset is found by name: the first \"Init\"";

    // Another version of the same component restores too.
    PutNumber(state, "version", 0x20000);
    SetParameter(other, 1, 50.0f);
    EXPECT_EQ(Restore(other, state), noErr);
    EXPECT_EQ(Parameter(other, 1), 1200.0f);
    CloseComponent(other);
    CFRelease(state);
}

TEST_F(Component_, RefusesTheStateOfAnotherComponentAndChangesNothing) {
    CFMutableDictionaryRef state = State(mUnit);
    PutNumber(state, "subtype", 'xxxx');
    AudioUnit other = nullptr;
    ASSERT_EQ(OpenAComponent(grindvox(), &other), noErr);
    SetParameter(other, 1, 300.0f);
    AUPreset preset = {4, nullptr};
    AudioUnitSetProperty(other, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0,
                         &preset, sizeof preset);
    SetParameter(other, 1, 300.0f);
    EXPECT_EQ(Restore(other, state), kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(Parameter(other, 1), 300.0f);
    EXPECT_EQ(CurrentPreset(other), 4);
    CloseComponent(other);
    CFRelease(state);
}

TEST_F(Component_, AStateWithoutDataSelectsItsPresetAndIsStillRefused) {
    CFMutableDictionaryRef state = State(mUnit);
    Remove(state, "data");
    AUPreset preset = {6, nullptr};
    AudioUnitSetProperty(mUnit, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0,
                         &preset, sizeof preset);
    SetParameter(mUnit, 3, 2.0f);
    EXPECT_EQ(Restore(mUnit, state), kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(CurrentPreset(mUnit), 0);
    EXPECT_EQ(Parameter(mUnit, 3), 16.0f) << "the named preset was loaded";
    CFRelease(state);
}

TEST_F(Component_, EveryIdentityKeyIsRequired) {
    for (const char* key : {"version", "type", "subtype", "manufacturer", "name"}) {
        CFMutableDictionaryRef state = State(mUnit);
        Remove(state, key);
        EXPECT_EQ(Restore(mUnit, state), kAudioUnitErr_InvalidPropertyValue) << key;
        CFRelease(state);
    }
    CFStringRef notADictionary = CFSTR("state");
    EXPECT_EQ(Restore(mUnit, notADictionary), kAudioUnitErr_InvalidPropertyValue);
}

TEST_F(Component_, LongAndNonAsciiPresetNamesAreReadSafely) {
    CFMutableDictionaryRef state = State(mUnit);
    PutString(state, "name", std::string(300, 'n'));
    EXPECT_EQ(Restore(mUnit, state), noErr) << "no preset of that name; the data still loads";
    PutString(state, "name", "Grüße aus Köln");
    EXPECT_EQ(Restore(mUnit, state), noErr);
    CFRelease(state);
}

TEST(ComponentLifetime, AThousandInstancesOpenAndClose) {
    ASSERT_NE(grindvox(), nullptr);
    for (int i = 0; i < 1000; ++i) {
        AudioUnit unit = nullptr;
        ASSERT_EQ(OpenAComponent(grindvox(), &unit), noErr);
        ASSERT_EQ(CloseComponent(unit), noErr);
    }
}

TEST(ComponentLifetime, InstancesOpenAndCloseFromTwoThreadsAtOnce) {
    ASSERT_NE(grindvox(), nullptr);
    auto cycle = [] {
        for (int i = 0; i < 100; ++i) {
            AudioUnit unit = nullptr;
            if (OpenAComponent(grindvox(), &unit) != noErr) return;
            AudioUnitParameterValue value;
            AudioUnitGetParameter(unit, 1, kAudioUnitScope_Global, 0, &value);
            CloseComponent(unit);
        }
    };
    std::thread a(cycle), b(cycle);
    a.join();
    b.join();
}
