// The editor's view on a real X server: input through XTest, pixels read back with XGetImage
// on a second connection.
#include "editor/IGraphicsCocoa.h"
#include "editor/IGraphicsMac.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/editor/WindowTestSupport.h"
#include "tests/support/DoubledPicture.h"

#include <gtest/gtest.h>

#include "tests/editor/EditorOnScreen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include "tests/support/RootResources.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

class IGraphicsMacDisplay : public EditorOnScreen {
protected:
    void TearDown() override {
        if (window) window->close();
        EditorOnScreen::TearDown();
    }
    void openAtTopLeft(int scale = 1) {
        int screenH = DisplayHeight(probe, DefaultScreen(probe));
        graphics->SetDisplayScale(scale);
        window = new NSWindow(NSMakeRect(0, screenH - kH * scale, kW * scale, kH * scale),
                              NSBorderlessWindowMask, NSBackingStoreBuffered, NO);
        graphics->OpenWindow(window->contentView());
        window->makeKeyAndOrderFront(nil);
        Pump(0.2);
    }

    NSWindow* window = nullptr;
};

} // namespace

TEST_F(IGraphicsMacDisplay, TheScreenShowsTheDrawBitmapAndADirtyControlWithinATick) {
    openAtTopLeft();
    unsigned long xid = GrindvoxAppKit_XWindowOfView(static_cast<NSView*>(graphics->GetWindow()));
    ASSERT_NE(xid, 0u);
    EXPECT_EQ(pixelAt(xid, 5, 5), 0x203040u);
    EXPECT_EQ(pixelAt(xid, 10, 20), 0xC08000u);
    EXPECT_EQ(pixelAt(xid, 59, 49), 0xC08000u);
    patch->mColour = 0x00FF00;
    patch->SetDirty(false);
    Pump(0.1);
    EXPECT_EQ(pixelAt(xid, 30, 30), 0x00FF00u);
    for (int y = 0; y < kH; y += 9)
        for (int x = 0; x < kW; x += 13)
            ASSERT_EQ(pixelAt(xid, x, y), Shown(graphics->GetBits()[y * kW + x])) << x << "," << y;
}

TEST_F(IGraphicsMacDisplay, AClickAndADragReachTheControlAndMoveItsParameter) {
    openAtTopLeft();
    dragDown(22, 25, 10);
    ASSERT_EQ(patch->downs.size(), 1u);
    EXPECT_EQ(patch->downs[0], (std::pair<int, int>(20, 22)));
    ASSERT_FALSE(plug.informed.empty());
    EXPECT_EQ(plug.informed.back().first, EditorTestPlug::kGain);
    EXPECT_NE(plug.GetParam(EditorTestPlug::kGain)->Value(), 0.0); // it was 0 dB
}

TEST_F(IGraphicsMacDisplay, AtScaleTwoTheViewShowsTheBitmapEnlargedAndRedrawsItsMixedEdges) {
    openAtTopLeft(2);
    unsigned long xid = GrindvoxAppKit_XWindowOfView(static_cast<NSView*>(graphics->GetWindow()));
    ASSERT_NE(xid, 0u);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(probe, xid, &attributes));
    EXPECT_EQ(attributes.width, 2 * kW);
    EXPECT_EQ(attributes.height, 2 * kH);
    // Only the patch is redrawn; the device pixels around it that mix it change with it.
    patch->mColour = 0x00FF00;
    patch->SetDirty(false);
    Pump(0.1);
    std::vector<unsigned long> shown = imageOf(xid, 0, 0, 2 * kW, 2 * kH);
    ASSERT_EQ(shown.size(), size_t(4 * kW * kH));
    EXPECT_EQ(shown[60 * 2 * kW + 20], 0x00FF00u);
    EXPECT_EQ(shown[60 * 2 * kW + 19], 0x109720u); // half 0x203040, half 0x00FF00
    EXPECT_EQ(shown[39 * 2 * kW + 19], 0x186330u); // three of the background, one of the patch
    EXPECT_EQ(shown[60 * 2 * kW + 119], 0x109720u);
    const unsigned int* bits = graphics->GetBits();
    auto editorRGB = [&](int x, int y) { return Shown(bits[y * kW + x]); };
    auto shownRGB = [&](int x, int y) { return shown[y * 2 * kW + x]; };
    EXPECT_EQ(PixelsDifferingFromDoubled(editorRGB, kW, kH, shownRGB), 0);
}

TEST_F(IGraphicsMacDisplay, AtScaleTwoAClickAndADragLandWhereTheyDoAtScaleOne) {
    openAtTopLeft(2);
    // Twice the positions of the plain editor's test: the same editor point, the same drag.
    dragDown(45, 51, 20);
    ASSERT_EQ(patch->downs.size(), 1u);
    EXPECT_EQ(patch->downs[0], (std::pair<int, int>(20, 22)));
    ASSERT_FALSE(plug.informed.empty());
    EXPECT_EQ(plug.informed.back().first, EditorTestPlug::kGain);
    EXPECT_NE(plug.GetParam(EditorTestPlug::kGain)->Value(), 0.0);
}

TEST_F(IGraphicsMacDisplay, WithoutAHostFactorTheScreensXftDpiDecidesAsTheWindowOpens) {
    RootResources resources(probe);
    resources.Set("Xft.dpi: 192\n");
    graphics->SetDisplayScale(0);
    auto* view = static_cast<NSView*>(graphics->OpenWindow(nullptr));
    EXPECT_EQ(graphics->DisplayScale(), 2);
    EXPECT_EQ(view->frame().size.width, 2 * kW);
    // Decided once: a later change waits for the next window.
    resources.Remove();
    EXPECT_EQ(graphics->DisplayScale(), 2);
    view = static_cast<NSView*>(graphics->OpenWindow(nullptr));
    EXPECT_EQ(graphics->DisplayScale(), 1);
    EXPECT_EQ(view->frame().size.width, kW);
    graphics->CloseWindow();
}

TEST_F(IGraphicsMacDisplay, ASubWindowIsCentredOverTheHostsWindowAndGoesAwayWithIt) {
    Window host = XCreateSimpleWindow(probe, DefaultRootWindow(probe), 0, 0, 600, 200, 0, 0, 0);
    XSetWindowAttributes noManager;
    noManager.override_redirect = True;
    XChangeWindowAttributes(probe, host, CWOverrideRedirect, &noManager);
    XMapRaised(probe, host);
    XSync(probe, False);
    graphics->AttachSubWindow(reinterpret_cast<void*>(host));
    Pump(0.2);
    auto* view = static_cast<NSView*>(graphics->GetWindow());
    ASSERT_NE(view, nil);
    ASSERT_NE(view->window(), nil);
    EXPECT_EQ(view->window()->frame().origin.x, 172); // (600 - 256) / 2
    EXPECT_EQ(view->window()->frame().size.width, kW);
    // Attaching again replaces the first child instead of leaking it.
    graphics->AttachSubWindow(reinterpret_cast<void*>(host));
    Pump(0.1);
    EXPECT_TRUE(graphics->WindowIsOpen());
    graphics->RemoveSubWindow();
    EXPECT_FALSE(graphics->WindowIsOpen());
    graphics->RemoveSubWindow();
    Pump(0.6); // past the delayed ordering of the child
    XDestroyWindow(probe, host);
    XSync(probe, False);
}

TEST_F(IGraphicsMacDisplay, AParentDestroyedUnderTheEditorClosesItsWindowAndStopsTheTimer) {
    Window host = XCreateSimpleWindow(probe, DefaultRootWindow(probe), 0, 0, kW, kH, 0, 0, 0);
    XMapWindow(probe, host);
    XSync(probe, False);
    NSWindow* wrapper = new NSWindow(reinterpret_cast<void*>(host));
    auto* view =
        static_cast<IGraphicsCocoa_vGrindvox_au*>(graphics->OpenWindow(wrapper->contentView()));
    view->retain();
    Pump(0.2);
    ASSERT_NE(GrindvoxAppKit_XWindowOfView(view), 0u);
    XDestroyWindow(probe, host);
    XSync(probe, False);
    Pump(0.2);
    EXPECT_FALSE(graphics->WindowIsOpen());
    EXPECT_EQ(view->timer(), nil);
    EXPECT_EQ(view->graphics(), nullptr);
    view->release();
    wrapper->release();
}
