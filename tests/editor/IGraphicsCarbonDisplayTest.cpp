// The editor embedded in a host's own X window: the pane's input through XTest, its pixels read
// back with XGetImage on a second connection, and its lifetime against the host's window.
#include "editor/IGraphicsCarbon.h"
#include "editor/IGraphicsMac.h"
#include "editor/IPopupMenu.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/editor/WindowTestSupport.h"
#include "tests/support/DoubledPicture.h"

#include <AppKit/AppKit.h>
#include <Carbon/Carbon.h>
#include <gtest/gtest.h>

#include "tests/editor/EditorOnScreen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

class IGraphicsCarbonDisplay : public EditorOnScreen {
protected:
    void SetUp() override {
        EditorOnScreen::SetUp();
        if (!probe) return;
        // The host's window, at the screen's top-left corner and out of any window manager's
        // hands, so that screen points are pane points.
        host = XCreateSimpleWindow(probe, DefaultRootWindow(probe), 0, 0, kW, kH, 0, 0, 0);
        XSetWindowAttributes noManager;
        noManager.override_redirect = True;
        XChangeWindowAttributes(probe, host, CWOverrideRedirect, &noManager);
        XMapRaised(probe, host);
        XSync(probe, False);
    }
    void TearDown() override {
        if (probe && host) XDestroyWindow(probe, host);
        EditorOnScreen::TearDown();
    }
    // The editor at display scale 2, in a host's window of the doubled size.
    void embedScaled() {
        XResizeWindow(probe, host, 2 * kW, 2 * kH);
        XSync(probe, False);
        graphics->SetDisplayScale(2);
        embed();
    }
    void embed() {
        pane = static_cast<ControlRef>(graphics->OpenWindow(hostRef(), nullptr));
        ASSERT_NE(pane, nullptr);
        Pump(0.2);
    }
    WindowRef hostRef() const { return reinterpret_cast<WindowRef>(host); }
    unsigned long pixelAt(int x, int y) {
        return EditorOnScreen::pixelAt(GrindvoxCarbon_XWindowOfControl(pane), x, y);
    }
    // The pane's pixels, 0xRRGGBB, rows top-down.
    std::vector<unsigned long> image(int w, int h) {
        return imageOf(GrindvoxCarbon_XWindowOfControl(pane), 0, 0, w, h);
    }
    void click(int x, int y, unsigned int button = 1) {
        XTestFakeMotionEvent(probe, -1, x, y, CurrentTime);
        XTestFakeButtonEvent(probe, button, True, CurrentTime);
        XTestFakeButtonEvent(probe, button, False, CurrentTime);
        XFlush(probe);
        Pump(0.2);
    }

    Window host = 0;
    ControlRef pane = nullptr;
};

} // namespace

TEST_F(IGraphicsCarbonDisplay, ThePaneShowsTheEditorUprightAndRedrawsADirtyControl) {
    embed();
    EXPECT_NE(GrindvoxCarbon_XWindowOfControl(pane), 0u);
    EXPECT_STREQ(graphics->GetGUIAPI(), "Carbon gui");
    EXPECT_EQ(pixelAt(10, 79), 0x203040u);
    EXPECT_EQ(pixelAt(5, 5), 0x203040u);
    EXPECT_EQ(pixelAt(10, 20), 0xC08000u);
    EXPECT_EQ(pixelAt(59, 49), 0xC08000u);
    EXPECT_EQ(pixelAt(60, 50), 0x203040u);
    patch->mColour = 0x00FF00;
    patch->SetDirty(false);
    Pump(0.2);
    EXPECT_EQ(pixelAt(30, 30), 0x00FF00u);
}

TEST_F(IGraphicsCarbonDisplay, APaneCoveredAndUncoveredIsRedrawn) {
    embed();
    Window cover =
        XCreateSimpleWindow(probe, DefaultRootWindow(probe), 0, 0, kW, kH, 0, 0, 0xFFFFFF);
    XSetWindowAttributes noManager;
    noManager.override_redirect = True;
    XChangeWindowAttributes(probe, cover, CWOverrideRedirect, &noManager);
    XMapRaised(probe, cover);
    XSync(probe, False);
    Pump(0.1);
    XDestroyWindow(probe, cover);
    XSync(probe, False);
    Pump(0.2);
    EXPECT_EQ(pixelAt(5, 5), 0x203040u);
    EXPECT_EQ(pixelAt(30, 30), 0xC08000u);
}

TEST_F(IGraphicsCarbonDisplay, PressesReachTheEditorOffsetByThePaneFrameAndDragsMoveAParameter) {
    embed();
    click(22, 25);
    ASSERT_EQ(patch->downs.size(), 1u);
    EXPECT_EQ(patch->downs[0], (std::pair<int, int>(20, 22)));
    EXPECT_FALSE(patch->rights[0]);
    Pump(0.5); // not a double click
    click(22, 25, 3);
    ASSERT_EQ(patch->downs.size(), 2u);
    EXPECT_TRUE(patch->rights[1]);
    Pump(0.5);
    dragDown(22, 25, 10);
    ASSERT_FALSE(plug.informed.empty());
    EXPECT_EQ(plug.informed.back().first, EditorTestPlug::kGain);
    EXPECT_NE(plug.GetParam(EditorTestPlug::kGain)->Value(), 0.0); // it was 0 dB
}

TEST_F(IGraphicsCarbonDisplay, QuickPressesApartAreTwoClicksAndOnTheSpotADoubleClick) {
    embed();
    click(22, 25);
    click(52, 45);
    // Two single presses: a double click would have gone to the control's double-click handler.
    ASSERT_EQ(patch->downs.size(), 2u);
    EXPECT_EQ(patch->downs[1], (std::pair<int, int>(50, 42)));
    click(52, 45);
    EXPECT_EQ(patch->downs.size(), 2u);
}

TEST_F(IGraphicsCarbonDisplay, OnlyTheVerticalWheelIsHandled) {
    embed();
    XTestFakeMotionEvent(probe, -1, 22, 25, CurrentTime);
    for (unsigned int button : {6u, 7u, 4u, 5u}) {
        XTestFakeButtonEvent(probe, button, True, CurrentTime);
        XTestFakeButtonEvent(probe, button, False, CurrentTime);
    }
    XFlush(probe);
    Pump(0.2);
    EXPECT_EQ(patch->wheels, (std::vector<int>{1, -1}));
}

TEST_F(IGraphicsCarbonDisplay, TheHostDestroyingItsWindowStopsTheTimerWithNoXError) {
    embed();
    ASSERT_TRUE(graphics->GetCarbonHost()->TimerIsRunning());
    unsigned long errors = GrindvoxAppKit_XErrorCount();
    XDestroyWindow(probe, host);
    host = 0;
    XSync(probe, False);
    Pump(0.2);
    EXPECT_FALSE(graphics->GetCarbonHost()->TimerIsRunning());
    EXPECT_EQ(GrindvoxCarbon_XWindowOfControl(pane), 0u);
    patch->SetDirty(false);
    Pump(0.1);
    graphics->Resize(kW + 10, kH); // nothing left to size
    graphics->CloseWindow();
    EXPECT_FALSE(graphics->WindowIsOpen());
    EXPECT_EQ(GrindvoxAppKit_XErrorCount(), errors);
}

TEST_F(IGraphicsCarbonDisplay, ClosingTheWindowOrDeletingTheContextLeavesNothingTicking) {
    embed();
    graphics->CloseWindow();
    EXPECT_FALSE(graphics->WindowIsOpen());
    EXPECT_EQ(graphics->GetWindow(), nullptr);
    patch->SetDirty(false);
    Pump(0.1);
    // A second context, deleted with its window still open.
    auto* other = new IGraphicsMac(&plug, kW, kH);
    Patch* counted = new Patch(&plug, IRECT(0, 0, kW, kH), -1, 0x102030);
    other->AttachControl(counted);
    other->PrepDraw();
    ASSERT_NE(other->OpenWindow(hostRef(), nullptr), nullptr);
    Pump(0.2);
    delete other;
    Pump(0.2);
    click(22, 25);
    EXPECT_TRUE(patch->downs.empty());
}

TEST_F(IGraphicsCarbonDisplay, ResizeSizesTheHostsWindowAndThePane) {
    embed();
    graphics->Resize(kW, kH + 20);
    XSync(probe, False);
    Pump(0.1);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(probe, host, &attributes));
    EXPECT_EQ(attributes.height, kH + 20);
    ASSERT_TRUE(XGetWindowAttributes(probe, GrindvoxCarbon_XWindowOfControl(pane), &attributes));
    EXPECT_EQ(attributes.height, kH + 20);
}

namespace {

void typeKeys(Display* display, const std::vector<KeySym>& keys) {
    for (KeySym key : keys) {
        KeyCode code = XKeysymToKeycode(display, key);
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
    }
    XFlush(display);
    Pump(0.2);
}

} // namespace

TEST_F(IGraphicsCarbonDisplay, ANumberEntryTakesOnlyWhatItsTypeReadsAndReturnCommitsIt) {
    embed();
    unsigned long errors = GrindvoxAppKit_XErrorCount();
    IText text;
    IRECT area(100, 10, 200, 30);
    XTestFakeMotionEvent(probe, -1, 150, 20, CurrentTime); // keys go where the pointer is
    graphics->CreateTextEntry(patch, &text, &area, "", plug.GetParam(EditorTestPlug::kGain));
    Pump(0.2);
    typeKeys(probe, {XK_x, XK_3, XK_period, XK_5, XK_q, XK_Return});
    EXPECT_DOUBLE_EQ(plug.GetParam(EditorTestPlug::kGain)->Value(), 3.5);
    // The entry is gone: more keys change nothing.
    typeKeys(probe, {XK_7, XK_Return});
    EXPECT_DOUBLE_EQ(plug.GetParam(EditorTestPlug::kGain)->Value(), 3.5);
    XSync(static_cast<Display*>(GrindvoxAppKit_Display()), False);
    EXPECT_EQ(GrindvoxAppKit_XErrorCount(), errors); // the field's windows went in order
}

TEST_F(IGraphicsCarbonDisplay, AnIntegerEntrySwallowsAPointAndStopsAtTheEntryLength) {
    embed();
    IText text;
    IRECT area(100, 10, 200, 30);
    patch->SetTextEntryLength(1);
    XTestFakeMotionEvent(probe, -1, 150, 20, CurrentTime);
    graphics->CreateTextEntry(patch, &text, &area, "", plug.GetParam(EditorTestPlug::kSteps));
    Pump(0.2);
    typeKeys(probe, {XK_period, XK_6, XK_2, XK_KP_Enter});
    // "6" of the steps' 0 to 8 reaches the control; the control itself is the gain's.
    EXPECT_DOUBLE_EQ(patch->GetValue(), 0.75);
}

TEST_F(IGraphicsCarbonDisplay, APressOutsideAnOpenEntryCommitsItBeforeThePressIsRouted) {
    embed();
    IText text;
    IRECT area(100, 10, 200, 30);
    XTestFakeMotionEvent(probe, -1, 150, 20, CurrentTime);
    graphics->CreateTextEntry(patch, &text, &area, "", plug.GetParam(EditorTestPlug::kGain));
    Pump(0.2);
    typeKeys(probe, {XK_minus, XK_2});
    click(22, 25);
    EXPECT_DOUBLE_EQ(plug.GetParam(EditorTestPlug::kGain)->Value(), -2.0);
    ASSERT_EQ(patch->downs.size(), 1u);
    // Closing with an entry open takes the entry with it.
    XTestFakeMotionEvent(probe, -1, 150, 20, CurrentTime);
    graphics->CreateTextEntry(patch, &text, &area, "1", plug.GetParam(EditorTestPlug::kGain));
    Pump(0.1);
    graphics->CloseWindow();
    Pump(0.1);
    EXPECT_DOUBLE_EQ(plug.GetParam(EditorTestPlug::kGain)->Value(), -2.0);
}

namespace {

int sPick = -1;
NSInteger pick(NSMenu*) {
    return sPick;
}

} // namespace

TEST_F(IGraphicsCarbonDisplay, APopupMenuAnswersTheItemChosenAndNothingOnceClosed) {
    embed();
    IPopupMenu menu;
    menu.AddItem("one");
    menu.AddSeparator();
    menu.AddItem("three");
    IRECT area(10, 20, 60, 40);
    GrindvoxAppKit_SetMenuAnswerer(pick);
    sPick = 2;
    EXPECT_EQ(graphics->CreateIPopupMenu(&menu, &area), &menu);
    EXPECT_EQ(menu.GetChosenItemIdx(), 2);
    sPick = -1;
    EXPECT_EQ(graphics->CreateIPopupMenu(&menu, &area), nullptr);
    graphics->CloseWindow();
    sPick = 0;
    EXPECT_EQ(graphics->CreateIPopupMenu(&menu, &area), nullptr);
    GrindvoxAppKit_SetMenuAnswerer(nullptr);
    Pump(0.1);
}

TEST_F(IGraphicsCarbonDisplay, AtScaleTwoThePaneShowsTheBitmapEnlargedAndRedrawsItsMixedEdges) {
    embedScaled();
    EXPECT_EQ(graphics->DisplayScale(), 2);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(probe, GrindvoxCarbon_XWindowOfControl(pane), &attributes));
    EXPECT_EQ(attributes.width, 2 * kW);
    EXPECT_EQ(attributes.height, 2 * kH);
    Rect bounds{};
    GetControlBounds(pane, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 2 * kW);
    EXPECT_EQ(bounds.bottom - bounds.top, 2 * kH);
    patch->mColour = 0x00FF00;
    patch->SetDirty(false);
    Pump(0.2);
    std::vector<unsigned long> shown = image(2 * kW, 2 * kH);
    ASSERT_EQ(shown.size(), size_t(4 * kW * kH));
    EXPECT_EQ(shown[60 * 2 * kW + 20], 0x00FF00u);
    EXPECT_EQ(shown[60 * 2 * kW + 19], 0x109720u); // half 0x203040, half 0x00FF00
    EXPECT_EQ(shown[39 * 2 * kW + 19], 0x186330u); // three of the background, one of the patch
    const unsigned int* bits = graphics->GetBits();
    auto editorRGB = [&](int x, int y) { return Shown(bits[y * kW + x]); };
    auto shownRGB = [&](int x, int y) { return shown[y * 2 * kW + x]; };
    EXPECT_EQ(PixelsDifferingFromDoubled(editorRGB, kW, kH, shownRGB), 0);
}

TEST_F(IGraphicsCarbonDisplay, AtScaleTwoPressesAndDragsLandWhereTheyDoAtScaleOne) {
    embedScaled();
    click(45, 51);
    ASSERT_EQ(patch->downs.size(), 1u);
    EXPECT_EQ(patch->downs[0], (std::pair<int, int>(20, 22)));
    Pump(0.5); // not a double click
    dragDown(45, 51, 20);
    ASSERT_FALSE(plug.informed.empty());
    EXPECT_EQ(plug.informed.back().first, EditorTestPlug::kGain);
    EXPECT_NE(plug.GetParam(EditorTestPlug::kGain)->Value(), 0.0);
}

TEST_F(IGraphicsCarbonDisplay, AtScaleTwoAnEntryOpensOverTheEnlargedArea) {
    embedScaled();
    IText text;
    IRECT area(100, 10, 200, 30);
    // Keys go where the pointer is: inside device (200, 20, 400, 60), outside the editor area.
    XTestFakeMotionEvent(probe, -1, 300, 40, CurrentTime);
    graphics->CreateTextEntry(patch, &text, &area, "", plug.GetParam(EditorTestPlug::kGain));
    Pump(0.2);
    typeKeys(probe, {XK_3, XK_period, XK_5, XK_Return});
    EXPECT_DOUBLE_EQ(plug.GetParam(EditorTestPlug::kGain)->Value(), 3.5);
}
