#include "tests/editor/EditorTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class IControlTest : public ::testing::Test {
protected:
    EditorTestPlug plug;
    std::vector<std::string> log;
    ProbeControl gain{&plug, IRECT(10, 20, 50, 60), EditorTestPlug::kGain, &log, "gain"};
};

} // namespace

TEST_F(IControlTest, FirstValueFromPlugSetsTheDefaultWithoutRedrawSecondRedraws) {
    gain.SetClean();
    gain.SetValueFromPlug(0.3);
    EXPECT_EQ(0.3, gain.GetValue());
    EXPECT_EQ(0.3, gain.GetDefaultValue());
    EXPECT_FALSE(gain.NeedsRedraw());
    EXPECT_FALSE(gain.IsDirty());

    gain.SetValueFromPlug(0.6);
    EXPECT_EQ(0.6, gain.GetValue());
    EXPECT_EQ(0.3, gain.GetDefaultValue());
    EXPECT_TRUE(gain.NeedsRedraw());
    EXPECT_TRUE(gain.IsDirty());
    EXPECT_TRUE(plug.informed.empty()); // a value from the plug-in is not pushed back

    // The redraw flag keeps it dirty for one more cycle.
    gain.SetClean();
    EXPECT_TRUE(gain.IsDirty());
    gain.SetClean();
    EXPECT_FALSE(gain.IsDirty());
}

TEST_F(IControlTest, WheelPastTheTopIsClampedBeforeItReachesThePlugIn) {
    gain.SetValue(0.995);
    IMouseMod plain;
    gain.OnMouseWheel(0, 0, &plain, 3);
    EXPECT_EQ(1.0, gain.GetValue());
    ASSERT_EQ(1u, plug.informed.size());
    EXPECT_EQ(EditorTestPlug::kGain, plug.informed[0].first);
    EXPECT_EQ(1.0, plug.informed[0].second);
    EXPECT_EQ(12.0, plug.GetParam(EditorTestPlug::kGain)->Value());

    IMouseMod shift(true, false, true);
    gain.OnMouseWheel(0, 0, &shift, -5);
    EXPECT_DOUBLE_EQ(0.995, gain.GetValue());
}

TEST_F(IControlTest, ValueThatIsNotFiniteBecomesTheLowBound) {
    gain.Clamp(0.25, 0.75);
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()};
    for (double value : bad) {
        plug.informed.clear();
        gain.SetValue(value);
        gain.SetDirty(true);
        EXPECT_EQ(0.25, gain.GetValue()) << value;
        ASSERT_EQ(1u, plug.informed.size()) << value;
        EXPECT_EQ(0.25, plug.informed[0].second) << value;
    }
    // -12 dB + 0.25 x 24 dB
    EXPECT_EQ(-6.0, plug.GetParam(EditorTestPlug::kGain)->Value());

    gain.SetValue(0.9);
    gain.SetDirty(false);
    EXPECT_EQ(0.75, gain.GetValue());
}

TEST_F(IControlTest, DoubleClickRestoresTheFirstPushedValue) {
    IMouseMod mod(true);
    gain.SetValue(0.9);
    gain.OnMouseDblClick(0, 0, &mod); // no default yet: nothing
    EXPECT_EQ(0.9, gain.GetValue());
    EXPECT_TRUE(plug.informed.empty());

    gain.SetValueFromPlug(0.3);
    gain.SetValueFromPlug(0.8);
    gain.OnMouseDblClick(0, 0, &mod);
    EXPECT_EQ(0.3, gain.GetValue());
    ASSERT_EQ(1u, plug.informed.size());
    EXPECT_EQ(0.3, plug.informed[0].second);
}

TEST_F(IControlTest, UserInputPushesOnlyAChange) {
    gain.SetValueFromUserInput(0.0); // the value it already has
    EXPECT_TRUE(plug.informed.empty());
    gain.SetClean();
    gain.SetValueFromUserInput(0.5);
    EXPECT_EQ(1u, plug.informed.size());
    EXPECT_TRUE(gain.IsDirty());
    EXPECT_TRUE(gain.NeedsRedraw());
}

TEST_F(IControlTest, HideAndGrayOutRedrawWithoutPushing) {
    gain.SetClean();
    gain.GrayOut(true);
    EXPECT_TRUE(gain.IsGrayed());
    EXPECT_EQ(0.25f, gain.GetBlend().mWeight);
    EXPECT_TRUE(gain.IsDirty());
    gain.GrayOut(false);
    EXPECT_EQ(1.0f, gain.GetBlend().mWeight);

    gain.SetClean();
    gain.Hide(true);
    EXPECT_TRUE(gain.IsHidden());
    EXPECT_TRUE(gain.NeedsRedraw());
    EXPECT_TRUE(plug.informed.empty());
}

TEST_F(IControlTest, RightPressPromptsOnlyWhenEnabledWithATextBoxAtTheCentre) {
    auto* graphics = new RecordingGraphics(&plug);
    plug.AttachGraphics(graphics);
    IMouseMod right(false, true);
    gain.OnMouseDown(0, 0, &right);
    EXPECT_TRUE(graphics->textEntries.empty());

    gain.DisablePrompt(false);
    gain.OnMouseDown(0, 0, &right);
    ASSERT_EQ(1u, graphics->textEntries.size());
    // Centre (30, 40) of (10, 20, 50, 60): the box is 30 x 16 around it.
    EXPECT_EQ(IRECT(15, 32, 45, 48), graphics->textEntries[0].area);
    EXPECT_TRUE(gain.NeedsRedraw());

    // A control bound to a parameter the plug-in does not have prompts for nothing.
    ProbeControl stray(&plug, IRECT(0, 0, 5, 5), 99, &log, "stray");
    stray.DisablePrompt(false);
    stray.OnMouseDown(0, 0, &right);
    EXPECT_EQ(1u, graphics->textEntries.size());
}
