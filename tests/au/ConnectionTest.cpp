// Grindvox fed by another component through MakeConnection: the generator source unit, pulled
// through its fast render function when it offers one and through its entry when it does not.
#include "tests/au/GrindvoxHost.h"
#include "tests/au/SourceUnit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using grindvox::test::CallbackInput;
using grindvox::test::DirectGrindvox;
using grindvox::test::GrindvoxUnit;
using grindvox::test::HostBuffers;
using grindvox::test::SourceUnit;

namespace {

// An open instance of one flavour of the source unit.
class Source {
public:
    explicit Source(Component flavour) { EXPECT_EQ(OpenAComponent(flavour, &mUnit), noErr); }
    ~Source() {
        if (mUnit) CloseComponent(mUnit);
    }
    AudioUnit Unit() const { return mUnit; }
    SourceUnit& State() const { return *SourceUnit::Of(mUnit); }

private:
    AudioUnit mUnit = nullptr;
};

int inputChannels(AudioUnit unit) {
    AudioStreamBasicDescription format = {};
    UInt32 size = sizeof format;
    EXPECT_EQ(AudioUnitGetProperty(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0,
                                   &format, &size),
              noErr);
    return static_cast<int>(format.mChannelsPerFrame);
}

bool sameBits(const float* a, const float* b, UInt32 frames) {
    return std::memcmp(a, b, frames * sizeof(float)) == 0;
}

bool silent(const float* data, UInt32 frames) {
    for (UInt32 i = 0; i < frames; ++i) {
        if (data[i] != 0.0f) return false;
    }
    return true;
}

// Connects a source of each flavour in turn, so each test runs both direct input paths.
class Connection : public ::testing::TestWithParam<bool> {
protected:
    Component Flavour() const { return GetParam() ? SourceUnit::Fast() : SourceUnit::Plain(); }
    int& PathRenders(SourceUnit& source) const {
        return GetParam() ? source.mFastRenders : source.mEntryRenders;
    }
    int& OtherPathRenders(SourceUnit& source) const {
        return GetParam() ? source.mEntryRenders : source.mFastRenders;
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Paths, Connection, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& path) {
                             return path.param ? "DirectFastProc" : "DirectNoFastProc";
                         });

TEST_P(Connection, PullsTheSourceOncePerSampleTimeAndRendersItsAudio) {
    Source source(Flavour());
    ASSERT_TRUE(source.Unit());
    GrindvoxUnit unit;
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Output, 2), noErr);
    ASSERT_EQ(unit.Connect(source.Unit()), noErr);
    ASSERT_EQ(unit.SetMaxFrames(4096), noErr);
    ASSERT_EQ(AudioUnitInitialize(unit.Unit()), noErr);
    ASSERT_EQ(unit.SetParameter(Grindvox::kBits, 5.0f), noErr);
    ASSERT_EQ(unit.SetParameter(Grindvox::kFilter, Grindvox::kBandPass), noErr);

    DirectGrindvox direct;
    direct.Set(Grindvox::kBits, 5.0f);
    direct.Set(Grindvox::kFilter, Grindvox::kBandPass);
    HostBuffers buffers(2, 4096);
    std::vector<float> left(4096), right(4096);
    long long start = 0;
    for (UInt32 frames : {512u, 64u, 4096u, 1u, 700u}) {
        ASSERT_EQ(unit.Render(buffers.List(frames), frames, static_cast<Float64>(start)), noErr);
        ASSERT_EQ(unit.Render(buffers.List(frames), frames, static_cast<Float64>(start)), noErr)
            << "a second output render at the same time";
        // The effect ran twice on the one input it was given.
        direct.Render(2, start, static_cast<int>(frames), left.data(), right.data());
        direct.Render(2, start, static_cast<int>(frames), left.data(), right.data());
        EXPECT_TRUE(sameBits(buffers.Out(0), left.data(), frames)) << frames;
        EXPECT_TRUE(sameBits(buffers.Out(1), right.data(), frames)) << frames;
        EXPECT_EQ(source.State().mLastSampleTime, static_cast<Float64>(start));
        EXPECT_EQ(source.State().mLastFrames, frames);
        start += frames;
    }
    EXPECT_EQ(PathRenders(source.State()), 5);
    EXPECT_EQ(OtherPathRenders(source.State()), 0);
}

TEST_P(Connection, TakesTheSourcesFormat) {
    Source source(Flavour());
    ASSERT_TRUE(source.Unit());
    source.State().mChannels = 1;
    source.State().mSampleRate = 48000.0;
    GrindvoxUnit unit;
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Output, 1, 48000.0), noErr);
    ASSERT_EQ(unit.Connect(source.Unit()), noErr);
    EXPECT_EQ(inputChannels(unit.Unit()), 1);
    ASSERT_EQ(unit.SetSampleRate(48000.0), noErr);
    ASSERT_EQ(AudioUnitInitialize(unit.Unit()), noErr);

    DirectGrindvox direct(48000.0);
    HostBuffers buffers(1, 1024);
    std::vector<float> left(1024);
    for (int block = 0; block < 3; ++block) {
        ASSERT_EQ(unit.Render(buffers.List(1024), 1024, block * 1024.0), noErr);
        direct.Render(1, block * 1024, 1024, left.data(), nullptr);
        EXPECT_TRUE(sameBits(buffers.Out(0), left.data(), 1024)) << block;
    }

    // A source whose format makes no legal pair with the output is refused.
    Source stereo(Flavour());
    ASSERT_TRUE(stereo.Unit());
    EXPECT_EQ(unit.Connect(stereo.Unit()), kAudioUnitErr_InvalidProperty);
    // The filter's tail rings out in the first block; after it the disconnected input is heard
    // as the silence it is.
    for (Float64 time : {8192.0, 9216.0}) {
        ASSERT_EQ(unit.Render(buffers.List(1024), 1024, time), noErr);
    }
    EXPECT_EQ(PathRenders(stereo.State()), 0);
    EXPECT_TRUE(silent(buffers.Out(0), 1024)) << "the input is left disconnected";
}

TEST_P(Connection, ASourceWithoutAFormatIsRefusedAndLeavesTheInputDisconnected) {
    Source source(Flavour());
    ASSERT_TRUE(source.Unit());
    source.State().mAnswersStreamFormat = false;
    GrindvoxUnit unit;
    CallbackInput input;
    ASSERT_EQ(unit.Configure(2, &input), noErr);
    EXPECT_EQ(unit.Connect(source.Unit()), kAudioUnitErr_InvalidProperty);
    HostBuffers buffers(2, 1024);
    ASSERT_EQ(unit.Render(buffers.List(1024), 1024, 0), noErr);
    EXPECT_EQ(PathRenders(source.State()) + OtherPathRenders(source.State()), 0);
    EXPECT_EQ(input.mPulls, 0) << "the connection record was cleared first";
    EXPECT_TRUE(silent(buffers.Out(0), 1024));
    EXPECT_TRUE(silent(buffers.Out(1), 1024));
}

TEST_P(Connection, ANullSourceOrARenderCallbackReplacesTheConnection) {
    Source source(Flavour());
    ASSERT_TRUE(source.Unit());
    GrindvoxUnit unit;
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Output, 2), noErr);
    ASSERT_EQ(unit.Connect(source.Unit()), noErr);
    ASSERT_EQ(AudioUnitInitialize(unit.Unit()), noErr);
    HostBuffers buffers(2, 1024);
    ASSERT_EQ(unit.Render(buffers.List(256), 256, 0), noErr);
    ASSERT_EQ(PathRenders(source.State()), 1);

    ASSERT_EQ(unit.Connect(nullptr), noErr);
    // The first block carries the filter's tail; the second is silence.
    ASSERT_EQ(unit.Render(buffers.List(256), 256, 256), noErr);
    ASSERT_EQ(unit.Render(buffers.List(256), 256, 512), noErr);
    EXPECT_EQ(PathRenders(source.State()), 1);
    EXPECT_TRUE(silent(buffers.Out(0), 256)) << "a disconnected input is silent";

    ASSERT_EQ(unit.Connect(source.Unit()), noErr);
    CallbackInput input;
    ASSERT_EQ(unit.SetInput(&input), noErr);
    ASSERT_EQ(unit.Render(buffers.List(256), 256, 768), noErr);
    EXPECT_EQ(PathRenders(source.State()), 1);
    EXPECT_EQ(input.mPulls, 1);
}

TEST_P(Connection, ReturnsTheSourcesErrorUnchanged) {
    Source source(Flavour());
    ASSERT_TRUE(source.Unit());
    GrindvoxUnit unit;
    ASSERT_EQ(unit.SetFormat(kAudioUnitScope_Output, 2), noErr);
    ASSERT_EQ(unit.Connect(source.Unit()), noErr);
    ASSERT_EQ(AudioUnitInitialize(unit.Unit()), noErr);
    HostBuffers buffers(2, 4096);
    source.State().mRenderResult = kAudioUnitErr_NoConnection;
    EXPECT_EQ(unit.Render(buffers.List(256), 256, 0), kAudioUnitErr_NoConnection);
    // More frames than the source holds: its own refusal comes back as it is.
    source.State().mRenderResult = noErr;
    ASSERT_EQ(unit.SetMaxFrames(SourceUnit::kMaxFrames + 1), noErr);
    HostBuffers large(2, SourceUnit::kMaxFrames + 1);
    EXPECT_EQ(unit.Render(large.List(SourceUnit::kMaxFrames + 1), SourceUnit::kMaxFrames + 1, 0),
              kAudioUnitErr_TooManyFramesToProcess);
}

TEST(ConnectionTarget, MustBeTheInputBus) {
    Source source(SourceUnit::Fast());
    ASSERT_TRUE(source.Unit());
    GrindvoxUnit unit;
    ASSERT_TRUE(unit.Unit());
    const AudioUnitConnection toBus1 = {source.Unit(), 0, 1};
    EXPECT_EQ(AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_MakeConnection,
                                   kAudioUnitScope_Input, 0, &toBus1, sizeof toBus1),
              kAudioUnitErr_InvalidProperty);
    const AudioUnitConnection toBus0 = {source.Unit(), 0, 0};
    EXPECT_EQ(AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_MakeConnection,
                                   kAudioUnitScope_Output, 0, &toBus0, sizeof toBus0),
              kAudioUnitErr_InvalidProperty);
    EXPECT_EQ(AudioUnitSetProperty(unit.Unit(), kAudioUnitProperty_MakeConnection,
                                   kAudioUnitScope_Global, 0, &toBus0, sizeof toBus0),
              noErr);
}
