#include "effect/TolvaBiquad.h"
#include "effect/TolvaDecimate.h"
#include "effect/TolvaSampleReduct.h"
#include "effect/TolvaSvf.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

namespace {

// Cutoff at a sixth of the rate with one pass: freq = 2 sin(pi / 6) = 1, damping 2.
TolvaSvf unitFreqFilter() {
    TolvaSvf svf(7350.0, 0.0, 44100.0, 1.0);
    svf.calc();
    return svf;
}

double run(TolvaSvf& svf, double x) {
    return svf.process(&x);
}

} // namespace

TEST(TolvaSvf, FirstSamplesOfAStepMatchHandWorkedValues) {
    TolvaSvf svf = unitFreqFilter();
    EXPECT_NEAR(svf.freq, 1.0, 1e-15);

    // All state 0: low 0, high = 1, band = freq × 1; bandState becomes tanh(1).
    EXPECT_EQ(run(svf, 1.0), 0.0);
    EXPECT_NEAR(svf.getHpf(), 1.0, 1e-15);
    EXPECT_NEAR(svf.getBpf(), 1.0, 1e-15);
    EXPECT_NEAR(svf.getNotch(), 1.0, 1e-15);

    // low = tanh(1) = 0.761594; high = 1 - 0.761594 - 2 × 0.761594 / sqrt(1.580026).
    EXPECT_NEAR(run(svf, 1.0), 0.7615941559557649, 1e-12);
    EXPECT_NEAR(svf.getHpf(), -0.9733678734178329, 1e-12);
    EXPECT_NEAR(svf.getBpf(), -0.2117737174620680, 1e-12);
}

TEST(TolvaSvf, FlushesSubnormalResultsToPositiveZero) {
    TolvaSvf svf = unitFreqFilter();
    run(svf, -1e-310);
    EXPECT_EQ(svf.getHpf(), 0.0);
    EXPECT_FALSE(std::signbit(svf.getHpf()));
    EXPECT_FALSE(std::signbit(svf.getBpf()));
    EXPECT_FALSE(std::signbit(svf.getNotch()));
    // A normal value passes unchanged.
    run(svf, -1e-300);
    EXPECT_EQ(svf.getHpf(), -1e-300);
}

TEST(TolvaSvf, RunsTheOversamplingRoundedUpAsPasses) {
    auto after = [](double oversampling) {
        TolvaSvf svf(1000.0, 0.5, 44100.0, oversampling);
        svf.calc();
        svf.freq = 0.3; // the same coefficient for every factor, so only the pass count differs
        run(svf, 0.8);
        return svf.getBpf();
    };
    EXPECT_EQ(after(2.5), after(3.0));
    EXPECT_NE(after(2.0), after(3.0));
    EXPECT_EQ(after(0.25), after(1.0));

    TolvaSvf idle(1000.0, 0.0, 44100.0, 0.0);
    idle.calc();
    idle.low = 0.125;
    EXPECT_EQ(run(idle, 1.0), 0.125);
    EXPECT_EQ(idle.getHpf(), 0.0);
}

TEST(TolvaSvf, SettersHoldTheirLimits) {
    TolvaSvf svf(1000.0, 0.0, 44100.0, 4.0);
    EXPECT_EQ(svf.damping, 2.0);
    EXPECT_EQ(svf.freq, 0.0);
    svf.setCutoff(3.0);
    svf.setResonance(1.9);
    svf.setOversampling(0.0);
    svf.calc();
    EXPECT_EQ(svf.getCutoff(), 10.0);
    EXPECT_EQ(svf.getOversampling(), 1.0);
    EXPECT_NEAR(svf.damping, 0.1, 1e-15);
    svf.setResonance(5.0);
    svf.setResonance(-1.0); // no lower limit
    EXPECT_EQ(svf.getResonance(), -1.0);
    svf.setResonance(2.5);
    svf.calc();
    EXPECT_EQ(svf.damping, 0.0);
}

TEST(TolvaSvf, PairedProcessingEqualsSeparateProcessingBitForBit) {
    // Different settings on each side, and unequal pass counts that cannot be interleaved.
    const double factors[][2] = {{4.0, 4.0}, {2.5, 2.5}, {4.0, 2.0}, {0.0, 3.0}};
    for (const auto& f : factors) {
        TolvaSvf a(3000.0, 1.2, 44100.0, f[0]), b(500.0, 1.9, 48000.0, f[1]);
        TolvaSvf a2 = a, b2 = b;
        a.calc(), b.calc(), a2.calc(), b2.calc();
        for (int i = 0; i < 200; ++i) {
            double xa = std::sin(i * 0.37), xb = (i % 7) * 0.3 - 1.0, ya, yb;
            TolvaSvf::processPair(a, &xa, b, &xb, &ya, &yb);
            ASSERT_EQ(ya, a2.process(&xa)) << "sample " << i << " factor " << f[0];
            ASSERT_EQ(yb, b2.process(&xb)) << "sample " << i << " factor " << f[1];
            ASSERT_EQ(a.getHpf(), a2.getHpf());
            ASSERT_EQ(b.getBpf(), b2.getBpf());
            ASSERT_EQ(a.getNotch(), a2.getNotch());
        }
    }
}

TEST(TolvaDecimate, QuantisesToStepsPerUnit) {
    TolvaDecimate q;
    double x = 0.3;
    EXPECT_EQ(q.process(&x), 0.3); // 16: off
    q.setBits(1);
    EXPECT_EQ(q.process(&x), 0.25); // 0.5 × (1 + (0 - 0.5))
    EXPECT_EQ(q.upper, 1.0);
    EXPECT_EQ(q.lower, -0.5);
    q.setBits(4);
    EXPECT_EQ(q.process(&x), 0.3125); // s = 1.2: 0.5 × (2/4 + 0.5/4)
    x = -0.3;
    q.setBits(1);
    EXPECT_EQ(q.process(&x), -0.25); // 0.5 × (-0 + (0 - 0.5))
    q.setBits(15);
    x = 0.3;
    EXPECT_NE(q.process(&x), 0.3);
    q.setBits(0);
    EXPECT_EQ(q.getBits(), 1);
    q.setBits(-7);
    EXPECT_EQ(q.getBits(), 1);
}

TEST(TolvaSampleReduct, HoldsEachSampleForAmountPlusOneSamples) {
    auto sequence = [](TolvaSampleReduct& r, int n, double first) {
        std::vector<double> out;
        for (int i = 0; i < n; ++i) {
            double x = first + i;
            out.push_back(r.process(&x));
        }
        return out;
    };
    TolvaSampleReduct r;
    EXPECT_EQ(sequence(r, 3, 1.0), (std::vector<double>{1, 2, 3}));
    r.update(1);
    EXPECT_EQ(sequence(r, 5, 1.0), (std::vector<double>{1, 1, 3, 3, 5}));
    // 5 was taken, 6 would still be held: an update takes the next sample fresh.
    r.update(-2);
    EXPECT_EQ(r.getReductAmount(), 2);
    EXPECT_EQ(sequence(r, 7, 10.0), (std::vector<double>{10, 10, 10, 13, 13, 13, 16}));
    EXPECT_EQ(r.getCount(), 1);
    r.reset();
    EXPECT_EQ(sequence(r, 2, 20.0), (std::vector<double>{20, 20}));
    r.setReductAmount(INT_MIN);
    EXPECT_EQ(r.getReductAmount(), INT_MAX);
}

TEST(TolvaBiquad, ImpulseResponsesAtAQuarterOfTheRate) {
    // w0 = pi/2: sin 1, cos ~0; Q 1 gives alpha 1/2, so a0 = 1.5 and a2 = 0.5.
    struct Case {
        int mode;
        double y[3];
    } cases[] = {{TolvaBiquad::kLowPass, {1.0 / 3, 2.0 / 3, 2.0 / 9}},
                 {TolvaBiquad::kHighPass, {1.0 / 3, -2.0 / 3, 2.0 / 9}},
                 // alphaBP = sinh(ln 2 / 2 × pi / 2) = 0.571688; b0 = 1/2, b1 = 0, b2 = -1/2
                 {TolvaBiquad::kBandPass, {0.3181292854019727, 0.0, -0.40482496892147923}}};
    for (const Case& c : cases) {
        TolvaBiquad bq(c.mode, 11025.0, 1.0, 44100.0);
        bq.calc();
        double x[3] = {1.0, 0.0, 0.0};
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(bq.process(&x[i]), c.y[i], 1e-12) << "mode " << c.mode << " sample " << i;
        }
    }
}

TEST(TolvaBiquad, AddsASinglePrecisionOffsetAgainstSubnormals) {
    TolvaBiquad bq(TolvaBiquad::kLowPass, 1000.0, 1.0, 44100.0);
    bq.calc();
    double zero = 0.0;
    EXPECT_EQ(bq.process(&zero), 1.0000000195414814e-25);
}

TEST(TolvaBiquad, SettlesToUnityAndZeroGainAtDc) {
    TolvaBiquad lp(TolvaBiquad::kLowPass, 500.0, 0.7, 44100.0), hp = lp;
    hp.setMode(TolvaBiquad::kHighPass);
    lp.calc(), hp.calc();
    double one = 1.0;
    for (int i = 0; i < 20000; ++i)
        lp.process(&one), hp.process(&one);
    EXPECT_NEAR(lp.y0, 1.0, 1e-9);
    EXPECT_NEAR(hp.y0, 0.0, 1e-9);
}

TEST(TolvaBiquad, SettersHoldTheirLimitsAndResetClearsCoefficients) {
    TolvaBiquad bq(TolvaBiquad::kBandPass, 1000.0, 2.0, 44100.0);
    EXPECT_NEAR(bq.w0, 2.0 * 3.141592653589793 * 1000.0 / 44100.0, 1e-15);
    EXPECT_EQ(bq.b0, 0.0);
    bq.setMode(3);
    EXPECT_EQ(bq.getMode(), TolvaBiquad::kLowPass);
    bq.setCutoff(1.0);
    EXPECT_EQ(bq.getCutoff(), 10.0);
    bq.setResonance(0.2);
    EXPECT_EQ(bq.getResonance(), 1.0);
    bq.setResonance(40.0);
    EXPECT_EQ(bq.getResonance(), 16.0);
    bq.calc();
    double x = 1.0;
    bq.process(&x);
    bq.reset();
    EXPECT_EQ(bq.a0, 0.0);
    EXPECT_EQ(bq.x1, 0.0);
    EXPECT_EQ(bq.y1, 0.0);
}
