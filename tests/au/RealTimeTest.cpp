// The render path allocates nothing once the unit is configured: AudioUnitRender is counted
// with the test binary's allocation hooks, which also see the component module's allocations.
#include "tests/au/GrindvoxHost.h"
#include "tests/au/SourceUnit.h"
#include "tests/support/AllocationTracking.h"

#include <AudioToolbox/AudioToolbox.h>
#include <gtest/gtest.h>

using grindvox::test::AllocationCounter;
using grindvox::test::CallbackInput;
using grindvox::test::GrindvoxUnit;
using grindvox::test::HostBuffers;
using grindvox::test::SourceUnit;

namespace {

OSStatus countingNotifier(void* count, AudioUnitRenderActionFlags* /*flags*/,
                          const AudioTimeStamp* /*timeStamp*/, UInt32 /*bus*/, UInt32 /*frames*/,
                          AudioBufferList* /*list*/) {
    ++*static_cast<int*>(count);
    return noErr;
}

void ignoreProperty(void* /*self*/, AudioUnit /*unit*/, AudioUnitPropertyID /*id*/,
                    AudioUnitScope /*scope*/, AudioUnitElement /*element*/) {}

void ignoreEvent(void* /*self*/, void* /*object*/, const AudioUnitEvent* /*event*/,
                 UInt64 /*hostTime*/, AudioUnitParameterValue /*value*/) {}

enum class Feed { Callback, FastSource, PlainSource };

struct RenderSetup {
    const char* name;
    int channels;
    Feed feed;
    bool nullOutputs;
    bool bypass;
};

// Renders a few blocks after the first with the counter armed around each AudioUnitRender,
// changing a parameter between blocks; returns the allocations counted.
int allocationsWhileRendering(const RenderSetup& setup) {
    GrindvoxUnit unit;
    CallbackInput input;
    AudioUnit source = nullptr;
    if (setup.feed == Feed::Callback) {
        EXPECT_EQ(unit.Configure(setup.channels, &input, 512), noErr);
    } else {
        EXPECT_EQ(OpenAComponent(setup.feed == Feed::FastSource ? SourceUnit::Fast()
                                                                : SourceUnit::Plain(),
                                 &source),
                  noErr);
        SourceUnit::Of(source)->mChannels = setup.channels;
        EXPECT_EQ(unit.SetFormat(kAudioUnitScope_Output, setup.channels), noErr);
        EXPECT_EQ(unit.Connect(source), noErr);
        EXPECT_EQ(unit.SetMaxFrames(512), noErr);
        EXPECT_EQ(AudioUnitInitialize(unit.Unit()), noErr);
    }
    if (setup.bypass) {
        const UInt32 on = 1;
        EXPECT_EQ(AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_BypassEffect,
                                       kAudioUnitScope_Global, 0, &on, sizeof on),
                  noErr);
    }
    // Every kind of listener a host registers, so that render would pay for them if it called
    // any of them.
    int notified = 0;
    EXPECT_EQ(AudioUnitAddRenderNotify(unit.Unit(), countingNotifier, &notified), noErr);
    EXPECT_EQ(AudioUnitAddPropertyListener(unit.Unit(), kAudioUnitProperty_Latency, ignoreProperty,
                                           nullptr),
              noErr);
    AUEventListenerRef listener = nullptr;
    EXPECT_EQ(AUEventListenerCreate(ignoreEvent, nullptr, nullptr, nullptr, 0, 0, &listener),
              noErr);
    AudioUnitEvent event = {};
    event.mEventType = kAudioUnitEvent_ParameterValueChange;
    event.mArgument.mParameter = {unit.Unit(), kAUParameterListener_AnyParameter,
                                  kAudioUnitScope_Global, 0};
    EXPECT_EQ(AUEventListenerAddEventType(listener, nullptr, &event), noErr);

    HostBuffers buffers(setup.channels, 512);
    auto list = [&](UInt32 frames) {
        return setup.nullOutputs ? buffers.NullList(frames) : buffers.List(frames);
    };
    EXPECT_EQ(unit.Render(list(512), 512, 0), noErr);

    int allocations = 0;
    const UInt32 sizes[] = {512, 64, 1, 300, 512, 128};
    Float64 time = 512;
    int i = 0;
    for (UInt32 frames : sizes) {
        EXPECT_EQ(unit.SetParameter(Grindvox::kBits, static_cast<float>(4 + i++)), noErr);
        AudioBufferList* bufferList = list(frames);
        AudioUnitRenderActionFlags flags = 0;
        const AudioTimeStamp stamp = grindvox::test::SampleTime(time);
        OSStatus result;
        {
            AllocationCounter counter;
            result = AudioUnitRender(unit.Unit(), &flags, &stamp, 0, frames, bufferList);
            allocations += counter.Count();
        }
        EXPECT_EQ(result, noErr);
        time += frames;
    }
    EXPECT_EQ(notified, 2 * 7) << "every render ran its notifiers";
    AUListenerDispose(listener);
    if (source) CloseComponent(source);
    return allocations;
}

} // namespace

TEST(RealTime, TheCounterSeesTheComponentsAllocations) {
    GRINDVOX_REQUIRE_ALLOCATION_TRACKING();
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    CFPropertyListRef state = nullptr;
    UInt32 size = sizeof state;
    int allocations;
    {
        AllocationCounter counter;
        ASSERT_EQ(AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_ClassInfo,
                                       kAudioUnitScope_Global, 0, &state, &size),
                  noErr);
        allocations = counter.Count();
    }
    CFRelease(state);
    EXPECT_GT(allocations, 0) << "a state dictionary is made of allocations";
}

TEST(RealTime, RenderAllocatesNothingAfterTheFirstBlock) {
    GRINDVOX_REQUIRE_ALLOCATION_TRACKING();
    const RenderSetup setups[] = {
        {"stereo from the callback", 2, Feed::Callback, false, false},
        {"mono from the callback", 1, Feed::Callback, false, false},
        {"into the unit's own buffers", 2, Feed::Callback, true, false},
        {"bypassed", 2, Feed::Callback, false, true},
        {"from a fast source", 2, Feed::FastSource, false, false},
        {"from a plain source", 2, Feed::PlainSource, false, false},
        {"mono from a plain source", 1, Feed::PlainSource, true, false},
    };
    for (const RenderSetup& setup : setups)
        EXPECT_EQ(allocationsWhileRendering(setup), 0) << setup.name;
}
