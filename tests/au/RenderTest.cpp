// Rendering through AudioUnitRender: the calls refused, the input pulled once per sample time,
// the notifiers around it, the host's buffers and the unit's own, bypass, a validator's
// sequence of block sizes and rates, and hosts that switch between stereo and mono.
#include "tests/au/GrindvoxHost.h"
#include "tests/au/SourceUnit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using grindvox::test::CallbackInput;
using grindvox::test::DirectGrindvox;
using grindvox::test::GrindvoxUnit;
using grindvox::test::HostBuffers;
using grindvox::test::SampleTime;
using grindvox::test::TestSignal;

namespace {

constexpr float kUntouched = 12345.0f;

void fill(HostBuffers& buffers, float value) {
    for (int c = 0; c < buffers.Channels(); ++c) {
        float* data = buffers.Own(c);
        for (UInt32 i = 0; i < buffers.Frames(); ++i)
            data[i] = value;
    }
}

bool allEqual(const float* data, UInt32 frames, float value) {
    for (UInt32 i = 0; i < frames; ++i) {
        if (data[i] != value) return false;
    }
    return true;
}

// The first frame where two outputs differ in any bit, or -1.
long firstDifference(const float* a, const float* b, UInt32 frames) {
    for (UInt32 i = 0; i < frames; ++i) {
        if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0) return static_cast<long>(i);
    }
    return -1;
}

// Records the render notifications around each render.
struct NotifyLog {
    std::vector<char>* events;
    std::vector<AudioUnitRenderActionFlags> flags;
    std::vector<const AudioBufferList*> lists;
    std::vector<UInt32> frames;

    static OSStatus Notify(void* self, AudioUnitRenderActionFlags* flags,
                           const AudioTimeStamp* /*timeStamp*/, UInt32 /*bus*/, UInt32 frames,
                           AudioBufferList* list) {
        auto* log = static_cast<NotifyLog*>(self);
        log->flags.push_back(*flags);
        log->lists.push_back(list);
        log->frames.push_back(frames);
        if (log->events)
            log->events->push_back(*flags == kAudioUnitRenderAction_PreRender ? '<' : '>');
        return noErr;
    }
};

// Renders `frames` of the test signal from `start` through the unit into `buffers` and checks
// the result against the direct chain, bit for bit.
void expectMatches(GrindvoxUnit& unit, DirectGrindvox& direct, HostBuffers& buffers, int channels,
                   long long start, UInt32 frames) {
    ASSERT_EQ(unit.Render(buffers.List(frames), frames, static_cast<Float64>(start)), noErr)
        << frames << " frames at " << start;
    std::vector<float> left(frames), right(frames);
    direct.Render(channels, start, static_cast<int>(frames), left.data(),
                  channels == 2 ? right.data() : nullptr);
    EXPECT_EQ(firstDifference(buffers.Out(0), left.data(), frames), -1)
        << "left, " << frames << " frames at " << start;
    if (channels == 2) {
        EXPECT_EQ(firstDifference(buffers.Out(1), right.data(), frames), -1)
            << "right, " << frames << " frames at " << start;
    }
}

} // namespace

// ---- Calls refused ----

TEST(Render, RefusesABadCallWithoutPullingInputOrTellingNotifiers) {
    GrindvoxUnit unit;
    CallbackInput input;
    ASSERT_EQ(unit.Configure(2, &input, 512), noErr);
    NotifyLog log{nullptr, {}, {}, {}};
    ASSERT_EQ(AudioUnitAddRenderNotify(unit.Unit(), NotifyLog::Notify, &log), noErr);
    HostBuffers buffers(2, 4096);
    fill(buffers, kUntouched);

    AudioUnitRenderActionFlags flags = 0;
    AudioTimeStamp noSampleTime = SampleTime(0);
    noSampleTime.mFlags = kAudioTimeStampHostTimeValid;
    const AudioTimeStamp valid = SampleTime(0);
    EXPECT_EQ(AudioUnitRender(unit.Unit(), &flags, &noSampleTime, 0, 64, buffers.List(64)),
              kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(AudioUnitRender(unit.Unit(), &flags, &valid, 1, 64, buffers.List(64)),
              kAudioUnitErr_InvalidPropertyValue)
        << "there is one output bus";
    EXPECT_EQ(AudioUnitRender(unit.Unit(), &flags, &valid, 0, 513, buffers.List(513)),
              kAudioUnitErr_InvalidPropertyValue)
        << "more than MaximumFramesPerSlice";
    EXPECT_EQ(AudioUnitRender(unit.Unit(), &flags, &valid, 0, 0xFFFFFFFFu, buffers.List(64)),
              kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(AudioUnitRender(unit.Unit(), &flags, nullptr, 0, 64, buffers.List(64)),
              kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(AudioUnitRender(unit.Unit(), &flags, &valid, 0, 64, nullptr),
              kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(input.mPulls, 0);
    EXPECT_TRUE(log.flags.empty());
    EXPECT_TRUE(allEqual(buffers.Own(0), 4096, kUntouched));
    EXPECT_TRUE(allEqual(buffers.Own(1), 4096, kUntouched));

    EXPECT_EQ(AudioUnitRender(unit.Unit(), &flags, &valid, 0, 512, buffers.List(512)), noErr)
        << "exactly MaximumFramesPerSlice";
    EXPECT_EQ(input.mPulls, 1);
}

TEST(Render, ReturnsAnInputsErrorUnchangedAndStopsThere) {
    GrindvoxUnit unit;
    CallbackInput input;
    ASSERT_EQ(unit.Configure(2, &input), noErr);
    std::vector<char> events;
    input.mEvents = &events;
    NotifyLog log{&events, {}, {}, {}};
    ASSERT_EQ(AudioUnitAddRenderNotify(unit.Unit(), NotifyLog::Notify, &log), noErr);
    HostBuffers buffers(2, 4096);
    fill(buffers, kUntouched);

    input.mResult = -12345;
    EXPECT_EQ(unit.Render(buffers.List(256), 256, 0), -12345);
    EXPECT_EQ(std::string(events.begin(), events.end()), "<I") << "no post-render notification";
    EXPECT_TRUE(allEqual(buffers.Own(0), 4096, kUntouched));

    input.mResult = noErr;
    EXPECT_EQ(unit.Render(buffers.List(256), 256, 0), noErr);
    EXPECT_EQ(std::string(events.begin(), events.end()), "<I<I>")
        << "the failed pull did not count as this sample time's";
}

// ---- Input, notifiers and output buffers ----

TEST(Render, PullsEachInputOncePerSampleTime) {
    GrindvoxUnit unit;
    CallbackInput input;
    ASSERT_EQ(unit.Configure(2, &input), noErr);
    HostBuffers buffers(2, 4096);
    ASSERT_EQ(unit.Render(buffers.List(128), 128, 1000), noErr);
    EXPECT_EQ(input.mPulls, 1);
    EXPECT_EQ(input.mLastSampleTime, 1000.0);
    EXPECT_EQ(input.mLastBus, 0u);
    EXPECT_EQ(input.mLastBuffers, 2u);
    ASSERT_EQ(unit.Render(buffers.List(128), 128, 1000), noErr);
    EXPECT_EQ(input.mPulls, 1) << "the same sample time reuses the input";
    ASSERT_EQ(unit.Render(buffers.List(128), 128, 1128), noErr);
    EXPECT_EQ(input.mPulls, 2);
}

TEST(Render, TellsNotifiersBeforeTheInputAndAfterTheAudio) {
    GrindvoxUnit unit;
    CallbackInput input;
    ASSERT_EQ(unit.Configure(2, &input), noErr);
    std::vector<char> events;
    input.mEvents = &events;
    NotifyLog log{&events, {}, {}, {}};
    ASSERT_EQ(AudioUnitAddRenderNotify(unit.Unit(), NotifyLog::Notify, &log), noErr);
    HostBuffers buffers(2, 4096);
    AudioBufferList* list = buffers.List(300);
    ASSERT_EQ(unit.Render(list, 300, 0), noErr);
    EXPECT_EQ(std::string(events.begin(), events.end()), "<I>");
    ASSERT_EQ(log.flags.size(), 2u);
    EXPECT_EQ(log.flags[0], static_cast<UInt32>(kAudioUnitRenderAction_PreRender));
    EXPECT_EQ(log.flags[1], static_cast<UInt32>(kAudioUnitRenderAction_PostRender));
    EXPECT_EQ(log.lists[0], list);
    EXPECT_EQ(log.lists[1], list);
    EXPECT_EQ(log.frames[1], 300u);

    ASSERT_EQ(AudioUnitRemoveRenderNotify(unit.Unit(), NotifyLog::Notify, &log), noErr);
    ASSERT_EQ(unit.Render(list, 300, 300), noErr);
    EXPECT_EQ(log.flags.size(), 2u);
}

TEST(Render, PointsNullOutputBuffersAtItsOwnMemoryWithTheSameAudio) {
    GrindvoxUnit withNull, withBuffers;
    CallbackInput inputA, inputB;
    ASSERT_EQ(withNull.Configure(2, &inputA), noErr);
    ASSERT_EQ(withBuffers.Configure(2, &inputB), noErr);
    HostBuffers a(2, 4096), b(2, 4096);
    for (int block = 0; block < 4; ++block) {
        const UInt32 frames = 1000;
        ASSERT_EQ(withNull.Render(a.NullList(frames), frames, block * frames), noErr);
        ASSERT_EQ(withBuffers.Render(b.List(frames), frames, block * frames), noErr);
        for (int c = 0; c < 2; ++c) {
            ASSERT_NE(a.Out(c), nullptr);
            EXPECT_NE(a.Out(c), a.Own(c));
            EXPECT_EQ(firstDifference(a.Out(c), b.Out(c), frames), -1) << "channel " << c;
        }
        EXPECT_NE(a.Out(0), a.Out(1));
    }
}

TEST(Render, NeverHandsBackANullBufferEvenForAChannelItDoesNotDrive) {
    GrindvoxUnit unit, reference;
    CallbackInput input, referenceInput;
    ASSERT_EQ(unit.Configure(1, &input), noErr);
    ASSERT_EQ(reference.Configure(1, &referenceInput), noErr);
    // A mono format, but the host passes two null buffers.
    HostBuffers two(2, 4096), one(1, 4096);
    ASSERT_EQ(unit.Render(two.NullList(1000), 1000, 0), noErr);
    ASSERT_EQ(reference.Render(one.List(1000), 1000, 0), noErr);
    ASSERT_NE(two.Out(0), nullptr);
    ASSERT_NE(two.Out(1), nullptr);
    EXPECT_EQ(firstDifference(two.Out(0), one.Out(0), 1000), -1);
    EXPECT_TRUE(allEqual(two.Out(1), 1000, 0.0f));
}

TEST(Render, BypassedCopiesTheInputAndStillNotifies) {
    GrindvoxUnit unit;
    CallbackInput input;
    ASSERT_EQ(unit.Configure(2, &input), noErr);
    const UInt32 on = 1;
    ASSERT_EQ(AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_BypassEffect,
                                   kAudioUnitScope_Global, 0, &on, sizeof on),
              noErr);
    ASSERT_EQ(unit.SetParameter(Grindvox::kBits, 2.0f), noErr);
    NotifyLog log{nullptr, {}, {}, {}};
    ASSERT_EQ(AudioUnitAddRenderNotify(unit.Unit(), NotifyLog::Notify, &log), noErr);
    HostBuffers buffers(2, 4096);
    ASSERT_EQ(unit.Render(buffers.List(4096), 4096, 8192), noErr);
    for (int c = 0; c < 2; ++c) {
        for (UInt32 i = 0; i < 4096; ++i)
            ASSERT_EQ(buffers.Out(c)[i], TestSignal(c, 8192 + i)) << c << ":" << i;
    }
    EXPECT_EQ(log.flags.size(), 2u);

    const UInt32 off = 0;
    ASSERT_EQ(AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_BypassEffect,
                                   kAudioUnitScope_Global, 0, &off, sizeof off),
              noErr);
    ASSERT_EQ(unit.Render(buffers.List(4096), 4096, 12288), noErr);
    EXPECT_NE(buffers.Out(0)[100], TestSignal(0, 12288 + 100)) << "two bits are audible";
}

// ---- A validation tool's sequence ----

TEST(HostSequence, RendersEveryBlockSizeAndRateAValidatorAsksFor) {
    GrindvoxUnit unit;
    CallbackInput input;
    ASSERT_TRUE(unit.Unit());
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Input, 2), noErr);
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Output, 2), noErr);
    ASSERT_EQ(unit.SetInput(&input), noErr);
    ASSERT_EQ(AudioUnitInitialize(unit.Unit()), noErr);
    HostBuffers buffers(2, 4096);
    {
        DirectGrindvox direct(44100.0);
        expectMatches(unit, direct, buffers, 2, 0, 512);
        for (int slice = 0; slice < 8; ++slice)
            expectMatches(unit, direct, buffers, 2, 512 + 64 * slice, 64);
    }

    // Each new block size and rate resets the unit, so each run starts like a fresh chain.
    struct Run {
        UInt32 frames;
        double rate;
    };
    const Run runs[] = {{64, 22050},    {137, 96000},  {4096, 48000},
                        {4096, 192000}, {4096, 11025}, {512, 44100}};
    long long start = 1024;
    for (const Run& run : runs) {
        ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Input, 2, run.rate), noErr);
        ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Output, 2, run.rate), noErr);
        ASSERT_EQ(unit.SetMaxFrames(run.frames), noErr);
        ASSERT_EQ(unit.SetSampleRate(run.rate), noErr);
        DirectGrindvox direct(run.rate);
        for (int block = 0; block < 3; ++block) {
            expectMatches(unit, direct, buffers, 2, start, run.frames);
            start += run.frames;
        }
        AudioUnitRenderActionFlags flags = 0;
        const AudioTimeStamp stamp = SampleTime(static_cast<Float64>(start));
        EXPECT_EQ(AudioUnitRender(unit.Unit(), &flags, &stamp, 0, run.frames + 1,
                                  buffers.List(run.frames + 1)),
                  kAudioUnitErr_InvalidPropertyValue);
    }

    // Then mono, one in and one out.
    ASSERT_EQ(AudioUnitUninitialize(unit.Unit()), noErr);
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Input, 1), noErr);
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Output, 1), noErr);
    ASSERT_EQ(AudioUnitInitialize(unit.Unit()), noErr);
    ASSERT_EQ(unit.SetMaxFrames(512), noErr);
    ASSERT_EQ(unit.SetSampleRate(44100), noErr);
    HostBuffers mono(1, 4096);
    DirectGrindvox direct(44100.0);
    for (int block = 0; block < 4; ++block) {
        expectMatches(unit, direct, mono, 1, start, 512);
        start += 512;
    }
    EXPECT_EQ(input.mLastBuffers, 1u) << "the input is mono too";
}

// ---- Hosts that switch channel counts ----

namespace {

// Switches the unit to `channels` in and out, as a host does between songs, then renders three
// blocks from `firstBlock` on, each equal to what a fresh unit of that width renders.
void switchAndCompareWithAFreshUnit(GrindvoxUnit& unit, int channels, int firstBlock) {
    ASSERT_EQ(AudioUnitUninitialize(unit.Unit()), noErr);
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Input, channels), noErr);
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Output, channels), noErr);
    ASSERT_EQ(AudioUnitInitialize(unit.Unit()), noErr);
    ASSERT_EQ(AudioUnitReset(unit.Unit(), kAudioUnitScope_Global, 0), noErr);

    GrindvoxUnit fresh;
    CallbackInput freshInput;
    ASSERT_EQ(fresh.Configure(channels, &freshInput, 1024), noErr);
    ASSERT_EQ(fresh.SetParameter(Grindvox::kCutoff, 900.0f), noErr);
    HostBuffers out(channels, 4096), freshOut(channels, 4096);
    for (int block = firstBlock; block < firstBlock + 3; ++block) {
        ASSERT_EQ(unit.Render(out.List(1024), 1024, block * 1024), noErr);
        ASSERT_EQ(fresh.Render(freshOut.List(1024), 1024, block * 1024), noErr);
        for (int c = 0; c < channels; ++c) {
            EXPECT_EQ(firstDifference(out.Out(c), freshOut.Out(c), 1024), -1)
                << "block " << block << " channel " << c;
        }
    }
}

} // namespace

TEST(ChannelSwitch, StereoToMonoToStereoRendersLikeFreshUnits) {
    GrindvoxUnit unit;
    CallbackInput input;
    ASSERT_EQ(unit.Configure(2, &input, 1024), noErr);
    ASSERT_EQ(unit.SetParameter(Grindvox::kCutoff, 900.0f), noErr);
    HostBuffers stereo(2, 4096);
    for (int block = 0; block < 3; ++block)
        ASSERT_EQ(unit.Render(stereo.List(1024), 1024, block * 1024), noErr);
    // The host keeps its old right-hand buffer; nothing may write into it any more.
    fill(stereo, kUntouched);

    switchAndCompareWithAFreshUnit(unit, 1, 3);
    EXPECT_TRUE(allEqual(stereo.Own(1), 4096, kUntouched))
        << "the mono unit wrote its right channel into the host's old buffer";
    EXPECT_TRUE(allEqual(stereo.Own(0), 4096, kUntouched));

    switchAndCompareWithAFreshUnit(unit, 2, 6);
}

TEST(ChannelSwitch, AHostPassingOneBufferGetsOneChannelWhateverTheFormatSaid) {
    GrindvoxUnit unit, reference;
    CallbackInput input, referenceInput;
    ASSERT_EQ(unit.Configure(2, &input), noErr);
    ASSERT_EQ(reference.Configure(2, &referenceInput), noErr);
    HostBuffers stereo(2, 4096), one(1, 4096), referenceOut(2, 4096);
    ASSERT_EQ(unit.Render(stereo.List(512), 512, 0), noErr);
    ASSERT_EQ(reference.Render(referenceOut.List(512), 512, 0), noErr);
    fill(stereo, kUntouched);
    for (int block = 1; block < 4; ++block) {
        ASSERT_EQ(unit.Render(one.List(512), 512, block * 512), noErr);
        ASSERT_EQ(reference.Render(referenceOut.List(512), 512, block * 512), noErr);
        EXPECT_EQ(firstDifference(one.Out(0), referenceOut.Out(0), 512), -1) << block;
    }
    EXPECT_TRUE(allEqual(stereo.Own(1), 4096, kUntouched));
    // And back to two buffers: both channels again.
    ASSERT_EQ(unit.Render(stereo.List(512), 512, 2048), noErr);
    ASSERT_EQ(reference.Render(referenceOut.List(512), 512, 2048), noErr);
    EXPECT_EQ(firstDifference(stereo.Out(1), referenceOut.Out(1), 512), -1);
}

TEST(ChannelSwitch, MonoAfterABlockSizeChangeUsesLiveBuffers) {
    GrindvoxUnit unit;
    CallbackInput input;
    ASSERT_EQ(unit.Configure(2, &input, 256), noErr);
    HostBuffers stereo(2, 4096), mono(1, 4096), freshOut(1, 4096);
    ASSERT_EQ(unit.Render(stereo.List(256), 256, 0), noErr);

    // Every one of these reallocates or re-points the scratch behind the channels.
    ASSERT_EQ(unit.SetMaxFrames(4096), noErr);
    ASSERT_EQ(AudioUnitUninitialize(unit.Unit()), noErr);
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Input, 1, 48000.0), noErr);
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Output, 1, 48000.0), noErr);
    ASSERT_EQ(unit.SetSampleRate(48000.0), noErr);
    ASSERT_EQ(AudioUnitInitialize(unit.Unit()), noErr);
    ASSERT_EQ(unit.SetMaxFrames(2048), noErr);
    ASSERT_EQ(unit.SetMaxFrames(4096), noErr);

    GrindvoxUnit fresh;
    CallbackInput freshInput;
    ASSERT_EQ(fresh.Configure(1, &freshInput, 4096, 48000.0), noErr);
    for (int block = 0; block < 3; ++block) {
        const Float64 time = 256 + 4096.0 * block;
        ASSERT_EQ(unit.Render(mono.List(4096), 4096, time), noErr);
        ASSERT_EQ(fresh.Render(freshOut.List(4096), 4096, time), noErr);
        EXPECT_EQ(firstDifference(mono.Out(0), freshOut.Out(0), 4096), -1) << block;
    }
}

TEST(Render, PullsTheInputAgainAfterTheBlockSizeChanges) {
    GrindvoxUnit unit;
    CallbackInput input;
    ASSERT_EQ(unit.Configure(2, &input, 512), noErr);
    HostBuffers buffers(2, 4096);
    ASSERT_EQ(unit.Render(buffers.List(512), 512, 0), noErr);
    // The new size clears the scratch the last pull's audio was in; rendering the same sample
    // time again must not play that cleared scratch as the input.
    ASSERT_EQ(unit.SetMaxFrames(1024), noErr);
    ASSERT_EQ(unit.Render(buffers.List(512), 512, 0), noErr);
    EXPECT_EQ(input.mPulls, 2);
    EXPECT_NE(buffers.Out(0)[10], 0.0f);
}
