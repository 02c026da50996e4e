#pragma once

// The set-up the tests of the editor's windows share: an editor of kWidth x kHeight with a dark
// background patch and a bound patch at (10, 20)-(60, 50), and a second X connection that reads
// the screen back. Include after GoogleTest: Xlib defines macros that GoogleTest uses as names.
#include "editor/IGraphicsMac.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/editor/WindowTestSupport.h"

#include <AppKit/AppKit.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <vector>

class EditorOnScreen : public ::testing::Test {
protected:
    static constexpr int kW = 256; // rows of the draw bitmap are exactly kW pixels at this width
    static constexpr int kH = 100;

    void SetUp() override {
        pool = new NSAutoreleasePool;
        if (!GrindvoxAppKit_HasDisplay()) GTEST_SKIP() << "no X display";
        probe = XOpenDisplay(nullptr);
        ASSERT_NE(probe, nullptr);
        graphics = new IGraphicsMac(&plug, kW, kH);
        plug.AttachGraphics(graphics);
        graphics->AttachControl(new Patch(&plug, IRECT(0, 0, kW, kH), -1, 0x203040));
        patch = new Patch(&plug, IRECT(10, 20, 60, 50), EditorTestPlug::kGain, 0xC08000);
        graphics->AttachControl(patch);
    }
    void TearDown() override {
        if (probe) XCloseDisplay(probe);
        pool->drain();
    }

    // A window's pixel, 0xRRGGBB, as the server shows it; 0xDEADBEEF when it cannot be read.
    unsigned long pixelAt(unsigned long xid, int x, int y) {
        const std::vector<unsigned long> pixels = imageOf(xid, x, y, 1, 1);
        return pixels.empty() ? 0xDEADBEEF : pixels[0];
    }
    // A window's pixels in a rectangle, 0xRRGGBB, rows top-down; empty when they cannot be read.
    std::vector<unsigned long> imageOf(unsigned long xid, int x, int y, int w, int h) {
        XSync(probe, False);
        std::vector<unsigned long> pixels;
        XImage* image = XGetImage(probe, xid, x, y, w, h, AllPlanes, ZPixmap);
        if (!image) return pixels;
        for (int row = 0; row < h; ++row)
            for (int column = 0; column < w; ++column)
                pixels.push_back(XGetPixel(image, column, row) & 0xFFFFFF);
        XDestroyImage(image);
        return pixels;
    }

    // A left-button drag through XTest: pressed at screen point (x, y), moved down by step twice,
    // released; then time for the editor to take it.
    void dragDown(int x, int y, int step) {
        XTestFakeMotionEvent(probe, -1, x, y, CurrentTime);
        XTestFakeButtonEvent(probe, 1, True, CurrentTime);
        XTestFakeMotionEvent(probe, -1, x, y + step, CurrentTime);
        XTestFakeMotionEvent(probe, -1, x, y + 2 * step, CurrentTime);
        XTestFakeButtonEvent(probe, 1, False, CurrentTime);
        XFlush(probe);
        Pump(0.2);
    }

    NSAutoreleasePool* pool = nullptr;
    Display* probe = nullptr;
    EditorTestPlug plug;
    IGraphicsMac* graphics = nullptr; // owned by plug
    Patch* patch = nullptr;
};
