#include "effect/TolvaSvf.h"
#include "tests/support/GrindvoxHarness.h"

#include <gtest/gtest.h>

#include <cmath>

using grindvox::reference::Chain;
using grindvox::reference::Settings;
using grindvox::test::Bits;
using grindvox::test::GrindvoxHarness;
using grindvox::test::MakeTestSignal;
using grindvox::test::StereoSignal;

namespace {

constexpr int kFrames = 1200;

// The low-pass output of a lone filter with the effect's default settings.
std::vector<double> lowPassed(const std::vector<double>& in) {
    TolvaSvf svf(11000.0, 0.0, 44100.0, 4.0);
    svf.calc();
    std::vector<double> out;
    for (double x : in)
        out.push_back(svf.process(&x));
    return out;
}

// Where a and b differ first, or -1.
int firstDifference(const std::vector<double>& a, const std::vector<double>& b) {
    for (size_t i = 0; i < a.size(); ++i) {
        if (Bits(a[i]) != Bits(b[i])) return static_cast<int>(i);
    }
    return -1;
}

} // namespace

// Blocks of uneven length; the settings change between the second and the third block, so the
// comparison also covers states carried across blocks and settings that start at a block.
TEST(GrindvoxChain, MatchesThePlainReferenceToTheLastBitForEveryFilterAndMixMode) {
    const StereoSignal in = MakeTestSignal(kFrames);
    const int blocks[][2] = {{0, 333}, {333, 64}, {397, kFrames - 397}};
    for (int filter = 0; filter < 3; ++filter) {
        for (int mode = 0; mode < 4; ++mode) {
            for (bool parallel : {false, true}) {
                Settings s;
                s.filterType = filter;
                s.cutoff = 1500.0;
                s.resonance = 1.2;
                s.bits = 6;
                s.ratio = 3;
                s.mixMode = mode;
                s.parallel = parallel;
                GrindvoxHarness plug;
                Chain ref;
                StereoSignal out = in, expected = in;
                for (int b = 0; b < 3; ++b) {
                    if (b == 2) s.cutoff = 420.0, s.resonance = 1.9, s.bits = 3, s.ratio = 5;
                    plug.Apply(s);
                    plug.Process(in, out, blocks[b][0], blocks[b][1]);
                    const int at = blocks[b][0];
                    ref.process(s, &in.left[at], &in.right[at], &expected.left[at],
                                &expected.right[at], blocks[b][1]);
                }
                const int l = firstDifference(out.left, expected.left);
                const int r = firstDifference(out.right, expected.right);
                EXPECT_EQ(l, -1) << "filter " << filter << " mode " << mode << " parallel "
                                 << parallel << ": " << out.left[l] << " vs " << expected.left[l];
                EXPECT_EQ(r, -1) << "filter " << filter << " mode " << mode << " parallel "
                                 << parallel << ": " << out.right[r] << " vs " << expected.right[r];
            }
        }
    }
}

TEST(GrindvoxChain, DefaultSettingsGiveTheLowPassedInput) {
    StereoSignal in = MakeTestSignal(kFrames);
    for (int i = 300; i < 330; ++i)
        in.left[i] = in.right[i] = 0.25; // no gated frames here
    GrindvoxHarness plug;
    const StereoSignal out = plug.ProcessAll(in, 256);
    EXPECT_EQ(firstDifference(out.left, lowPassed(in.left)), -1);
    EXPECT_EQ(firstDifference(out.right, lowPassed(in.right)), -1);
    EXPECT_NE(firstDifference(out.left, in.left), -1);
}

TEST(GrindvoxChain, OneBitQuantisesToOddQuarters) {
    const StereoSignal in = MakeTestSignal(kFrames);
    GrindvoxHarness plug;
    plug.Set(Grindvox::kBits, 1);
    const StereoSignal out = plug.ProcessAll(in, 512);
    // (ceil(s) + floor(s + 0.5) - 0.5) / 2 is an odd number of quarters.
    for (int i = 0; i < kFrames; ++i) {
        if (in.left[i] == 0.0 && in.right[i] == 0.0) continue;
        ASSERT_EQ(std::fmod(std::fabs(out.left[i] * 4.0), 2.0), 1.0) << i << ": " << out.left[i];
    }
}

TEST(GrindvoxChain, RatioOneHoldsEachSampleTwoFramesAcrossBlockBoundaries) {
    StereoSignal in = MakeTestSignal(12);
    GrindvoxHarness plug;
    plug.Set(Grindvox::kRatio, 1);
    const StereoSignal out = plug.ProcessAll(in, 5); // blocks 0..4, 5..9, 10..11
    const std::vector<double> lp = lowPassed(in.left);
    const int takenAt[12] = {0, 0, 2, 2, 4, 4, 6, 6, 8, 8, 10, 10};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(out.left[i], lp[takenAt[i]]) << "frame " << i;
}

TEST(GrindvoxChain, ANewRatioStartsAFreshHold) {
    StereoSignal in = MakeTestSignal(8);
    StereoSignal out = in;
    GrindvoxHarness plug;
    plug.Set(Grindvox::kRatio, 2);
    plug.Process(in, out, 0, 4); // frames 0..3 hold 0, 0, 0, 3
    plug.Set(Grindvox::kRatio, 1);
    plug.Process(in, out, 4, 4); // a new hold from frame 4: 4, 4, 6, 6
    const std::vector<double> lp = lowPassed(in.left);
    const int takenAt[8] = {0, 0, 0, 3, 4, 4, 6, 6};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(out.left[i], lp[takenAt[i]]) << "frame " << i;
}

TEST(GrindvoxChain, NeutralRingModeSquaresAndDifferenceModeSilences) {
    const StereoSignal in = MakeTestSignal(kFrames);
    const std::vector<double> lp = lowPassed(in.left);
    GrindvoxHarness ring, difference;
    ring.Set(Grindvox::kMixMode, Grindvox::kRing);
    difference.Set(Grindvox::kMixMode, Grindvox::kDifference);
    const StereoSignal squared = ring.ProcessAll(in, 512);
    const StereoSignal silent = difference.ProcessAll(in, 512);
    // The signal's silences last 30 frames: too short for the gate, so every frame is heard.
    for (int i = 0; i < kFrames; ++i) {
        ASSERT_EQ(squared.left[i], lp[i] * lp[i]) << i;
        ASSERT_EQ(silent.left[i], 0.0) << i;
        ASSERT_EQ(silent.right[i], 0.0) << i;
    }
}

TEST(GrindvoxChain, NeutralParallelGivesBackTheInput) {
    const StereoSignal in = MakeTestSignal(kFrames);
    for (int filter = 0; filter < 3; ++filter) {
        GrindvoxHarness plug;
        plug.Set(Grindvox::kFilter, filter);
        plug.Set(Grindvox::kCutoff, 900.0);
        plug.Set(Grindvox::kResonance, 1.5);
        plug.Set(Grindvox::kParallel, 1.0);
        const StereoSignal out = plug.ProcessAll(in, 512);
        for (int i = 0; i < kFrames; ++i) {
            ASSERT_NEAR(out.left[i], in.left[i], 1e-12) << "filter " << filter << " frame " << i;
            ASSERT_NEAR(out.right[i], in.right[i], 1e-12) << "filter " << filter << " frame " << i;
        }
    }
}

// A single 1 followed by silence, in both channels.
StereoSignal impulse(int frames) {
    StereoSignal s{std::vector<double>(frames), std::vector<double>(frames)};
    s.left[0] = s.right[0] = 1.0;
    return s;
}

TEST(GrindvoxGate, AResonantTailRingsOutWholeBeforeTheGateCloses) {
    const StereoSignal in = impulse(20000);
    GrindvoxHarness gated;
    gated.Set(Grindvox::kFilter, Grindvox::kBandPass);
    gated.Set(Grindvox::kCutoff, 300.0);
    gated.Set(Grindvox::kResonance, 1.9);
    const StereoSignal out = gated.ProcessAll(in, 512);

    // The same filter alone, with nothing after it: the chain without its gate.
    TolvaSvf svf(300.0, 1.9, 44100.0, 4.0);
    svf.calc();
    int closed = -1;
    for (int i = 0; i < in.Frames() && closed < 0; ++i) {
        double x = in.left[i];
        svf.process(&x);
        if (out.left[i] == 0.0 && i >= Grindvox::kSilenceFrames) {
            closed = i;
            break;
        }
        ASSERT_EQ(Bits(out.left[i]), Bits(svf.getBpf())) << i;
    }
    // It rings for thousands of frames, far past the 64 frames of silence the gate waits for,
    // and closes only once the band has decayed below 2^-24.
    ASSERT_GT(closed, 1000);
    EXPECT_LT(std::fabs(out.left[closed - 1]), Grindvox::kRungOut);
    for (int i = closed; i < in.Frames(); ++i) {
        ASSERT_EQ(Bits(out.left[i]), Bits(0.0)) << i;
        ASSERT_EQ(Bits(out.right[i]), Bits(0.0)) << i;
    }
}

TEST(GrindvoxGate, ExactSilenceEndsInExactZerosWithTheQuantiserOn) {
    // One bit maps silence to -0.25 before the gate: only the gate keeps it from the output.
    StereoSignal in = MakeTestSignal(2000);
    for (int i = 1000; i < 2000; ++i)
        in.left[i] = in.right[i] = 0.0;
    GrindvoxHarness plug;
    plug.Set(Grindvox::kBits, 1);
    const StereoSignal out = plug.ProcessAll(in, 300);
    EXPECT_NE(out.left[1000], 0.0) << "the first silent frames still carry the filter's tail";
    for (int i = 1500; i < 2000; ++i) {
        ASSERT_EQ(Bits(out.left[i]), Bits(0.0)) << i;
        ASSERT_EQ(Bits(out.right[i]), Bits(0.0)) << i;
    }
}

TEST(GrindvoxGate, SilenceRightAfterResetIsGatedAtOnce) {
    const StereoSignal in = impulse(64);
    GrindvoxHarness plug;
    plug.Set(Grindvox::kBits, 1);
    plug.ProcessAll(in, 64);
    plug.Plug().Reset();
    StereoSignal silence{std::vector<double>(10), std::vector<double>(10)};
    const StereoSignal out = plug.ProcessAll(silence, 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Bits(out.left[i]), Bits(0.0)) << i;
}

TEST(GrindvoxGate, ZeroCrossingsOfSixteenBitAudioAreNeverForcedToZero) {
    // A 110 Hz sine at 16-bit resolution is exactly 0 at some of its zero crossings.
    constexpr int kLength = 3 * 44100;
    StereoSignal in{std::vector<double>(kLength), std::vector<double>(kLength)};
    for (int i = 0; i < kLength; ++i) {
        const double v =
            std::round(0.5 * std::sin(2.0 * 3.14159265358979323846 * 110.0 * i / 44100.0) *
                       32767.0) /
            32768.0;
        in.left[i] = in.right[i] = v;
    }
    GrindvoxHarness plug;
    plug.Set(Grindvox::kCutoff, 200.0);
    plug.Set(Grindvox::kResonance, 1.5);
    const StereoSignal out = plug.ProcessAll(in, 512);
    int zerosIn = 0;
    for (int i = 1; i < kLength; ++i) {
        if (in.left[i] != 0.0) continue;
        ++zerosIn;
        ASSERT_NE(out.left[i], 0.0) << i;
    }
    EXPECT_GT(zerosIn, 40);
}

TEST(GrindvoxChain, WorkHoldsEachStageOfTheLatestSample) {
    GrindvoxHarness plug;
    plug.Set(Grindvox::kBits, 6);
    plug.Set(Grindvox::kRatio, 2);
    plug.Set(Grindvox::kMixMode, Grindvox::kAverage);
    StereoSignal in{{0.7}, {-0.4}}, out{{0.0}, {0.0}};
    plug.Process(in, out, 0, 1);

    const double* w = plug.Plug().GetWork();
    TolvaSvf svf(11000.0, 0.0, 44100.0, 4.0);
    svf.calc();
    double x = 0.7;
    const double filteredL = svf.process(&x);
    EXPECT_EQ(w[Grindvox::kFilteredL], filteredL);
    EXPECT_EQ(w[Grindvox::kRemainderL], 0.7 - filteredL);
    EXPECT_EQ(w[Grindvox::kReducedL], filteredL); // first sample of a block is taken fresh
    const double quantisedL = w[Grindvox::kQuantisedL];
    EXPECT_NEAR(quantisedL, filteredL, 1.0 / 6);
    // 6 steps: (ceil(6x) + floor(6x + 0.5) - 0.5) / 12, an odd number of 24ths.
    const double twentyFourths = quantisedL * 24.0;
    EXPECT_NEAR(twentyFourths, 2.0 * std::floor(twentyFourths / 2.0) + 1.0, 1e-12);
    EXPECT_EQ(w[Grindvox::kMixedL], 0.5 * quantisedL + 0.5 * filteredL);
    EXPECT_EQ(out.left[0], w[Grindvox::kMixedL]);
    EXPECT_EQ(out.right[0], w[Grindvox::kMixedL + 1]);
    EXPECT_LT(w[Grindvox::kFilteredL + 1], 0.0);
    EXPECT_EQ(w[Grindvox::kRemainderL + 1], -0.4 - w[Grindvox::kFilteredL + 1]);
}

TEST(GrindvoxChain, InPlaceBuffersGiveTheSameResult) {
    const StereoSignal in = MakeTestSignal(kFrames);
    GrindvoxHarness a, b;
    for (GrindvoxHarness* p : {&a, &b}) {
        p->Set(Grindvox::kResonance, 1.0);
        p->Set(Grindvox::kParallel, 1.0);
        p->Set(Grindvox::kBits, 4);
    }
    const StereoSignal expected = a.ProcessAll(in, kFrames);
    StereoSignal buffer = in;
    b.Process(buffer, buffer, 0, kFrames);
    EXPECT_EQ(firstDifference(buffer.left, expected.left), -1);
    EXPECT_EQ(firstDifference(buffer.right, expected.right), -1);
}
