#pragma once

// A rectangle of a window that draws itself and takes events. Views nest: a view's frame is in
// its superview's coordinates, its bounds in its own (origin at the bottom left, y up, unless
// the view is flipped).
//
// On X a view in a window is an X child window of its superview's (or, for the content view,
// of the window's). It makes that X window only when it joins a window that has one, and
// destroys it when it leaves; until then, and with no display at all, it draws into memory:
// setNeedsDisplayInRect: collects the area, displayIfNeeded draws it into a bitmap the view
// keeps, and cacheDisplayInRect:toBitmapImageRep: snapshots the view and its subviews. In a
// window the run loop displays what is dirty before it sleeps, and an exposed X window marks
// its area dirty, so drawRect: runs from the run loop in both cases.
//
// A view's X window destroyed from outside (its window's host destroyed the parent) unbinds the
// view: it forgets the X window and removes itself from its superview.
#include <AppKit/NSGeometry.h>
#include <AppKit/NSResponder.h>

#include <vector>

class NSWindow;
class NSBitmapImageRep;
class NSArray;
struct CGContext;

class NSView : public NSResponder {
public:
    // initWithFrame:
    explicit NSView(NSRect frame = NSZeroRect);

    NSRect frame() const { return mFrame; }
    NSRect bounds() const { return NSMakeRect(0, 0, mFrame.size.width, mFrame.size.height); }
    void setFrame(NSRect frame);
    void setFrameSize(NSSize size);
    void setFrameOrigin(NSPoint origin);

    NSView* superview() const { return mSuperview; }
    NSWindow* window() const { return mWindow; }
    // The subviews back to front, not retained by the caller.
    const std::vector<NSView*>& subviews() const { return mSubviews; }
    // Retains view, taking it from its previous superview first.
    void addSubview(NSView* view);
    // Leaves the superview (which releases this view). Subclasses that override it call the
    // base form to leave.
    virtual void removeFromSuperview();
    BOOL isDescendantOf(const NSView* view) const;
    // The deepest view under point (in the superview's coordinates), or nil.
    virtual NSView* hitTest(NSPoint point);

    virtual BOOL isFlipped() const { return NO; }
    virtual BOOL isOpaque() const { return NO; }
    virtual BOOL acceptsFirstMouse(NSEvent*) { return NO; }
    BOOL isHidden() const { return mHidden; }
    void setHidden(BOOL hidden);

    // Called before and after the view (or an ancestor) moves to another window or to none.
    virtual void viewWillMoveToWindow(NSWindow*) {}
    virtual void viewDidMoveToWindow() {}

    // Coordinates between views; a nil view means the window's base coordinates.
    NSPoint convertPoint_fromView(NSPoint point, const NSView* view) const;
    NSPoint convertPoint_toView(NSPoint point, const NSView* view) const;
    NSRect convertRect_fromView(NSRect rect, const NSView* view) const;
    NSRect convertRect_toView(NSRect rect, const NSView* view) const;
    // The same against the window's base coordinates (Cocoa's older names).
    NSPoint convertPointToBase(NSPoint point) const { return convertPoint_toView(point, nil); }
    NSPoint convertPointFromBase(NSPoint point) const { return convertPoint_fromView(point, nil); }

    // Drawing. The dirty area accumulates (as its bounding rectangle) until it is displayed.
    void setNeedsDisplay(BOOL flag);
    void setNeedsDisplayInRect(NSRect rect);
    BOOL needsDisplay() const { return !NSIsEmptyRect(mDirty); }
    // Draws the dirty area of this view and then of its subviews.
    void displayIfNeeded();
    void display();
    // Draws rect (in bounds coordinates) into the current graphics context, clipped to it.
    virtual void drawRect(NSRect rect);

    // A new autoreleased bitmap the size of rect, for cacheDisplayInRect:toBitmapImageRep:.
    NSBitmapImageRep* bitmapImageRepForCachingDisplayInRect(NSRect rect);
    // Draws rect of this view and its subviews into the bitmap, rect's origin at its bottom left.
    void cacheDisplayInRect_toBitmapImageRep(NSRect rect, NSBitmapImageRep* rep);

protected:
    ~NSView() override;

    // Shows rect of the view: by default draws it into the view's bitmap with drawRect: and
    // sends that part to the X window when there is one. Views that draw their X window
    // themselves (menus, text fields) override it.
    virtual void displayDirtyRect(NSRect rect);
    // Draws rect (bounds coordinates) of this view and its subviews into context, whose user
    // space is this view's unflipped coordinates.
    void drawTreeIntoContext(CGContext* context, NSRect rect);

    // The X window (0 when none) and what the view was drawn into last.
    unsigned long xWindow() const { return mXWindow; }

private:
    friend class NSWindow;
    friend struct AppKitViewAccess;
    friend struct AppKitWindowAccess;

    void setWindowRecursively(NSWindow* window);
    void realizeXWindow();
    void unrealizeXWindow(bool alive);
    void placeXWindow();
    void forgetDeadXWindows();
    NSPoint pointToSuperview(NSPoint p) const;
    NSPoint pointFromSuperview(NSPoint p) const;
    NSPoint pointToBase(NSPoint p) const;
    NSPoint pointFromBase(NSPoint p) const;
    void drawInto(CGContext* context, NSRect rect);

    NSRect mFrame;
    NSRect mDirty = NSZeroRect;
    NSView* mSuperview = nil;       // not retained
    NSWindow* mWindow = nil;        // not retained
    std::vector<NSView*> mSubviews; // retained
    CGContext* mBacking = nullptr;  // the view's pixels, frame-sized, owned
    unsigned long mXWindow = 0;
    BOOL mHidden = NO;
};
