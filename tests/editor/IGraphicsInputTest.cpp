#include "tests/editor/EditorTestSupport.h"

#include <gtest/gtest.h>

namespace {

// The probes in one row.
class IGraphicsInputTest : public ::testing::Test, protected ProbeEditor {
protected:
    IGraphicsInputTest() : ProbeEditor(IRECT(90, 10, 120, 40)) {}

    IMouseMod left{true};
};

using Log = std::vector<std::string>;

} // namespace

TEST_F(IGraphicsInputTest, HitSearchFindsTheTopmostVisibleUngrayedControl) {
    EXPECT_EQ(1, graphics->GetMouseControlIdx(15, 15));
    EXPECT_EQ(0, graphics->GetMouseControlIdx(45, 15)); // between controls: the background
    EXPECT_EQ(-1, graphics->GetMouseControlIdx(250, 15));
    auto* over = Attach(IRECT(0, 0, 30, 30), -1, "over");
    EXPECT_EQ(4, graphics->GetMouseControlIdx(15, 15));
    over->Hide(true);
    EXPECT_EQ(1, graphics->GetMouseControlIdx(15, 15));

    graphics->GrayOutControl(EditorTestPlug::kGain, true);
    EXPECT_EQ(0, graphics->GetMouseControlIdx(15, 15));
    EXPECT_EQ(0, graphics->GetMouseControlIdx(15, 15, true));
    gain->SetMOWhenGrayed(true);
    EXPECT_EQ(0, graphics->GetMouseControlIdx(15, 15));
    EXPECT_EQ(1, graphics->GetMouseControlIdx(15, 15, true));
}

TEST_F(IGraphicsInputTest, MouseUpOverEmptySpaceReachesTheCapturedControlAndEndsItsGesture) {
    graphics->OnMouseDown(20, 20, &left);
    graphics->OnMouseDrag(20, 12, &left);
    graphics->OnMouseUp(300, 300, &left); // outside the editor
    EXPECT_EQ((Log{"gain down 20,20", "gain drag 20,12", "gain up 300,300"}), log);
    ASSERT_EQ(1u, gain->drags.size());
    EXPECT_EQ(std::make_pair(0, -8), gain->drags[0]);
    // The host hears the gesture begin after the control handled the press, and end.
    EXPECT_EQ((Log{"begin 0", "end 0"}), plug.log);

    // Released: a drag now reaches nobody.
    graphics->OnMouseDrag(30, 30, &left);
    EXPECT_EQ(3u, log.size());
}

TEST_F(IGraphicsInputTest, DragWithZeroMovementCallsNothing) {
    graphics->OnMouseDown(20, 20, &left);
    graphics->OnMouseDrag(20, 20, &left);
    graphics->OnMouseDrag(21, 20, &left);
    graphics->OnMouseDrag(21, 20, &left);
    EXPECT_EQ((Log{"gain down 20,20", "gain drag 21,20"}), log);
}

TEST_F(IGraphicsInputTest, WheelAndKeysGoToTheCapturedControlWherever) {
    graphics->OnMouseDown(60, 20, &left);
    graphics->OnMouseWheel(15, 15, &left, 1);
    EXPECT_TRUE(graphics->OnKeyDown(100, 20, kKeyAlphaQ));
    EXPECT_EQ((Log{"mode down 60,20", "mode wheel 15,15", "mode key 31"}), log);
    EXPECT_EQ(0.51, mode->GetValue());
}

TEST_F(IGraphicsInputTest, KeyOverTheBackgroundGoesToTheKeyCatcher) {
    EXPECT_FALSE(graphics->OnKeyDown(45, 15, kKeySpace)); // no catcher: the host gets it
    EXPECT_TRUE(log.empty());                             // and not the background

    auto* catcher = new ProbeControl(&plug, IRECT(), -1, &log, "catcher");
    graphics->AttachKeyCatcher(catcher);
    EXPECT_TRUE(graphics->OnKeyDown(45, 15, kKeySpace));
    EXPECT_TRUE(graphics->OnKeyDown(500, 500, kKeyUpArrow)); // over nothing at all
    catcher->takesKeys = false;
    EXPECT_FALSE(graphics->OnKeyDown(45, 15, kKeyDigit7));
    steps->takesKeys = false;
    EXPECT_FALSE(graphics->OnKeyDown(100, 20, kKeyAlphaA)); // a control's answer stands
    EXPECT_EQ((Log{"catcher key 0", "catcher key 1", "catcher key 12", "steps key 15"}), log);
}

TEST_F(IGraphicsInputTest, DoubleClickAsSingleCapturesWithoutBeginningAGesture) {
    mode->SetDblAsSingleClick(true);
    EXPECT_TRUE(graphics->OnMouseDblClick(60, 20, &left));
    graphics->OnMouseUp(0, 99, &left);
    EXPECT_EQ((Log{"mode down 60,20", "mode up 0,99"}), log);
    EXPECT_EQ((Log{"end 1"}), plug.log);

    log.clear();
    EXPECT_FALSE(graphics->OnMouseDblClick(20, 20, &left));  // an ordinary double click
    EXPECT_FALSE(graphics->OnMouseDblClick(300, 20, &left)); // over nothing
    EXPECT_EQ((Log{"gain dblclick 20,20"}), log);
    EXPECT_EQ(0.5, gain->GetValue()); // restored to the default the plug-in pushed first
}

TEST_F(IGraphicsInputTest, MouseOverTellsTheOldControlItLeftAndIsOffByDefault) {
    EXPECT_FALSE(graphics->OnMouseOver(20, 20, &left));
    EXPECT_TRUE(log.empty());

    graphics->HandleMouseOver(true);
    EXPECT_TRUE(graphics->OnMouseOver(20, 20, &left));
    EXPECT_TRUE(graphics->OnMouseOver(21, 20, &left));
    EXPECT_TRUE(graphics->OnMouseOver(60, 20, &left));
    EXPECT_TRUE(graphics->OnMouseOver(500, 20, &left)); // over nothing: nobody is told
    EXPECT_EQ((Log{"gain over 20,20", "gain over 21,20", "mode over 60,20", "gain out"}), log);

    log.clear();
    graphics->OnMouseOut();
    EXPECT_EQ((Log{"bg out", "gain out", "mode out", "steps out"}), log);
}

TEST_F(IGraphicsInputTest, AutomationParameterIsAnsweredOnce) {
    EXPECT_EQ(EditorTestPlug::kSteps, graphics->GetParamIdxForPTAutomation(100, 20));
    EXPECT_EQ(EditorTestPlug::kSteps, graphics->GetLastClickedParamForPTAutomation());
    EXPECT_EQ(-1, graphics->GetLastClickedParamForPTAutomation());
    EXPECT_EQ(-1, graphics->GetParamIdxForPTAutomation(45, 15)); // the background
    EXPECT_EQ(-1, graphics->GetLastClickedParamForPTAutomation());
}

TEST_F(IGraphicsInputTest, ResizeEndsEntryAndMouseOverBeforeDeletingTheControls) {
    bool gainDeleted = false;
    gain->deleted = &gainDeleted;
    auto* catcher = new ProbeControl(&plug, IRECT(), -1, &log, "catcher");
    graphics->AttachKeyCatcher(catcher);
    graphics->HandleMouseOver(true);
    graphics->OnMouseOver(20, 20, &left);
    graphics->OnMouseDown(20, 20, &left);

    graphics->Resize(300, 150);
    EXPECT_TRUE(gainDeleted);
    EXPECT_EQ(1, graphics->endedEdits);
    EXPECT_EQ(0, graphics->NControls());
    EXPECT_EQ(300, graphics->Width());
    EXPECT_EQ(150, graphics->Height());
    ASSERT_EQ(1u, plug.resized.size());
    EXPECT_EQ(std::make_pair(300, 150), plug.resized[0]);

    // Nothing afterwards reaches a deleted control; the key catcher is still there.
    log.clear();
    graphics->OnMouseOver(20, 20, &left);
    graphics->OnMouseOut();
    graphics->OnMouseDrag(30, 30, &left);
    graphics->OnMouseUp(20, 20, &left);
    EXPECT_TRUE(graphics->OnKeyDown(20, 20, kKeySpace));
    EXPECT_EQ((Log{"catcher key 0"}), log);
    EXPECT_EQ((Log{"begin 0"}), plug.log); // no end for a control that is gone
}
