#include "tests/au/TestAU.h"
#include "tests/support/AllocationTracking.h"

#include <set>

namespace {

int sListenerCalls = 0;
void countingListener(void* calls, AudioUnit, AudioUnitPropertyID, AudioUnitScope,
                      AudioUnitElement) {
    ++*static_cast<int*>(calls);
}
void otherListener(void*, AudioUnit, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement) {
    ++sListenerCalls;
}

int sNotifications = 0;
OSStatus countingNotifier(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                          AudioBufferList*) {
    ++sNotifications;
    return noErr;
}

// One stereo render of 16 frames with the adapter's own scratch as output.
OSStatus renderOnce(AudioUnit unit, double sampleTime) {
    AudioTimeStamp stamp = {};
    stamp.mSampleTime = sampleTime;
    stamp.mFlags = kAudioTimeStampSampleTimeValid;
    struct {
        UInt32 mNumberBuffers;
        AudioBuffer mBuffers[2];
    } list = {2, {{1, 64, nullptr}, {1, 64, nullptr}}};
    AudioUnitRenderActionFlags flags = 0;
    return AudioUnitRender(unit, &flags, &stamp, 0, 16, reinterpret_cast<AudioBufferList*>(&list));
}

} // namespace

TEST_F(AUTest, AnswersItsVersionAndWhichSelectorsItHandles) {
    EXPECT_EQ(CallComponentVersion(mUnit), 0x20304);
    const std::set<int> handled = {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 14, 15, 16, 17};
    for (int selector = -12; selector <= 300; ++selector) {
        const ComponentResult expected = handled.count(selector) ? 1 : 0;
        EXPECT_EQ(CallComponentCanDo(mUnit, static_cast<SInt16>(selector)), expected)
            << "selector " << selector;
    }
}

TEST_F(AUTest, RefusesSelectorsItDoesNotHandle) {
    for (SInt16 selector : {0, 8, 12, 13, 19, 256, 263, -5}) {
        EXPECT_EQ(Select(selector, {}), static_cast<ComponentResult>(badComponentSelector))
            << "selector " << selector;
    }
    const UInt8 sysex[] = {0xF0, 0x7E, 0xF7};
    EXPECT_EQ(MusicDeviceSysEx(mUnit, sysex, sizeof sysex),
              static_cast<OSStatus>(badComponentSelector));
    EXPECT_FALSE(Plug().GetMutex()->IsHeldByCaller()) << "the lock is released on every path";
}

TEST_F(AUTest, InitializeChecksTheChannelConfiguration) {
    SetFormat(kAudioUnitScope_Input, 2);
    SetFormat(kAudioUnitScope_Output, 1); // each legal on its own before Initialize
    EXPECT_EQ(AudioUnitInitialize(mUnit), static_cast<OSStatus>(badComponentSelector));

    SetFormat(kAudioUnitScope_Output, 2);
    Plug().changes.clear();
    EXPECT_EQ(AudioUnitInitialize(mUnit), noErr);
    EXPECT_EQ(Plug().changes, (std::vector<int>{0, 1, 2})) << "every parameter is reset";
    EXPECT_EQ(AudioUnitUninitialize(mUnit), noErr);
}

TEST_F(AUTest, AListenerIsAddedOncePerPropertyAndCallback) {
    int first = 0, second = 0;
    AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_BypassEffect, countingListener, &first);
    AudioUnitAddPropertyListener(mUnit, kAudioUnitProperty_BypassEffect, countingListener, &second);
    const UInt32 on = 1;
    AudioUnitSetProperty(mUnit, kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, &on,
                         sizeof on);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0) << "the second add kept the first user data";

    EXPECT_EQ(AudioUnitRemovePropertyListener(mUnit, kAudioUnitProperty_Latency, countingListener),
              noErr)
        << "removing what is not registered is no error";
    EXPECT_EQ(AudioUnitRemovePropertyListenerWithUserData(mUnit, kAudioUnitProperty_BypassEffect,
                                                          countingListener, &second),
              noErr);
    AudioUnitSetProperty(mUnit, kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, &on,
                         sizeof on);
    EXPECT_EQ(first, 2) << "the user data did not match, so the listener stayed";

    AudioUnitRemovePropertyListener(mUnit, kAudioUnitProperty_BypassEffect, countingListener);
    AudioUnitSetProperty(mUnit, kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, &on,
                         sizeof on);
    EXPECT_EQ(first, 2);
}

TEST_F(AUTest, ListenersHearEvenAPropertyThatIsRefused) {
    sListenerCalls = 0;
    AudioUnitAddPropertyListener(mUnit, 777, otherListener, nullptr);
    EXPECT_EQ(AudioUnitSetProperty(mUnit, 777, kAudioUnitScope_Global, 0, nullptr, 0),
              kAudioUnitErr_InvalidProperty);
    EXPECT_EQ(sListenerCalls, 1);
}

TEST_F(AUTest, RenderNotifiersMayRepeatAndOneRemoveTakesTheFirst) {
    AudioUnitAddRenderNotify(mUnit, countingNotifier, nullptr);
    AudioUnitAddRenderNotify(mUnit, countingNotifier, &sNotifications);
    sNotifications = 0;
    ASSERT_EQ(renderOnce(mUnit, 0), noErr);
    EXPECT_EQ(sNotifications, 4) << "two notifiers, before and after";

    EXPECT_EQ(AudioUnitRemoveRenderNotify(mUnit, countingNotifier, &sNotifications), noErr);
    sNotifications = 0;
    renderOnce(mUnit, 16);
    EXPECT_EQ(sNotifications, 2);
    EXPECT_EQ(AudioUnitRemoveRenderNotify(mUnit, countingNotifier, nullptr), noErr);
    EXPECT_EQ(AudioUnitRemoveRenderNotify(mUnit, countingNotifier, nullptr), noErr)
        << "removing what is not registered is no error";
    sNotifications = 0;
    renderOnce(mUnit, 32);
    EXPECT_EQ(sNotifications, 0);
}

TEST_F(AUTest, ScheduledParametersSkipRampsAndGoOn) {
    AudioUnitParameterEvent events[2] = {};
    events[0].scope = kAudioUnitScope_Global;
    events[0].parameter = 0;
    events[0].eventType = kParameterEvent_Ramped;
    events[0].eventValues.ramp.startValue = 7.0f;
    events[0].eventValues.ramp.endValue = 7.0f;
    events[1].scope = kAudioUnitScope_Global;
    events[1].parameter = 0;
    events[1].eventType = kParameterEvent_Immediate;
    events[1].eventValues.immediate.value = 5.0f;
    EXPECT_EQ(AudioUnitScheduleParameters(mUnit, events, 2), noErr);
    AudioUnitParameterValue value = 0;
    AudioUnitGetParameter(mUnit, 0, kAudioUnitScope_Global, 0, &value);
    EXPECT_EQ(value, 5.0f);
}

TEST_F(AUTest, ParameterCallsRefuseUnknownParametersAndOtherScopes) {
    AudioUnitParameterValue value = 42.0f;
    EXPECT_EQ(AudioUnitGetParameter(mUnit, 3, kAudioUnitScope_Global, 0, &value),
              kAudioUnitErr_InvalidParameter);
    EXPECT_EQ(AudioUnitGetParameter(mUnit, 0xFFFFFFFF, kAudioUnitScope_Global, 0, &value),
              kAudioUnitErr_InvalidParameter);
    EXPECT_EQ(value, 42.0f);
    EXPECT_EQ(AudioUnitSetParameter(mUnit, 3, kAudioUnitScope_Global, 0, 1.0f, 0),
              kAudioUnitErr_InvalidParameter);
    EXPECT_EQ(AudioUnitGetParameter(mUnit, 0, kAudioUnitScope_Input, 0, &value),
              kAudioUnitErr_InvalidProperty);

    AudioUnitParameterEvent event = {};
    event.parameter = 9;
    event.eventType = kParameterEvent_Immediate;
    EXPECT_EQ(AudioUnitScheduleParameters(mUnit, &event, 1), kAudioUnitErr_InvalidParameter);
    EXPECT_TRUE(Plug().changes.empty()) << "nothing was touched";
}

TEST_F(AUTest, MidiEventsReachThePlugInUnderTheLock) {
    EXPECT_EQ(MusicDeviceMIDIEvent(mUnit, 0x1093, 0x13C, 100, 37), noErr);
    ASSERT_EQ(Plug().midi.size(), 1u);
    const IMidiMsg& msg = Plug().midi[0];
    EXPECT_EQ(msg.mSampleOffset, 37);
    EXPECT_EQ(msg.mStatusByte, 0x93) << "each argument keeps its low 8 bits";
    EXPECT_EQ(msg.mDataByte1, 0x3C);
    EXPECT_EQ(msg.mDataByte2, 100);
    EXPECT_TRUE(Plug().midiUnderLock[0]);
}

TEST_F(AUTest, StartNoteAnswersTheTruncatedPitch) {
    MusicDeviceNoteParams note = {};
    note.argCount = 2;
    note.mPitch = 61.9f;
    note.mVelocity = 100.0f;
    NoteInstanceID id = 0;
    EXPECT_EQ(MusicDeviceStartNote(mUnit, 0, 0, &id, 0, &note), noErr);
    EXPECT_EQ(id, 61u);
    EXPECT_EQ(MusicDeviceStopNote(mUnit, 0, id, 0), noErr);
    EXPECT_EQ(MusicDevicePrepareInstrument(mUnit, 0), noErr);
}

TEST_F(AUTest, ResetReachesThePlugIn) {
    EXPECT_EQ(AudioUnitReset(mUnit, kAudioUnitScope_Global, 0), noErr);
}

namespace {

UInt32 elementCount(AudioUnit unit, AudioUnitScope scope) {
    UInt32 count = 99, size = sizeof count;
    AudioUnitGetProperty(unit, kAudioUnitProperty_ElementCount, scope, 0, &count, &size);
    return count;
}

AudioStreamBasicDescription streamFormat(AudioUnit unit, AudioUnitScope scope, UInt32 bus) {
    AudioStreamBasicDescription format = {};
    UInt32 size = sizeof format;
    AudioUnitGetProperty(unit, kAudioUnitProperty_StreamFormat, scope, bus, &format, &size);
    return format;
}

} // namespace

TEST_F(AUTest, BussesFollowTheChannelsAndTheSideChain) {
    EXPECT_EQ(elementCount(mUnit, kAudioUnitScope_Input), 1u);
    EXPECT_EQ(elementCount(mUnit, kAudioUnitScope_Output), 1u);
    EXPECT_EQ(streamFormat(mUnit, kAudioUnitScope_Input, 0).mChannelsPerFrame, 2u)
        << "the plug channel count while the host has set none";

    CloseComponent(mUnit);
    TestAU::sNextShape.channelIO = "2-2";
    TestAU::sNextShape.sideChainChannels = 1;
    ASSERT_EQ(OpenAComponent(Registered(), &mUnit), noErr);
    EXPECT_EQ(elementCount(mUnit, kAudioUnitScope_Input), 2u);
    EXPECT_EQ(streamFormat(mUnit, kAudioUnitScope_Input, 0).mChannelsPerFrame, 1u);
    EXPECT_EQ(streamFormat(mUnit, kAudioUnitScope_Input, 1).mChannelsPerFrame, 1u);

    CloseComponent(mUnit);
    TestAU::sNextShape.channelIO = "0-5";
    TestAU::sNextShape.sideChainChannels = 0;
    TestAU::sNextShape.instrument = true;
    ASSERT_EQ(OpenAComponent(Registered(), &mUnit), noErr);
    EXPECT_EQ(elementCount(mUnit, kAudioUnitScope_Input), 0u);
    EXPECT_EQ(elementCount(mUnit, kAudioUnitScope_Output), 3u) << "pairs, the last one single";
    EXPECT_EQ(streamFormat(mUnit, kAudioUnitScope_Output, 2).mChannelsPerFrame, 1u);
}

TEST(AUOpenClose, ManyInstancesOpenAndCloseCleanly) {
    for (int i = 0; i < 200; ++i) {
        AudioUnit unit = nullptr;
        ASSERT_EQ(OpenAComponent(AUTest::Registered(), &unit), noErr);
        ASSERT_NE(GetComponentInstanceStorage(unit), nullptr);
        ASSERT_EQ(CloseComponent(unit), noErr);
    }
}

TEST_F(AUTest, TheHostIdentifierNamesTheHostEvenWithNonAsciiText) {
    AUHostIdentifier host = {};
    host.hostName = CFStringCreateWithCString(nullptr, "Nuendo Überstudio", kCFStringEncodingUTF8);
    host.hostVersion.majorRev = 7;
    host.hostVersion.minorAndBugRev = 0x12;
    EXPECT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_AUHostIdentifier,
                                   kAudioUnitScope_Global, 0, &host, sizeof host),
              noErr);
    CFRelease(host.hostName);
    EXPECT_EQ(Plug().GetHost(), 4);
    EXPECT_EQ(Plug().GetHostVersion(false), 0x071200);
}

namespace {

// Feeds every input buffer with one value, or hands back no buffers at all.
struct ConstantInput {
    float value = 0.0f;
    bool dropBuffers = false;

    static OSStatus Render(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32,
                           UInt32 frames, AudioBufferList* data) {
        auto* self = static_cast<ConstantInput*>(refCon);
        for (UInt32 b = 0; b < data->mNumberBuffers; ++b) {
            if (self->dropBuffers) {
                data->mBuffers[b].mData = nullptr;
                continue;
            }
            auto* samples = static_cast<float*>(data->mBuffers[b].mData);
            for (UInt32 i = 0; i < frames; ++i)
                samples[i] = self->value;
        }
        return noErr;
    }
};

// Renders 16 stereo frames at the sample time into out.
void renderInto(AudioUnit unit, double sampleTime, float (&out)[2][16]) {
    AudioTimeStamp stamp = {};
    stamp.mSampleTime = sampleTime;
    stamp.mFlags = kAudioTimeStampSampleTimeValid;
    struct {
        UInt32 mNumberBuffers;
        AudioBuffer mBuffers[2];
    } list = {2, {{1, 64, out[0]}, {1, 64, out[1]}}};
    AudioUnitRenderActionFlags flags = 0;
    ASSERT_EQ(
        AudioUnitRender(unit, &flags, &stamp, 0, 16, reinterpret_cast<AudioBufferList*>(&list)),
        noErr);
}

} // namespace

TEST_F(AUTest, AfterAResetTheInputIsPulledAgainAtTheSameSampleTime) {
    ConstantInput input{1.0f, false};
    AURenderCallbackStruct callback = {ConstantInput::Render, &input};
    ASSERT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_SetRenderCallback,
                                   kAudioUnitScope_Input, 0, &callback, sizeof callback),
              noErr);
    SetFormat(kAudioUnitScope_Input, 2);
    SetFormat(kAudioUnitScope_Output, 2);
    ASSERT_EQ(AudioUnitInitialize(mUnit), noErr);

    float out[2][16];
    renderInto(mUnit, 0.0, out);
    EXPECT_EQ(out[1][15], 1.0f);

    input.value = 0.5f;
    renderInto(mUnit, 0.0, out);
    EXPECT_EQ(out[1][15], 1.0f) << "the same sample time reuses the input already pulled";

    AudioUnitReset(mUnit, kAudioUnitScope_Global, 0);
    renderInto(mUnit, 0.0, out);
    EXPECT_EQ(out[1][15], 0.5f) << "a host starting over gets its new input";

    input.dropBuffers = true;
    renderInto(mUnit, 16.0, out);
    EXPECT_EQ(out[0][0], 0.0f) << "an input that hands back no buffer is silence";
    EXPECT_EQ(out[1][15], 0.0f);
}

TEST_F(AUTest, RunningOutOfMemoryIsAnErrorAndTheUnitGoesOn) {
    GRINDVOX_REQUIRE_ALLOCATION_TRACKING();
    OSStatus result;
    {
        grindvox::test::AllocationFailure fail;
        result = AudioUnitAddRenderNotify(mUnit, countingNotifier, nullptr);
    }
    EXPECT_EQ(result, memFullErr);
    EXPECT_FALSE(Plug().GetMutex()->IsHeldByCaller());
    sNotifications = 0;
    ASSERT_EQ(renderOnce(mUnit, 0), noErr);
    EXPECT_EQ(sNotifications, 0) << "nothing was registered";
}

namespace {

UInt32 sBuffersAsked = 0;
OSStatus countBuffers(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                      AudioBufferList* data) {
    sBuffersAsked = data->mNumberBuffers;
    return noErr;
}

} // namespace

TEST_F(AUTest, AnInputBusIsNeverAskedForMoreChannelsThanThePlugInHasFromItsFirst) {
    CloseComponent(mUnit);
    TestAU::sNextShape.channelIO = "2-2";
    TestAU::sNextShape.sideChainChannels = 1; // busses of one channel each
    ASSERT_EQ(OpenAComponent(Registered(), &mUnit), noErr);

    AURenderCallbackStruct callback = {countBuffers, nullptr};
    ASSERT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_SetRenderCallback,
                                   kAudioUnitScope_Input, 1, &callback, sizeof callback),
              noErr);
    AudioStreamBasicDescription format;
    IPlugAU::MakeDefaultASBD(&format, 44100.0, 2, false);
    ASSERT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 1,
                                   &format, sizeof format),
              noErr)
        << "two channels on the side chain make a legal total before Initialize";

    float out[2][16];
    renderInto(mUnit, 0.0, out);
    EXPECT_EQ(sBuffersAsked, 1u) << "the side chain is the plug-in's last channel";
}
