#include "plugin/IParam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

std::string display(const IParam& param, double value, bool normalized = false,
                    bool withTexts = true) {
    char buffer[IParam::kDisplaySize];
    param.GetDisplayForHost(value, normalized, buffer, withTexts);
    return buffer;
}

} // namespace

TEST(IParam, ShapeThreeMapsHalfwayToAnEighthOfTheRange) {
    IParam cutoff;
    cutoff.InitDouble("Cutoff", 11000.0, 20.0, 11000.0, 1.0, "Hz");
    cutoff.SetShape(3.0);
    cutoff.SetNormalized(0.5);
    EXPECT_EQ(cutoff.mValue, 1392.5); // 20 + 10980 * 0.125, no step rounding for doubles
    EXPECT_NEAR(cutoff.GetNormalized(1392.5), 0.5, 1e-15);
    EXPECT_EQ(cutoff.GetNormalized(5.0), 0.0) << "clamped below the range";
    EXPECT_EQ(cutoff.GetNormalized(20000.0), 1.0) << "clamped above the range";
}

TEST(IParam, IntegerKindsSnapToTheStep) {
    IParam filter;
    filter.InitInt("Filter", 0, 0, 2);
    filter.SetNormalized(0.49); // 0.98
    EXPECT_EQ(filter.mValue, 1.0);
    filter.SetNormalized(0.26); // 0.52
    EXPECT_EQ(filter.mValue, 1.0);
    filter.SetNormalized(0.24); // 0.48
    EXPECT_EQ(filter.mValue, 0.0);
    filter.SetNormalized(1.2);
    EXPECT_EQ(filter.mValue, 2.0) << "held at the maximum";
}

TEST(IParam, InitialisationKeepsTheBoundsApart) {
    IParam a, b, c;
    a.InitInt("a", 3, 3, 3);
    EXPECT_EQ(a.mMax, 4.0);
    b.InitEnum("b", 0, 1);
    EXPECT_EQ(b.mMax, 1.0);
    c.InitDouble("c", 1.0, 1.0, 0.5, 0.25);
    EXPECT_EQ(c.mMax, 1.25);
}

TEST(IParam, AKindSetEarlierSurvivesALaterInitialisation) {
    IParam param;
    param.InitInt("n", 1, 0, 8);
    param.InitDouble("n", 0.5, 0.0, 1.0, 0.01);
    EXPECT_EQ(param.Type(), IParam::kTypeInt);
    EXPECT_EQ(param.mStep, 0.01);
}

TEST(IParam, PrecisionFollowsTheDecimalsOfTheStep) {
    const struct {
        double step;
        int precision;
    } cases[] = {{1.0, 0}, {0.5, 1}, {0.1, 1}, {0.01, 2}, {0.001, 3}, {0.25, 2}, {1e-9, 6}};
    for (const auto& c : cases) {
        IParam param;
        param.InitDouble("p", 0.0, 0.0, 1.0, c.step);
        EXPECT_EQ(param.mDisplayPrecision, c.precision) << "step " << c.step;
    }
}

TEST(IParam, BooleanShowsOffAndOnAndDropsItsLabel) {
    IParam parallel;
    parallel.InitBool("Parallel", false, "dB");
    EXPECT_STREQ(parallel.GetLabelForHost(), "");
    EXPECT_EQ(display(parallel, 0.0), "off");
    EXPECT_EQ(display(parallel, 1.0), "on");
    EXPECT_EQ(parallel.GetNDisplayTexts(), 2);
}

TEST(IParam, DisplayTextsAreFoundByTruncationNotRounding) {
    IParam filter;
    filter.InitInt("Filter", 0, 0, 2);
    filter.SetDisplayText(0, "LPF");
    filter.SetDisplayText(1, "HPF");
    filter.SetDisplayText(2, "BPF");
    EXPECT_EQ(display(filter, 1.9), "HPF");
    EXPECT_EQ(display(filter, 0.5, true), "HPF") << "normalised 0.5 is plain 1.0";
    EXPECT_EQ(display(filter, 2.0, false, false), "2") << "texts can be bypassed";
    EXPECT_EQ(display(filter, 7.0), "7") << "a value without a text prints as a number";
}

TEST(IParam, NumbersPrintWithThePrecisionOrTruncated) {
    IParam resonance, cutoff;
    resonance.InitDouble("Resonance", 0.0, 0.0, 1.9, 0.001);
    cutoff.InitDouble("Cutoff", 11000.0, 20.0, 11000.0, 1.0, "Hz");
    EXPECT_EQ(display(resonance, 0.5), "0.500");
    EXPECT_EQ(display(cutoff, 10999.7), "10999");
    EXPECT_EQ(display(cutoff, 1e300), "2147483647") << "out-of-range values print held";
    cutoff.mNegateDisplay = true;
    EXPECT_EQ(display(cutoff, 10999.7), "-10999");
}

TEST(IParam, TextLookupsTakeTheFirstExactMatch) {
    IParam mode;
    mode.InitInt("Mix Mode", 0, 0, 3);
    mode.SetDisplayText(2, "x");
    mode.SetDisplayText(3, "x");
    int value = -1;
    EXPECT_TRUE(mode.MapDisplayText("x", &value));
    EXPECT_EQ(value, 2);
    EXPECT_FALSE(mode.MapDisplayText("X", &value));
    EXPECT_STREQ(mode.GetDisplayText(2), "x");
    EXPECT_STREQ(mode.GetDisplayText(5), "");
}

TEST(IParam, NamesLabelsAndTextsKeepThirtyOneCharacters) {
    const std::string longText(40, 'n');
    IParam param;
    param.InitInt(longText.c_str(), 0, 0, 1, longText.c_str());
    param.SetDisplayText(0, longText.c_str());
    EXPECT_EQ(std::string(param.GetNameForHost()), longText.substr(0, 31));
    EXPECT_EQ(std::string(param.GetLabelForHost()), longText.substr(0, 31));
    EXPECT_EQ(std::string(param.GetDisplayText(0)), longText.substr(0, 31));
}

TEST(IParam, PlainSetClampsWithoutRoundingAndIgnoresNaN) {
    IParam bits;
    bits.InitInt("Bits", 16, 1, 16);
    bits.Set(7.6);
    EXPECT_EQ(bits.mValue, 7.6);
    bits.Set(40.0);
    EXPECT_EQ(bits.mValue, 16.0);
    bits.Set(std::nan(""));
    EXPECT_EQ(bits.mValue, 16.0);
}

TEST(IParam, ShapeOfZeroIsIgnored) {
    IParam param;
    param.SetShape(2.0);
    param.SetShape(0.0);
    EXPECT_EQ(param.mShape, 2.0);
}

TEST(IParam, DecibelsTurnIntoLinearGain) {
    IParam gain;
    gain.InitDouble("Gain", 20.0, -60.0, 20.0, 0.1, "dB");
    EXPECT_NEAR(gain.DBToAmp(), 10.0, 1e-9);
}

TEST(TruncateToInt, TruncatesTowardZeroAndHoldsAtTheLimits) {
    EXPECT_EQ(TruncateToInt(2.9), 2);
    EXPECT_EQ(TruncateToInt(-2.9), -2);
    EXPECT_EQ(TruncateToInt(1e20), 2147483647);
    EXPECT_EQ(TruncateToInt(-1e20), -2147483647 - 1);
    EXPECT_EQ(TruncateToInt(std::nan("")), 0);
}
