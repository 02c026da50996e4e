#include "AppKitX11_p.h"

#include <AppKit/NSArray.h>
#include <AppKit/NSEvent.h>
#include <AppKit/NSNotification.h>
#include <AppKit/NSString.h>
#include <AppKit/NSView.h>
#include <AppKit/NSWindow.h>

#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Every window alive, for the display pass and for finding windows by number.
std::vector<NSWindow*>& liveWindows() {
    static std::vector<NSWindow*> windows;
    return windows;
}

// Numbers for windows with no X window: far below any X id a server hands out.
NSInteger gNextMemoryNumber = 1;

int screenHeight() {
    appkit::Connection* c = appkit::OpenedConnection();
    return c ? DisplayHeight(c->display, c->screen) : 0;
}

} // namespace

NSWindow::NSWindow(NSRect contentRect, NSWindowStyleMask style, NSBackingStoreType, BOOL)
    : mFrame(contentRect), mStyle(style) {
    liveWindows().push_back(this);
    appkit::EnsureDisplayObserver();
    realize();
    if (!mNumber) mNumber = gNextMemoryNumber++;
    NSView* content = new NSView(NSMakeRect(0, 0, contentRect.size.width, contentRect.size.height));
    setContentView(content);
    content->release();
}

NSWindow::NSWindow(void* windowRef) : mFrame(NSZeroRect), mForeign(true) {
    liveWindows().push_back(this);
    appkit::EnsureDisplayObserver();
    appkit::Connection* c = appkit::OpenConnection();
    auto foreign = static_cast<Window>(reinterpret_cast<uintptr_t>(windowRef));
    if (c && foreign) {
        appkit::ErrorTrap trap;
        XWindowAttributes attributes;
        Status ok = XGetWindowAttributes(c->display, foreign, &attributes);
        // Another client may select structure events on the same window: each gets its own.
        XSelectInput(c->display, foreign, StructureNotifyMask);
        if (!trap.Failed() && ok) {
            mXWindow = foreign;
            mNumber = static_cast<NSInteger>(foreign);
            mFrame = NSMakeRect(attributes.x, 0, attributes.width, attributes.height);
            appkit::RegisterWindow(foreign, this);
        }
    }
    if (!mNumber) mNumber = gNextMemoryNumber++;
    NSView* content = new NSView(NSMakeRect(0, 0, mFrame.size.width, mFrame.size.height));
    setContentView(content);
    content->release();
}

NSWindow::~NSWindow() {
    auto& windows = liveWindows();
    windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
    for (NSWindow* child : mChildren) {
        child->mParent = nil;
        child->release();
    }
    if (mParent) mParent->removeChildWindow(this);
    if (mMouseDownView) mMouseDownView->release();
    if (mContentView) {
        mContentView->setWindowRecursively(nil);
        mContentView->setNextResponder(nil);
        mContentView->release();
    }
    forgetXWindow();
}

void NSWindow::realize() {
    appkit::Connection* c = appkit::OpenConnection();
    if (!c) return;
    XSetWindowAttributes attributes;
    attributes.event_mask = StructureNotifyMask | KeyPressMask | KeyReleaseMask | FocusChangeMask;
    attributes.background_pixel = WhitePixel(c->display, c->screen);
    int width = std::max(1, static_cast<int>(std::ceil(mFrame.size.width)));
    int height = std::max(1, static_cast<int>(std::ceil(mFrame.size.height)));
    int y = screenHeight() - static_cast<int>(mFrame.origin.y) - height;
    appkit::ErrorTrap trap;
    Window w = XCreateWindow(c->display, c->root, static_cast<int>(mFrame.origin.x), y,
                             static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                             CopyFromParent, InputOutput, CopyFromParent, CWEventMask | CWBackPixel,
                             &attributes);
    if (trap.Failed() || !w) return;
    XSetWMProtocols(c->display, w, &c->wmDeleteWindow, 1);
    XWMHints hints;
    hints.flags = InputHint;
    hints.input = True;
    XSetWMHints(c->display, w, &hints);
    // Where the program asked for it, not where a window manager would like it.
    XSizeHints size;
    size.flags = USPosition | USSize;
    XSetWMNormalHints(c->display, w, &size);
    if (mStyle == NSBorderlessWindowMask) {
        // Motif hints: flags (decorations given), functions, decorations (none).
        long motif[5] = {2, 0, 0, 0, 0};
        XChangeProperty(c->display, w, c->motifHints, c->motifHints, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(motif), 5);
    }
    mXWindow = w;
    mNumber = static_cast<NSInteger>(w);
    appkit::RegisterWindow(w, this);
}

void NSWindow::forgetXWindow() {
    if (!mXWindow) return;
    appkit::Unregister(mXWindow);
    appkit::Connection* c = appkit::OpenedConnection();
    if (c) {
        if (mForeign)
            XSelectInput(c->display, mXWindow, NoEventMask);
        else
            XDestroyWindow(c->display, mXWindow);
    }
    mXWindow = 0;
}

NSWindow* NSWindow::windowWithNumber(NSInteger number) {
    for (NSWindow* w : liveWindows())
        if (w->mNumber == number) return w;
    return nil;
}

void NSWindow::setContentView(NSView* view) {
    if (view == mContentView) return;
    if (view) {
        view->retain();
        if (view->superview()) view->removeFromSuperview();
    }
    NSView* old = mContentView;
    mContentView = view;
    if (old) {
        if (mFirstResponder == old || (dynamic_cast<NSView*>(mFirstResponder) &&
                                       static_cast<NSView*>(mFirstResponder)->isDescendantOf(old)))
            mFirstResponder = nil;
        old->setWindowRecursively(nil);
        old->setNextResponder(nil);
        old->release();
    }
    if (!view) return;
    view->setFrame(NSMakeRect(0, 0, mFrame.size.width, mFrame.size.height));
    view->setNextResponder(this);
    view->setWindowRecursively(this);
}

void NSWindow::setFrame_display(NSRect frame, BOOL display) {
    mFrame = frame;
    appkit::Connection* c = appkit::OpenedConnection();
    if (c && mXWindow && !mForeign) {
        int height = std::max(1, static_cast<int>(std::ceil(frame.size.height)));
        XMoveResizeWindow(
            c->display, mXWindow, static_cast<int>(frame.origin.x),
            screenHeight() - static_cast<int>(frame.origin.y) - height,
            static_cast<unsigned>(std::max(1, static_cast<int>(std::ceil(frame.size.width)))),
            static_cast<unsigned>(height));
    }
    if (mContentView) mContentView->setFrame(NSMakeRect(0, 0, frame.size.width, frame.size.height));
    if (display) displayIfNeeded();
}

void NSWindow::contentSizeChanged(NSSize size) {
    if (size.width == mFrame.size.width && size.height == mFrame.size.height) return;
    mFrame.size = size;
    if (mContentView) mContentView->setFrameSize(size);
}

void NSWindow::makeKeyAndOrderFront(id sender) {
    orderFront(sender);
    appkit::Connection* c = appkit::OpenedConnection();
    if (!c || !mXWindow) return;
    // A window that is not viewable yet cannot take the focus: the trap swallows the refusal.
    appkit::ErrorTrap trap;
    Window focus =
        mForeign && mContentView && mContentView->mXWindow ? mContentView->mXWindow : mXWindow;
    XSync(c->display, False);
    XSetInputFocus(c->display, focus, RevertToParent, CurrentTime);
    trap.Failed();
}

void NSWindow::orderFront(id) {
    mVisible = true;
    appkit::Connection* c = appkit::OpenedConnection();
    if (!c || !mXWindow || mForeign) return;
    XMapRaised(c->display, mXWindow);
    for (NSWindow* child : mChildren)
        if (child->mXWindow && child->mVisible) XRaiseWindow(c->display, child->mXWindow);
}

void NSWindow::orderOut(id) {
    mVisible = false;
    appkit::Connection* c = appkit::OpenedConnection();
    if (!c || !mXWindow || mForeign) return;
    XUnmapWindow(c->display, mXWindow);
}

BOOL NSWindow::isKeyWindow() const {
    appkit::Connection* c = appkit::OpenedConnection();
    if (!c || !mXWindow) return NO;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(c->display, &focus, &revert);
    return focus == mXWindow || (mContentView && focus == mContentView->mXWindow);
}

void NSWindow::performClose(id sender) {
    if (mDelegate && !mDelegate->windowShouldClose(sender ? sender : this)) return;
    close();
}

void NSWindow::close() {
    if (mClosed) return;
    mClosed = true;
    retain();
    orderOut(nil);
    if (mDelegate) {
        auto* note = new NSNotification(
            NSString::stringWithUTF8String("NSWindowWillCloseNotification"), this);
        mDelegate->windowWillClose(note);
        note->release();
    }
    if (mParent) mParent->removeChildWindow(this);
    setContentView(nil);
    forgetXWindow();
    if (mReleasedWhenClosed) release();
    release();
}

void NSWindow::setTitle(NSString* title) {
    appkit::Connection* c = appkit::OpenedConnection();
    if (!c || !mXWindow || mForeign || !title) return;
    XStoreName(c->display, mXWindow, title->UTF8String());
}

void NSWindow::addChildWindow_ordered(NSWindow* child, NSWindowOrderingMode place) {
    if (!child || child == this || child->mParent == this) return;
    if (child->mParent) child->mParent->removeChildWindow(child);
    child->retain();
    child->mParent = this;
    mChildren.push_back(child);
    appkit::Connection* c = appkit::OpenedConnection();
    if (c && child->mXWindow && mXWindow) {
        XSetTransientForHint(c->display, child->mXWindow, mXWindow);
        if (place == NSWindowAbove && child->mVisible) XRaiseWindow(c->display, child->mXWindow);
    }
}

void NSWindow::removeChildWindow(NSWindow* child) {
    auto it = std::find(mChildren.begin(), mChildren.end(), child);
    if (it == mChildren.end()) return;
    mChildren.erase(it);
    child->mParent = nil;
    child->release();
}

NSArray* NSWindow::childWindows() const {
    auto* array = new NSMutableArray;
    for (NSWindow* child : mChildren)
        array->addObject(child);
    return static_cast<NSArray*>(array->autorelease());
}

BOOL NSWindow::makeFirstResponder(NSResponder* responder) {
    if (responder == mFirstResponder) return YES;
    NSResponder* before = mFirstResponder;
    if (before && !before->resignFirstResponder()) return NO;
    // Resigning may have chosen the next first responder itself (a field that ends its edit
    // hands the focus back to the view it edits for): that choice stands.
    if (mFirstResponder != before) return mFirstResponder == responder;
    if (!responder) {
        mFirstResponder = nil;
        return YES;
    }
    if (!responder->acceptsFirstResponder() || !responder->becomeFirstResponder()) {
        mFirstResponder = nil;
        return NO;
    }
    mFirstResponder = responder;
    return YES;
}

NSPoint NSWindow::convertBaseToScreen(NSPoint point) const {
    return NSMakePoint(point.x + mFrame.origin.x, point.y + mFrame.origin.y);
}

NSPoint NSWindow::convertScreenToBase(NSPoint point) const {
    return NSMakePoint(point.x - mFrame.origin.x, point.y - mFrame.origin.y);
}

void NSWindow::sendEvent(NSEvent* event) {
    if (!event || !mContentView) return;
    retain();
    NSView* hit = mContentView->hitTest(event->locationInWindow());
    switch (event->type()) {
    case NSLeftMouseDown:
    case NSRightMouseDown:
    case NSOtherMouseDown:
        if (!hit) break;
        if (hit != mFirstResponder && hit->acceptsFirstResponder()) makeFirstResponder(hit);
        // Making the first responder may have removed the view (a field ending its edit).
        if (hit->window() != this) break;
        if (mMouseDownView) mMouseDownView->release();
        mMouseDownView = static_cast<NSView*>(hit->retain());
        if (event->type() == NSLeftMouseDown)
            hit->mouseDown(event);
        else if (event->type() == NSRightMouseDown)
            hit->rightMouseDown(event);
        else
            hit->otherMouseDown(event);
        break;
    case NSLeftMouseUp:
    case NSRightMouseUp:
    case NSOtherMouseUp:
        if (NSView* target = mMouseDownView) {
            mMouseDownView = nil;
            if (event->type() == NSLeftMouseUp)
                target->mouseUp(event);
            else if (event->type() == NSRightMouseUp)
                target->rightMouseUp(event);
            else
                target->otherMouseUp(event);
            target->release();
        }
        break;
    case NSLeftMouseDragged:
    case NSRightMouseDragged:
    case NSOtherMouseDragged:
        if (NSView* target = mMouseDownView) {
            if (event->type() == NSLeftMouseDragged)
                target->mouseDragged(event);
            else if (event->type() == NSRightMouseDragged)
                target->rightMouseDragged(event);
        }
        break;
    case NSMouseMoved:
        if (!mAcceptsMouseMoved) break;
        if (mFirstResponder)
            mFirstResponder->mouseMoved(event);
        else if (hit)
            hit->mouseMoved(event);
        break;
    case NSScrollWheel:
        if (hit) hit->scrollWheel(event);
        break;
    case NSKeyDown:
        if (mFirstResponder) mFirstResponder->keyDown(event);
        break;
    case NSKeyUp:
        if (mFirstResponder) mFirstResponder->keyUp(event);
        break;
    default: break;
    }
    release();
}

void NSWindow::displayIfNeeded() {
    if (mContentView) mContentView->displayIfNeeded();
}

// ---- Access for the event code ----

void AppKitWindowAccess::XWindowDestroyed(NSWindow* window) {
    appkit::Unregister(window->mXWindow);
    window->mXWindow = 0;
    if (window->mContentView) window->mContentView->forgetDeadXWindows();
}

void AppKitWindowAccess::Configured(NSWindow* window, int width, int height) {
    window->contentSizeChanged(NSMakeSize(width, height));
}

void AppKitWindowAccess::CloseRequested(NSWindow* window) {
    window->performClose(nil);
}

void AppKitWindowAccess::ToBase(NSWindow* window, int x, int y, double* baseX, double* baseY) {
    *baseX = x;
    *baseY = window->mFrame.size.height - y;
}

void AppKitWindowAccess::DisplayAll() {
    std::vector<NSWindow*> windows(liveWindows());
    for (NSWindow* w : windows)
        w->retain();
    for (NSWindow* w : windows) {
        w->displayIfNeeded();
        w->release();
    }
}
