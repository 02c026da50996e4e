#include "tests/editor/EditorTestSupport.h"

#include "plugin/IParam.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class IGraphicsPromptTest : public ::testing::Test {
protected:
    IGraphicsPromptTest() {
        graphics = new RecordingGraphics(&plug, 200, 100);
        gain = Attach(IRECT(10, 10, 40, 40), EditorTestPlug::kGain, "gain");
        mode = Attach(IRECT(50, 10, 80, 40), EditorTestPlug::kMode, "mode");
        plug.AttachGraphics(graphics);
    }

    ProbeControl* Attach(IRECT rect, int paramIdx, const char* name) {
        auto* control = new ProbeControl(&plug, rect, paramIdx, &log, name);
        control->DisablePrompt(false);
        graphics->AttachControl(control);
        return control;
    }

    IParam* Param(int idx) { return plug.GetParam(idx); }

    EditorTestPlug plug;
    std::vector<std::string> log;
    RecordingGraphics* graphics; // owned by the plug-in
    ProbeControl* gain;
    ProbeControl* mode;
    IMouseMod right{false, true};
};

} // namespace

TEST_F(IGraphicsPromptTest, EnumeratedParameterChoosesFromItsTextsWithTheCurrentChecked) {
    graphics->menuChoice = 2;
    graphics->OnMouseDown(60, 20, &right);
    ASSERT_EQ(1u, graphics->menus.size());
    const auto& menu = graphics->menus[0];
    EXPECT_EQ((std::vector<std::string>{"Low", "Band", "High"}), menu.titles);
    EXPECT_EQ((std::vector<int>{0, IPopupMenuItem::kChecked, 0}), menu.flags);
    EXPECT_EQ(mode->GetRECT(), menu.area);
    // The chosen index is the plain value: 2 of 0..2.
    EXPECT_EQ(1.0, mode->GetValue());
    EXPECT_EQ(2.0, Param(EditorTestPlug::kMode)->Value());
}

TEST_F(IGraphicsPromptTest, DismissedMenuChangesNothing) {
    graphics->menuChoice = -1;
    graphics->OnMouseDown(60, 20, &right);
    EXPECT_EQ(1u, graphics->menus.size());
    EXPECT_EQ(0.5, mode->GetValue());
    EXPECT_TRUE(plug.informed.empty());
}

TEST_F(IGraphicsPromptTest, TextEntryGetsTheWholeDisplayedValue) {
    // A value whose text is longer than 32 characters arrives whole.
    IParam* param = Param(EditorTestPlug::kGain);
    param->mMax = 1e40;
    param->Set(1e33);
    IRECT area(0, 0, 30, 16);
    graphics->PromptUserInput(gain, param, &area);
    ASSERT_EQ(1u, graphics->textEntries.size());
    const auto& entry = graphics->textEntries[0];
    EXPECT_EQ("999999999999999945575230987042816.0", entry.text);
    EXPECT_EQ(gain, entry.control);
    EXPECT_EQ(param, entry.param);
    EXPECT_EQ(area, entry.area);
}

TEST_F(IGraphicsPromptTest, NullArgumentsPromptForNothing) {
    IRECT area(0, 0, 30, 16);
    graphics->PromptUserInput(nullptr, Param(0), &area);
    graphics->PromptUserInput(gain, nullptr, &area);
    graphics->PromptUserInput(gain, Param(0), nullptr);
    EXPECT_TRUE(graphics->textEntries.empty());
    EXPECT_TRUE(graphics->menus.empty());
}

TEST_F(IGraphicsPromptTest, TypedTextEntersAsALeadingDecimalNumber) {
    IParam* param = Param(EditorTestPlug::kGain);
    struct Case {
        const char* text;
        double plain;
    } const cases[] = {{"6 dB", 6.0}, {"  -3.5", -3.5}, {"1.5e1", 12.0}, {"abc", 0.0}, {"nan", 0.0},
                       {"inf", 0.0},  {"0x10", 0.0},    {"", 0.0},       {".5x", 0.5}, {"-", 0.0}};
    for (const Case& c : cases) {
        gain->SetValue(0.123);
        graphics->SetFromStringAfterPrompt(gain, param, c.text);
        EXPECT_EQ(c.plain, param->Value()) << '"' << c.text << '"';
    }
    param->mNegateDisplay = true;
    graphics->SetFromStringAfterPrompt(gain, param, "4");
    EXPECT_EQ(-4.0, param->Value());
}

TEST_F(IGraphicsPromptTest, TypedTextForAnEnumeratedParameterMatchesItsTexts) {
    IParam* param = Param(EditorTestPlug::kMode);
    graphics->SetFromStringAfterPrompt(mode, param, "High");
    EXPECT_EQ(2.0, param->Value());
    graphics->SetFromStringAfterPrompt(mode, param, "high"); // case matters: value 0
    EXPECT_EQ(0.0, param->Value());
    graphics->SetFromStringAfterPrompt(mode, nullptr, "High");
    EXPECT_EQ(0.0, param->Value());
}

TEST_F(IGraphicsPromptTest, IndexesThatNameNoParameterDoNothing) {
    graphics->SetParameterFromPlug(99, 0.5, false);
    graphics->SetParameterFromPlug(-1, 0.5, true);
    graphics->ClampControl(99, 0.0, 1.0, false);
    graphics->ClampControl(-1, 0.2, 0.3, true);
    EXPECT_EQ(0.5, gain->GetValue());
    EXPECT_EQ(0.0, gain->GetClampLo());
    graphics->SetControlFromPlug(7, 0.5);
    graphics->SetControlFromPlug(-1, 0.5);
    EXPECT_TRUE(plug.informed.empty());
}

TEST_F(IGraphicsPromptTest, ClampControlNormalisesPlainBoundsAndAppliesAtTheNextWrite) {
    graphics->ClampControl(EditorTestPlug::kGain, -6.0, 6.0, false);
    EXPECT_EQ(0.25, gain->GetClampLo());
    EXPECT_EQ(0.75, gain->GetClampHi());
    EXPECT_EQ(0.5, gain->GetValue());
    graphics->SetParameterFromGUI(EditorTestPlug::kGain, 0.9);
    EXPECT_EQ(0.75, gain->GetValue());
    EXPECT_EQ(6.0, Param(EditorTestPlug::kGain)->Value());
}
