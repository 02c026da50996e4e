#include "TestPlug.h"
#include "tests/support/AllocationTracking.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <vector>

TEST(ChannelIO, ParsesTheConfigurationsAndTheLargestCounts) {
    TestPlug plug("1-1 2-2");
    ASSERT_EQ(plug.NChannelIO(), 2);
    EXPECT_EQ(plug.GetChannelIO(0)->mIn, 1);
    EXPECT_EQ(plug.GetChannelIO(1)->mOut, 2);
    EXPECT_EQ(plug.NInChannels(), 2);
    EXPECT_EQ(plug.NOutChannels(), 2);

    TestPlug uneven("8-2 1-6");
    EXPECT_EQ(uneven.NInChannels(), 8);
    EXPECT_EQ(uneven.NOutChannels(), 6);
}

TEST(ChannelIO, UnreadableFieldsCountAsZeroAndNullGivesNothing) {
    TestPlug odd("x-2 3-y 4");
    ASSERT_EQ(odd.NChannelIO(), 3);
    EXPECT_EQ(odd.GetChannelIO(0)->mIn, 0);
    EXPECT_EQ(odd.GetChannelIO(0)->mOut, 0) << "nothing is read after an unreadable field";
    EXPECT_EQ(odd.GetChannelIO(1)->mIn, 3);
    EXPECT_EQ(odd.GetChannelIO(1)->mOut, 0);
    EXPECT_EQ(odd.GetChannelIO(2)->mIn, 4);

    TestPlug none(nullptr);
    EXPECT_EQ(none.NChannelIO(), 0);
    EXPECT_EQ(none.NInChannels(), 0);
}

TEST(ChannelIO, LegalIOMatchesBothCountsWithNegativeAsAny) {
    TestPlug plug("1-1 2-2");
    EXPECT_TRUE(plug.LegalIO(2, 2));
    EXPECT_TRUE(plug.LegalIO(1, -1));
    EXPECT_TRUE(plug.LegalIO(-1, -1));
    EXPECT_FALSE(plug.LegalIO(2, 1));
    EXPECT_FALSE(plug.LegalIO(0, 0));
}

TEST(IPlugBase, KeepsIdentityAndCutsNamesAt127Characters) {
    const std::string longName(200, 'g');
    TestPlug plug("1-1", 0, 0, longName.c_str());
    EXPECT_EQ(std::string(plug.GetEffectName()), longName.substr(0, 127));
    EXPECT_STREQ(plug.GetMfrName(), "Maker");
    EXPECT_EQ(plug.GetUniqueID(), 'Test');
    EXPECT_EQ(plug.GetVersion(), 0x10203);
    EXPECT_EQ(plug.GetSampleRate(), 44100.0);
    EXPECT_EQ(plug.GetBlockSize(), 0);
}

TEST(IPlugBase, CreatesDefaultParametersAndEmptyPresetSlots) {
    TestPlug plug("1-1", 4, 3);
    ASSERT_EQ(plug.NParams(), 4);
    EXPECT_EQ(plug.GetParam(0)->Type(), IParam::kTypeNone);
    EXPECT_EQ(plug.GetParam(4), nullptr);
    EXPECT_EQ(plug.NPresets(), 3);
}

TEST(IPlugBase, SamplesPerBeatNeedATempo) {
    TestPlug plug;
    plug.SetSampleRate(48000.0);
    plug.tempo = 120.0;
    EXPECT_EQ(plug.GetSamplesPerBeat(), 24000.0);
    plug.tempo = 0.0;
    EXPECT_EQ(plug.GetSamplesPerBeat(), 0.0);
}

TEST(IPlugBase, ParameterResetVisitsEveryParameterInOrder) {
    TestPlug plug("1-1", 3);
    plug.OnParamReset();
    EXPECT_EQ(plug.changes, (std::vector<int>{0, 1, 2}));
}

TEST(IPlugBase, GuiChangeSetsTellsTheHostThenTheEffectUnderTheLock) {
    TestPlug plug("1-1", 2);
    plug.GetParam(1)->InitInt("Steps", 0, 0, 2);
    plug.SetParameterFromGUI(1, 0.49);
    EXPECT_EQ(plug.GetParam(1)->mValue, 1.0);
    ASSERT_EQ(plug.informed.size(), 1u);
    EXPECT_EQ(plug.informed[0].value, 0.49) << "the host gets the value as the control sent it";
    EXPECT_EQ(plug.changes, std::vector<int>{1});
    EXPECT_EQ(plug.changedUnderLock, std::vector<bool>{true});
    EXPECT_FALSE(plug.GetMutex()->IsHeldByCaller());
}

TEST(IPlugBase, DirtyParametersTellsTheHostEveryNormalisedValue) {
    TestPlug plug("1-1", 2);
    plug.GetParam(0)->InitInt("a", 1, 0, 4);
    plug.GetParam(1)->InitDouble("b", 0.0, -1.0, 1.0, 0.01);
    plug.DirtyParameters();
    ASSERT_EQ(plug.informed.size(), 2u);
    EXPECT_EQ(plug.informed[0].value, 0.25);
    EXPECT_EQ(plug.informed[1].value, 0.5);
}

TEST(IPlugBase, AttachGraphicsPushesNormalisedValuesPreparesAndTakesOwnership) {
    bool deleted = false;
    {
        TestPlug plug("1-1", 2);
        plug.GetParam(0)->InitInt("a", 3, 0, 4);
        auto* graphics = new FakeGraphics(&deleted);
        plug.AttachGraphics(graphics);
        EXPECT_EQ(plug.GetGUI(), graphics);
        EXPECT_EQ(graphics->log, "set set prep ");
        EXPECT_EQ(graphics->pushed[0].value, 0.75);
        EXPECT_TRUE(graphics->pushed[0].normalized);

        graphics->pushed.clear();
        plug.RedrawParamControls();
        ASSERT_EQ(graphics->pushed.size(), 2u);
        EXPECT_EQ(graphics->pushed[0].value, 3.0);
        EXPECT_FALSE(graphics->pushed[0].normalized);

        plug.AttachGraphics(nullptr);
        EXPECT_EQ(plug.GetGUI(), graphics) << "a null editor is ignored";
    }
    EXPECT_TRUE(deleted);
}

// A stereo plug-in with 4-frame scratch buffers and both channels connected.
class Buffers : public ::testing::Test {
protected:
    void SetUp() override {
        plug.SetBlockSize(4);
        plug.SetInputChannelConnections(0, 2, true);
        plug.SetOutputChannelConnections(0, 2, true);
    }

    TestPlug plug{"1-1 2-2"};
    float left[4] = {0.5f, -0.5f, 0.25f, 1.0f};
    float right[4] = {0.125f, 0.0f, -1.0f, 2.0f};
    float outL[4] = {9, 9, 9, 9};
    float outR[4] = {9, 9, 9, 9};
};

TEST_F(Buffers, AnUnconnectedChannelConsumesNoHostPointer) {
    plug.SetInputChannelConnections(0, 1, false);
    float* host[] = {right};
    plug.AttachInputBuffers(0, 2, host, 4);
    EXPECT_EQ(plug.InSlot(1)[2], -1.0);
    EXPECT_EQ(plug.InSlot(0), plug.InScratch(0));
    EXPECT_EQ(plug.InSlot(0)[0], 0.0);
}

TEST_F(Buffers, FloatProcessingConvertsThroughTheScratchBuffers) {
    float* in[] = {left, right};
    float* out[] = {outL, outR};
    plug.AttachInputBuffers(0, 2, in, 4);
    plug.AttachOutputBuffers(0, 2, out);
    plug.ProcessBuffers(0.0f, 4);
    EXPECT_EQ(outL[3], 1.0f);
    EXPECT_EQ(outR[2], -1.0f);
    EXPECT_EQ(plug.OutSlot(0), plug.OutScratch(0));
}

TEST_F(Buffers, AccumulatingAddsToWhatTheHostHolds) {
    float* in[] = {left, right};
    float* out[] = {outL, outR};
    plug.AttachInputBuffers(0, 2, in, 4);
    plug.AttachOutputBuffers(0, 2, out);
    plug.ProcessBuffersAccumulating(0.0f, 4);
    EXPECT_EQ(outL[0], 9.5f);
    EXPECT_EQ(outR[3], 11.0f);
}

TEST_F(Buffers, ResultsBelowTheSmallestNormalFloatReachTheHostAsZerosOfTheirSign) {
    // 2^-130 and -2^-140 are ordinary doubles but subnormal floats; 2^-126 is the smallest
    // normal float and stays.
    double inL[4] = {std::ldexp(1.0, -130), -std::ldexp(1.0, -140), std::ldexp(1.0, -126), 0.5};
    double inR[4] = {-std::ldexp(1.0, -149), 1e-300, -0.0, std::nan("")};
    double* in[] = {inL, inR};
    float* out[] = {outL, outR};
    plug.AttachInputBuffers(0, 2, in, 4);
    plug.AttachOutputBuffers(0, 2, out);
    plug.ProcessBuffers(0.0f, 4);
    const float expectedL[4] = {0.0f, -0.0f, std::ldexp(1.0f, -126), 0.5f};
    const float expectedR[3] = {-0.0f, 0.0f, -0.0f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(outL[i], expectedL[i]) << i;
        EXPECT_EQ(std::signbit(outL[i]), std::signbit(expectedL[i])) << i;
        EXPECT_EQ(outR[i], expectedR[i]) << i;
        EXPECT_EQ(std::signbit(outR[i]), std::signbit(expectedR[i])) << i;
    }
    EXPECT_EQ(outL[3], 0.5f);
    EXPECT_TRUE(std::isnan(outR[3])) << "NaN is not the conversion's to hide";

    // Adding to what the host holds: a sum that falls below the normal range is flushed too.
    const float smallest = std::ldexp(1.0f, -126);
    outL[0] = smallest;
    inL[0] = -0.75 * smallest;
    plug.ProcessBuffersAccumulating(0.0f, 1);
    EXPECT_EQ(outL[0], 0.0f);
    EXPECT_FALSE(std::signbit(outL[0]));
}

TEST_F(Buffers, DoubleBuffersAreSwappedInNotCopied) {
    double inL[4] = {1, 2, 3, 4}, inR[4] = {5, 6, 7, 8};
    double dOutL[4] = {}, dOutR[4] = {};
    double* in[] = {inL, inR};
    double* out[] = {dOutL, dOutR};
    plug.AttachInputBuffers(0, 2, in, 4);
    plug.AttachOutputBuffers(0, 2, out);
    EXPECT_EQ(plug.InSlot(1), inR);
    EXPECT_EQ(plug.OutSlot(0), dOutL);
    plug.PassThroughBuffers(0.0, 4);
    EXPECT_EQ(dOutR[3], 8.0);
}

TEST_F(Buffers, RepeatedBlockSizeKeepsScratchContentsAndANewOneClearsThem) {
    float* in[] = {left, right};
    plug.AttachInputBuffers(0, 2, in, 4);
    plug.SetBlockSize(4);
    EXPECT_EQ(plug.InScratch(0)[0], 0.5);
    plug.SetBlockSize(8);
    EXPECT_EQ(plug.InScratch(0)[0], 0.0);
    EXPECT_EQ(plug.GetBlockSize(), 8);
}

TEST_F(Buffers, UnconnectedSlotsFollowTheirScratchBuffersAcrossResizes) {
    plug.SetInputChannelConnections(1, 1, false);
    plug.SetOutputChannelConnections(1, 1, false);
    plug.SetBlockSize(100000); // the blocks move
    EXPECT_EQ(plug.InSlot(1), plug.InScratch(1));
    EXPECT_EQ(plug.OutSlot(1), plug.OutScratch(1));

    // Processing must touch live memory only (the sanitizer build checks it).
    float* in[] = {left};
    float* out[] = {outL};
    plug.AttachInputBuffers(0, 1, in, 4);
    plug.AttachOutputBuffers(0, 1, out);
    plug.ProcessBuffers(0.0f, 4);
    EXPECT_EQ(outL[0], 0.5f);
}

TEST_F(Buffers, AnInputThatGoesQuietReadsSilence) {
    float* in[] = {left, right};
    plug.AttachInputBuffers(0, 2, in, 4);
    plug.SetInputChannelConnections(1, 1, false);
    EXPECT_EQ(plug.InSlot(1), plug.InScratch(1));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(plug.InSlot(1)[i], 0.0) << "frame " << i;
}

TEST_F(Buffers, ConnectionsStopAtTheChannelCount) {
    plug.SetOutputChannelConnections(0, 5, false);
    EXPECT_FALSE(plug.IsOutChannelConnected(0));
    EXPECT_FALSE(plug.IsOutChannelConnected(1));
    plug.SetOutputChannelConnections(0, 5, true);
    EXPECT_TRUE(plug.IsOutChannelConnected(1));
    EXPECT_FALSE(plug.IsOutChannelConnected(2));
    EXPECT_FALSE(plug.IsInChannelConnected(-1));
}

TEST_F(Buffers, ProcessingAllocatesNothing) {
    GRINDVOX_REQUIRE_ALLOCATION_TRACKING();
    float* in[] = {left, right};
    float* out[] = {outL, outR};
    grindvox::test::AllocationCounter counter;
    plug.AttachInputBuffers(0, 2, in, 4);
    plug.AttachOutputBuffers(0, 2, out);
    plug.ProcessBuffers(0.0f, 4);
    plug.ProcessBuffersAccumulating(0.0f, 4);
    plug.PassThroughBuffers(0.0f, 4);
    plug.ProcessBuffers(0.0, 4);
    EXPECT_EQ(counter.Count(), 0);
}

TEST(DefaultProcessing, CopiesInputsAndClearsTheOutputsBeyondThem) {
    TestPlug plug("2-4");
    double a[2] = {1, 2}, b[2] = {3, 4};
    double o[4][2] = {{9, 9}, {9, 9}, {9, 9}, {9, 9}};
    double* in[] = {a, b};
    double* out[] = {o[0], o[1], o[2], o[3]};
    plug.ProcessDoubleReplacing(in, out, 2);
    EXPECT_EQ(o[1][1], 4.0);
    EXPECT_EQ(o[2][0], 0.0);
    EXPECT_EQ(o[3][1], 0.0);

    TestPlug narrow("4-2");
    double* wideIn[] = {a, b, a, b};
    double* narrowOut[] = {o[0], o[1]};
    narrow.ProcessDoubleReplacing(wideIn, narrowOut, 2); // must not write past two outputs
    EXPECT_EQ(o[0][0], 1.0);
}

TEST(DefaultProcessing, LimitToStereoDisconnectsExtraInputsAndConnectsExtraOutputs) {
    TestPlug plug("4-4");
    plug.SetInputChannelConnections(0, 4, true);
    plug.LimitToStereoIO();
    EXPECT_TRUE(plug.IsInChannelConnected(1));
    EXPECT_FALSE(plug.IsInChannelConnected(2));
    EXPECT_TRUE(plug.IsOutChannelConnected(3));
    EXPECT_FALSE(plug.IsOutChannelConnected(0));
}
