// What a plug-in validator checks: the sound does not depend on how the host cuts the audio
// into blocks, no rate turns the default settings into a DC offset, a refused setting changes
// nothing, and nothing but ordinary numbers reaches the host under automation.
#include "tests/au/GrindvoxHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

using grindvox::test::CallbackInput;
using grindvox::test::DirectGrindvox;
using grindvox::test::GrindvoxUnit;
using grindvox::test::HostBuffers;

namespace {

// Renders `frames` frames of the test signal in stereo through a fresh unit in blocks of
// `block` frames; the two channels interleaved.
std::vector<float> renderInBlocks(UInt32 block, int frames, int mixMode,
                                  double sampleRate = 44100.0) {
    GrindvoxUnit unit;
    CallbackInput input;
    EXPECT_EQ(unit.Configure(2, &input, 4096, sampleRate), noErr);
    unit.SetParameter(Grindvox::kRatio, 5.0f);
    unit.SetParameter(Grindvox::kBits, 6.0f);
    unit.SetParameter(Grindvox::kCutoff, 3000.0f);
    unit.SetParameter(Grindvox::kResonance, 1.2f);
    unit.SetParameter(Grindvox::kMixMode, static_cast<float>(mixMode));
    HostBuffers buffers(2, block);
    std::vector<float> out;
    for (int start = 0; start < frames; start += static_cast<int>(block)) {
        const UInt32 n = std::min<UInt32>(block, static_cast<UInt32>(frames - start));
        EXPECT_EQ(unit.Render(buffers.List(n), n, start), noErr);
        for (UInt32 i = 0; i < n; ++i) {
            out.push_back(buffers.Out(0)[i]);
            out.push_back(buffers.Out(1)[i]);
        }
    }
    return out;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

} // namespace

TEST(BlockSizes, GiveTheSameSoundToTheLastBitInEveryMixMode) {
    constexpr int kFrames = 9000;
    for (int mixMode = 0; mixMode < 4; ++mixMode) {
        const std::vector<float> whole = renderInBlocks(4096, kFrames, mixMode);
        for (UInt32 block : {1u, 7u, 64u, 512u}) {
            EXPECT_TRUE(sameBits(renderInBlocks(block, kFrames, mixMode), whole))
                << "mix mode " << mixMode << ", blocks of " << block;
        }
    }
}

TEST(SampleRates, LowRatesKeepTheDefaultFilterStableWithoutOffset) {
    for (double rate : {8000.0, 11025.0, 16000.0}) {
        GrindvoxUnit unit;
        CallbackInput input;
        ASSERT_EQ(unit.Configure(2, &input, 1024, rate), noErr);
        HostBuffers buffers(2, 1024);
        double sum = 0.0;
        float peak = 0.0f;
        const int blocks = static_cast<int>(rate) / 1024;
        for (int b = 0; b < blocks; ++b) {
            ASSERT_EQ(unit.Render(buffers.List(1024), 1024, b * 1024.0), noErr);
            for (int c = 0; c < 2; ++c) {
                for (int i = 0; i < 1024; ++i) {
                    sum += buffers.Out(c)[i];
                    peak = std::max(peak, std::fabs(buffers.Out(c)[i]));
                }
            }
        }
        EXPECT_LT(std::fabs(sum / (blocks * 2048.0)), 0.01) << rate << " Hz";
        EXPECT_LE(peak, 1.0f) << rate << " Hz";
    }
}

// A unit configured and initialised in stereo, and the effect called directly beside it.
class RefusedSettings : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(unit.Configure(2, &input, 1024), noErr); }

    // Renders the next block and expects the effect's output in both channels.
    void ExpectTheEffectsOutput() {
        std::vector<float> left(512), right(512);
        ASSERT_EQ(unit.Render(buffers.List(512), 512, mTime), noErr);
        direct.Render(2, static_cast<long long>(mTime), 512, left.data(), right.data());
        EXPECT_EQ(std::memcmp(buffers.Out(0), left.data(), 512 * sizeof(float)), 0);
        EXPECT_EQ(std::memcmp(buffers.Out(1), right.data(), 512 * sizeof(float)), 0);
        EXPECT_NE(buffers.Out(1)[100], 0.0f);
        mTime += 512;
    }

    template <class T>
    T Get(AudioUnitPropertyID id, AudioUnitScope scope) {
        T value{};
        UInt32 size = sizeof value;
        EXPECT_EQ(AudioUnitGetProperty(unit.Unit(), id, scope, 0, &value, &size), noErr);
        return value;
    }

    template <class T>
    OSStatus Set(AudioUnitPropertyID id, AudioUnitScope scope, const T& value) {
        return AudioUnitSetProperty(unit.Unit(), id, scope, 0, &value, sizeof value);
    }

    GrindvoxUnit unit;
    CallbackInput input;
    DirectGrindvox direct;
    HostBuffers buffers{2, 1024};
    Float64 mTime = 0;
};

TEST_F(RefusedSettings, AThreeChannelFormatOnEitherSideChangesNothing) {
    ExpectTheEffectsOutput();
    for (AudioUnitScope scope : {kAudioUnitScope_Output, kAudioUnitScope_Input}) {
        auto format = Get<AudioStreamBasicDescription>(kAudioUnitProperty_StreamFormat, scope);
        AudioStreamBasicDescription three = format;
        three.mChannelsPerFrame = 3;
        EXPECT_NE(Set(kAudioUnitProperty_StreamFormat, scope, three), noErr);
        const auto after = Get<AudioStreamBasicDescription>(kAudioUnitProperty_StreamFormat, scope);
        EXPECT_EQ(std::memcmp(&after, &format, sizeof format), 0) << "scope " << scope;
        ExpectTheEffectsOutput();
    }
}

TEST_F(RefusedSettings, ASampleRateThatIsNoRateChangesNothing) {
    ExpectTheEffectsOutput();
    for (Float64 rate : {0.0, -44100.0, std::nan(""), HUGE_VAL}) {
        EXPECT_EQ(Set(kAudioUnitProperty_SampleRate, kAudioUnitScope_Output, rate),
                  kAudioUnitErr_InvalidPropertyValue);
        EXPECT_EQ(Get<Float64>(kAudioUnitProperty_SampleRate, kAudioUnitScope_Output), 44100.0);
        ExpectTheEffectsOutput();
    }
}

TEST_F(RefusedSettings, AnAbsurdBlockSizeChangesNothing) {
    ExpectTheEffectsOutput();
    EXPECT_EQ(
        Set(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, UInt32(0xFFFFFFFFu)),
        kAudioUnitErr_InvalidPropertyValue);
    EXPECT_EQ(Get<UInt32>(kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global), 1024u);
    ExpectTheEffectsOutput();
}

TEST(Automation, NeverHandsTheHostNaNInfinityOrSubnormalSamples) {
    struct Range {
        double low, high;
    };
    // Filter, Cutoff, Resonance, Bits, Ratio, Mix Mode, Parallel.
    const Range kRanges[Grindvox::kNumParams] = {{0, 2},  {20, 11000}, {0, 1.9}, {1, 16},
                                                 {0, 64}, {0, 3},      {0, 1}};
    std::uint32_t noise = 2024;
    auto next = [&noise] {
        noise = noise * 1664525u + 1013904223u;
        return static_cast<double>(noise >> 8) / 16777216.0;
    };
    for (double rate : {44100.0, 48000.0, 96000.0}) {
        GrindvoxUnit unit;
        CallbackInput input;
        ASSERT_EQ(unit.Configure(2, &input, 1024, rate), noErr);
        HostBuffers buffers(2, 1024);
        Float64 time = 0;
        for (int block = 0; block < 120; ++block) {
            // Two parameters to random values inside their ranges before every block.
            for (int k = 0; k < 2; ++k) {
                const int param = static_cast<int>(next() * Grindvox::kNumParams);
                const Range& r = kRanges[param];
                const double value = r.low + next() * (r.high - r.low);
                ASSERT_EQ(unit.SetParameter(param, static_cast<float>(value)), noErr);
            }
            const UInt32 frames = 64 + static_cast<UInt32>(next() * 961);
            ASSERT_EQ(unit.Render(buffers.List(frames), frames, time), noErr);
            time += frames;
            for (int c = 0; c < 2; ++c) {
                for (UInt32 i = 0; i < frames; ++i) {
                    const int kind = std::fpclassify(buffers.Out(c)[i]);
                    ASSERT_TRUE(kind == FP_NORMAL || kind == FP_ZERO)
                        << rate << " Hz, block " << block << ", channel " << c << ", frame " << i
                        << ": " << buffers.Out(c)[i];
                }
            }
        }
    }
}
