// A host's audio thread renders while its other threads change the unit: parameters, the state
// dictionary, property listeners and parameter events. Built with ThreadSanitizer, any race
// between them is a failure.
#include "tests/au/GrindvoxHost.h"

#include <AudioToolbox/AudioToolbox.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using grindvox::test::CallbackInput;
using grindvox::test::GrindvoxUnit;
using grindvox::test::HostBuffers;

namespace {

void countProperty(void* count, AudioUnit /*unit*/, AudioUnitPropertyID /*id*/,
                   AudioUnitScope /*scope*/, AudioUnitElement /*element*/) {
    static_cast<std::atomic<int>*>(count)->fetch_add(1);
}

void countEvent(void* count, void* /*object*/, const AudioUnitEvent* /*event*/, UInt64 /*hostTime*/,
                AudioUnitParameterValue /*value*/) {
    static_cast<std::atomic<int>*>(count)->fetch_add(1);
}

// Takes the unit's state and hands it straight back, as a host saving and reloading does.
void RoundTripClassInfo(AudioUnit unit) {
    CFPropertyListRef state = nullptr;
    UInt32 size = sizeof state;
    ASSERT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0,
                                   &state, &size),
              noErr);
    EXPECT_EQ(AudioUnitSetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0,
                                   &state, sizeof state),
              noErr);
    CFRelease(state);
}

} // namespace

TEST(Concurrency, RenderingGoesOnWhileAnotherThreadChangesTheUnit) {
    GrindvoxUnit unit;
    CallbackInput input;
    ASSERT_EQ(unit.Configure(2, &input, 512), noErr);
    std::atomic<int> propertyCalls{0}, events{0};
    AUEventListenerRef listener = nullptr;
    ASSERT_EQ(AUEventListenerCreate(countEvent, &events, nullptr, nullptr, 0, 0, &listener), noErr);
    AudioUnitEvent event = {};
    event.mEventType = kAudioUnitEvent_ParameterValueChange;
    event.mArgument.mParameter = {unit.Unit(), kAUParameterListener_AnyParameter,
                                  kAudioUnitScope_Global, 0};
    ASSERT_EQ(AUEventListenerAddEventType(listener, nullptr, &event), noErr);

    std::atomic<bool> stop{false};
    std::atomic<int> renders{0}, failures{0};
    std::thread audio([&] {
        HostBuffers buffers(2, 512);
        Float64 time = 0;
        while (!stop.load() || renders.load() < 20) {
            if (unit.Render(buffers.List(512), 512, time) != noErr) failures.fetch_add(1);
            time += 512;
            renders.fetch_add(1);
            // An audio thread waits for its next period; without a pause it would hold the
            // unit's lock nearly all the time.
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });

    // The other thread, for a bounded time.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    int rounds = 0;
    while (rounds < 10000 && std::chrono::steady_clock::now() < deadline) {
        const auto param = static_cast<AudioUnitParameterID>(rounds % Grindvox::kNumParams);
        EXPECT_EQ(unit.SetParameter(param, static_cast<float>(rounds % 3)), noErr);
        unit.Parameter(param);

        RoundTripClassInfo(unit.Unit());

        EXPECT_EQ(AudioUnitAddPropertyListener(unit.Unit(), kAudioUnitProperty_BypassEffect,
                                               countProperty, &propertyCalls),
                  noErr);
        const UInt32 bypass = rounds % 2;
        EXPECT_EQ(AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_BypassEffect,
                                       kAudioUnitScope_Global, 0, &bypass, sizeof bypass),
                  noErr);
        EXPECT_EQ(AudioUnitRemovePropertyListener(unit.Unit(), kAudioUnitProperty_BypassEffect,
                                                  countProperty),
                  noErr);

        // As the editor does when the user turns a knob.
        unit.Plug()->InformHostOfParamChange(static_cast<int>(param), 0.5);
        ++rounds;
    }
    stop.store(true);
    audio.join();
    AUListenerDispose(listener);

    EXPECT_EQ(failures.load(), 0);
    EXPECT_GE(renders.load(), 20);
    EXPECT_EQ(propertyCalls.load(), rounds);
    EXPECT_EQ(events.load(), rounds);
}

// The way most hosts render: the render function taken from the FastDispatch property and
// called on the audio thread with no lock at all, while the host's main thread moves every
// parameter, loads state and switches presets. The effect's per-block values must be published
// without a data race.
TEST(Concurrency, FastDispatchRenderingRacesWithNothingTheHostChanges) {
    GrindvoxUnit unit;
    CallbackInput input;
    ASSERT_EQ(unit.Configure(2, &input, 256), noErr);
    AudioUnitRenderProc render = nullptr;
    UInt32 size = sizeof render;
    ASSERT_EQ(AudioUnitGetProperty(unit.Unit(), kAudioUnitProperty_FastDispatch,
                                   kAudioUnitScope_Global, kAudioUnitRenderSelect, &render, &size),
              noErr);
    ASSERT_TRUE(render);
    void* storage = GetComponentInstanceStorage(unit.Unit());

    std::atomic<bool> stop{false};
    std::atomic<int> renders{0}, failures{0};
    std::thread audio([&] {
        HostBuffers buffers(2, 256);
        Float64 time = 0;
        while (!stop.load() || renders.load() < 20) {
            AudioUnitRenderActionFlags flags = 0;
            const AudioTimeStamp stamp = grindvox::test::SampleTime(time);
            if (render(storage, &flags, &stamp, 0, 256, buffers.List(256)) != noErr) {
                failures.fetch_add(1);
            }
            time += 256;
            renders.fetch_add(1);
        }
    });

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    for (int round = 0; round < 2000 && std::chrono::steady_clock::now() < deadline; ++round) {
        for (AudioUnitParameterID param = 0; param < Grindvox::kNumParams; ++param) {
            EXPECT_EQ(unit.SetParameter(param, static_cast<float>((round + param) % 3)), noErr);
        }
        RoundTripClassInfo(unit.Unit());
        AUPreset preset = {round % 10, nullptr};
        EXPECT_EQ(AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_PresentPreset,
                                       kAudioUnitScope_Global, 0, &preset, sizeof preset),
                  noErr);
    }
    stop.store(true);
    audio.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_GE(renders.load(), 20);
}
