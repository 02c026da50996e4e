#include "tests/platform/TestComponent.h"

#include <AudioToolbox/AudioToolbox.h>
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

using namespace test_component;

namespace {

class AudioUnitCalls : public ::testing::Test {
protected:
    void SetUp() override {
        unit = OpenComponent(Register('call'));
        ASSERT_NE(unit, nullptr);
    }
    void TearDown() override { CloseComponent(unit); }

    // Expects the last call to have been `what` with these argument slots after the instance.
    void ExpectCall(SInt16 what, std::vector<long> args) {
        EXPECT_EQ(gLast.what, what);
        EXPECT_EQ(gLast.params[0], reinterpret_cast<long>(unit)) << "selector " << what;
        EXPECT_EQ(gLast.paramSize, args.size() * sizeof(long)) << "selector " << what;
        for (size_t i = 0; i < args.size(); ++i)
            EXPECT_EQ(gLast.params[i + 1], args[i]) << "selector " << what << " slot " << i + 1;
        EXPECT_EQ(gLast.storage, GetComponentInstanceStorage(unit));
    }

    AudioUnit unit = nullptr;
};

long P(const void* p) {
    return reinterpret_cast<long>(p);
}

template <typename F>
long F2L(F f) {
    return reinterpret_cast<long>(f);
}

OSStatus Notify(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                AudioBufferList*) {
    return noErr;
}

void Listener(void*, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {}

} // namespace

TEST_F(AudioUnitCalls, EachCallPacksItsArgumentsInPublishedOrder) {
    int a = 0;
    int b = 0;
    int c = 0;
    EXPECT_EQ(AudioUnitInitialize(unit), badComponentSelector);
    ExpectCall(kAudioUnitInitializeSelect, {});
    AudioUnitUninitialize(unit);
    ExpectCall(kAudioUnitUninitializeSelect, {});
    AudioUnitGetPropertyInfo(unit, 8, 1, 2, reinterpret_cast<UInt32*>(&a),
                             reinterpret_cast<Boolean*>(&b));
    ExpectCall(kAudioUnitGetPropertyInfoSelect, {8, 1, 2, P(&a), P(&b)});
    AudioUnitSetProperty(unit, 14, 0, 7, &a, 4);
    ExpectCall(kAudioUnitSetPropertySelect, {14, 0, 7, P(&a), 4});
    AudioUnitAddPropertyListener(unit, 12, Listener, &c);
    ExpectCall(kAudioUnitAddPropertyListenerSelect, {12, F2L(Listener), P(&c)});
    AudioUnitRemovePropertyListener(unit, 12, Listener);
    ExpectCall(kAudioUnitRemovePropertyListenerSelect, {12, F2L(Listener)});
    AudioUnitRemovePropertyListenerWithUserData(unit, 36, Listener, &b);
    ExpectCall(kAudioUnitRemovePropertyListenerWithUserDataSelect, {36, F2L(Listener), P(&b)});
    AudioUnitAddRenderNotify(unit, Notify, &a);
    ExpectCall(kAudioUnitAddRenderNotifySelect, {F2L(Notify), P(&a)});
    AudioUnitRemoveRenderNotify(unit, Notify, &b);
    ExpectCall(kAudioUnitRemoveRenderNotifySelect, {F2L(Notify), P(&b)});
    AudioUnitParameterEvent events[2] = {};
    AudioUnitScheduleParameters(unit, events, 2);
    ExpectCall(kAudioUnitScheduleParametersSelect, {P(events), 2});
    AudioUnitRenderActionFlags flags = 0;
    AudioTimeStamp stamp = {};
    AudioBufferList list = {};
    AudioUnitRender(unit, &flags, &stamp, 1, 512, &list);
    ExpectCall(kAudioUnitRenderSelect, {P(&flags), P(&stamp), 1, 512, P(&list)});
    AudioUnitReset(unit, kAudioUnitScope_Global, 0);
    ExpectCall(kAudioUnitResetSelect, {0, 0});
    MusicDeviceMIDIEvent(unit, 0x90, 60, 100, 17);
    ExpectCall(kMusicDeviceMIDIEventSelect, {0x90, 60, 100, 17});
    UInt8 sysex[3] = {0xF0, 0x01, 0xF7};
    EXPECT_EQ(MusicDeviceSysEx(unit, sysex, 3), badComponentSelector);
    ExpectCall(kMusicDeviceSysExSelect, {P(sysex), 3});
    MusicDevicePrepareInstrument(unit, 5);
    ExpectCall(kMusicDevicePrepareInstrumentSelect, {5});
    MusicDeviceReleaseInstrument(unit, 6);
    ExpectCall(kMusicDeviceReleaseInstrumentSelect, {6});
    NoteInstanceID note = 0;
    MusicDeviceNoteParams noteParams = {2, 64.5f, 90.0f, {}};
    MusicDeviceStartNote(unit, 1, 2, &note, 30, &noteParams);
    ExpectCall(kMusicDeviceStartNoteSelect, {1, 2, P(&note), 30, P(&noteParams)});
    MusicDeviceStopNote(unit, 2, 9, 31);
    ExpectCall(kMusicDeviceStopNoteSelect, {2, 9, 31});
    ControlRef control = nullptr;
    Float32Point where = {1, 2};
    AudioUnitCarbonViewCreate(unit, unit, nullptr, nullptr, &where, &where, &control);
    ExpectCall(kAudioUnitCarbonViewCreateSelect,
               {P(unit), 0, 0, P(&where), P(&where), P(&control)});
}

TEST_F(AudioUnitCalls, UnsignedArgumentsAreZeroExtendedAndFloatsSitInTheirSlot) {
    AudioUnitSetParameter(unit, 0xFFFFFFFFu, 0, 0, -0.25f, 0x80000000u);
    EXPECT_EQ(gLast.what, kAudioUnitSetParameterSelect);
    EXPECT_EQ(gLast.params[1], 0xFFFFFFFFl);
    EXPECT_EQ(Slot<Float32>(gLast, 4), -0.25f);
    EXPECT_EQ(Slot<UInt32>(gLast, 5), 0x80000000u);
    EXPECT_EQ(gLast.params[5], 0x80000000l);

    AudioUnitParameterValue value = 0;
    EXPECT_EQ(AudioUnitGetParameter(unit, 7, 0, 0, &value), noErr);
    EXPECT_EQ(value, 3.5f);
}

TEST(AudioUnitCallsOnNoUnit, AnswerBadComponentInstance) {
    AudioUnitParameterValue value = 0;
    EXPECT_EQ(AudioUnitInitialize(nullptr), badComponentInstance);
    EXPECT_EQ(AudioUnitGetParameter(nullptr, 0, 0, 0, &value), badComponentInstance);
    EXPECT_EQ(MusicDeviceMIDIEvent(nullptr, 0x90, 1, 2, 3), badComponentInstance);
}

namespace {

struct Heard {
    void* object;
    AudioUnitEvent event;
    AudioUnitParameterValue value;
    std::thread::id thread;
};

void RecordEvent(void* refCon, void* object, const AudioUnitEvent* event, UInt64,
                 AudioUnitParameterValue value) {
    static_cast<std::vector<Heard>*>(refCon)->push_back(
        {object, *event, value, std::this_thread::get_id()});
}

AudioUnitEvent ParameterEvent(AudioUnitEventType type, AudioUnit unit, AudioUnitParameterID id) {
    AudioUnitEvent event = {};
    event.mEventType = type;
    event.mArgument.mParameter = {unit, id, kAudioUnitScope_Global, 0};
    return event;
}

} // namespace

TEST_F(AudioUnitCalls, EventListenersHearMatchingParameterEventsAtOnceOnThePostingThread) {
    std::vector<Heard> heard;
    AUEventListenerRef listener = nullptr;
    ASSERT_EQ(AUEventListenerCreate(RecordEvent, &heard, nullptr, kCFRunLoopDefaultMode, 0.05f,
                                    0.0f, &listener),
              noErr);
    int object = 0;
    AudioUnitEvent change = ParameterEvent(kAudioUnitEvent_ParameterValueChange, unit, 5);
    ASSERT_EQ(AUEventListenerAddEventType(listener, &object, &change), noErr);
    ASSERT_EQ(AUEventListenerAddEventType(listener, &object, &change), noErr); // kept once
    AudioUnitEvent begin = ParameterEvent(kAudioUnitEvent_BeginParameterChangeGesture, unit, 5);
    ASSERT_EQ(AUEventListenerAddEventType(listener, &object, &begin), noErr);

    std::thread::id poster;
    std::thread worker([&] {
        poster = std::this_thread::get_id();
        AUEventListenerNotify(nullptr, nullptr, &begin);
        AUEventListenerNotify(nullptr, nullptr, &change);
        AudioUnitEvent other = ParameterEvent(kAudioUnitEvent_ParameterValueChange, unit, 6);
        AUEventListenerNotify(nullptr, nullptr, &other); // not registered
        AudioUnitEvent end = ParameterEvent(kAudioUnitEvent_EndParameterChangeGesture, unit, 5);
        AUEventListenerNotify(nullptr, nullptr, &end); // not registered
    });
    worker.join();

    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].event.mEventType, kAudioUnitEvent_BeginParameterChangeGesture);
    EXPECT_EQ(heard[1].event.mEventType, kAudioUnitEvent_ParameterValueChange);
    EXPECT_EQ(heard[1].object, &object);
    EXPECT_EQ(heard[1].event.mArgument.mParameter.mParameterID, 5u);
    EXPECT_EQ(heard[1].value, 2.5f); // read back from the unit: ID / 2
    EXPECT_EQ(heard[1].thread, poster);

    // The sending listener does not hear itself; removed and disposed listeners hear nothing.
    AUEventListenerNotify(listener, nullptr, &change);
    EXPECT_EQ(heard.size(), 2u);
    ASSERT_EQ(AUEventListenerRemoveEventType(listener, &object, &change), noErr);
    AUEventListenerNotify(nullptr, nullptr, &change);
    EXPECT_EQ(heard.size(), 2u);
    AUEventListenerNotify(nullptr, nullptr, &begin);
    EXPECT_EQ(heard.size(), 3u);
    ASSERT_EQ(AUListenerDispose(listener), noErr);
    AUEventListenerNotify(nullptr, nullptr, &begin);
    EXPECT_EQ(heard.size(), 3u);
    EXPECT_EQ(AUListenerDispose(listener), paramErr);
}

TEST_F(AudioUnitCalls, AnyParameterRegistrationHearsEveryParameterOfItsUnitOnly) {
    std::vector<Heard> heard;
    AUEventListenerRef listener = nullptr;
    ASSERT_EQ(AUEventListenerCreate(RecordEvent, &heard, nullptr, nullptr, 0, 0, &listener), noErr);
    AudioUnitEvent any = ParameterEvent(kAudioUnitEvent_ParameterValueChange, unit,
                                        kAUParameterListener_AnyParameter);
    ASSERT_EQ(AUEventListenerAddEventType(listener, nullptr, &any), noErr);
    AudioUnitEvent p1 = ParameterEvent(kAudioUnitEvent_ParameterValueChange, unit, 1);
    AudioUnitEvent p4 = ParameterEvent(kAudioUnitEvent_ParameterValueChange, unit, 4);
    int notAUnit = 0;
    AudioUnitEvent elsewhere = ParameterEvent(kAudioUnitEvent_ParameterValueChange,
                                              reinterpret_cast<AudioUnit>(&notAUnit), 1);
    AUEventListenerNotify(nullptr, nullptr, &p1);
    AUEventListenerNotify(nullptr, nullptr, &p4);
    AUEventListenerNotify(nullptr, nullptr, &elsewhere);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].value, 0.5f);
    EXPECT_EQ(heard[1].value, 2.0f);
    AUListenerDispose(listener);
}

namespace {

struct SelfDisposer {
    AUEventListenerRef listener = nullptr;
    int calls = 0;
};

void DisposeItself(void* refCon, void*, const AudioUnitEvent*, UInt64, AudioUnitParameterValue) {
    auto* self = static_cast<SelfDisposer*>(refCon);
    ++self->calls;
    AUListenerDispose(self->listener);
}

} // namespace

TEST_F(AudioUnitCalls, ListenerMayDisposeItselfFromItsCallback) {
    SelfDisposer self;
    ASSERT_EQ(AUEventListenerCreate(DisposeItself, &self, nullptr, nullptr, 0, 0, &self.listener),
              noErr);
    AudioUnitEvent change = ParameterEvent(kAudioUnitEvent_ParameterValueChange, unit, 2);
    AudioUnitEvent again = ParameterEvent(kAudioUnitEvent_ParameterValueChange, unit, 2);
    ASSERT_EQ(AUEventListenerAddEventType(self.listener, nullptr, &change), noErr);
    int other = 0;
    ASSERT_EQ(AUEventListenerAddEventType(self.listener, &other, &again), noErr);
    // Two registrations match: the second delivery sees the listener disposed and is skipped.
    EXPECT_EQ(AUEventListenerNotify(nullptr, nullptr, &change), noErr);
    EXPECT_EQ(self.calls, 1);
}
