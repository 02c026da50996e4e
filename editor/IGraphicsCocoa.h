#pragma once

#include "editor/IMouseMod.h"
#include "editor/IRECT.h"

#include <AppKit/AppKit.h>

class IControl;
class IGraphicsMac;
class IParam;
class IPopupMenu;
struct IText;

// The editor's y grows downward from its top; the view's grows upward from its bottom. These
// conversions (with h the editor's height) keep the window layer's long-standing offsets: an
// editor rectangle becomes one pixel larger to the right and bottom, and an event point lands
// two pixels left and three up of where the view saw it. A view shown at display scale s is s
// times the editor's size: a point is brought down to editor pixels before the offsets apply.
NSRect ToNSRect(const IRECT& r, int h);
IRECT ToIRECT(const NSRect& r, int h);
void ToEditorPoint(NSPoint p, int h, int* x, int* y, int scale = 1);
// The modifiers of a mouse or wheel event; Command with the left button counts as a right click.
IMouseMod MouseModOf(NSUInteger flags, bool rightButton);
// The editor's key code for a Mac virtual key code and the one character the key types, or -1
// when the editor has no code for it.
int EditorKeyCode(unsigned short keyCode, unichar character);
// The characters a text entry for the parameter accepts: numbers of its kind, or none ("") for
// a parameter of no known kind.
const char* AcceptedCharacters(const IParam* param);

// Judges what is typed into a parameter's text entry: only the given characters, at most
// maxLength of them, and (when maxValue is set) no integer above it. Zero means no limit.
class CocoaFormatter_vGrindvox_au : public NSFormatter {
public:
    // Retains the new set.
    void setAcceptableCharacterSet(NSCharacterSet* set);
    void setMaximumLength(int length) { maxLength = length; }
    void setMaximumValue(int value) { maxValue = value; }
    NSString* stringForObjectValue(id object) override;
    BOOL getObjectValue_forString_errorDescription(id* object, NSString* string,
                                                   NSString** error) override;
    BOOL isPartialStringValid_newEditingString_errorDescription(NSString* partialString,
                                                                NSString** newString,
                                                                NSString** error) override;

protected:
    ~CocoaFormatter_vGrindvox_au() override;

private:
    NSCharacterSet* filterCharacterSet = nil; // retained; nil accepts every character
    int maxLength = 0;
    int maxValue = 0;
};

// Takes the action of the popup menu's items and remembers which one was picked.
class DummyCocoaView_vGrindvox_au : public NSView {
public:
    explicit DummyCocoaView_vGrindvox_au(NSRect frame) : NSView(frame) {}
    void OnMenuSelection(id sender);
    NSMenuItem* MenuItem() const { return nsMenuItem; }

private:
    NSMenuItem* nsMenuItem = nil; // not retained: the menu holds it
};

// A borderless child window that still takes keyboard focus, for hosts that hand over a window.
class CustomCocoaWindow_vGrindvox_au : public NSWindow {
public:
    using NSWindow::NSWindow;
    BOOL canBecomeKeyWindow() override { return YES; }
};

// The editor's view: draws the context's bitmap, runs the redraw timer and turns events into
// the context's input. The view is bound to its context until either lets go of the other;
// unbound, it ignores events and draws nothing. It owns its timer and its open text field.
class IGraphicsCocoa_vGrindvox_au : public NSView, public NSTextFieldDelegate {
public:
    IGraphicsCocoa_vGrindvox_au();
    // initWithIGraphics:
    explicit IGraphicsCocoa_vGrindvox_au(IGraphicsMac* graphics);

    IGraphicsMac* graphics() const { return mGraphics; }
    void unbind() { mGraphics = nullptr; }
    BOOL isOpaque() const override { return mGraphics != nullptr; }
    BOOL acceptsFirstResponder() override { return YES; }
    BOOL acceptsFirstMouse(NSEvent*) override { return YES; }
    void viewDidMoveToWindow() override;
    void drawRect(NSRect rect) override;
    void onTimer(id timer);
    void getMouseXY(NSEvent* event, int* x, int* y);

    void mouseDown(NSEvent* event) override;
    void mouseUp(NSEvent* event) override;
    void mouseDragged(NSEvent* event) override;
    void rightMouseDown(NSEvent* event) override;
    void rightMouseUp(NSEvent* event) override;
    void rightMouseDragged(NSEvent* event) override;
    void mouseMoved(NSEvent* event) override;
    void scrollWheel(NSEvent* event) override;
    void keyDown(NSEvent* event) override;

    void killTimer();
    NSTimer* timer() const { return mTimer; }
    void removeFromSuperview() override;

    void createTextEntry(IControl* control, IParam* param, IText* text, const char* str,
                         NSRect area);
    // Closes the open entry, discarding what was typed.
    void endUserInput();
    NSTextField* textField() const { return mTextFieldView; }
    void controlTextDidEndEditing(NSNotification* notification) override;
    IPopupMenu* createIPopupMenu(IPopupMenu* menu, NSRect area);

protected:
    ~IGraphicsCocoa_vGrindvox_au() override;

private:
    IGraphicsMac* mGraphics = nullptr;
    NSTimer* mTimer = nil; // retained until killTimer
    int mPrevX = 0;        // the last mouse position, in editor coordinates
    int mPrevY = 0;
    NSTextField* mTextFieldView = nil; // a subview while open
    IControl* mEdControl = nullptr;
    IParam* mEdParam = nullptr;
};

// Shows the editor's menu below the area (parent's coordinates) of a view in a window and waits
// for the user; the menu with its chosen item set, or null when nothing was chosen.
IPopupMenu* PopUpIPopupMenu(NSView* parent, IPopupMenu* menu, NSRect area);
