// Grindvox's parameters through the host calls and the fast-dispatch functions, the events and
// listener calls the unit sends the host, and the host's transport as the unit reads it.
#include "tests/au/GrindvoxHost.h"

#include "plugin/ITimeInfo.h"

#include <AudioToolbox/AudioToolbox.h>
#include <gtest/gtest.h>

#include <vector>

using grindvox::test::CallbackInput;
using grindvox::test::GrindvoxUnit;
using grindvox::test::HostBuffers;

namespace {

struct Range {
    AudioUnitParameterID id;
    float min, initial, max;
};

// Worked out from the effect's parameter table.
const Range kRanges[] = {
    {Grindvox::kFilter, 0, 0, 2},       {Grindvox::kCutoff, 20, 11000, 11000},
    {Grindvox::kResonance, 0, 0, 1.9f}, {Grindvox::kBits, 1, 16, 16},
    {Grindvox::kRatio, 0, 0, 64},       {Grindvox::kMixMode, 0, 0, 3},
    {Grindvox::kParallel, 0, 0, 1},
};

} // namespace

// ---- Values ----

TEST(Parameters, StartAtTheirDefaults) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    for (const Range& range : kRanges)
        EXPECT_EQ(unit.Parameter(range.id), range.initial) << range.id;
}

TEST(Parameters, ReadBackTheirEndsAndDefaultsAcrossResetAndReinitialisation) {
    GrindvoxUnit unit;
    CallbackInput input;
    ASSERT_EQ(unit.Configure(2, &input), noErr);
    HostBuffers buffers(2, 4096);
    for (const Range& range : kRanges) {
        for (float value : {range.min, range.initial, range.max}) {
            ASSERT_EQ(unit.SetParameter(range.id, value), noErr);
            EXPECT_EQ(unit.Parameter(range.id), value) << range.id;
            ASSERT_EQ(unit.Render(buffers.List(64), 64, 0), noErr);
            ASSERT_EQ(AudioUnitReset(unit.Unit(), kAudioUnitScope_Global, 0), noErr);
            EXPECT_EQ(unit.Parameter(range.id), value) << range.id << " after Reset";
            ASSERT_EQ(AudioUnitUninitialize(unit.Unit()), noErr);
            ASSERT_EQ(AudioUnitInitialize(unit.Unit()), noErr);
            EXPECT_EQ(unit.Parameter(range.id), value) << range.id << " after Initialize";
        }
    }
}

TEST(Parameters, ClampValuesOutsideTheirRange) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    const std::pair<Range, std::pair<float, float>> rows[] = {
        {kRanges[Grindvox::kCutoff], {50000.0f, -3.0f}},
        {kRanges[Grindvox::kResonance], {5.0f, -1.0f}},
        {kRanges[Grindvox::kBits], {17.0f, 0.0f}},
        {kRanges[Grindvox::kRatio], {1e9f, -64.0f}},
        {kRanges[Grindvox::kFilter], {3.0f, -1.0f}},
    };
    for (const auto& [range, values] : rows) {
        ASSERT_EQ(unit.SetParameter(range.id, values.first), noErr);
        EXPECT_EQ(unit.Parameter(range.id), range.max) << range.id;
        ASSERT_EQ(unit.SetParameter(range.id, values.second), noErr);
        EXPECT_EQ(unit.Parameter(range.id), range.min) << range.id;
    }
}

TEST(Parameters, RefuseOtherScopesAndUnknownParameters) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    AudioUnitParameterValue value = -7.0f;
    EXPECT_EQ(
        AudioUnitSetParameter(unit.Unit(), Grindvox::kBits, kAudioUnitScope_Input, 0, 3.0f, 0),
        kAudioUnitErr_InvalidProperty);
    EXPECT_EQ(
        AudioUnitGetParameter(unit.Unit(), Grindvox::kBits, kAudioUnitScope_Output, 0, &value),
        kAudioUnitErr_InvalidProperty);
    EXPECT_EQ(value, -7.0f);
    for (AudioUnitParameterID id : {7u, 0x80000000u, 0xFFFFFFFFu}) {
        EXPECT_EQ(AudioUnitSetParameter(unit.Unit(), id, kAudioUnitScope_Global, 0, 3.0f, 0),
                  kAudioUnitErr_InvalidParameter);
        EXPECT_EQ(AudioUnitGetParameter(unit.Unit(), id, kAudioUnitScope_Global, 0, &value),
                  kAudioUnitErr_InvalidParameter);
    }
    EXPECT_EQ(value, -7.0f);
    EXPECT_EQ(unit.Parameter(Grindvox::kBits), 16.0f);
}

TEST(Parameters, WorkTheSameThroughTheFastDispatchFunctions) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    AudioUnitGetParameterProc getProc = nullptr;
    AudioUnitSetParameterProc setProc = nullptr;
    UInt32 size = sizeof getProc;
    ASSERT_EQ(AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_FastDispatch,
                                   kAudioUnitScope_Global, kAudioUnitGetParameterSelect, &getProc,
                                   &size),
              noErr);
    size = sizeof setProc;
    ASSERT_EQ(AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_FastDispatch,
                                   kAudioUnitScope_Global, kAudioUnitSetParameterSelect, &setProc,
                                   &size),
              noErr);
    ASSERT_TRUE(getProc && setProc);
    void* storage = GetComponentInstanceStorage(unit.Unit());

    ASSERT_EQ(setProc(storage, Grindvox::kCutoff, kAudioUnitScope_Global, 0, 440.0f, 17), noErr);
    EXPECT_EQ(unit.Parameter(Grindvox::kCutoff), 440.0f);
    ASSERT_EQ(setProc(storage, Grindvox::kCutoff, kAudioUnitScope_Global, 0, 1.0f, 0), noErr);
    AudioUnitParameterValue value = 0;
    ASSERT_EQ(getProc(storage, Grindvox::kCutoff, kAudioUnitScope_Global, 0, &value), noErr);
    EXPECT_EQ(value, 20.0f) << "clamped to the minimum";
    EXPECT_EQ(setProc(storage, Grindvox::kCutoff, kAudioUnitScope_Input, 0, 900.0f, 0),
              kAudioUnitErr_InvalidProperty);
    EXPECT_EQ(unit.Parameter(Grindvox::kCutoff), 20.0f);
}

TEST(Parameters, ScheduledImmediateEventsApplyAndRampsAreSkipped) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    AudioUnitParameterEvent events[3] = {};
    events[0].parameter = Grindvox::kBits;
    events[0].eventType = kParameterEvent_Immediate;
    events[0].eventValues.immediate.value = 4.0f;
    events[1].parameter = Grindvox::kRatio;
    events[1].eventType = kParameterEvent_Ramped;
    events[1].eventValues.ramp.endValue = 9.0f;
    events[2].parameter = Grindvox::kMixMode;
    events[2].eventType = kParameterEvent_Immediate;
    events[2].eventValues.immediate.value = 2.0f;
    ASSERT_EQ(AudioUnitScheduleParameters(unit.Unit(), events, 3), noErr);
    EXPECT_EQ(unit.Parameter(Grindvox::kBits), 4.0f);
    EXPECT_EQ(unit.Parameter(Grindvox::kRatio), 0.0f);
    EXPECT_EQ(unit.Parameter(Grindvox::kMixMode), 2.0f);
}

// ---- What the unit tells the host ----

namespace {

struct EventLog {
    struct Event {
        AudioUnitEventType type;
        AudioUnit unit;
        AudioUnitParameterID id;
        AudioUnitParameterValue value;
    };
    std::vector<Event> events;

    static void Listen(void* self, void* /*object*/, const AudioUnitEvent* event,
                       UInt64 /*hostTime*/, AudioUnitParameterValue value) {
        static_cast<EventLog*>(self)->events.push_back(
            {event->mEventType, event->mArgument.mParameter.mAudioUnit,
             event->mArgument.mParameter.mParameterID, value});
    }
};

struct PropertyLog {
    std::vector<std::pair<AudioUnitPropertyID, AudioUnitScope>> calls;
    AudioUnit unit = nullptr;
    Float64 latencySeen = -1.0;

    static void Listen(void* self, AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                       AudioUnitElement element) {
        auto* log = static_cast<PropertyLog*>(self);
        log->calls.push_back({id, scope});
        log->unit = unit;
        EXPECT_EQ(element, 0u);
        if (id == kAudioUnitProperty_Latency) {
            UInt32 size = sizeof log->latencySeen;
            AudioUnitGetProperty(unit, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0,
                                 &log->latencySeen, &size);
        }
    }
};

} // namespace

TEST(HostNotification, GestureAndChangeEventsReachEventListeners) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    EventLog log;
    AUEventListenerRef listener = nullptr;
    ASSERT_EQ(AUEventListenerCreate(EventLog::Listen, &log, nullptr, nullptr, 0, 0, &listener),
              noErr);
    for (AudioUnitEventType type :
         {kAudioUnitEvent_BeginParameterChangeGesture, kAudioUnitEvent_ParameterValueChange,
          kAudioUnitEvent_EndParameterChangeGesture}) {
        AudioUnitEvent event = {};
        event.mEventType = type;
        event.mArgument.mParameter = {unit.Unit(), Grindvox::kBits, kAudioUnitScope_Global, 0};
        ASSERT_EQ(AUEventListenerAddEventType(listener, nullptr, &event), noErr);
    }
    ASSERT_EQ(unit.SetParameter(Grindvox::kBits, 12.0f), noErr);
    EXPECT_TRUE(log.events.empty()) << "a host's own change is not echoed";

    unit.Plug()->BeginInformHostOfParamChange(Grindvox::kBits);
    unit.Plug()->InformHostOfParamChange(Grindvox::kBits, 0.25);
    unit.Plug()->EndInformHostOfParamChange(Grindvox::kBits);
    unit.Plug()->InformHostOfParamChange(Grindvox::kRatio, 0.25);
    ASSERT_EQ(log.events.size(), 3u) << "only the registered parameter";
    const AudioUnitEventType expected[] = {1, 0, 2};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(log.events[i].type, expected[i]);
        EXPECT_EQ(log.events[i].unit, unit.Unit());
        EXPECT_EQ(log.events[i].id, static_cast<UInt32>(Grindvox::kBits));
        EXPECT_EQ(log.events[i].value, 12.0f) << "listeners read the unit's own value";
    }
    AUListenerDispose(listener);
}

TEST(HostNotification, ProgramAndLatencyChangesCallTheirPropertyListeners) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    PropertyLog log;
    for (AudioUnitPropertyID id : {kAudioUnitProperty_PresentPreset, kAudioUnitProperty_Latency}) {
        ASSERT_EQ(AudioUnitAddPropertyListener(unit.Unit(), id, PropertyLog::Listen, &log), noErr);
    }
    unit.Plug()->InformHostOfProgramChange();
    ASSERT_EQ(log.calls.size(), 1u);
    EXPECT_EQ(log.calls[0].first, static_cast<UInt32>(kAudioUnitProperty_PresentPreset));
    EXPECT_EQ(log.calls[0].second, static_cast<UInt32>(kAudioUnitScope_Global));
    EXPECT_EQ(log.unit, unit.Unit());

    unit.Plug()->SetLatency(441);
    ASSERT_EQ(log.calls.size(), 2u);
    EXPECT_EQ(log.calls[1].first, static_cast<UInt32>(kAudioUnitProperty_Latency));
    EXPECT_EQ(log.latencySeen, 0.0) << "told before the latency changes";
    Float64 seconds = 0;
    UInt32 size = sizeof seconds;
    ASSERT_EQ(AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_Latency, kAudioUnitScope_Global,
                                   0, &seconds, &size),
              noErr);
    EXPECT_EQ(seconds, 0.01);
}

// ---- The host's transport ----

namespace {

struct Transport {
    Float64 tempo = 0, beat = 0, position = 0, cycleStart = 0, cycleEnd = 0, downBeat = 0;
    Float32 numerator = 0;
    UInt32 denominator = 0;
    Boolean playing = false, cycling = false;

    static OSStatus BeatAndTempo(void* self, Float64* beat, Float64* tempo) {
        auto* t = static_cast<Transport*>(self);
        EXPECT_EQ(*beat, 0.0) << "outputs are preset to 0";
        *beat = t->beat;
        *tempo = t->tempo;
        return noErr;
    }
    static OSStatus MusicalTime(void* self, UInt32* toNextBeat, Float32* numerator,
                                UInt32* denominator, Float64* downBeat) {
        auto* t = static_cast<Transport*>(self);
        *toNextBeat = 5;
        *numerator = t->numerator;
        *denominator = t->denominator;
        *downBeat = t->downBeat;
        return noErr;
    }
    static OSStatus State(void* self, Boolean* playing, Boolean* changed, Float64* position,
                          Boolean* cycling, Float64* cycleStart, Float64* cycleEnd) {
        auto* t = static_cast<Transport*>(self);
        *playing = t->playing;
        *changed = false;
        *position = t->position;
        *cycling = t->cycling;
        *cycleStart = t->cycleStart;
        *cycleEnd = t->cycleEnd;
        return noErr;
    }
};

} // namespace

TEST(HostTransport, WithoutCallbacksTheUnitAssumesDefaults) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    IPlugBase* plug = unit.Plug();
    EXPECT_EQ(plug->GetTempo(), 120.0);
    EXPECT_EQ(plug->GetSamplePos(), 0);
    int numerator = 3, denominator = 8;
    plug->GetTimeSig(&numerator, &denominator);
    EXPECT_EQ(numerator, 3);
    EXPECT_EQ(denominator, 8);
}

TEST(HostTransport, IsReadThroughTheHostsCallbacks) {
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    Transport transport;
    const HostCallbackInfo callbacks = {&transport, Transport::BeatAndTempo, Transport::MusicalTime,
                                        Transport::State};
    ASSERT_EQ(AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_HostCallbacks,
                                   kAudioUnitScope_Global, 0, &callbacks, sizeof callbacks),
              noErr);
    IPlugBase* plug = unit.Plug();

    transport.tempo = 98.5;
    EXPECT_EQ(plug->GetTempo(), 98.5);
    transport.tempo = 0;
    EXPECT_EQ(plug->GetTempo(), 98.5) << "the last tempo the host reported";
    transport.tempo = -10;
    EXPECT_EQ(plug->GetTempo(), 98.5);

    transport.position = 10.4;
    EXPECT_EQ(plug->GetSamplePos(), 10);
    transport.position = 10.5;
    EXPECT_EQ(plug->GetSamplePos(), 11);

    transport.numerator = 7.9f;
    transport.denominator = 8;
    int numerator = 0, denominator = 0;
    plug->GetTimeSig(&numerator, &denominator);
    EXPECT_EQ(numerator, 7);
    EXPECT_EQ(denominator, 8);

    transport.tempo = 140;
    transport.beat = 16.5;
    transport.position = 0; // not reported: the default stays
    transport.playing = true;
    transport.cycling = true;
    transport.cycleStart = 8;
    transport.cycleEnd = -4; // not positive: the default stays
    transport.downBeat = 16;
    transport.numerator = 3;
    transport.denominator = 4;
    ITimeInfo info;
    info.mSamplePosition = -1;
    info.mLoopEndBeat = -2;
    plug->GetTime(&info);
    EXPECT_EQ(info.mTempoBPM, 140.0);
    EXPECT_EQ(info.mBeatPosition, 16.5);
    EXPECT_EQ(info.mSamplePosition, -1.0);
    EXPECT_TRUE(info.mPlaying);
    EXPECT_TRUE(info.mLooping);
    EXPECT_EQ(info.mLoopStartBeat, 8.0);
    EXPECT_EQ(info.mLoopEndBeat, -2.0);
    EXPECT_EQ(info.mBarStartBeat, 16.0);
    EXPECT_EQ(info.mTimeSigNumerator, 3);
    EXPECT_EQ(info.mTimeSigDenominator, 4);
}
