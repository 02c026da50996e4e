#include "tests/support/AllocationTracking.h"
#include "tests/support/GrindvoxHarness.h"

#include <gtest/gtest.h>

#include <cstring>

using grindvox::reference::Chain;
using grindvox::reference::Settings;
using grindvox::test::Bits;
using grindvox::test::GrindvoxHarness;
using grindvox::test::MakeTestSignal;
using grindvox::test::StereoSignal;

namespace {

bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

StereoSignal referenceOutput(const Settings& s, const StereoSignal& in, int blockSize) {
    Chain ref;
    StereoSignal out = in;
    for (int start = 0; start < in.Frames(); start += blockSize) {
        const int n = in.Frames() - start < blockSize ? in.Frames() - start : blockSize;
        ref.process(s, &in.left[start], &in.right[start], &out.left[start], &out.right[start], n);
    }
    return out;
}

std::string display(Grindvox& plug, int paramIdx, double plainValue) {
    char text[IParam::kDisplaySize];
    plug.GetParam(paramIdx)->GetDisplayForHost(plainValue, false, text);
    return text;
}

} // namespace

TEST(GrindvoxPlugin, IdentityAndChannelConfigurations) {
    Grindvox plug(IPlugInstanceInfo{});
    EXPECT_STREQ(plug.GetEffectName(), "Grindvox");
    EXPECT_STREQ(plug.GetProductName(), "");
    EXPECT_STREQ(plug.GetMfrName(), "Tolva_Sonics");
    EXPECT_EQ(plug.GetUniqueID(), 0x67527678);
    EXPECT_EQ(plug.GetMfrID(), 0x4772566f);
    EXPECT_EQ(plug.GetVersion(), 0x00010200);
    EXPECT_EQ(plug.GetLatency(), 0);
    EXPECT_FALSE(plug.DoesStateChunks());
    EXPECT_FALSE(plug.IsInst());
    EXPECT_EQ(plug.NParams(), 7);
    EXPECT_EQ(plug.NPresets(), 10);
    EXPECT_EQ(plug.NInChannels(), 2);
    EXPECT_EQ(plug.NOutChannels(), 2);
    EXPECT_TRUE(plug.LegalIO(1, 1));
    EXPECT_TRUE(plug.LegalIO(2, 2));
    EXPECT_FALSE(plug.LegalIO(1, 2));
}

TEST(GrindvoxParameters, NamesBoundsDefaultsAndDisplayTexts) {
    Grindvox plug(IPlugInstanceInfo{});
    struct Row {
        const char* name;
        IParam::EParamType type;
        double def, min, max, shape;
        const char* label;
    } rows[] = {{"Filter", IParam::kTypeInt, 0, 0, 2, 1, ""},
                {"Cutoff", IParam::kTypeDouble, 11000, 20, 11000, 3, "Hz"},
                {"Resonance", IParam::kTypeDouble, 0, 0, 1.9, 1, ""},
                {"Bits", IParam::kTypeInt, 16, 1, 16, 1, ""},
                {"Ratio", IParam::kTypeInt, 0, 0, 64, 1, ""},
                {"Mix Mode", IParam::kTypeInt, 0, 0, 3, 1, ""},
                {"Parallel", IParam::kTypeBool, 0, 0, 1, 1, ""}};
    for (int i = 0; i < 7; ++i) {
        const IParam* p = plug.GetParam(i);
        EXPECT_STREQ(p->GetNameForHost(), rows[i].name);
        EXPECT_EQ(p->Type(), rows[i].type) << rows[i].name;
        EXPECT_EQ(p->Value(), rows[i].def) << rows[i].name;
        EXPECT_EQ(p->Default(), rows[i].def) << rows[i].name;
        EXPECT_EQ(p->mMin, rows[i].min) << rows[i].name;
        EXPECT_EQ(p->mMax, rows[i].max) << rows[i].name;
        EXPECT_EQ(p->GetShape(), rows[i].shape) << rows[i].name;
        EXPECT_STREQ(p->GetLabelForHost(), rows[i].label);
    }
    EXPECT_EQ(display(plug, Grindvox::kFilter, 0), "LPF");
    EXPECT_EQ(display(plug, Grindvox::kFilter, 1.9), "HPF");
    EXPECT_EQ(display(plug, Grindvox::kFilter, 2), "BPF");
    EXPECT_EQ(display(plug, Grindvox::kCutoff, 10999.7), "10999");
    EXPECT_EQ(display(plug, Grindvox::kResonance, 0.5), "0.500");
    EXPECT_EQ(display(plug, Grindvox::kBits, 16), "16");
    EXPECT_EQ(display(plug, Grindvox::kMixMode, 0), ">");
    EXPECT_EQ(display(plug, Grindvox::kMixMode, 1), "+");
    EXPECT_EQ(display(plug, Grindvox::kMixMode, 2), "x");
    EXPECT_EQ(display(plug, Grindvox::kMixMode, 3), "-");
    EXPECT_EQ(display(plug, Grindvox::kParallel, 0), "off");
    EXPECT_EQ(display(plug, Grindvox::kParallel, 1), "on");
    // Half the cutoff knob's travel lands at 20 + 10980 / 8.
    plug.GetParam(Grindvox::kCutoff)->SetNormalized(0.5);
    EXPECT_EQ(plug.GetParam(Grindvox::kCutoff)->Value(), 1392.5);
}

TEST(GrindvoxParameters, IntegerParametersTruncateAndParallelIsOnWhenNotZero) {
    const StereoSignal in = MakeTestSignal(1000);
    GrindvoxHarness plug;
    plug.Set(Grindvox::kFilter, 1.9);
    plug.Set(Grindvox::kBits, 6.7);
    plug.Set(Grindvox::kRatio, 2.99);
    plug.Set(Grindvox::kMixMode, 2.5);
    plug.Set(Grindvox::kParallel, 0.3);
    Settings s;
    s.filterType = 1;
    s.bits = 6;
    s.ratio = 2;
    s.mixMode = 2;
    s.parallel = true;
    const StereoSignal out = plug.ProcessAll(in, 256);
    const StereoSignal expected = referenceOutput(s, in, 256);
    EXPECT_TRUE(sameBits(out.left, expected.left));
    EXPECT_TRUE(sameBits(out.right, expected.right));
}

TEST(GrindvoxParameters, ReachTheDspAtTheNextBlockOnly) {
    const StereoSignal in = MakeTestSignal(1024);
    GrindvoxHarness plug;
    StereoSignal out = in;
    plug.Process(in, out, 0, 512);
    // A parameter value the effect has not been told about changes nothing.
    plug.Plug().GetParam(Grindvox::kBits)->Set(2);
    plug.Process(in, out, 512, 256);
    // An editor change goes through OnParamChange and applies from the next block's first frame.
    plug.Plug().SetParameterFromGUI(Grindvox::kCutoff, 0.5);
    plug.Process(in, out, 768, 256);

    Chain ref;
    Settings s;
    StereoSignal expected = in;
    ref.process(s, &in.left[0], &in.right[0], &expected.left[0], &expected.right[0], 768);
    s.cutoff = 1392.5;
    ref.process(s, &in.left[768], &in.right[768], &expected.left[768], &expected.right[768], 256);
    EXPECT_TRUE(sameBits(out.left, expected.left));
    EXPECT_TRUE(sameBits(out.right, expected.right));
}

TEST(GrindvoxReset, ClearsTheFilterStates) {
    const StereoSignal in = MakeTestSignal(600);
    GrindvoxHarness used, fresh;
    for (GrindvoxHarness* p : {&used, &fresh}) {
        p->Set(Grindvox::kResonance, 1.8);
        p->Set(Grindvox::kCutoff, 700.0);
        p->Set(Grindvox::kRatio, 3);
    }
    used.ProcessAll(in, 600);
    StereoSignal before = used.ProcessAll(in, 600);
    used.Plug().Reset();
    const StereoSignal after = used.ProcessAll(in, 600);
    const StereoSignal expected = fresh.ProcessAll(in, 600);
    EXPECT_FALSE(sameBits(before.left, expected.left));
    EXPECT_TRUE(sameBits(after.left, expected.left));
    EXPECT_TRUE(sameBits(after.right, expected.right));
}

TEST(GrindvoxReset, HandsANewSampleRateToTheFilters) {
    const StereoSignal in = MakeTestSignal(500);
    Settings s;
    s.cutoff = 5000.0;
    GrindvoxHarness plug;
    plug.Apply(s);
    plug.Plug().SetSampleRate(48000.0);
    // Until Reset the filters keep the rate they had.
    StereoSignal out = plug.ProcessAll(in, 500);
    StereoSignal expected = referenceOutput(s, in, 500);
    EXPECT_TRUE(sameBits(out.left, expected.left));
    EXPECT_TRUE(sameBits(out.right, expected.right));
    plug.Plug().Reset();
    s.sampleRate = 48000.0;
    out = plug.ProcessAll(in, 500);
    expected = referenceOutput(s, in, 500);
    EXPECT_TRUE(sameBits(out.left, expected.left));
    EXPECT_TRUE(sameBits(out.right, expected.right));
}

// The host's view: float buffers attached channel by channel through the base.
class GrindvoxBuffers : public ::testing::Test {
protected:
    static constexpr int kBlock = 256;

    void SetUp() override {
        mIn = MakeTestSignal(2 * kBlock);
        for (int i = 0; i < 2 * kBlock; ++i) {
            mInF[0][i] = static_cast<float>(mIn.left[i]);
            mInF[1][i] = static_cast<float>(mIn.right[i]);
        }
        mPlug.Set(Grindvox::kFilter, Grindvox::kBandPass);
        mPlug.Set(Grindvox::kCutoff, 300.0);
        mPlug.Set(Grindvox::kResonance, 1.9);
        Grindvox& p = mPlug.Plug();
        p.SetInputChannelConnections(0, 2, true);
        p.SetOutputChannelConnections(0, 2, true);
    }

    void Run(int block, int nChannels) {
        float* ins[2] = {mInF[0] + block * kBlock, mInF[1] + block * kBlock};
        float* outs[2] = {mOutF[0] + block * kBlock, mOutF[1] + block * kBlock};
        Grindvox& p = mPlug.Plug();
        p.AttachInputBuffers(0, 2, ins, kBlock);
        p.AttachOutputBuffers(0, nChannels, outs);
        p.ProcessBuffers(0.0f, kBlock);
    }

    GrindvoxHarness mPlug;
    StereoSignal mIn;
    float mInF[2][2 * kBlock] = {};
    float mOutF[2][2 * kBlock] = {};
};

// The test signal's left channel is silent alone at frames 400..429, in the second block.
TEST_F(GrindvoxBuffers, MonoIsTheChainWithASilentRightRightAfterAStereoBlock) {
    Run(0, 2);
    mPlug.Plug().SetInputChannelConnections(1, 1, false);
    mPlug.Plug().SetOutputChannelConnections(1, 1, false);
    Run(1, 1);

    // What the chain gives for the converted stereo block and then the left with a silent right.
    StereoSignal mono = mIn;
    for (int i = 0; i < 2 * kBlock; ++i) {
        mono.left[i] = mInF[0][i];
        mono.right[i] = i < kBlock ? mInF[1][i] : 0.0;
    }
    Settings s;
    s.filterType = 2;
    s.cutoff = 300.0;
    s.resonance = 1.9;
    const StereoSignal expected = referenceOutput(s, mono, kBlock);
    for (int i = 0; i < 2 * kBlock; ++i) {
        ASSERT_EQ(mOutF[0][i], grindvox::reference::toHostFloat(expected.left[i])) << i;
    }
    // The discarded right channel's host buffer is not written in mono.
    for (int i = kBlock; i < 2 * kBlock; ++i)
        ASSERT_EQ(mOutF[1][i], 0.0f) << i;
}

TEST_F(GrindvoxBuffers, MonoSilenceEndsInExactZeros) {
    mPlug.Set(Grindvox::kBits, 1);
    Grindvox& p = mPlug.Plug();
    p.SetInputChannelConnections(1, 1, false);
    p.SetOutputChannelConnections(1, 1, false);
    for (int i = 0; i < 2 * kBlock; ++i)
        mInF[0][i] = i < 100 ? mInF[0][i] : 0.0f;
    Run(0, 1);
    Run(1, 1);
    // The band-pass at 300 Hz with resonance 1.9 rings through the first block and a half...
    EXPECT_NE(mOutF[0][kBlock - 1], 0.0f);
    // ...and the gate has closed well before the end of a long enough silence.
    for (int i = 0; i < 2000 && mOutF[0][2 * kBlock - 1] != 0.0f; ++i)
        Run(1, 1);
    Run(1, 1);
    for (int i = kBlock; i < 2 * kBlock; ++i)
        ASSERT_EQ(mOutF[0][i], 0.0f) << i;
}

TEST_F(GrindvoxBuffers, ProcessingAllocatesNothing) {
    GRINDVOX_REQUIRE_ALLOCATION_TRACKING();
    mPlug.Set(Grindvox::kBits, 6);
    mPlug.Set(Grindvox::kRatio, 3);
    mPlug.Set(Grindvox::kMixMode, Grindvox::kAverage);
    mPlug.Set(Grindvox::kParallel, 1);
    Grindvox& p = mPlug.Plug();
    double outL[kBlock], outR[kBlock];
    double* ins[2] = {mIn.left.data(), mIn.right.data()};
    double* outs[2] = {outL, outR};

    grindvox::test::AllocationCounter counter;
    Run(0, 2);
    Run(1, 2);
    p.ProcessBuffersAccumulating(0.0f, kBlock);
    p.AttachInputBuffers(0, 2, ins, kBlock);
    p.AttachOutputBuffers(0, 2, outs);
    p.ProcessBuffers(0.0, kBlock);
    p.ProcessDoubleReplacing(ins, outs, kBlock);
    EXPECT_EQ(counter.Count(), 0);
}
