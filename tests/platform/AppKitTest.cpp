// The window stand-in with no display at all: windows live in memory and take events sent to
// them, views draw into memory.
#include <AppKit/AppKit.h>
#include <CoreFoundation/CFBundleRegistry.h>
#include <CoreGraphics/CoreGraphics.h>

#include <gtest/gtest.h>

#include <X11/X.h>
#include <X11/keysym.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Each test runs without a display, whatever the environment says.
class AppKitHeadless : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("DISPLAY");
        pool = new NSAutoreleasePool;
    }
    void TearDown() override {
        pool->drain();
        GrindvoxAppKit_SetMenuAnswerer(nullptr);
        GrindvoxAppKit_SetPanelAnswerer(nullptr);
    }
    NSAutoreleasePool* pool = nullptr;
};

// Records what reaches it.
class Recorder : public NSView {
public:
    explicit Recorder(NSRect frame) : NSView(frame) {}
    BOOL acceptsFirstResponder() override { return YES; }
    BOOL isOpaque() const override { return YES; }
    void mouseDown(NSEvent* e) override { log("down", e); }
    void mouseDragged(NSEvent* e) override { log("drag", e); }
    void mouseUp(NSEvent* e) override { log("up", e); }
    void scrollWheel(NSEvent* e) override { log("wheel", e); }
    void drawRect(NSRect rect) override {
        drawn.push_back(rect);
        auto* ctx = static_cast<CGContextRef>(NSGraphicsContext::currentContext()->graphicsPort());
        CGContextSetRGBFillColor(ctx, 1, 0, 0, 1);
        CGContextFillRect(ctx, NSMakeRect(0, 0, frame().size.width / 2, frame().size.height / 2));
    }
    void OnMenuSelection(id sender) { chosen = static_cast<NSMenuItem*>(sender); }
    void tick(id sender) { lastTick = sender; }

    void log(const char* what, NSEvent* e) {
        NSPoint p = convertPoint_fromView(e->locationInWindow(), nil);
        events.push_back(std::string(what) + " " + std::to_string(static_cast<int>(p.x)) + "," +
                         std::to_string(static_cast<int>(p.y)));
    }
    std::vector<std::string> events;
    std::vector<NSRect> drawn;
    NSMenuItem* chosen = nil;
    id lastTick = nil;
};

NSWindow* memoryWindow(CGFloat w, CGFloat h) {
    return new NSWindow(NSMakeRect(0, 0, w, h), NSTitledWindowMask, NSBackingStoreBuffered, NO);
}

NSEvent* mouse(NSEventType type, NSWindow* window, CGFloat x, CGFloat y, NSInteger clicks = 1) {
    return NSEvent::
        mouseEventWithType_location_modifierFlags_timestamp_windowNumber_context_eventNumber_clickCount_pressure(
            type, NSMakePoint(x, y), 0, 0, window->windowNumber(), nil, 0, clicks, 1);
}

NSEvent* key(NSWindow* window, const char* characters, unsigned short code) {
    return NSEvent::
        keyEventWithType_location_modifierFlags_timestamp_windowNumber_context_characters_charactersIgnoringModifiers_isARepeat_keyCode(
            NSKeyDown, NSZeroPoint, 0, 0, window->windowNumber(), nil,
            NSString::stringWithUTF8String(characters), NSString::stringWithUTF8String(characters),
            NO, code);
}

} // namespace

TEST_F(AppKitHeadless, ConvertsPointsBetweenNestedViewsAndTheWindow) {
    NSWindow* window = memoryWindow(300, 200);
    auto* outer = new NSView(NSMakeRect(10, 20, 200, 100));
    auto* inner = new Recorder(NSMakeRect(5, 6, 50, 40));
    window->contentView()->addSubview(outer);
    outer->addSubview(inner);
    // Worked by hand: the inner view's origin is at base (15, 26).
    NSPoint p = inner->convertPoint_fromView(NSMakePoint(17.5, 30), nil);
    EXPECT_DOUBLE_EQ(p.x, 2.5);
    EXPECT_DOUBLE_EQ(p.y, 4);
    NSPoint base = inner->convertPointToBase(NSMakePoint(0, 0));
    EXPECT_DOUBLE_EQ(base.x, 15);
    EXPECT_DOUBLE_EQ(base.y, 26);
    NSPoint back = inner->convertPoint_toView(NSMakePoint(2.5, 4), nil);
    EXPECT_DOUBLE_EQ(back.x, 17.5);
    EXPECT_DOUBLE_EQ(back.y, 30);
    NSRect r = outer->convertRect_fromView(NSMakeRect(0, 0, 10, 10), inner);
    EXPECT_TRUE(NSEqualRects(r, NSMakeRect(5, 6, 10, 10)));
    EXPECT_EQ(window->contentView()->hitTest(NSMakePoint(16, 27)), inner);
    EXPECT_EQ(window->contentView()->hitTest(NSMakePoint(14, 27)), outer);
    inner->release();
    outer->release();
    window->close();
}

TEST_F(AppKitHeadless, DirtyAreasAccumulateIntoOneDrawOfTheirUnion) {
    auto* view = new Recorder(NSMakeRect(0, 0, 100, 80));
    view->setNeedsDisplay(NO);
    view->setNeedsDisplayInRect(NSMakeRect(10, 20, 5, 5));
    view->setNeedsDisplayInRect(NSMakeRect(30, 10, 10, 4));
    EXPECT_TRUE(view->needsDisplay());
    view->displayIfNeeded();
    ASSERT_EQ(view->drawn.size(), 1u);
    EXPECT_TRUE(NSEqualRects(view->drawn[0], NSMakeRect(10, 10, 30, 15)));
    view->displayIfNeeded();
    EXPECT_EQ(view->drawn.size(), 1u);
    view->release();
}

TEST_F(AppKitHeadless, CachesADrawingWithTheBottomLeftQuadrantAtTheBitmapsLowerRows) {
    auto* view = new Recorder(NSMakeRect(0, 0, 4, 4));
    NSBitmapImageRep* rep = view->bitmapImageRepForCachingDisplayInRect(view->bounds());
    ASSERT_EQ(rep->pixelsWide(), 4);
    view->cacheDisplayInRect_toBitmapImageRep(view->bounds(), rep);
    const unsigned char* px = rep->bitmapData();
    auto red = [&](int x, int row) { return px[row * rep->bytesPerRow() + x * 4]; };
    EXPECT_EQ(red(0, 3), 255); // bottom row, left: inside the filled quadrant
    EXPECT_EQ(red(1, 2), 255);
    EXPECT_EQ(red(2, 3), 0); // bottom row, right
    EXPECT_EQ(red(0, 0), 0); // top row
    view->release();
}

TEST_F(AppKitHeadless, APressMakesTheViewFirstResponderAndItsDragAndReleaseFollowIt) {
    NSWindow* window = memoryWindow(200, 100);
    auto* a = new Recorder(NSMakeRect(0, 0, 100, 100));
    auto* b = new Recorder(NSMakeRect(100, 0, 100, 100));
    window->contentView()->addSubview(a);
    window->contentView()->addSubview(b);
    window->sendEvent(mouse(NSLeftMouseDown, window, 10.7, 90.2));
    EXPECT_EQ(window->firstResponder(), a);
    // Dragged over b, the events still go to a.
    window->sendEvent(mouse(NSLeftMouseDragged, window, 150, 50));
    window->sendEvent(mouse(NSLeftMouseUp, window, 150, 50));
    std::vector<std::string> expected = {"down 10,90", "drag 150,50", "up 150,50"};
    EXPECT_EQ(a->events, expected);
    EXPECT_TRUE(b->events.empty());
    window->sendEvent(
        NSEvent::scrollWheelEventWithLocation_modifierFlags_windowNumber_deltaX_deltaY(
            NSMakePoint(120, 10), 0, window->windowNumber(), 0, -1));
    ASSERT_EQ(b->events.size(), 1u);
    EXPECT_EQ(b->events[0], "wheel 20,10");
    a->release();
    b->release();
    window->close();
}

TEST(AppKitKeys, MapsArrowsSpaceAndLettersToTheMacsVirtualKeyCodes) {
    EXPECT_EQ(GrindvoxAppKit_KeyCodeForKeySym(XK_Left), 123);
    EXPECT_EQ(GrindvoxAppKit_KeyCodeForKeySym(XK_Right), 124);
    EXPECT_EQ(GrindvoxAppKit_KeyCodeForKeySym(XK_Down), 125);
    EXPECT_EQ(GrindvoxAppKit_KeyCodeForKeySym(XK_Up), 126);
    EXPECT_EQ(GrindvoxAppKit_KeyCodeForKeySym(XK_space), 49);
    EXPECT_EQ(GrindvoxAppKit_KeyCodeForKeySym(XK_a), 0);
    EXPECT_EQ(GrindvoxAppKit_KeyCodeForKeySym(XK_Q), 12);
    EXPECT_EQ(GrindvoxAppKit_KeyCodeForKeySym(XK_7), 26);
    EXPECT_EQ(GrindvoxAppKit_KeyCodeForKeySym(XK_Return), 36);
    EXPECT_EQ(GrindvoxAppKit_KeyCodeForKeySym(XK_Multi_key), 0xFFFF);
}

TEST(AppKitKeys, SuperIsCommandAndAltIsOption) {
    EXPECT_EQ(GrindvoxAppKit_ModifierFlagsForXState(ShiftMask), NSUInteger(NSShiftKeyMask));
    EXPECT_EQ(GrindvoxAppKit_ModifierFlagsForXState(ControlMask), NSUInteger(NSControlKeyMask));
    EXPECT_EQ(GrindvoxAppKit_ModifierFlagsForXState(Mod1Mask), NSUInteger(NSAlternateKeyMask));
    EXPECT_EQ(GrindvoxAppKit_ModifierFlagsForXState(Mod4Mask), NSUInteger(NSCommandKeyMask));
    EXPECT_EQ(GrindvoxAppKit_ModifierFlagsForXState(Mod4Mask | ShiftMask | Button1Mask),
              NSUInteger(NSCommandKeyMask | NSShiftKeyMask));
}

namespace {

// A formatter accepting at most three digits, as the window layer's number formatter does.
class Digits : public NSFormatter {
public:
    BOOL isPartialStringValid_newEditingString_errorDescription(NSString* s, NSString**,
                                                                NSString**) override {
        if (s->length() > 3) return NO;
        for (NSUInteger i = 0; i < s->length(); ++i)
            if (!set->characterIsMember(s->characterAtIndex(i))) return NO;
        return YES;
    }
    NSCharacterSet* set =
        static_cast<NSCharacterSet*>(NSCharacterSet::characterSetWithCharactersInString(
                                         NSString::stringWithUTF8String("0123456789"))
                                         ->retain());

protected:
    ~Digits() override { set->release(); }
};

// Ends the entry the way the window layer does: takes the text, removes the field and gives
// the first responder back to the editor's view.
class EndWatcher : public NSTextFieldDelegate {
public:
    void controlTextDidEndEditing(NSNotification* note) override {
        auto* field = static_cast<NSTextField*>(note->object());
        ended.push_back(field->stringValue()->utf8());
        NSView* editor = field->superview();
        field->setDelegate(nullptr);
        field->removeFromSuperview();
        if (editor && editor->window()) editor->window()->makeFirstResponder(editor);
    }
    std::vector<std::string> ended;
};

} // namespace

TEST_F(AppKitHeadless, TextFieldFiltersThroughItsFormatterAndEndsOnReturnOrAPressElsewhere) {
    NSWindow* window = memoryWindow(200, 100);
    auto* editor = new Recorder(NSMakeRect(0, 0, 200, 100));
    auto* field = new NSTextField(NSMakeRect(10, 10, 60, 20));
    auto* digits = new Digits;
    EndWatcher watcher;
    field->setFormatter(digits);
    field->setDelegate(&watcher);
    window->contentView()->addSubview(editor);
    editor->addSubview(field);
    window->makeFirstResponder(field);
    for (const char* c : {"1", "x", "2", "3", "4"})
        window->sendEvent(key(window, c, 0));
    EXPECT_EQ(field->stringValue()->utf8(), "123");
    window->sendEvent(key(window, "\x7f", 51));
    window->sendEvent(key(window, "\r", 36));
    ASSERT_EQ(watcher.ended.size(), 1u);
    EXPECT_EQ(watcher.ended[0], "12");
    EXPECT_EQ(field->superview(), nil);
    EXPECT_EQ(window->firstResponder(), editor);
    // Editing again, then a press on the editor ends it too, before the press arrives.
    editor->addSubview(field);
    field->setDelegate(&watcher);
    window->makeFirstResponder(field);
    window->sendEvent(key(window, "9", 0));
    window->sendEvent(mouse(NSLeftMouseDown, window, 150, 80));
    ASSERT_EQ(watcher.ended.size(), 2u);
    EXPECT_EQ(watcher.ended[1], "9");
    EXPECT_EQ(window->firstResponder(), editor);
    ASSERT_EQ(editor->events.size(), 1u);
    EXPECT_EQ(editor->events[0], "down 150,80");
    digits->release();
    field->release();
    editor->release();
    window->close();
}

namespace {

NSInteger pickThird(NSMenu*) {
    return 2;
}

} // namespace

TEST_F(AppKitHeadless, PopupSendsThePickedItemToTheViewThatTakesItsAction) {
    NSWindow* window = memoryWindow(200, 100);
    auto* receiver = new Recorder(NSMakeRect(0, 0, 200, 100));
    window->contentView()->addSubview(receiver);
    auto* menu = new NSMenu(NSString::stringWithUTF8String("IPlug Popup Menu"));
    menu->setAutoenablesItems(NO);
    SEL action = NSSelector(&Recorder::OnMenuSelection);
    menu->addItemWithTitle_action_keyEquivalent(NSString::stringWithUTF8String("01: one"), action,
                                                nil);
    menu->addItem(NSMenuItem::separatorItem());
    NSMenuItem* third = menu->addItemWithTitle_action_keyEquivalent(
        NSString::stringWithUTF8String("03: three"), action, nil);
    GrindvoxAppKit_SetMenuAnswerer(pickThird);
    NSEvent* event = NSEvent::
        otherEventWithType_location_modifierFlags_timestamp_windowNumber_context_subtype_data1_data2(
            NSApplicationDefined, NSMakePoint(10, 10), 15, 0, window->windowNumber(), nil, 0, 0, 0);
    NSMenu::popUpContextMenu_withEvent_forView(menu, event, receiver);
    EXPECT_EQ(receiver->chosen, third);
    EXPECT_EQ(menu->indexOfItem(receiver->chosen), 2);
    // A disabled item is never picked.
    receiver->chosen = nil;
    third->setEnabled(NO);
    NSMenu::popUpContextMenu_withEvent_forView(menu, event, receiver);
    EXPECT_EQ(receiver->chosen, nil);
    menu->release();
    receiver->release();
    window->close();
}

TEST_F(AppKitHeadless, ATimerHoldsItsTargetUntilInvalidated) {
    auto* target = new Recorder(NSMakeRect(0, 0, 1, 1));
    NSTimer* timer = NSTimer::timerWithTimeInterval_target_selector_userInfo_repeats(
        0.002, target, NSSelector(&Recorder::tick), nil, YES);
    NSRunLoop::currentRunLoop()->addTimer_forMode(timer, NSRunLoopCommonModes);
    EXPECT_EQ(target->retainCount(), 2u);
    CFRunLoopRunInMode(CFSTR("AnyMode"), 0.03, false);
    EXPECT_EQ(target->lastTick, static_cast<id>(timer));
    timer->invalidate();
    EXPECT_EQ(target->retainCount(), 1u);
    target->release();
}

TEST_F(AppKitHeadless, AnInvalidAddressOrAMissingOpenerAnswersNo) {
    EXPECT_EQ(NSURL::URLWithString(NSString::stringWithUTF8String("http://bad address")), nil);
    EXPECT_EQ(NSURL::URLWithString(NSString::stringWithUTF8String("no scheme")), nil);
    EXPECT_FALSE(NSWorkspace::sharedWorkspace()->openURL(nil));
    NSURL* url = NSURL::URLWithString(NSString::stringWithUTF8String("https://example.com/a?b=1"));
    ASSERT_NE(url, nil);
    std::string path = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", "/nonexistent", 1);
    EXPECT_FALSE(NSWorkspace::sharedWorkspace()->openURL(url));
    setenv("PATH", path.c_str(), 1);
}

namespace {

NSString* answerSave(BOOL save, NSString* directory, NSString* file, NSArray* types) {
    if (!save || !types || types->count() != 1) return nil;
    return NSString::stringWithUTF8String((directory->utf8() + "/" + file->utf8()).c_str());
}

} // namespace

TEST_F(AppKitHeadless, PanelsAnswerCancelWithoutZenityAndTheTestHookOtherwise) {
    std::string path = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", "/nonexistent", 1);
    NSOpenPanel* open = NSOpenPanel::openPanel();
    EXPECT_EQ(
        open->runModalForDirectory_file_types(NSString::stringWithUTF8String("/tmp"), nil, nil),
        NSInteger(NSCancelButton));
    EXPECT_EQ(open->filename(), nil);
    setenv("PATH", path.c_str(), 1);

    GrindvoxAppKit_SetPanelAnswerer(answerSave);
    NSSavePanel* save = NSSavePanel::savePanel();
    save->setAllowedFileTypes(NSArray::arrayWithObjects({NSString::stringWithUTF8String("fxp")}));
    EXPECT_EQ(save->runModalForDirectory_file(NSString::stringWithUTF8String("/tmp"),
                                              NSString::stringWithUTF8String("a.fxp")),
              NSInteger(NSOKButton));
    EXPECT_EQ(save->filename()->utf8(), "/tmp/a.fxp");
}

namespace {

class Factory : public NSObject {
public:
    int interfaceVersion() const { return 0; }
};

} // namespace

TEST_F(AppKitHeadless, ClassesAreFoundByNameWhileRegistered) {
    {
        NSClassRegistration<Factory> registration("Grindvox_TestView");
        Class cls = NSClassFromString(NSString::stringWithUTF8String("Grindvox_TestView"));
        ASSERT_NE(cls, nil);
        EXPECT_STREQ(class_getName(cls), "Grindvox_TestView");
        id object = class_createInstance(cls, 0);
        ASSERT_NE(dynamic_cast<Factory*>(object), nullptr);
        object->release();
    }
    EXPECT_EQ(NSClassFromCString("Grindvox_TestView"), nil);
}

TEST_F(AppKitHeadless, BundlesAnswerTheirPathsExecutableAndResources) {
    char folder[] = "/tmp/appkit-bundle-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string root = std::string(folder) + "/Thing.component";
    std::string resources = root + "/Contents/Resources";
    ASSERT_EQ(system(("mkdir -p '" + resources + "'").c_str()), 0);
    FILE* info = fopen((root + "/Contents/Info.plist").c_str(), "w");
    ASSERT_NE(info, nullptr);
    fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
          "<key>CFBundleExecutable</key><string>Thing.so</string></dict></plist>",
          info);
    fclose(info);
    FILE* png = fopen((resources + "/knob.png").c_str(), "w");
    ASSERT_NE(png, nullptr);
    fclose(png);
    ASSERT_NE(GrindvoxPlatform_RegisterBundle("com.example.audiounit.AppKitThing", root.c_str()),
              nullptr);

    NSBundle* bundle = NSBundle::bundleWithIdentifier(
        NSString::stringWithUTF8String("com.example.audiounit.AppKitThing"));
    ASSERT_NE(bundle, nil);
    EXPECT_EQ(bundle->bundlePath()->utf8(), root);
    EXPECT_EQ(bundle->executablePath()->utf8(), root + "/Contents/Linux/Thing.so");
    NSString* knob = bundle->pathForResource_ofType(NSString::stringWithUTF8String("knob"),
                                                    NSString::stringWithUTF8String("png"));
    ASSERT_NE(knob, nil);
    EXPECT_EQ(knob->utf8(), resources + "/knob.png");
    EXPECT_EQ(bundle->pathForResource_ofType(NSString::stringWithUTF8String("missing"),
                                             NSString::stringWithUTF8String("png")),
              nil);
    EXPECT_EQ(NSBundle::bundleWithIdentifier(NSString::stringWithUTF8String("com.example.none")),
              nil);
    EXPECT_EQ(system(("rm -rf '" + std::string(folder) + "'").c_str()), 0);
}

TEST_F(AppKitHeadless, ADelayedPerformRunsFromTheRunLoopAndKeepsItsTargetUntilThen) {
    auto* target = new Recorder(NSMakeRect(0, 0, 1, 1));
    auto* argument = new NSString("argument");
    target->performSelector_withObject_afterDelay(NSSelector(&Recorder::tick), argument, 0.01);
    EXPECT_EQ(target->retainCount(), 2u);
    EXPECT_EQ(target->lastTick, nil);
    CFRunLoopRunInMode(kCFRunLoopDefaultMode, 1.0, false);
    EXPECT_EQ(target->lastTick, static_cast<id>(argument));
    EXPECT_EQ(target->retainCount(), 1u);
    argument->release();
    target->release();
}
