// The program and bank files through the unit's own properties, as a host reads and sets them.
#include "tests/au/GrindvoxHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using grindvox::test::GrindvoxUnit;

namespace {

using Bytes = std::vector<unsigned char>;

OSStatus getFile(AudioUnit unit, AudioUnitPropertyID id, Bytes* bytes) {
    CFDataRef data = nullptr;
    UInt32 size = sizeof data;
    const OSStatus result = AudioUnitGetProperty(unit, id, kAudioUnitScope_Global, 0, &data, &size);
    if (result != noErr) return result;
    const UInt8* p = CFDataGetBytePtr(data);
    bytes->assign(p, p + CFDataGetLength(data));
    CFRelease(data);
    return noErr;
}

Bytes getFile(AudioUnit unit, AudioUnitPropertyID id) {
    Bytes bytes;
    EXPECT_EQ(getFile(unit, id, &bytes), noErr);
    return bytes;
}

OSStatus setFile(AudioUnit unit, AudioUnitPropertyID id, const Bytes& bytes) {
    CFDataRef data = CFDataCreate(nullptr, bytes.data(), static_cast<CFIndex>(bytes.size()));
    const OSStatus result =
        AudioUnitSetProperty(unit, id, kAudioUnitScope_Global, 0, &data, sizeof data);
    CFRelease(data);
    return result;
}

Bytes bytesOf(const ByteChunk& chunk) {
    return Bytes(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

std::vector<std::string> presetNames(AudioUnit unit) {
    CFArrayRef presets = nullptr;
    UInt32 size = sizeof presets;
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global,
                                   0, &presets, &size),
              noErr);
    std::vector<std::string> names;
    for (CFIndex i = 0; i < CFArrayGetCount(presets); ++i) {
        auto* preset = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, i));
        char name[64] = "";
        CFStringGetCString(preset->presetName, name, sizeof name, kCFStringEncodingUTF8);
        names.push_back(name);
    }
    CFRelease(presets);
    return names;
}

SInt32 currentPreset(AudioUnit unit) {
    AUPreset preset = {};
    UInt32 size = sizeof preset;
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global,
                                   0, &preset, &size),
              noErr);
    if (preset.presetName) CFRelease(preset.presetName);
    return preset.presetNumber;
}

void countCall(void* count, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {
    ++*static_cast<int*>(count);
}

} // namespace

TEST(PresetFileProperties, TheProgramAndBankAreTheBaseFilesAsData) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    Grindvox reference{IPlugInstanceInfo()};
    ByteChunk program, bank;
    reference.SaveProgramAsFXPChunk(&program);
    reference.SaveBankAsFXBChunk(&bank);
    EXPECT_EQ(getFile(unit.Unit(), kIPlugAUProperty_ProgramFile), bytesOf(program));
    EXPECT_EQ(getFile(unit.Unit(), kIPlugAUProperty_BankFile), bytesOf(bank));
}

TEST(PresetFileProperties, AProgramMovesSettingsFromOneUnitToAnother) {
    GrindvoxUnit source, target;
    ASSERT_TRUE(source.Unit() && target.Unit());
    ASSERT_EQ(source.SetParameter(Grindvox::kCutoff, 440.0f), noErr);
    ASSERT_EQ(source.SetParameter(Grindvox::kBits, 5.0f), noErr);
    ASSERT_EQ(source.SetParameter(Grindvox::kMixMode, 2.0f), noErr);
    int presentPresetCalls = 0;
    ASSERT_EQ(AudioUnitAddPropertyListener(target.Unit(), kAudioUnitProperty_PresentPreset,
                                           countCall, &presentPresetCalls),
              noErr);

    ASSERT_EQ(setFile(target.Unit(), kIPlugAUProperty_ProgramFile,
                      getFile(source.Unit(), kIPlugAUProperty_ProgramFile)),
              noErr);
    // The cutoff travels as a normalised float on a cubic curve: within a hundredth of a hertz.
    EXPECT_NEAR(target.Parameter(Grindvox::kCutoff), 440.0f, 0.01f);
    EXPECT_EQ(target.Parameter(Grindvox::kBits), 5.0f);
    EXPECT_EQ(target.Parameter(Grindvox::kMixMode), 2.0f);
    EXPECT_GE(presentPresetCalls, 1) << "the host hears of the program change";
}

TEST(PresetFileProperties, ABankReplacesThePresetListAndSelectsItsProgram) {
    Grindvox reference{IPlugInstanceInfo()};
    reference.GetParam(Grindvox::kRatio)->Set(12.0);
    reference.RestorePreset(3);
    reference.GetParam(Grindvox::kRatio)->Set(12.0);
    reference.ModifyCurrentPreset("Crushed");
    ByteChunk bank;
    ASSERT_TRUE(reference.SaveBankAsFXBChunk(&bank));

    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    ASSERT_EQ(setFile(unit.Unit(), kIPlugAUProperty_BankFile, bytesOf(bank)), noErr);
    const std::vector<std::string> names = presetNames(unit.Unit());
    ASSERT_EQ(names.size(), 10u);
    EXPECT_EQ(names[3], "Crushed");
    EXPECT_EQ(names[4], "Init");
    EXPECT_EQ(currentPreset(unit.Unit()), 3);
    EXPECT_EQ(unit.Parameter(Grindvox::kRatio), 12.0f);
    EXPECT_EQ(getFile(unit.Unit(), kIPlugAUProperty_BankFile), bytesOf(bank));
}

TEST(PresetFileProperties, ARefusedFileAnswersInvalidValueAndChangesNothing) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    ASSERT_EQ(unit.SetParameter(Grindvox::kResonance, 1.25f), noErr);
    const Bytes program = getFile(unit.Unit(), kIPlugAUProperty_ProgramFile);
    const Bytes bank = getFile(unit.Unit(), kIPlugAUProperty_BankFile);

    Grindvox other{IPlugInstanceInfo()};
    other.GetParam(Grindvox::kResonance)->Set(0.5);
    ByteChunk otherProgram, otherBank;
    other.SaveProgramAsFXPChunk(&otherProgram);
    other.SaveBankAsFXBChunk(&otherBank);
    Bytes shortProgram = bytesOf(otherProgram), shortBank = bytesOf(otherBank);
    shortProgram.pop_back();
    shortBank.pop_back();

    EXPECT_EQ(setFile(unit.Unit(), kIPlugAUProperty_ProgramFile, shortProgram),
              kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(setFile(unit.Unit(), kIPlugAUProperty_BankFile, shortBank),
              kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(setFile(unit.Unit(), kIPlugAUProperty_BankFile, bytesOf(otherProgram)),
              kAudioUnitErr_InvalidPropertyValue)
        << "a program is no bank";
    EXPECT_EQ(setFile(unit.Unit(), kIPlugAUProperty_ProgramFile, Bytes()),
              kAudioUnitErr_InvalidPropertyValue);

    CFStringRef text = CFSTR("not data");
    EXPECT_EQ(AudioUnitSetProperty(unit.Unit(), kIPlugAUProperty_ProgramFile,
                                   kAudioUnitScope_Global, 0, &text, sizeof text),
              kAudioUnitErr_InvalidPropertyValue);
    CFDataRef none = nullptr;
    EXPECT_EQ(AudioUnitSetProperty(unit.Unit(), kIPlugAUProperty_BankFile, kAudioUnitScope_Global,
                                   0, &none, sizeof none),
              kAudioUnitErr_InvalidPropertyValue);

    EXPECT_EQ(unit.Parameter(Grindvox::kResonance), 1.25f);
    EXPECT_EQ(getFile(unit.Unit(), kIPlugAUProperty_ProgramFile), program);
    EXPECT_EQ(getFile(unit.Unit(), kIPlugAUProperty_BankFile), bank);
}

TEST(PresetFileProperties, LiveInTheGlobalScopeOnly) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    for (AudioUnitPropertyID id : {kIPlugAUProperty_ProgramFile, kIPlugAUProperty_BankFile}) {
        UInt32 size = 0;
        Boolean writable = false;
        EXPECT_EQ(
            AudioUnitGetPropertyInfo(unit.Unit(), id, kAudioUnitScope_Input, 0, &size, &writable),
            kAudioUnitErr_InvalidProperty);
        const Bytes bytes = getFile(unit.Unit(), id);
        CFDataRef data = CFDataCreate(nullptr, bytes.data(), static_cast<CFIndex>(bytes.size()));
        EXPECT_EQ(
            AudioUnitSetProperty(unit.Unit(), id, kAudioUnitScope_Output, 0, &data, sizeof data),
            kAudioUnitErr_InvalidProperty);
        CFRelease(data);
    }
}
