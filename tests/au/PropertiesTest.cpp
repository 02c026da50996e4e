// Grindvox's properties as a host reads and sets them: sizes, scopes and refusals, the
// parameter descriptions, stream formats and the channel configurations they make, and the
// listeners told before every set.
#include "tests/au/GrindvoxHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

using grindvox::test::GrindvoxUnit;

namespace {

std::string utf8(CFStringRef text) {
    char buffer[256];
    if (!text || !CFStringGetCString(text, buffer, sizeof buffer, kCFStringEncodingUTF8)) {
        return "(none)";
    }
    return buffer;
}

// Takes ownership of a string handed out by the unit.
std::string take(CFStringRef text) {
    const std::string result = utf8(text);
    if (text) CFRelease(text);
    return result;
}

OSStatus getInfo(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                 AudioUnitElement element, UInt32* size, Boolean* writable) {
    *size = 0xDEAD;
    *writable = false;
    return AudioUnitGetPropertyInfo(unit, id, scope, element, size, writable);
}

template <class T>
OSStatus get(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
             T* value) {
    UInt32 size = sizeof *value;
    return AudioUnitGetProperty(unit, id, scope, element, value, &size);
}

template <class T>
OSStatus set(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element,
             const T& value) {
    return AudioUnitSetProperty(unit, id, scope, element, &value, sizeof value);
}

int channelsOf(AudioUnit unit, AudioUnitScope scope) {
    AudioStreamBasicDescription format = {};
    EXPECT_EQ(get(unit, kAudioUnitProperty_StreamFormat, scope, 0, &format), noErr);
    return static_cast<int>(format.mChannelsPerFrame);
}

UInt32 maxFrames(AudioUnit unit) {
    UInt32 frames = 0;
    EXPECT_EQ(
        get(unit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, &frames),
        noErr);
    return frames;
}

Float64 sampleRate(AudioUnit unit) {
    Float64 rate = 0;
    EXPECT_EQ(get(unit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate), noErr);
    return rate;
}

// Records every listener call.
struct ListenerLog {
    struct Call {
        AudioUnit unit;
        AudioUnitPropertyID id;
        AudioUnitScope scope;
        AudioUnitElement element;
        UInt32 maxFramesSeen;
    };
    std::vector<Call> calls;

    static void Listen(void* self, AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                       AudioUnitElement element) {
        UInt32 frames = 0;
        UInt32 size = sizeof frames;
        AudioUnitGetProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global,
                             0, &frames, &size);
        static_cast<ListenerLog*>(self)->calls.push_back({unit, id, scope, element, frames});
    }
};

} // namespace

// ---- What each property answers ----

TEST(Properties, ReportTheirRecordSizesAndWhetherTheyAreWritable) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    struct Row {
        AudioUnitPropertyID id;
        AudioUnitScope scope;
        AudioUnitElement element;
        UInt32 size;
        bool writable;
    };
    const Row rows[] = {
        {kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, 8, true},
        {kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, 16, true},
        {kAudioUnitProperty_SampleRate, kAudioUnitScope_Output, 0, 8, true},
        {kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, 28, false},
        {kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, 6, 104, false},
        {kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global, kAudioUnitRenderSelect, 8, false},
        {kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, 40, true},
        {kAudioUnitProperty_ElementCount, kAudioUnitScope_Input, 0, 4, false},
        {kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, 8, false},
        {kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0, 8, false},
        {kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, 4, true},
        {kAudioUnitProperty_ParameterValueStrings, kAudioUnitScope_Global, 0, 8, false},
        {kAudioUnitProperty_TailTime, kAudioUnitScope_Global, 0, 8, false},
        {kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, 4, true},
        {kAudioUnitProperty_LastRenderError, kAudioUnitScope_Global, 0, 4, false},
        {kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, 16, true},
        {kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global, 0, 8, false},
        {kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, 32, true},
        {kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global, 0, 16, true},
        {kAudioUnitProperty_ParameterStringFromValue, kAudioUnitScope_Global, 0, 24, false},
        {kAudioUnitProperty_ParameterIDName, kAudioUnitScope_Global, 0, 16, false},
        {kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, 16, true},
        {kAudioUnitProperty_ParameterValueFromString, kAudioUnitScope_Global, 0, 24, false},
        {kIPlugAUProperty_ProgramFile, kAudioUnitScope_Global, 0, 8, true},
        {kIPlugAUProperty_BankFile, kAudioUnitScope_Global, 0, 8, true},
    };
    for (const Row& row : rows) {
        UInt32 size;
        Boolean writable;
        EXPECT_EQ(getInfo(unit.Unit(), row.id, row.scope, row.element, &size, &writable), noErr)
            << row.id;
        EXPECT_EQ(size, row.size) << row.id;
        EXPECT_EQ(writable != 0, row.writable) << row.id;
    }
}

TEST(Properties, RefuseWhatTheUnitDoesNotHave) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    struct Row {
        AudioUnitPropertyID id;
        AudioUnitScope scope;
        AudioUnitElement element;
        OSStatus result;
    };
    const Row rows[] = {
        {kAudioUnitProperty_CPULoad, kAudioUnitScope_Global, 0, kAudioUnitErr_InvalidProperty},
        {kAudioUnitProperty_AudioChannelLayout, kAudioUnitScope_Output, 0,
         kAudioUnitErr_InvalidProperty},
        {9999, kAudioUnitScope_Global, 0, kAudioUnitErr_InvalidProperty},
        {kAudioUnitProperty_MakeConnection, kAudioUnitScope_Output, 0,
         kAudioUnitErr_InvalidProperty},
        {kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 1, kAudioUnitErr_InvalidProperty},
        {kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 1, kAudioUnitErr_InvalidProperty},
        {kAudioUnitProperty_StreamFormat, kAudioUnitScope_Group, 0, kAudioUnitErr_InvalidProperty},
        {kAudioUnitProperty_Latency, kAudioUnitScope_Input, 0, kAudioUnitErr_InvalidProperty},
        {kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Output, 0,
         kAudioUnitErr_InvalidProperty},
        {kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Input, 0,
         kAudioUnitErr_InvalidProperty},
        {kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 1,
         kAudioUnitErr_InvalidProperty},
        {kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Output, 0,
         kAudioUnitErr_InvalidProperty},
        {kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Input, 0, kAudioUnitErr_InvalidProperty},
        {kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global, kAudioUnitResetSelect,
         kAudioUnitErr_InvalidElement},
        {kMusicDeviceProperty_InstrumentCount, kAudioUnitScope_Global, 0,
         kAudioUnitErr_InvalidProperty},
    };
    for (const Row& row : rows) {
        UInt32 size;
        Boolean writable;
        EXPECT_EQ(getInfo(unit.Unit(), row.id, row.scope, row.element, &size, &writable),
                  row.result)
            << row.id << " on scope " << row.scope << " element " << row.element;
        EXPECT_EQ(size, 0xDEADu) << "the size is left alone, property " << row.id;
    }
    // The parameter list outside the global scope is empty rather than refused; a parameter
    // without display texts has no value strings.
    UInt32 size;
    Boolean writable;
    EXPECT_EQ(getInfo(unit.Unit(), kAudioUnitProperty_ParameterList, kAudioUnitScope_Input, 0,
                      &size, &writable),
              noErr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(getInfo(unit.Unit(), kAudioUnitProperty_ParameterValueStrings, kAudioUnitScope_Global,
                      Grindvox::kCutoff, &size, &writable),
              kAudioUnitErr_InvalidProperty);
    EXPECT_EQ(size, 0u);
}

TEST(Properties, AnswerTheUnitsFixedFacts) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    AudioUnitParameterID ids[7];
    ASSERT_EQ(get(unit.Unit(), kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, &ids),
              noErr);
    for (AudioUnitParameterID i = 0; i < 7; ++i)
        EXPECT_EQ(ids[i], i);

    AUChannelInfo pairs[2];
    ASSERT_EQ(get(unit.Unit(), kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0,
                  &pairs),
              noErr);
    EXPECT_EQ(pairs[0].inChannels, 1);
    EXPECT_EQ(pairs[0].outChannels, 1);
    EXPECT_EQ(pairs[1].inChannels, 2);
    EXPECT_EQ(pairs[1].outChannels, 2);

    const std::pair<AudioUnitScope, UInt32> counts[] = {{kAudioUnitScope_Global, 1},
                                                        {kAudioUnitScope_Input, 1},
                                                        {kAudioUnitScope_Output, 1},
                                                        {kAudioUnitScope_Group, 0}};
    for (const auto& [scope, expected] : counts) {
        UInt32 count = 99;
        EXPECT_EQ(get(unit.Unit(), kAudioUnitProperty_ElementCount, scope, 0, &count), noErr);
        EXPECT_EQ(count, expected) << "scope " << scope;
    }

    Float64 seconds = -1;
    EXPECT_EQ(get(unit.Unit(), kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, &seconds),
              noErr);
    EXPECT_EQ(seconds, 0.0);
    EXPECT_EQ(get(unit.Unit(), kAudioUnitProperty_TailTime, kAudioUnitScope_Global, 0, &seconds),
              noErr);
    EXPECT_EQ(seconds, 0.0);
    EXPECT_EQ(maxFrames(unit.Unit()), 1024u);
    EXPECT_EQ(sampleRate(unit.Unit()), 44100.0);
    UInt32 value = 7;
    EXPECT_EQ(
        get(unit.Unit(), kAudioUnitProperty_LastRenderError, kAudioUnitScope_Global, 0, &value),
        noErr);
    EXPECT_EQ(value, 0u);
}

// ---- Sizes the host gets wrong ----

TEST(PropertySizes, AGetIntoARecordTooSmallIsRefusedAndWritesNothing) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    struct Row {
        AudioUnitPropertyID id;
        AudioUnitScope scope;
        AudioUnitElement element;
        UInt32 recordSize;
    };
    const Row rows[] = {
        {kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, 8},
        {kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, 8},
        {kAudioUnitProperty_ParameterList, kAudioUnitScope_Global, 0, 28},
        {kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, 1, 104},
        {kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global, kAudioUnitRenderSelect, 8},
        {kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, 40},
        {kAudioUnitProperty_ElementCount, kAudioUnitScope_Input, 0, 4},
        {kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, 8},
        {kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global, 0, 8},
        {kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, 4},
        {kAudioUnitProperty_ParameterValueStrings, kAudioUnitScope_Global, 0, 8},
        {kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, 4},
        {kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global, 0, 8},
        {kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global, 0, 16},
        {kAudioUnitProperty_ParameterStringFromValue, kAudioUnitScope_Global, 0, 24},
        {kAudioUnitProperty_ParameterIDName, kAudioUnitScope_Global, 0, 16},
        {kAudioUnitProperty_ParameterValueFromString, kAudioUnitScope_Global, 0, 24},
        {kIPlugAUProperty_ProgramFile, kAudioUnitScope_Global, 0, 8},
        {kIPlugAUProperty_BankFile, kAudioUnitScope_Global, 0, 8},
    };
    for (const Row& row : rows) {
        // One byte short, on the heap, so that a sanitizer sees any read or write past it; a
        // request record's fields are zero (parameter 0), which would be a valid request.
        for (UInt32 size : {row.recordSize - 1, 0u}) {
            std::vector<unsigned char> data(row.recordSize - 1, 0);
            UInt32 ioSize = size;
            EXPECT_EQ(AudioUnitGetProperty(unit.Unit(), row.id, row.scope, row.element, data.data(),
                                           &ioSize),
                      kAudioUnitErr_InvalidPropertyValue)
                << "property " << row.id << " into " << size << " bytes";
            EXPECT_EQ(data, std::vector<unsigned char>(row.recordSize - 1, 0)) << row.id;
        }
    }
    // The whole list or nothing: one channel pair does not fit two.
    AUChannelInfo one[1] = {{7, 7}};
    UInt32 size = sizeof one;
    EXPECT_EQ(AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_SupportedNumChannels,
                                   kAudioUnitScope_Global, 0, one, &size),
              kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(one[0].inChannels, 7);
}

TEST(PropertySizes, ASetWithNullOrShortDataIsRefusedAfterTheListenersAndChangesNothing) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    const std::pair<AudioUnitPropertyID, AudioUnitScope> rows[] = {
        {kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global},
        {kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input},
        {kAudioUnitProperty_SampleRate, kAudioUnitScope_Global},
        {kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input},
        {kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global},
        {kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global},
        {kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input},
        {kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global},
        {kAudioUnitProperty_CurrentPreset, kAudioUnitScope_Global},
        {kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global},
        {kAudioUnitProperty_AUHostIdentifier, kAudioUnitScope_Global},
        {kIPlugAUProperty_ProgramFile, kAudioUnitScope_Global},
        {kIPlugAUProperty_BankFile, kAudioUnitScope_Global},
    };
    const UInt32 sizes[] = {8, 16, 8, 40, 4, 4, 16, 32, 16, 16, 16, 8, 8};
    ListenerLog log;
    int i = 0;
    for (const auto& [id, scope] : rows) {
        const UInt32 recordSize = sizes[i++];
        ASSERT_EQ(AudioUnitAddPropertyListener(unit.Unit(), id, ListenerLog::Listen, &log), noErr);
        // Read whole, with whatever byte follows, these would be a tiny positive rate, 65793
        // frames or bypass on: a change the checks below would see.
        std::vector<unsigned char> data(recordSize - 1, 0x01);
        const size_t before = log.calls.size();
        EXPECT_EQ(AudioUnitSetProperty(unit.Unit(), id, scope, 0, nullptr, recordSize),
                  kAudioUnitErr_InvalidPropertyValue)
            << "null data for property " << id;
        EXPECT_EQ(AudioUnitSetProperty(unit.Unit(), id, scope, 0, data.data(), recordSize - 1),
                  kAudioUnitErr_InvalidPropertyValue)
            << "short data for property " << id;
        EXPECT_EQ(log.calls.size(), before + 2) << "listeners of " << id << " heard both";
    }
    EXPECT_EQ(sampleRate(unit.Unit()), 44100.0);
    EXPECT_EQ(maxFrames(unit.Unit()), 1024u);
    EXPECT_EQ(channelsOf(unit.Unit(), kAudioUnitScope_Input), 2);
    UInt32 bypass = 9;
    EXPECT_EQ(get(unit.Unit(), kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, &bypass),
              noErr);
    EXPECT_EQ(bypass, 0u);
}

// ---- Parameters described to the host ----

TEST(ParameterProperties, DescribeEveryParameter) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    struct Row {
        const char* name;
        AudioUnitParameterUnit unit;
        const char* unitName;
        float min, max, value;
    };
    const Row rows[] = {
        {"Filter", kAudioUnitParameterUnit_Indexed, nullptr, 0, 2, 0},
        {"Cutoff", kAudioUnitParameterUnit_CustomUnit, "Hz", 20, 11000, 11000},
        {"Resonance", kAudioUnitParameterUnit_Generic, nullptr, 0, 1.9f, 0},
        {"Bits", kAudioUnitParameterUnit_Indexed, nullptr, 1, 16, 16},
        {"Ratio", kAudioUnitParameterUnit_Indexed, nullptr, 0, 64, 0},
        {"Mix Mode", kAudioUnitParameterUnit_Indexed, nullptr, 0, 3, 0},
        {"Parallel", kAudioUnitParameterUnit_Boolean, nullptr, 0, 1, 0},
    };
    for (AudioUnitElement i = 0; i < 7; ++i) {
        const Row& row = rows[i];
        AudioUnitParameterInfo info;
        std::memset(&info, 0x5A, sizeof info);
        ASSERT_EQ(
            get(unit.Unit(), kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, i, &info),
            noErr);
        EXPECT_STREQ(info.name, row.name);
        EXPECT_EQ(take(info.cfNameString), row.name);
        EXPECT_EQ(info.flags, 0xC8000010u);
        EXPECT_EQ(info.unit, row.unit) << row.name;
        if (row.unitName) {
            EXPECT_EQ(take(info.unitName), row.unitName);
        } else {
            EXPECT_EQ(info.unitName, nullptr) << row.name;
        }
        EXPECT_EQ(info.clumpID, 0u);
        EXPECT_EQ(info.minValue, row.min) << row.name;
        EXPECT_EQ(info.maxValue, row.max) << row.name;
        EXPECT_EQ(info.defaultValue, row.value) << row.name;
    }

    // The "default" a host sees is the current value.
    ASSERT_EQ(unit.SetParameter(Grindvox::kBits, 5.0f), noErr);
    AudioUnitParameterInfo info;
    ASSERT_EQ(get(unit.Unit(), kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global,
                  Grindvox::kBits, &info),
              noErr);
    CFRelease(info.cfNameString);
    EXPECT_EQ(info.defaultValue, 5.0f);
}

TEST(ParameterProperties, AnIndexThatNamesNoParameterIsRefused) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    for (AudioUnitParameterID id : {7u, 1000u, 0x80000000u, 0xFFFFFFFFu}) {
        AudioUnitParameterInfo info = {};
        EXPECT_EQ(
            get(unit.Unit(), kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, id, &info),
            kAudioUnitErr_InvalidProperty);
        CFArrayRef texts = nullptr;
        EXPECT_EQ(get(unit.Unit(), kAudioUnitProperty_ParameterValueStrings, kAudioUnitScope_Global,
                      id, &texts),
                  kAudioUnitErr_InvalidProperty);
        EXPECT_EQ(texts, nullptr);

        const AudioUnitParameterValue value = 1.0f;
        AudioUnitParameterStringFromValue fromValue = {id, &value, nullptr};
        EXPECT_EQ(get(unit.Unit(), kAudioUnitProperty_ParameterStringFromValue,
                      kAudioUnitScope_Global, 0, &fromValue),
                  kAudioUnitErr_InvalidProperty);
        EXPECT_EQ(fromValue.outString, nullptr);

        AudioUnitParameterIDName idName = {id, kAudioUnitParameterName_Full, nullptr};
        EXPECT_EQ(get(unit.Unit(), kAudioUnitProperty_ParameterIDName, kAudioUnitScope_Global, 0,
                      &idName),
                  kAudioUnitErr_InvalidProperty);
        EXPECT_EQ(idName.outName, nullptr);

        AudioUnitParameterValueFromString fromString = {id, CFSTR("1"), 77.0f};
        EXPECT_EQ(get(unit.Unit(), kAudioUnitProperty_ParameterValueFromString,
                      kAudioUnitScope_Global, 0, &fromString),
                  kAudioUnitErr_InvalidProperty);
        EXPECT_EQ(fromString.outValue, 77.0f);
    }
}

TEST(ParameterProperties, NameAParameterCutToTheLengthAsked) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    const std::pair<SInt32, const char*> rows[] = {
        {kAudioUnitParameterName_Full, "Resonance"},
        {-2, "Resonance"},
        {-100000, "Resonance"},
        {0, ""},
        {3, "Res"},
        {9, "Resonance"},
        {31, "Resonance"},
        {32, "Resonance"},
        {1000, "Resonance"},
    };
    for (const auto& [length, expected] : rows) {
        AudioUnitParameterIDName name = {Grindvox::kResonance, length, nullptr};
        ASSERT_EQ(
            get(unit.Unit(), kAudioUnitProperty_ParameterIDName, kAudioUnitScope_Global, 0, &name),
            noErr);
        EXPECT_EQ(take(name.outName), expected) << "length " << length;
    }
}

TEST(ParameterProperties, ListTheDisplayTextsOfEnumeratedParameters) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    const std::pair<AudioUnitElement, std::vector<std::string>> rows[] = {
        {Grindvox::kFilter, {"LPF", "HPF", "BPF"}},
        {Grindvox::kMixMode, {">", "+", "x", "-"}},
    };
    for (const auto& [param, expected] : rows) {
        CFArrayRef texts = nullptr;
        ASSERT_EQ(get(unit.Unit(), kAudioUnitProperty_ParameterValueStrings, kAudioUnitScope_Global,
                      param, &texts),
                  noErr);
        std::vector<std::string> got;
        for (CFIndex i = 0; i < CFArrayGetCount(texts); ++i)
            got.push_back(utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(texts, i))));
        CFRelease(texts);
        EXPECT_EQ(got, expected);
    }
}

TEST(ParameterProperties, TurnValuesIntoTextsAndBack) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    auto text = [&](AudioUnitParameterID id, const AudioUnitParameterValue* value) {
        AudioUnitParameterStringFromValue request = {id, value, nullptr};
        EXPECT_EQ(get(unit.Unit(), kAudioUnitProperty_ParameterStringFromValue,
                      kAudioUnitScope_Global, 0, &request),
                  noErr);
        return take(request.outString);
    };
    const float one = 1.0f, almostThree = 2.7f, nine = 9.0f, hz = 440.0f, three = 3.0f;
    EXPECT_EQ(text(Grindvox::kFilter, &one), "HPF");
    EXPECT_EQ(text(Grindvox::kFilter, &almostThree), "BPF") << "truncated to 2";
    EXPECT_EQ(text(Grindvox::kFilter, &nine), "") << "no text for 9";
    EXPECT_EQ(text(Grindvox::kMixMode, &three), "-");
    EXPECT_EQ(text(Grindvox::kCutoff, &hz), "") << "continuous parameters have no texts";
    ASSERT_EQ(unit.SetParameter(Grindvox::kFilter, 2.0f), noErr);
    EXPECT_EQ(text(Grindvox::kFilter, nullptr), "BPF") << "no value: the current one";

    auto value = [&](AudioUnitParameterID id, CFStringRef string,
                     AudioUnitScope scope = kAudioUnitScope_Global) {
        AudioUnitParameterValueFromString request = {id, string, 77.0f};
        EXPECT_EQ(get(unit.Unit(), kAudioUnitProperty_ParameterValueFromString, scope, 0, &request),
                  noErr);
        return request.outValue;
    };
    EXPECT_EQ(value(Grindvox::kMixMode, CFSTR("x")), 2.0f);
    EXPECT_EQ(value(Grindvox::kFilter, CFSTR("BPF")), 2.0f);
    EXPECT_EQ(value(Grindvox::kFilter, CFSTR("bpf")), 77.0f) << "no match: left as it was";
    EXPECT_EQ(value(Grindvox::kCutoff, CFSTR("abc")), 0.0f);
    EXPECT_EQ(value(Grindvox::kCutoff, CFSTR("440.5")), 440.5f);
    EXPECT_EQ(value(Grindvox::kBits, CFSTR("  12 bits")), 12.0f);
    EXPECT_EQ(value(Grindvox::kCutoff, CFSTR("440.5"), kAudioUnitScope_Input), 77.0f)
        << "outside the global scope nothing is done";
}

// ---- Stream formats and channel configurations ----

TEST(StreamFormats, BeforeTheHostSetsOneEachBusReportsThePlugInsChannels) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    for (AudioUnitScope scope : {kAudioUnitScope_Input, kAudioUnitScope_Output}) {
        AudioStreamBasicDescription format;
        std::memset(&format, 0x5A, sizeof format);
        ASSERT_EQ(get(unit.Unit(), kAudioUnitProperty_StreamFormat, scope, 0, &format), noErr);
        EXPECT_EQ(format.mSampleRate, 44100.0);
        EXPECT_EQ(format.mFormatID, static_cast<UInt32>('lpcm'));
        EXPECT_EQ(format.mFormatFlags, 41u);
        EXPECT_EQ(format.mBytesPerPacket, 4u);
        EXPECT_EQ(format.mFramesPerPacket, 1u);
        EXPECT_EQ(format.mBytesPerFrame, 4u);
        EXPECT_EQ(format.mChannelsPerFrame, 2u);
        EXPECT_EQ(format.mBitsPerChannel, 32u);
        EXPECT_EQ(format.mReserved, 0u);
    }
}

TEST(StreamFormats, TheGlobalScopeMeansTheOutputBus) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Global, 1), noErr);
    EXPECT_EQ(channelsOf(unit.Unit(), kAudioUnitScope_Output), 1);
    EXPECT_EQ(channelsOf(unit.Unit(), kAudioUnitScope_Global), 1);
    EXPECT_EQ(channelsOf(unit.Unit(), kAudioUnitScope_Input), 2);
}

TEST(StreamFormats, AreJudgedPerDirectionBeforeInitializeAndAgainstBothAfter) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    EXPECT_EQ(unit.SetFormat(kAudioUnitScope_Output, 1), noErr);
    EXPECT_EQ(unit.SetFormat(kAudioUnitScope_Input, 2), noErr) << "the output does not count yet";
    EXPECT_EQ(AudioUnitInitialize(unit.Unit()), static_cast<OSStatus>(badComponentSelector));

    EXPECT_EQ(unit.SetFormat(kAudioUnitScope_Input, 1), noErr);
    ASSERT_EQ(AudioUnitInitialize(unit.Unit()), noErr);
    EXPECT_EQ(unit.SetFormat(kAudioUnitScope_Input, 2), kAudioUnitErr_InvalidProperty)
        << "2 in, 1 out is no legal pair";
    EXPECT_EQ(channelsOf(unit.Unit(), kAudioUnitScope_Input), 1)
        << "a refused format changes nothing";
    EXPECT_EQ(unit.SetFormat(kAudioUnitScope_Input, 1), noErr);
    EXPECT_EQ(channelsOf(unit.Unit(), kAudioUnitScope_Input), 1);

    ASSERT_EQ(AudioUnitUninitialize(unit.Unit()), noErr);
    EXPECT_EQ(unit.SetFormat(kAudioUnitScope_Input, 2), noErr) << "judged alone again";
}

TEST(StreamFormats, RefuseFormatsTheUnitCannotPlay) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    auto tryFormat = [&](UInt32 channels, AudioFormatID id, AudioFormatFlags flags) {
        AudioStreamBasicDescription format;
        IPlugAU::MakeDefaultASBD(&format, 44100.0, static_cast<int>(channels), false);
        format.mFormatID = id;
        format.mFormatFlags = flags;
        return set(unit.Unit(), kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, format);
    };
    EXPECT_EQ(tryFormat(0, kAudioFormatLinearPCM, 41), kAudioUnitErr_InvalidProperty);
    EXPECT_EQ(channelsOf(unit.Unit(), kAudioUnitScope_Output), 2) << "the default stays";
    EXPECT_EQ(tryFormat(3, kAudioFormatLinearPCM, 41), kAudioUnitErr_InvalidProperty);
    EXPECT_EQ(tryFormat(0xFFFFFFFFu, kAudioFormatLinearPCM, 41), kAudioUnitErr_InvalidProperty);
    EXPECT_EQ(tryFormat(2, kAudioFormatAppleIMA4, 41), kAudioUnitErr_InvalidProperty);
    EXPECT_EQ(tryFormat(2, kAudioFormatLinearPCM, kAudioFormatFlagIsNonInterleaved),
              kAudioUnitErr_InvalidProperty);
    EXPECT_EQ(channelsOf(unit.Unit(), kAudioUnitScope_Output), 2);
    EXPECT_EQ(tryFormat(1, kAudioFormatLinearPCM, 41), noErr);
    EXPECT_EQ(tryFormat(3, kAudioFormatLinearPCM, 41), kAudioUnitErr_InvalidProperty);
    EXPECT_EQ(channelsOf(unit.Unit(), kAudioUnitScope_Output), 1);
    EXPECT_EQ(tryFormat(2, kAudioFormatLinearPCM, 41), noErr);
    EXPECT_EQ(channelsOf(unit.Unit(), kAudioUnitScope_Output), 2);
}

TEST(StreamFormats, CarryTheSampleRateWhenTheyHaveOne) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Output, 2, 48000.0), noErr);
    EXPECT_EQ(sampleRate(unit.Unit()), 48000.0);
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Input, 2, 0.0), noErr);
    EXPECT_EQ(sampleRate(unit.Unit()), 48000.0) << "no rate: the unit's stays";

    // A rate that is not a positive number would make every filter produce NaN.
    for (Float64 bad : {0.0, -44100.0, std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(unit.SetSampleRate(bad), kAudioUnitErr_InvalidPropertyValue) << bad;
    }
    EXPECT_EQ(sampleRate(unit.Unit()), 48000.0);
}

TEST(ChannelMatrix, EveryClaimedPairInitialisesAndNoOtherDoes) {
    for (int in = 1; in <= 2; ++in) {
        for (int out = 1; out <= 2; ++out) {
            GrindvoxUnit unit;
            ASSERT_TRUE(unit.Unit());
            ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Input, in), noErr);
            ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Output, out), noErr);
            EXPECT_EQ(AudioUnitInitialize(unit.Unit()),
                      in == out ? noErr : static_cast<OSStatus>(badComponentSelector))
                << in << "-" << out;
        }
    }
    GrindvoxUnit untouched;
    ASSERT_TRUE(untouched.Unit());
    EXPECT_EQ(AudioUnitInitialize(untouched.Unit()), noErr) << "no format set: any pair will do";
}

// ---- Listeners ----

TEST(PropertyListeners, HearEverySetBeforeItTakesEffectRefusedOnesIncluded) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    ListenerLog log;
    ASSERT_EQ(AudioUnitAddPropertyListener(unit.Unit(), kAudioUnitProperty_MaximumFramesPerSlice,
                                           ListenerLog::Listen, &log),
              noErr);
    ASSERT_EQ(AudioUnitAddPropertyListener(unit.Unit(), kAudioUnitProperty_AudioChannelLayout,
                                           ListenerLog::Listen, &log),
              noErr);
    ASSERT_EQ(AudioUnitAddPropertyListener(unit.Unit(), kAudioUnitProperty_StreamFormat,
                                           ListenerLog::Listen, &log),
              noErr);

    ASSERT_EQ(unit.SetMaxFrames(512), noErr);
    ASSERT_EQ(log.calls.size(), 1u);
    EXPECT_EQ(log.calls[0].unit, unit.Unit());
    EXPECT_EQ(log.calls[0].id, static_cast<UInt32>(kAudioUnitProperty_MaximumFramesPerSlice));
    EXPECT_EQ(log.calls[0].scope, static_cast<UInt32>(kAudioUnitScope_Global));
    EXPECT_EQ(log.calls[0].maxFramesSeen, 1024u) << "told before the change";
    EXPECT_EQ(maxFrames(unit.Unit()), 512u);

    const UInt32 layout = 0;
    EXPECT_EQ(
        set(unit.Unit(), kAudioUnitProperty_AudioChannelLayout, kAudioUnitScope_Output, 3, layout),
        kAudioUnitErr_InvalidProperty);
    ASSERT_EQ(log.calls.size(), 2u);
    EXPECT_EQ(log.calls[1].id, static_cast<UInt32>(kAudioUnitProperty_AudioChannelLayout));
    EXPECT_EQ(log.calls[1].scope, static_cast<UInt32>(kAudioUnitScope_Output));
    EXPECT_EQ(log.calls[1].element, 0u);

    AudioStreamBasicDescription format;
    IPlugAU::MakeDefaultASBD(&format, 44100.0, 1, false);
    EXPECT_EQ(set(unit.Unit(), kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 5, format),
              kAudioUnitErr_InvalidProperty)
        << "no input bus 5";
    ASSERT_EQ(log.calls.size(), 3u);
    EXPECT_EQ(log.calls[2].scope, static_cast<UInt32>(kAudioUnitScope_Input));

    EXPECT_EQ(unit.SetSampleRate(48000.0), noErr);
    EXPECT_EQ(log.calls.size(), 3u) << "nobody listens to the sample rate";

    ASSERT_EQ(AudioUnitRemovePropertyListener(unit.Unit(), kAudioUnitProperty_MaximumFramesPerSlice,
                                              ListenerLog::Listen),
              noErr);
    ASSERT_EQ(unit.SetMaxFrames(256), noErr);
    EXPECT_EQ(log.calls.size(), 3u);
}
