#pragma once

// Something that takes events. Each event method, unless a class overrides it, passes the
// event to the next responder (a view's superview, then its window); at the end of the chain
// the event is dropped.
#include <AppKit/NSObject.h>

class NSEvent;

class NSResponder : public NSObject {
public:
    NSResponder* nextResponder() const { return mNextResponder; }
    void setNextResponder(NSResponder* responder) { mNextResponder = responder; }

    virtual BOOL acceptsFirstResponder() { return NO; }
    // Asked when this responder is to become or stop being the window's first responder; NO
    // keeps things as they are.
    virtual BOOL becomeFirstResponder() { return YES; }
    virtual BOOL resignFirstResponder() { return YES; }

    virtual void mouseDown(NSEvent* event);
    virtual void mouseUp(NSEvent* event);
    virtual void mouseDragged(NSEvent* event);
    virtual void rightMouseDown(NSEvent* event);
    virtual void rightMouseUp(NSEvent* event);
    virtual void rightMouseDragged(NSEvent* event);
    virtual void otherMouseDown(NSEvent* event);
    virtual void otherMouseUp(NSEvent* event);
    virtual void mouseMoved(NSEvent* event);
    virtual void scrollWheel(NSEvent* event);
    virtual void keyDown(NSEvent* event);
    virtual void keyUp(NSEvent* event);

private:
    NSResponder* mNextResponder = nil; // not retained
};
