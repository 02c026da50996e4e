// The window stand-in on a real X server: input through XTest, pixels read back with XGetImage
// on a second connection, as a user and a screen would see them.
#include <AppKit/AppKit.h>
#include <CoreGraphics/CoreGraphics.h>

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "tests/support/RootResources.h"

#include <string>
#include <sys/socket.h>
#include <vector>

namespace {

void pump(double seconds) {
    CFAbsoluteTime end = CFAbsoluteTimeGetCurrent() + seconds;
    while (CFAbsoluteTimeGetCurrent() < end)
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.01, false);
}

// A view filled with one colour that records the presses it takes.
class Swatch : public NSView {
public:
    Swatch(NSRect frame, CGFloat r, CGFloat g, CGFloat b) : NSView(frame), mR(r), mG(g), mB(b) {}
    BOOL isOpaque() const override { return YES; }
    BOOL acceptsFirstResponder() override { return YES; }
    void drawRect(NSRect rect) override {
        auto* ctx = static_cast<CGContextRef>(NSGraphicsContext::currentContext()->graphicsPort());
        CGContextSetRGBFillColor(ctx, mR, mG, mB, 1);
        CGContextFillRect(ctx, rect);
    }
    void mouseDown(NSEvent* e) override {
        NSPoint p = convertPoint_fromView(e->locationInWindow(), nil);
        presses.push_back({p.x, p.y, static_cast<double>(e->clickCount())});
    }
    void mouseDragged(NSEvent*) override { ++drags; }
    void removeFromSuperview() override {
        ++removals;
        NSView::removeFromSuperview();
    }
    void OnMenuSelection(id sender) { chosen = static_cast<NSMenuItem*>(sender); }
    void tick(id) { ++ticks; }

    std::vector<std::vector<double>> presses;
    int drags = 0;
    int removals = 0;
    int ticks = 0;
    NSMenuItem* chosen = nil;

private:
    CGFloat mR, mG, mB;
};

class AppKitDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        pool = new NSAutoreleasePool;
        if (!GrindvoxAppKit_HasDisplay()) GTEST_SKIP() << "no X display";
        probe = XOpenDisplay(nullptr);
        ASSERT_NE(probe, nullptr);
    }
    void TearDown() override {
        if (probe) XCloseDisplay(probe);
        pool->drain();
    }

    // A shown window of w x h at the screen's top-left corner holding view.
    NSWindow* show(NSView* view, int w, int h) {
        int screenH = DisplayHeight(probe, DefaultScreen(probe));
        auto* window = new NSWindow(NSMakeRect(0, screenH - h, w, h), NSBorderlessWindowMask,
                                    NSBackingStoreBuffered, NO);
        window->contentView()->addSubview(view);
        window->makeKeyAndOrderFront(nil);
        pump(0.2);
        return window;
    }

    unsigned long pixelAt(unsigned long window, int x, int y) {
        XSync(probe, False);
        XImage* image = XGetImage(probe, window, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return 0xDEADBEEF;
        unsigned long p = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return p;
    }

    void click(int x, int y) {
        XTestFakeMotionEvent(probe, -1, x, y, CurrentTime);
        XTestFakeButtonEvent(probe, 1, True, CurrentTime);
        XTestFakeButtonEvent(probe, 1, False, CurrentTime);
        XFlush(probe);
    }

    NSAutoreleasePool* pool = nullptr;
    Display* probe = nullptr;
};

} // namespace

TEST_F(AppKitDisplay, TheWindowShowsWhatTheViewDrewAndExposesAfterItIsCovered) {
    auto* view = new Swatch(NSMakeRect(0, 0, 64, 32), 1, 0.5, 0);
    NSWindow* window = show(view, 64, 32);
    unsigned long xid = GrindvoxAppKit_XWindowOfView(view);
    ASSERT_NE(xid, 0u);
    EXPECT_EQ(pixelAt(xid, 3, 3) & 0xFFFFFF, 0xFF8000u);
    EXPECT_EQ(pixelAt(xid, 63, 31) & 0xFFFFFF, 0xFF8000u);
    // Covered by another window and uncovered, the view draws the exposed part again.
    Window cover = XCreateSimpleWindow(probe, DefaultRootWindow(probe), 0, 0, 40, 20, 0, 0, 0);
    XSetWindowAttributes noManager;
    noManager.override_redirect = True;
    XChangeWindowAttributes(probe, cover, CWOverrideRedirect, &noManager);
    XMapRaised(probe, cover);
    XSync(probe, False);
    EXPECT_EQ(pixelAt(DefaultRootWindow(probe), 3, 3) & 0xFFFFFF, 0u);
    XDestroyWindow(probe, cover);
    XSync(probe, False);
    pump(0.2);
    EXPECT_EQ(pixelAt(DefaultRootWindow(probe), 3, 3) & 0xFFFFFF, 0xFF8000u);
    // Pixels match the memory snapshot of the same view.
    NSBitmapImageRep* rep = view->bitmapImageRepForCachingDisplayInRect(view->bounds());
    view->cacheDisplayInRect_toBitmapImageRep(view->bounds(), rep);
    const unsigned char* px = rep->bitmapData();
    EXPECT_EQ(px[0], 0xFF);
    EXPECT_EQ(px[1], 0x80);
    EXPECT_EQ(px[2], 0x00);
    view->release();
    window->close();
}

TEST_F(AppKitDisplay, PressesArriveAtThePixelsTopLeftCornerInCocoaCoordinatesWithClickCounts) {
    auto* view = new Swatch(NSMakeRect(0, 0, 100, 50), 0, 0, 1);
    NSWindow* window = show(view, 100, 50);
    click(10, 20);
    pump(0.1);
    click(10, 20);
    pump(0.1);
    ASSERT_EQ(view->presses.size(), 2u);
    EXPECT_EQ(view->presses[0], (std::vector<double>{10, 30, 1}));
    EXPECT_EQ(view->presses[1], (std::vector<double>{10, 30, 2}));
    // A drag after a press reaches the pressed view.
    XTestFakeMotionEvent(probe, -1, 30, 30, CurrentTime);
    XTestFakeButtonEvent(probe, 1, True, CurrentTime);
    XTestFakeMotionEvent(probe, -1, 40, 35, CurrentTime);
    XTestFakeButtonEvent(probe, 1, False, CurrentTime);
    XFlush(probe);
    pump(0.1);
    EXPECT_GE(view->drags, 1);
    view->release();
    window->close();
}

TEST_F(AppKitDisplay, APopupPicksTheItemClickedWhileTimersKeepFiring) {
    auto* view = new Swatch(NSMakeRect(0, 0, 200, 100), 0.2, 0.2, 0.2);
    NSWindow* window = show(view, 200, 100);
    NSTimer* timer = NSTimer::timerWithTimeInterval_target_selector_userInfo_repeats(
        0.01, view, NSSelector(&Swatch::tick), nil, YES);
    NSRunLoop::currentRunLoop()->addTimer_forMode(timer, NSRunLoopCommonModes);
    auto* menu = new NSMenu(NSString::stringWithUTF8String("IPlug Popup Menu"));
    menu->setAutoenablesItems(NO);
    SEL action = NSSelector(&Swatch::OnMenuSelection);
    for (const char* title : {"01: one", "02: two", "03: three"})
        menu->addItemWithTitle_action_keyEquivalent(NSString::stringWithUTF8String(title), action,
                                                    nil);
    // An item with a submenu is not shown: the rows below it move up, their indices stay.
    auto* submenu = new NSMenu(NSString::stringWithUTF8String("more"));
    menu->itemAtIndex(0)->setSubmenu(submenu);
    submenu->release();
    // The menu opens at base (10, 90): screen (10, 10). Shown items are 20 pixels tall from
    // y 1, so the third item, second shown, spans screen y 31 to 51. The click comes once the
    // menu is surely up.
    struct Clicker {
        Display* d;
        int phase = 0;
    } clicker{probe};
    CFRunLoopTimerContext context = {0, &clicker, nullptr, nullptr, nullptr};
    CFRunLoopTimerRef clickTimer = CFRunLoopTimerCreate(
        nullptr, CFAbsoluteTimeGetCurrent() + 0.2, 0.1, 0, 0,
        [](CFRunLoopTimerRef, void* info) {
            auto* c = static_cast<Clicker*>(info);
            // A few ticks in, so that the menu is surely up.
            if (c->phase++ != 3) return;
            XTestFakeMotionEvent(c->d, -1, 40, 41, CurrentTime);
            XTestFakeButtonEvent(c->d, 1, True, CurrentTime);
            XTestFakeButtonEvent(c->d, 1, False, CurrentTime);
            XFlush(c->d);
        },
        &context);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), clickTimer, kCFRunLoopCommonModes);
    int ticksBefore = view->ticks;
    NSEvent* event = NSEvent::
        otherEventWithType_location_modifierFlags_timestamp_windowNumber_context_subtype_data1_data2(
            NSApplicationDefined, NSMakePoint(10, 90), 15, 0, window->windowNumber(), nil, 0, 0, 0);
    NSMenu::popUpContextMenu_withEvent_forView(menu, event, view);
    EXPECT_GT(view->ticks, ticksBefore + 3) << "the timer stopped while the menu was up";
    ASSERT_NE(view->chosen, nil);
    EXPECT_EQ(menu->indexOfItem(view->chosen), 2);
    CFRunLoopTimerInvalidate(clickTimer);
    CFRelease(clickTimer);
    timer->invalidate();
    menu->release();
    view->release();
    window->close();
}

TEST_F(AppKitDisplay, APressOutsideAnOpenPopupDismissesItAndNeverReachesTheWindowBelow) {
    auto* view = new Swatch(NSMakeRect(0, 0, 200, 100), 0.2, 0.2, 0.2);
    NSWindow* window = show(view, 200, 100);
    auto* menu = new NSMenu(NSString::stringWithUTF8String("IPlug Popup Menu"));
    menu->setAutoenablesItems(NO);
    menu->addItemWithTitle_action_keyEquivalent(NSString::stringWithUTF8String("only"),
                                                NSSelector(&Swatch::OnMenuSelection), nil);
    CFRunLoopTimerContext context = {0, probe, nullptr, nullptr, nullptr};
    CFRunLoopTimerRef clickTimer = CFRunLoopTimerCreate(
        nullptr, CFAbsoluteTimeGetCurrent() + 0.3, 0, 0, 0,
        [](CFRunLoopTimerRef, void* info) {
            auto* d = static_cast<Display*>(info);
            XTestFakeMotionEvent(d, -1, 190, 90, CurrentTime);
            XTestFakeButtonEvent(d, 1, True, CurrentTime);
            XTestFakeButtonEvent(d, 1, False, CurrentTime);
            XFlush(d);
        },
        &context);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), clickTimer, kCFRunLoopCommonModes);
    NSEvent* event = NSEvent::
        otherEventWithType_location_modifierFlags_timestamp_windowNumber_context_subtype_data1_data2(
            NSApplicationDefined, NSMakePoint(10, 90), 15, 0, window->windowNumber(), nil, 0, 0, 0);
    NSMenu::popUpContextMenu_withEvent_forView(menu, event, view);
    pump(0.1);
    EXPECT_EQ(view->chosen, nil);
    EXPECT_TRUE(view->presses.empty());
    CFRelease(clickTimer);
    menu->release();
    view->release();
    window->close();
}

TEST_F(AppKitDisplay, AParentDestroyedUnderTheViewUnbindsIt) {
    Window parent = XCreateSimpleWindow(probe, DefaultRootWindow(probe), 0, 0, 120, 60, 0, 0, 0);
    XMapWindow(probe, parent);
    XSync(probe, False);
    auto* host = new NSWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(parent)));
    host->setReleasedWhenClosed(NO);
    auto* view = new Swatch(NSMakeRect(0, 0, 120, 60), 0, 1, 0);
    host->contentView()->addSubview(view);
    pump(0.1);
    ASSERT_NE(GrindvoxAppKit_XWindowOfView(view), 0u);
    unsigned long errorsBefore = GrindvoxAppKit_XErrorCount();
    XDestroyWindow(probe, parent);
    XSync(probe, False);
    pump(0.2);
    EXPECT_EQ(view->removals, 1);
    EXPECT_EQ(view->superview(), nil);
    EXPECT_EQ(GrindvoxAppKit_XWindowOfView(view), 0u);
    EXPECT_EQ(GrindvoxAppKit_XErrorCount(), errorsBefore);
    view->release();
    host->release();
}

TEST_F(AppKitDisplay, AnXErrorIsRecordedAndAnsweredAsFailure) {
    unsigned long errorsBefore = GrindvoxAppKit_XErrorCount();
    auto* wrapper = new NSWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(0x7ffffff0)));
    EXPECT_GT(GrindvoxAppKit_XErrorCount(), errorsBefore);
    auto* view = new Swatch(NSMakeRect(0, 0, 10, 10), 0, 0, 0);
    wrapper->contentView()->addSubview(view);
    EXPECT_EQ(GrindvoxAppKit_XWindowOfView(view), 0u);
    view->release();
    wrapper->close();
}

namespace {

class EntryWatcher : public NSTextFieldDelegate {
public:
    void controlTextDidEndEditing(NSNotification* note) override {
        ended.push_back(static_cast<NSTextField*>(note->object())->stringValue()->utf8());
    }
    std::vector<std::string> ended;
};

// Accepts digits only, as the window layer's number formatter does for integer parameters.
class DigitsOnly : public NSFormatter {
public:
    BOOL isPartialStringValid_newEditingString_errorDescription(NSString* s, NSString**,
                                                                NSString**) override {
        for (NSUInteger i = 0; i < s->length(); ++i)
            if (s->characterAtIndex(i) < '0' || s->characterAtIndex(i) > '9') return NO;
        return YES;
    }
};

} // namespace

TEST_F(AppKitDisplay, TypedKeysReachTheTextFieldThroughItsFormatterAndReturnEndsTheEntry) {
    auto* editor = new Swatch(NSMakeRect(0, 0, 160, 60), 0.5, 0.5, 0.5);
    NSWindow* window = show(editor, 160, 60);
    auto* field = new NSTextField(NSMakeRect(20, 20, 80, 20));
    auto* formatter = new DigitsOnly;
    EntryWatcher watcher;
    field->setFormatter(formatter);
    field->setDelegate(&watcher);
    editor->addSubview(field);
    window->makeKeyAndOrderFront(nil);
    window->makeFirstResponder(field);
    pump(0.1);
    for (KeySym sym : {XK_4, XK_x, XK_2, XK_BackSpace, XK_7, XK_Return}) {
        KeyCode code = XKeysymToKeycode(probe, sym);
        XTestFakeKeyEvent(probe, code, True, CurrentTime);
        XTestFakeKeyEvent(probe, code, False, CurrentTime);
    }
    XFlush(probe);
    pump(0.2);
    ASSERT_EQ(watcher.ended.size(), 1u);
    EXPECT_EQ(watcher.ended[0], "47");
    field->setDelegate(nullptr);
    formatter->release();
    field->release();
    editor->release();
    window->close();
}

namespace {

class WheelView : public Swatch {
public:
    WheelView() : Swatch(NSMakeRect(0, 0, 80, 40), 0, 0, 0) {}
    void scrollWheel(NSEvent* e) override { deltas.push_back(e->deltaY()); }
    std::vector<double> deltas;
};

} // namespace

TEST_F(AppKitDisplay, WheelStepsArriveAsDeltaY) {
    auto* view = new WheelView;
    NSWindow* window = show(view, 80, 40);
    XTestFakeMotionEvent(probe, -1, 20, 20, CurrentTime);
    for (unsigned button : {4u, 5u}) {
        XTestFakeButtonEvent(probe, button, True, CurrentTime);
        XTestFakeButtonEvent(probe, button, False, CurrentTime);
    }
    XFlush(probe);
    pump(0.1);
    EXPECT_EQ(view->deltas, (std::vector<double>{1, -1}));
    view->release();
    window->close();
}

TEST_F(AppKitDisplay, TheScreensScaleFactorIsXftDpiOverNinetySixUnlessTheProgramSetsOne) {
    RootResources resources(probe);
    resources.Set("Xcursor.size:\t24\nXft.dpi:\t192\n");
    EXPECT_EQ(GrindvoxAppKit_BackingScaleFactor(), 2.0);
    // Read afresh each time: an xrdb change counts for the next window.
    resources.Set("Xft.dpi: 144\n");
    EXPECT_EQ(GrindvoxAppKit_BackingScaleFactor(), 1.5);
    GrindvoxAppKit_SetBackingScaleFactor(3);
    EXPECT_EQ(GrindvoxAppKit_BackingScaleFactor(), 3.0);
    GrindvoxAppKit_SetBackingScaleFactor(0);
    EXPECT_EQ(GrindvoxAppKit_BackingScaleFactor(), 1.5);
    // Nothing usable is the plain density.
    for (const char* text :
         {"Xft.dpi: lots\n", "Xft.dpi: -96\n", "Xft.dpi: 1e9\n", "Xft.antialias: 1\n", ""}) {
        resources.Set(text);
        EXPECT_EQ(GrindvoxAppKit_BackingScaleFactor(), 1.0) << text;
    }
    resources.Remove();
    EXPECT_EQ(GrindvoxAppKit_BackingScaleFactor(), 1.0);
}

// Last in the file: the connection stays lost for the rest of the process.
TEST_F(AppKitDisplay, ALostConnectionLeavesTheProcessAndItsWindowsRunningInMemory) {
    auto* view = new Swatch(NSMakeRect(0, 0, 40, 20), 1, 1, 1);
    NSWindow* window = show(view, 40, 20);
    auto* display = static_cast<Display*>(GrindvoxAppKit_Display());
    ASSERT_NE(display, nullptr);
    shutdown(ConnectionNumber(display), SHUT_RDWR);
    view->setNeedsDisplay(YES);
    pump(0.1);
    EXPECT_EQ(GrindvoxAppKit_Display(), nullptr);
    EXPECT_FALSE(GrindvoxAppKit_HasDisplay());
    // A redraw timer, as the editor has, keeps the loop turning: views go on drawing in memory.
    NSTimer* timer = NSTimer::timerWithTimeInterval_target_selector_userInfo_repeats(
        0.01, view, NSSelector(&Swatch::tick), nil, YES);
    NSRunLoop::currentRunLoop()->addTimer_forMode(timer, NSRunLoopCommonModes);
    view->setNeedsDisplay(YES);
    pump(0.05);
    EXPECT_GT(view->ticks, 0);
    EXPECT_FALSE(view->needsDisplay());
    timer->invalidate();
    view->release();
    window->close();
}
