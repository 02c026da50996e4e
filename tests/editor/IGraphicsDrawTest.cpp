#include "tests/editor/EditorTestSupport.h"
#include "tests/support/AllocationTracking.h"

#include <gtest/gtest.h>

namespace {

// The probes with steps below the top row.
class IGraphicsDrawTest : public ::testing::Test, protected ProbeEditor {
protected:
    IGraphicsDrawTest() : ProbeEditor(IRECT(90, 50, 120, 80)) {}

    // Draws everything once, so that every control starts clean.
    void Settle() {
        IRECT all(0, 0, 200, 100);
        graphics->Draw(&all);
        log.clear();
        graphics->screens.clear();
    }
};

using Log = std::vector<std::string>;

} // namespace

TEST_F(IGraphicsDrawTest, AttachingPushesEveryParameterAndMakesTheBitmaps) {
    EXPECT_EQ(0.5, gain->GetValue()); // 0 dB of -12..12
    EXPECT_EQ(0.5, gain->GetDefaultValue());
    EXPECT_EQ(0.5, mode->GetValue()); // "Band", 1 of 0..2
    EXPECT_EQ(0.25, steps->GetValue());
    EXPECT_EQ(-1.0, background->GetDefaultValue()); // bound to nothing
    ASSERT_NE(nullptr, graphics->GetBits());
    EXPECT_EQ(25, graphics->FPS());
}

TEST_F(IGraphicsDrawTest, DirtyUnionOverSeveralControlsIsInvalidatedGrownByOnePixel) {
    Settle();
    IRECT none;
    EXPECT_FALSE(graphics->IsDirty(&none));
    EXPECT_TRUE(none.Empty());

    graphics->SetParameterFromPlug(EditorTestPlug::kGain, 6.0, false);
    graphics->SetParameterFromPlug(EditorTestPlug::kSteps, 1.0, true);
    EXPECT_EQ(0.75, gain->GetValue());

    EXPECT_TRUE(graphics->Tick());
    ASSERT_EQ(1u, graphics->invalidated.size());
    EXPECT_EQ(IRECT(10, 10, 121, 81), graphics->invalidated[0]);
    ASSERT_EQ(1u, graphics->screens.size());
    EXPECT_EQ(IRECT(10, 10, 121, 81), graphics->screens[0]);
}

TEST_F(IGraphicsDrawTest, StrictDrawingDrawsWhatMeetsTheAreaInAttachOrder) {
    Settle();
    // The area is the left operand of the lopsided test: its left edge touching the gain's
    // right edge does not count, its right edge touching the mode's left edge does.
    IRECT area(40, 5, 50, 45);
    graphics->Draw(&area);
    EXPECT_EQ((Log{"bg draw", "mode draw"}), log);
    EXPECT_EQ(area, graphics->GetDrawRECT());

    log.clear();
    IRECT above(85, 45, 95, 50); // its bottom edge touches the steps' top edge
    graphics->Draw(&above);
    EXPECT_EQ((Log{"bg draw", "steps draw"}), log);
}

TEST_F(IGraphicsDrawTest, StrictDrawingSkipsHiddenButCleansEveryControl) {
    graphics->HideControl(EditorTestPlug::kMode, true);
    IRECT all(0, 0, 200, 100);
    graphics->Draw(&all);
    EXPECT_EQ((Log{"bg draw", "gain draw", "steps draw"}), log);
    // Hiding asks for one more cycle; the next draw leaves everything clean.
    graphics->Draw(&all);
    IRECT dirty;
    EXPECT_FALSE(graphics->IsDirty(&dirty));
}

TEST_F(IGraphicsDrawTest, ValuePushedWhileDrawingIsRedrawnOnTheNextTick) {
    Settle();
    graphics->SetParameterFromPlug(EditorTestPlug::kGain, 0.6, true);
    // While the gain draws 0.6, the plug-in pushes 0.9 (a host thread, in the real editor).
    gain->onDraw = [&] {
        gain->onDraw = nullptr;
        graphics->SetParameterFromPlug(EditorTestPlug::kGain, 0.9, true);
    };
    EXPECT_TRUE(graphics->Tick());
    EXPECT_EQ(0.6, gain->drawnValue);

    IRECT dirty;
    ASSERT_TRUE(graphics->IsDirty(&dirty));
    EXPECT_EQ(gain->GetRECT(), dirty);
    EXPECT_TRUE(graphics->Tick());
    EXPECT_EQ(0.9, gain->drawnValue);

    // The redraw flag lasts one cycle more; then the editor is still.
    graphics->Tick();
    EXPECT_FALSE(graphics->Tick());
}

TEST_F(IGraphicsDrawTest, NonStrictRedrawsEachDirtyControlWithWhatOverlapsIt) {
    auto* overlay = Attach(IRECT(30, 30, 60, 60), -1, "overlay"); // over gain's corner
    graphics->SetStrictDrawing(false);
    EXPECT_TRUE(plug.informed.empty()); // marking dirty pushes nothing

    // The background is dirty: everything is drawn once over the background's area.
    IRECT small(0, 0, 5, 5);
    graphics->Draw(&small);
    EXPECT_EQ((Log{"bg draw", "gain draw", "mode draw", "steps draw", "overlay draw"}), log);
    EXPECT_EQ(background->GetRECT(), graphics->GetDrawRECT());
    EXPECT_EQ(small, graphics->screens.back());

    // The background is clean: each dirty control is redrawn with what its area meets, in list
    // order, so the overlay stays on top of the gain.
    log.clear();
    graphics->SetParameterFromPlug(EditorTestPlug::kGain, 0.1, true);
    graphics->SetParameterFromPlug(EditorTestPlug::kSteps, 0.9, true);
    graphics->Draw(&small);
    EXPECT_EQ((Log{"bg draw", "gain draw", "overlay draw", "bg draw", "steps draw"}), log);
    EXPECT_EQ(steps->GetRECT(), graphics->GetDrawRECT());
    (void)overlay;
}

TEST_F(IGraphicsDrawTest, SetStrictDrawingMarksEveryControlDirtyWithoutPushing) {
    Settle();
    graphics->SetStrictDrawing(true);
    IRECT dirty;
    ASSERT_TRUE(graphics->IsDirty(&dirty));
    EXPECT_EQ(IRECT(0, 0, 200, 100), dirty);
    EXPECT_TRUE(plug.informed.empty());
}

TEST_F(IGraphicsDrawTest, AllZeroControlIsNeverDrawnButStillCountsAsDirty) {
    Settle();
    auto* nowhere = Attach(IRECT(), -1, "nowhere");
    IRECT dirty;
    ASSERT_TRUE(graphics->IsDirty(&dirty));
    EXPECT_TRUE(dirty.Empty());
    IRECT all(0, 0, 200, 100);
    graphics->Draw(&all);
    EXPECT_EQ((Log{"bg draw", "gain draw", "mode draw", "steps draw"}), log);
    EXPECT_FALSE(nowhere->IsDirty());
    EXPECT_EQ(0, graphics->GetMouseControlIdx(0, 0)); // the background, not the empty control
}

TEST_F(IGraphicsDrawTest, IdleTickAllocatesNothing) {
    GRINDVOX_REQUIRE_ALLOCATION_TRACKING();
    Settle();
    graphics->invalidated.reserve(4);
    graphics->screens.reserve(4);
    log.reserve(16);
    grindvox::test::AllocationCounter counter;
    for (int tick = 0; tick < 100; ++tick)
        graphics->Tick();
    EXPECT_EQ(0, counter.Count());
    EXPECT_TRUE(graphics->invalidated.empty());
}

TEST(IGraphicsEmpty, WithoutControlsDrawsNothingAndIsNeverDirty) {
    EditorTestPlug plug;
    RecordingGraphics graphics(&plug, 10, 10);
    IRECT rect(0, 0, 10, 10);
    EXPECT_TRUE(graphics.Draw(&rect));
    EXPECT_TRUE(graphics.screens.empty());
    IRECT dirty;
    EXPECT_FALSE(graphics.IsDirty(&dirty));
    EXPECT_EQ(nullptr, graphics.GetBits()); // no bitmap before PrepDraw
}
