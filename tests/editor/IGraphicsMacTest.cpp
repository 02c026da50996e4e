// The editor's Cocoa view with no display: windows live in memory, events are sent to them, the
// run loop is pumped by hand and menus and panels are answered through the stand-in's hooks.
#include "editor/IGraphicsMac.h"
#include "editor/IGraphicsCocoa.h"
#include "editor/IPopupMenu.h"
#include "editor/IText.h"
#include "tests/editor/EditorTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class IGraphicsMacHeadless : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("DISPLAY");
        pool = new NSAutoreleasePool;
        graphics = new IGraphicsMac(&plug, 200, 200);
        plug.AttachGraphics(graphics);
        auto* probe =
            new ProbeControl(&plug, IRECT(10, 20, 30, 40), EditorTestPlug::kGain, &log, "gain");
        probe->deleted = &probeDeleted;
        graphics->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 200, 200), -1, &log, "bg"));
        graphics->AttachControl(probe);
        window = new NSWindow(NSMakeRect(0, 0, 200, 200), NSTitledWindowMask,
                              NSBackingStoreBuffered, NO);
    }
    void TearDown() override {
        window->close();
        pool->drain();
        GrindvoxAppKit_SetMenuAnswerer(nullptr);
        GrindvoxAppKit_SetPanelAnswerer(nullptr);
    }
    IGraphicsCocoa_vGrindvox_au* open() {
        return static_cast<IGraphicsCocoa_vGrindvox_au*>(
            graphics->OpenWindow(window->contentView()));
    }
    NSEvent* mouse(NSEventType type, CGFloat x, CGFloat y, NSUInteger flags = 0,
                   NSInteger clicks = 1) {
        return NSEvent::
            mouseEventWithType_location_modifierFlags_timestamp_windowNumber_context_eventNumber_clickCount_pressure(
                type, NSMakePoint(x, y), flags, 0, window->windowNumber(), nil, 0, clicks, 1);
    }
    NSEvent* key(const char* characters, unsigned short code) {
        return NSEvent::
            keyEventWithType_location_modifierFlags_timestamp_windowNumber_context_characters_charactersIgnoringModifiers_isARepeat_keyCode(
                NSKeyDown, NSZeroPoint, 0, 0, window->windowNumber(), nil,
                NSString::stringWithUTF8String(characters),
                NSString::stringWithUTF8String(characters), NO, code);
    }
    NSEvent* wheel(CGFloat x, CGFloat y, CGFloat dy) {
        return NSEvent::scrollWheelEventWithLocation_modifierFlags_windowNumber_deltaX_deltaY(
            NSMakePoint(x, y), 0, window->windowNumber(), 0, dy);
    }
    void pump(double seconds) { CFRunLoopRunInMode(CFSTR("AnyMode"), seconds, false); }

    NSAutoreleasePool* pool = nullptr;
    EditorTestPlug plug;
    IGraphicsMac* graphics = nullptr; // owned by plug
    NSWindow* window = nullptr;
    std::vector<std::string> log;
    bool probeDeleted = false;
};

std::vector<std::string> shownTitles;
NSInteger pickIndex = -1;
NSInteger recordAndPick(NSMenu* menu) {
    shownTitles.clear();
    for (NSInteger i = 0; i < menu->numberOfItems(); ++i)
        shownTitles.push_back(menu->itemAtIndex(i)->title()->utf8());
    return pickIndex;
}

std::string panelDirectory;
const char* panelChoice = nullptr;
NSString* answerPanel(BOOL, NSString* directory, NSString*, NSArray*) {
    panelDirectory = directory->utf8();
    return panelChoice ? NSString::stringWithUTF8String(panelChoice) : nil;
}

} // namespace

TEST(CocoaCoordinates, ConvertByTheFixedOffsetsBetweenEditorAndView) {
    int x = 0, y = 0;
    ToEditorPoint(NSMakePoint(10.7, 190.2), 200, &x, &y);
    EXPECT_EQ(x, 8);
    EXPECT_EQ(y, 7);
    NSRect view = ToNSRect(IRECT(10, 20, 30, 40), 200);
    EXPECT_EQ(view.origin.x, 10);
    EXPECT_EQ(view.origin.y, 159);
    EXPECT_EQ(view.size.width, 21);
    EXPECT_EQ(view.size.height, 21);
    IRECT editor = ToIRECT(NSMakeRect(10, 160, 20, 20), 200);
    EXPECT_EQ(editor.L, 10);
    EXPECT_EQ(editor.T, 20);
    EXPECT_EQ(editor.R, 30);
    EXPECT_EQ(editor.B, 40);
}

TEST(CocoaInput, CommandClickIsARightClickAndKeysMapToEditorCodes) {
    IMouseMod commandClick = MouseModOf(NSCommandKeyMask | NSShiftKeyMask, false);
    EXPECT_TRUE(commandClick.L && commandClick.R && commandClick.S);
    EXPECT_FALSE(commandClick.C || commandClick.A);
    IMouseMod right = MouseModOf(NSAlternateKeyMask | NSControlKeyMask, true);
    EXPECT_FALSE(right.L);
    EXPECT_TRUE(right.R && right.C && right.A);
    EXPECT_EQ(EditorKeyCode(0, '7'), 12);
    EXPECT_EQ(EditorKeyCode(0, 'q'), 31);
    EXPECT_EQ(EditorKeyCode(0, 'Q'), 31);
    EXPECT_EQ(EditorKeyCode(123, 0xF702), kKeyLeftArrow);
    EXPECT_EQ(EditorKeyCode(126, 0xF700), kKeyUpArrow);
    EXPECT_EQ(EditorKeyCode(49, ' '), kKeySpace);
    EXPECT_EQ(EditorKeyCode(0, '!'), -1);
}

TEST_F(IGraphicsMacHeadless, EventsReachTheControlAtTheConvertedPoint) {
    open();
    EXPECT_TRUE(graphics->WindowIsOpen());
    EXPECT_STREQ(graphics->GetGUIAPI(), "Cocoa gui");
    // View point (22, 175) is editor point (20, 22): inside the gain control.
    window->sendEvent(mouse(NSLeftMouseDown, 22, 175));
    window->sendEvent(mouse(NSLeftMouseDragged, 22, 170));
    window->sendEvent(mouse(NSLeftMouseUp, 22, 170));
    window->sendEvent(mouse(NSLeftMouseDown, 22, 175, 0, 2));
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0], "gain down 20,22");
    EXPECT_EQ(log[1], "gain drag 20,27");
    EXPECT_EQ(log[2], "gain up 20,27");
    EXPECT_EQ(log[3], "gain dblclick 20,22");
    // The key goes to the last mouse position; a key typing two characters goes nowhere.
    log.clear();
    window->sendEvent(key("7", 26));
    window->sendEvent(key("ab", 0));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "gain key 12");
}

TEST_F(IGraphicsMacHeadless, ADirtyControlIsRedrawnWithinATickAndAStillEditorIsNot) {
    IGraphicsCocoa_vGrindvox_au* view = open();
    pump(0.1);
    window->displayIfNeeded();
    log.clear();
    pump(0.1);
    window->displayIfNeeded();
    EXPECT_TRUE(log.empty());
    graphics->GetControl(1)->SetDirty(false);
    pump(0.1);
    window->displayIfNeeded();
    EXPECT_NE(std::find(log.begin(), log.end(), "gain draw"), log.end());
    EXPECT_FALSE(view->needsDisplay());
}

TEST_F(IGraphicsMacHeadless, NoTimerTickReachesTheContextAfterCloseWindow) {
    IGraphicsCocoa_vGrindvox_au* view = open();
    view->retain();
    NSTimer* timer = view->timer();
    ASSERT_NE(timer, nil);
    EXPECT_DOUBLE_EQ(timer->timeInterval(), 0.04);
    graphics->CloseWindow();
    EXPECT_FALSE(graphics->WindowIsOpen());
    EXPECT_EQ(view->timer(), nil);
    EXPECT_EQ(view->graphics(), nullptr);
    EXPECT_EQ(view->superview(), nil);
    log.clear();
    graphics->GetControl(1)->SetDirty(false);
    pump(0.1);
    window->displayIfNeeded();
    EXPECT_TRUE(log.empty());
    // The unbound view ignores what still reaches it.
    view->mouseDown(mouse(NSLeftMouseDown, 22, 175));
    EXPECT_TRUE(log.empty());
    view->release();
}

TEST_F(IGraphicsMacHeadless, ViewRemovedByItsHostClosesTheContextsWindow) {
    IGraphicsCocoa_vGrindvox_au* view = open();
    view->removeFromSuperview();
    EXPECT_FALSE(graphics->WindowIsOpen());
    graphics->GetControl(1)->SetDirty(false);
    pump(0.1);
    window->displayIfNeeded();
    EXPECT_TRUE(std::find(log.begin(), log.end(), "gain draw") == log.end());
}

TEST_F(IGraphicsMacHeadless, TextEntryCommitsOnReturnAndIsDiscardedByTheWheel) {
    IGraphicsCocoa_vGrindvox_au* view = open();
    IText text(12);
    IRECT area(10, 20, 60, 40);
    IParam* gain = plug.GetParam(EditorTestPlug::kGain);
    graphics->CreateTextEntry(graphics->GetControl(1), &text, &area, "1", gain);
    NSTextField* field = view->textField();
    ASSERT_NE(field, nil);
    // Letters are refused and at most seven characters are taken.
    for (const char* c : {"1", "x", ".", "5", "5", "5", "5", "5", "5"})
        window->sendEvent(key(c, 0));
    EXPECT_EQ(field->stringValue()->utf8(), "1.55555");
    window->sendEvent(key("\r", 36));
    EXPECT_EQ(view->textField(), nil);
    EXPECT_NEAR(gain->Value(), 1.55555, 1e-9);
    // Typed text is lost when the wheel turns.
    graphics->CreateTextEntry(graphics->GetControl(1), &text, &area, "1", gain);
    window->sendEvent(key("9", 0));
    window->sendEvent(wheel(150, 20, 1));
    EXPECT_EQ(view->textField(), nil);
    EXPECT_NEAR(gain->Value(), 1.55555, 1e-9);
    // A second entry cannot open over the first.
    graphics->CreateTextEntry(graphics->GetControl(1), &text, &area, "1", gain);
    NSTextField* first = view->textField();
    graphics->CreateTextEntry(graphics->GetControl(1), &text, &area, "2", gain);
    EXPECT_EQ(view->textField(), first);
}

TEST_F(IGraphicsMacHeadless, ResizeAndDeletionEndAnOpenEntryBeforeTheControlsGo) {
    open();
    IText text(12);
    IRECT area(10, 20, 60, 40);
    graphics->CreateTextEntry(graphics->GetControl(1), &text, &area, "1",
                              plug.GetParam(EditorTestPlug::kGain));
    graphics->Resize(300, 150);
    EXPECT_TRUE(probeDeleted);
    auto* view = static_cast<IGraphicsCocoa_vGrindvox_au*>(graphics->GetWindow());
    EXPECT_EQ(view->textField(), nil);
    EXPECT_EQ(view->frame().size.width, 300);
    EXPECT_EQ(view->frame().size.height, 150);
}

TEST_F(IGraphicsMacHeadless, PopupNumbersItsItemsAndAnswersTheOneClicked) {
    open();
    IPopupMenu menu;
    menu.AddItem("one");
    menu.AddSeparator();
    menu.AddItem("three");
    menu.SetPrefix(2);
    IRECT area(10, 20, 60, 40);
    GrindvoxAppKit_SetMenuAnswerer(recordAndPick);
    pickIndex = 2;
    EXPECT_EQ(graphics->CreateIPopupMenu(&menu, &area), &menu);
    ASSERT_EQ(shownTitles.size(), 3u);
    EXPECT_EQ(shownTitles[0], "01: one");
    EXPECT_EQ(shownTitles[2], "03: three");
    EXPECT_EQ(menu.GetChosenItemIdx(), 2);
    pickIndex = -1;
    EXPECT_EQ(graphics->CreateIPopupMenu(&menu, &area), nullptr);
    graphics->CloseWindow();
    EXPECT_EQ(graphics->CreateIPopupMenu(&menu, &area), nullptr);
}

TEST_F(IGraphicsMacHeadless, FilePromptFillsNameAndFolderOrLeavesTheNameEmpty) {
    WDL_String file("old.fxp"), dir;
    graphics->PromptForFile(&file, kFileOpen, &dir, "fxp fxb");
    EXPECT_STREQ(file.Get(), ""); // no window open
    open();
    GrindvoxAppKit_SetPanelAnswerer(answerPanel);
    panelChoice = nullptr;
    file.Set("old.fxp");
    graphics->PromptForFile(&file, kFileSave, &dir, "fxp");
    EXPECT_EQ(panelDirectory.substr(panelDirectory.size() - 8), "/Desktop");
    EXPECT_STREQ(file.Get(), "");
    EXPECT_STREQ(dir.Get(), "~/Desktop");
    panelChoice = "/tmp/presets/a.fxp";
    graphics->PromptForFile(&file, kFileOpen, &dir, "fxp fxb");
    EXPECT_STREQ(file.Get(), "/tmp/presets/a.fxp");
    EXPECT_STREQ(dir.Get(), "/tmp/presets/");
}

TEST_F(IGraphicsMacHeadless, AnAddressThatMakesNoURLAnswersFalse) {
    EXPECT_FALSE(graphics->OpenURL("http://bad address"));
    EXPECT_FALSE(graphics->OpenURL(""));
    EXPECT_FALSE(graphics->OpenURL(nullptr));
    EXPECT_FALSE(graphics->PromptForColor(nullptr, nullptr));
}

TEST_F(IGraphicsMacHeadless, WithoutABundleThePathsStayAndNoImageLoads) {
    graphics->SetBundleID("com.example.audiounit.Missing");
    WDL_String path("unchanged");
    graphics->PluginPath(&path);
    graphics->HostPath(&path);
    EXPECT_STREQ(path.Get(), "unchanged");
    EXPECT_EQ(graphics->OSLoadBitmap(0, "knob.png"), nullptr);
    EXPECT_EQ(graphics->OSLoadBitmap(0, "knob.gif"), nullptr);
    EXPECT_EQ(graphics->OSLoadBitmap(0, nullptr), nullptr);
}

TEST_F(IGraphicsMacHeadless, DeletingThePlugInWithItsViewOpenLeavesNothingFiring) {
    auto* other = new EditorTestPlug;
    auto* otherGraphics = new IGraphicsMac(other, 100, 100);
    other->AttachGraphics(otherGraphics);
    otherGraphics->AttachControl(new ProbeControl(other, IRECT(0, 0, 100, 100), -1, &log, "other"));
    otherGraphics->OpenWindow(window->contentView());
    IText text(12);
    IRECT area(0, 0, 50, 20);
    otherGraphics->CreateTextEntry(otherGraphics->GetControl(0), &text, &area, "x", nullptr);
    delete other;
    EXPECT_TRUE(window->contentView()->subviews().empty());
    log.clear();
    pump(0.1);
    EXPECT_TRUE(log.empty());
}
