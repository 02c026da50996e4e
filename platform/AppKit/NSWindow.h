#pragma once

// A window: a top-level X window holding a content view, or (made with initWithWindowRef:) a
// wrapper over an X window another program owns, such as a plug-in host's parent window,
// whose content view becomes a child X window inside it. The window opens the display
// connection when it is made; with no display it lives in memory only, and its views still
// take events sent to it and draw into memory.
//
// Events reach views through sendEvent: a press goes to the deepest view under it (which
// becomes first responder when it accepts), drags and the release to the view that took the
// press, keys and mouse movement to the first responder, wheel steps to the view under the
// pointer.
#include <AppKit/NSGeometry.h>
#include <AppKit/NSResponder.h>

#include <vector>

class NSView;
class NSString;
class NSNotification;
class NSArray;

typedef NSUInteger NSWindowStyleMask;
enum {
    NSBorderlessWindowMask = 0,
    NSTitledWindowMask = 1 << 0,
    NSClosableWindowMask = 1 << 1,
    NSMiniaturizableWindowMask = 1 << 2,
    NSResizableWindowMask = 1 << 3
};

typedef NSUInteger NSBackingStoreType;
enum { NSBackingStoreRetained = 0, NSBackingStoreNonretained = 1, NSBackingStoreBuffered = 2 };

typedef NSInteger NSWindowOrderingMode;
enum { NSWindowAbove = 1, NSWindowBelow = -1, NSWindowOut = 0 };

// What a window tells its delegate.
class NSWindowDelegate {
public:
    virtual ~NSWindowDelegate() = default;
    // NO keeps the window open when the user asks to close it.
    virtual BOOL windowShouldClose(id) { return YES; }
    virtual void windowWillClose(NSNotification*) {}
};

class NSWindow : public NSResponder {
public:
    // initWithContentRect:styleMask:backing:defer: (rect in screen coordinates, y up from the
    // bottom of the screen).
    NSWindow(NSRect contentRect, NSWindowStyleMask style, NSBackingStoreType backing, BOOL defer);
    // initWithWindowRef: windowRef is the X window id of a window this program does not own.
    // When it does not exist the wrapper has no X window (windowNumber 0 on a display).
    explicit NSWindow(void* windowRef);

    NSView* contentView() const { return mContentView; }
    // Retains view and releases the previous content view; the view is sized to the content.
    void setContentView(NSView* view);
    NSRect frame() const { return mFrame; }
    void setFrame_display(NSRect frame, BOOL display);
    NSRect contentRectForFrameRect(NSRect frame) const { return frame; }

    // The X window id (or, in memory, a number unique in the process).
    NSInteger windowNumber() const { return mNumber; }
    // The window with that number, or nil.
    static NSWindow* windowWithNumber(NSInteger number);

    void makeKeyAndOrderFront(id sender);
    void orderFront(id sender);
    void orderOut(id sender);
    void orderFrontRegardless() { orderFront(nil); }
    BOOL isVisible() const { return mVisible; }
    BOOL isKeyWindow() const;
    virtual BOOL canBecomeKeyWindow() { return mStyle != NSBorderlessWindowMask; }
    // Asks the delegate (windowShouldClose:), then closes.
    void performClose(id sender);
    // Orders out, tells the delegate (windowWillClose:), takes the content view out, and
    // releases the window when it is released when closed (the default).
    void close();
    void setReleasedWhenClosed(BOOL flag) { mReleasedWhenClosed = flag; }
    void setHidesOnDeactivate(BOOL) {}
    void setCanHide(BOOL) {}
    void setOpaque(BOOL) {}
    void setHasShadow(BOOL) {}
    void setTitle(NSString* title);
    void setDelegate(NSWindowDelegate* delegate) { mDelegate = delegate; }
    NSWindowDelegate* delegate() const { return mDelegate; }

    // Child windows stay above their parent. The child is retained while attached.
    void addChildWindow_ordered(NSWindow* child, NSWindowOrderingMode place);
    void removeChildWindow(NSWindow* child);
    // A new autoreleased array of the child windows.
    NSArray* childWindows() const;
    NSWindow* parentWindow() const { return mParent; }

    NSResponder* firstResponder() const { return mFirstResponder; }
    // Asks the current first responder to resign and the new one to accept; nil makes the
    // window itself first responder. NO when either refused.
    BOOL makeFirstResponder(NSResponder* responder);
    void setAcceptsMouseMovedEvents(BOOL flag) { mAcceptsMouseMoved = flag; }
    BOOL acceptsMouseMovedEvents() const { return mAcceptsMouseMoved; }

    // Base (window) coordinates and screen coordinates.
    NSPoint convertBaseToScreen(NSPoint point) const;
    NSPoint convertScreenToBase(NSPoint point) const;
    NSPoint convertPointToBase(NSPoint point) const { return point; }
    NSPoint convertPointFromBase(NSPoint point) const { return point; }

    // Routes an event to the views (see above).
    virtual void sendEvent(NSEvent* event);
    // Draws whatever is dirty in the content view now.
    void displayIfNeeded();

protected:
    ~NSWindow() override;

private:
    friend class NSView;
    friend struct AppKitWindowAccess;

    void realize();
    void forgetXWindow();
    void contentSizeChanged(NSSize size);

    NSRect mFrame;
    NSWindowStyleMask mStyle = NSTitledWindowMask;
    NSView* mContentView = nil;         // retained
    NSResponder* mFirstResponder = nil; // not retained
    NSView* mMouseDownView = nil;       // retained while a button is down
    NSWindowDelegate* mDelegate = nullptr;
    NSWindow* mParent = nil;          // not retained
    std::vector<NSWindow*> mChildren; // retained
    NSInteger mNumber = 0;
    unsigned long mXWindow = 0;
    bool mForeign = false;
    bool mVisible = false;
    bool mAcceptsMouseMoved = false;
    bool mReleasedWhenClosed = true;
    bool mClosed = false;
};
