// The whole way through: a host renders the test signal (a sine sweep with noise) through the
// component, in stereo and in mono, with every filter type, mix mode and the parallel path,
// and the audio equals the effect's DSP chain called directly on the same input, bit for bit.
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
using grindvox::test::SourceUnit;

namespace {

struct Case {
    int channels;
    int filter;
    int mixMode;
    bool parallel;
};

std::string name(const Case& c) {
    static const char* const kFilters[] = {"LowPass", "HighPass", "BandPass"};
    static const char* const kMixes[] = {"Serial", "Average", "Ring", "Difference"};
    return std::string(c.channels == 2 ? "Stereo" : "Mono") + kFilters[c.filter] +
           kMixes[c.mixMode] + (c.parallel ? "Parallel" : "");
}

std::vector<Case> everyCase() {
    std::vector<Case> cases;
    for (int channels : {2, 1})
        for (int filter = 0; filter < 3; ++filter)
            for (int mix = 0; mix < 4; ++mix)
                for (bool parallel : {false, true})
                    cases.push_back({channels, filter, mix, parallel});
    return cases;
}

// Block sizes a host might use, uneven on purpose; the parameters change between blocks.
const UInt32 kBlocks[] = {512, 64, 64, 137, 1, 1024, 300, 4096, 33, 512};

// Where the parameters change, and to what: every stage doing audible work.
struct Change {
    int block;
    int param;
    float value;
};
const Change kChanges[] = {
    {0, Grindvox::kCutoff, 2500.0f},  {0, Grindvox::kResonance, 1.2f},
    {0, Grindvox::kBits, 6.0f},       {0, Grindvox::kRatio, 3.0f},
    {4, Grindvox::kCutoff, 600.0f},   {4, Grindvox::kBits, 3.0f},
    {7, Grindvox::kRatio, 0.0f},      {7, Grindvox::kResonance, 1.9f},
    {9, Grindvox::kCutoff, 11000.0f}, {9, Grindvox::kBits, 16.0f},
};

class EndToEnd : public ::testing::TestWithParam<Case> {};

} // namespace

INSTANTIATE_TEST_SUITE_P(EveryMode, EndToEnd, ::testing::ValuesIn(everyCase()),
                         [](const ::testing::TestParamInfo<Case>& mode) {
                             return name(mode.param);
                         });

TEST_P(EndToEnd, TheHostHearsExactlyTheDirectChain) {
    const Case c = GetParam();
    GrindvoxUnit unit;
    CallbackInput input;
    ASSERT_EQ(unit.Configure(c.channels, &input, 4096), noErr);
    DirectGrindvox direct;
    auto set = [&](int param, float value) {
        ASSERT_EQ(unit.SetParameter(static_cast<AudioUnitParameterID>(param), value), noErr);
        direct.Set(param, value);
    };
    set(Grindvox::kFilter, static_cast<float>(c.filter));
    set(Grindvox::kMixMode, static_cast<float>(c.mixMode));
    set(Grindvox::kParallel, c.parallel ? 1.0f : 0.0f);

    HostBuffers buffers(c.channels, 4096);
    std::vector<float> expected[2] = {std::vector<float>(4096), std::vector<float>(4096)};
    long long start = 0;
    int block = 0;
    double energy = 0.0;
    for (UInt32 frames : kBlocks) {
        for (const Change& change : kChanges) {
            if (change.block == block) set(change.param, change.value);
        }
        ASSERT_EQ(unit.Render(buffers.List(frames), frames, static_cast<Float64>(start)), noErr);
        direct.Render(c.channels, start, static_cast<int>(frames), expected[0].data(),
                      c.channels == 2 ? expected[1].data() : nullptr);
        for (int ch = 0; ch < c.channels; ++ch) {
            for (UInt32 i = 0; i < frames; ++i) {
                ASSERT_EQ(std::memcmp(&buffers.Out(ch)[i], &expected[ch][i], sizeof(float)), 0)
                    << "channel " << ch << ", frame " << start + i << ": " << buffers.Out(ch)[i]
                    << " against " << expected[ch][i];
                energy += static_cast<double>(expected[ch][i]) * expected[ch][i];
            }
        }
        start += frames;
        ++block;
    }
    EXPECT_GT(energy, 1.0) << "the comparison was not of silence";
}

// The same audio arrives when the input comes from another component instead of the callback.
TEST(EndToEndConnected, ASourceUnitGivesTheSameAudioAsTheCallback) {
    for (Component flavour : {SourceUnit::Fast(), SourceUnit::Plain()}) {
        AudioUnit source = nullptr;
        ASSERT_EQ(OpenAComponent(flavour, &source), noErr);
        GrindvoxUnit connected, fed;
        CallbackInput input;
        ASSERT_EQ(connected.SetFormat(kAudioUnitScope_Output, 2), noErr);
        ASSERT_EQ(connected.Connect(source), noErr);
        ASSERT_EQ(connected.SetMaxFrames(4096), noErr);
        ASSERT_EQ(AudioUnitInitialize(connected.Unit()), noErr);
        ASSERT_EQ(fed.Configure(2, &input, 4096), noErr);
        for (GrindvoxUnit* unit : {&connected, &fed}) {
            ASSERT_EQ(unit->SetParameter(Grindvox::kMixMode, Grindvox::kRing), noErr);
            ASSERT_EQ(unit->SetParameter(Grindvox::kRatio, 5.0f), noErr);
        }
        HostBuffers a(2, 4096), b(2, 4096);
        long long start = 0;
        for (UInt32 frames : kBlocks) {
            ASSERT_EQ(connected.Render(a.List(frames), frames, static_cast<Float64>(start)), noErr);
            ASSERT_EQ(fed.Render(b.List(frames), frames, static_cast<Float64>(start)), noErr);
            for (int ch = 0; ch < 2; ++ch) {
                EXPECT_EQ(std::memcmp(a.Out(ch), b.Out(ch), frames * sizeof(float)), 0)
                    << "channel " << ch << " at " << start;
            }
            start += frames;
        }
        CloseComponent(source);
    }
}
