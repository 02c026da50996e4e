#include "AppKitX11_p.h"

#include <AppKit/NSBitmapImageRep.h>
#include <AppKit/NSGraphicsContext.h>
#include <AppKit/NSView.h>
#include <AppKit/NSWindow.h>
#include <CoreGraphics/CGBitmapContext.h>
#include <CoreGraphics/CGXDrawable.h>

#include <algorithm>
#include <cmath>

namespace {

// The views' own pixels: little-endian x8r8g8b8, the layout of the usual 24-bit X visual, so
// that most displays take them as they are.
const CGBitmapInfo kBackingInfo = kCGImageAlphaNoneSkipFirst | kCGBitmapByteOrder32Little;

int pixels(CGFloat length) {
    return std::max(0, static_cast<int>(std::ceil(length)));
}

// What non-opaque views show under their own drawing: a window's plain background.
const CGFloat kBackground[3] = {0.93, 0.93, 0.93};

} // namespace

NSView::NSView(NSRect frame) : mFrame(frame) {}

NSView::~NSView() {
    unrealizeXWindow(true);
    std::vector<NSView*> subviews;
    subviews.swap(mSubviews);
    for (NSView* v : subviews) {
        v->mSuperview = nil;
        v->setNextResponder(nil);
        v->release();
    }
    if (mBacking) CGContextRelease(mBacking);
}

// ---- Hierarchy ----

void NSView::addSubview(NSView* view) {
    if (!view || view == this || isDescendantOf(view)) return;
    view->retain();
    if (view->mSuperview) view->NSView::removeFromSuperview();
    mSubviews.push_back(view);
    view->mSuperview = this;
    view->setNextResponder(this);
    view->setWindowRecursively(mWindow);
    view->setNeedsDisplay(YES);
}

void NSView::removeFromSuperview() {
    NSView* parent = mSuperview;
    if (!parent) return;
    if (mWindow && mWindow->mFirstResponder &&
        (mWindow->mFirstResponder == this ||
         (dynamic_cast<NSView*>(mWindow->mFirstResponder) &&
          static_cast<NSView*>(mWindow->mFirstResponder)->isDescendantOf(this))))
        mWindow->makeFirstResponder(nil);
    retain();
    setWindowRecursively(nil);
    auto it = std::find(parent->mSubviews.begin(), parent->mSubviews.end(), this);
    if (it != parent->mSubviews.end()) {
        parent->mSubviews.erase(it);
        release();
    }
    mSuperview = nil;
    setNextResponder(nil);
    parent->setNeedsDisplayInRect(mFrame);
    release();
}

BOOL NSView::isDescendantOf(const NSView* view) const {
    for (const NSView* v = this; v; v = v->mSuperview)
        if (v == view) return YES;
    return NO;
}

NSView* NSView::hitTest(NSPoint point) {
    if (mHidden || !NSPointInRect(point, mFrame)) return nil;
    NSPoint local = pointFromSuperview(point);
    for (size_t i = mSubviews.size(); i-- > 0;)
        if (NSView* hit = mSubviews[i]->hitTest(local)) return hit;
    return this;
}

void NSView::setHidden(BOOL hidden) {
    if (mHidden == hidden) return;
    mHidden = hidden;
    appkit::Connection* c = appkit::OpenedConnection();
    if (c && mXWindow) {
        if (hidden)
            XUnmapWindow(c->display, mXWindow);
        else
            XMapWindow(c->display, mXWindow);
    }
    if (!hidden) setNeedsDisplay(YES);
}

void NSView::setWindowRecursively(NSWindow* window) {
    if (window == mWindow) {
        // Same window, new parent: the X window moves under the new parent.
        unrealizeXWindow(true);
        realizeXWindow();
        return;
    }
    retain();
    viewWillMoveToWindow(window);
    unrealizeXWindow(true);
    if (mWindow && mWindow->mMouseDownView == this) {
        mWindow->mMouseDownView = nil;
        release();
    }
    mWindow = window;
    for (NSView* v : std::vector<NSView*>(mSubviews))
        v->setWindowRecursively(window);
    realizeXWindow();
    viewDidMoveToWindow();
    release();
}

// ---- X windows ----

void NSView::realizeXWindow() {
    if (mXWindow || !mWindow) return;
    unsigned long parent =
        mSuperview ? mSuperview->mXWindow : (mWindow->mContentView == this ? mWindow->mXWindow : 0);
    appkit::Connection* c = appkit::OpenedConnection();
    if (!parent || !c) return;
    XSetWindowAttributes attributes;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            KeyPressMask | KeyReleaseMask | StructureNotifyMask;
    attributes.background_pixmap = None;
    attributes.bit_gravity = NorthWestGravity;
    int x = static_cast<int>(std::floor(mFrame.origin.x));
    int height = std::max(1, pixels(mFrame.size.height));
    int y = mSuperview && !mSuperview->isFlipped() ? pixels(mSuperview->mFrame.size.height) -
                                                         static_cast<int>(mFrame.origin.y) - height
                                                   : static_cast<int>(mFrame.origin.y);
    appkit::ErrorTrap trap;
    Window w = XCreateWindow(
        c->display, parent, x, y, static_cast<unsigned>(std::max(1, pixels(mFrame.size.width))),
        static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
        CWEventMask | CWBackPixmap | CWBitGravity, &attributes);
    if (trap.Failed() || !w) return;
    mXWindow = w;
    appkit::RegisterView(w, this);
    if (!mHidden) XMapWindow(c->display, w);
    for (NSView* v : mSubviews)
        v->realizeXWindow();
    setNeedsDisplay(YES);
}

void NSView::forgetDeadXWindows() {
    if (mXWindow) appkit::Unregister(mXWindow);
    mXWindow = 0;
    for (NSView* v : mSubviews)
        v->forgetDeadXWindows();
}

void NSView::unrealizeXWindow(bool alive) {
    if (!mXWindow) return;
    unsigned long w = mXWindow;
    // Destroying the X window destroys those of the subviews with it.
    forgetDeadXWindows();
    appkit::Connection* c = appkit::OpenedConnection();
    if (alive && c) XDestroyWindow(c->display, w);
}

void NSView::placeXWindow() {
    appkit::Connection* c = appkit::OpenedConnection();
    if (!c || !mXWindow) return;
    int height = std::max(1, pixels(mFrame.size.height));
    int y = mSuperview && !mSuperview->isFlipped() ? pixels(mSuperview->mFrame.size.height) -
                                                         static_cast<int>(mFrame.origin.y) - height
                                                   : static_cast<int>(mFrame.origin.y);
    XMoveResizeWindow(c->display, mXWindow, static_cast<int>(std::floor(mFrame.origin.x)), y,
                      static_cast<unsigned>(std::max(1, pixels(mFrame.size.width))),
                      static_cast<unsigned>(height));
    // Subviews hang from the top of an X window but from the bottom of an unflipped view.
    if (!isFlipped())
        for (NSView* v : mSubviews)
            v->placeXWindow();
}

void NSView::setFrame(NSRect frame) {
    bool resized = frame.size.width != mFrame.size.width || frame.size.height != mFrame.size.height;
    mFrame = frame;
    placeXWindow();
    if (resized) setNeedsDisplay(YES);
}

void NSView::setFrameSize(NSSize size) {
    setFrame(NSMakeRect(mFrame.origin.x, mFrame.origin.y, size.width, size.height));
}

void NSView::setFrameOrigin(NSPoint origin) {
    setFrame(NSMakeRect(origin.x, origin.y, mFrame.size.width, mFrame.size.height));
}

// ---- Coordinates ----

NSPoint NSView::pointToSuperview(NSPoint p) const {
    CGFloat h = mFrame.size.height;
    if (isFlipped()) p.y = h - p.y;
    NSPoint out = NSMakePoint(mFrame.origin.x + p.x, mFrame.origin.y + p.y);
    if (mSuperview && mSuperview->isFlipped()) out.y = mFrame.origin.y + (h - p.y);
    return out;
}

NSPoint NSView::pointFromSuperview(NSPoint p) const {
    CGFloat h = mFrame.size.height;
    NSPoint local = NSMakePoint(p.x - mFrame.origin.x, p.y - mFrame.origin.y);
    if (mSuperview && mSuperview->isFlipped()) local.y = h - (p.y - mFrame.origin.y);
    if (isFlipped()) local.y = h - local.y;
    return local;
}

NSPoint NSView::pointToBase(NSPoint p) const {
    for (const NSView* v = this; v; v = v->mSuperview)
        p = v->pointToSuperview(p);
    return p;
}

NSPoint NSView::pointFromBase(NSPoint p) const {
    std::vector<const NSView*> chain;
    for (const NSView* v = this; v; v = v->mSuperview)
        chain.push_back(v);
    for (size_t i = chain.size(); i-- > 0;)
        p = chain[i]->pointFromSuperview(p);
    return p;
}

NSPoint NSView::convertPoint_fromView(NSPoint point, const NSView* view) const {
    return pointFromBase(view ? view->pointToBase(point) : point);
}

NSPoint NSView::convertPoint_toView(NSPoint point, const NSView* view) const {
    NSPoint base = pointToBase(point);
    return view ? view->pointFromBase(base) : base;
}

namespace {

NSRect rectFromCorners(NSPoint a, NSPoint b) {
    return NSMakeRect(std::min(a.x, b.x), std::min(a.y, b.y), std::fabs(b.x - a.x),
                      std::fabs(b.y - a.y));
}

} // namespace

NSRect NSView::convertRect_fromView(NSRect rect, const NSView* view) const {
    NSPoint a = convertPoint_fromView(rect.origin, view);
    NSPoint b = convertPoint_fromView(NSMakePoint(NSMaxX(rect), NSMaxY(rect)), view);
    return rectFromCorners(a, b);
}

NSRect NSView::convertRect_toView(NSRect rect, const NSView* view) const {
    NSPoint a = convertPoint_toView(rect.origin, view);
    NSPoint b = convertPoint_toView(NSMakePoint(NSMaxX(rect), NSMaxY(rect)), view);
    return rectFromCorners(a, b);
}

// ---- Drawing ----

void NSView::setNeedsDisplay(BOOL flag) {
    if (flag)
        setNeedsDisplayInRect(bounds());
    else
        mDirty = NSZeroRect;
}

void NSView::setNeedsDisplayInRect(NSRect rect) {
    NSRect visible = NSIntersectionRect(rect, bounds());
    if (NSIsEmptyRect(visible)) return;
    mDirty = NSUnionRect(mDirty, visible);
}

void NSView::displayIfNeeded() {
    retain();
    if (needsDisplay() && !mHidden) {
        NSRect rect = NSIntegralRect(NSIntersectionRect(mDirty, bounds()));
        mDirty = NSZeroRect;
        if (!NSIsEmptyRect(rect)) displayDirtyRect(rect);
    }
    std::vector<NSView*> subviews(mSubviews);
    for (NSView* v : subviews)
        v->retain();
    for (NSView* v : subviews) {
        if (v->mSuperview == this) v->displayIfNeeded();
        v->release();
    }
    release();
}

void NSView::display() {
    setNeedsDisplay(YES);
    displayIfNeeded();
}

void NSView::drawRect(NSRect) {}

namespace {

// A rectangle of a view's own coordinates in its unflipped ones (those of its pixels, y up).
NSRect unflippedRect(const NSView* view, NSRect rect) {
    if (!view->isFlipped()) return rect;
    rect.origin.y = view->frame().size.height - rect.origin.y - rect.size.height;
    return rect;
}

} // namespace

void NSView::drawInto(CGContext* context, NSRect rect) {
    NSRect device = unflippedRect(this, rect);
    CGContextSaveGState(context);
    CGContextClipToRect(context, device);
    if (!isOpaque()) {
        CGContextSetRGBFillColor(context, kBackground[0], kBackground[1], kBackground[2], 1);
        CGContextFillRect(context, device);
    }
    if (isFlipped()) {
        CGContextTranslateCTM(context, 0, mFrame.size.height);
        CGContextScaleCTM(context, 1, -1);
    }
    NSGraphicsContext* graphics =
        NSGraphicsContext::graphicsContextWithGraphicsPort_flipped(context, isFlipped());
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrentContext(graphics);
    drawRect(rect);
    NSGraphicsContext::restoreGraphicsState();
    CGContextRestoreGState(context);
}

void NSView::displayDirtyRect(NSRect rect) {
    int width = pixels(mFrame.size.width), height = pixels(mFrame.size.height);
    if (width <= 0 || height <= 0) return;
    if (mBacking && (static_cast<int>(CGBitmapContextGetWidth(mBacking)) != width ||
                     static_cast<int>(CGBitmapContextGetHeight(mBacking)) != height)) {
        CGContextRelease(mBacking);
        mBacking = nullptr;
    }
    if (!mBacking) {
        CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
        mBacking = CGBitmapContextCreate(nullptr, static_cast<size_t>(width),
                                         static_cast<size_t>(height), 8, 0, space, kBackingInfo);
        CGColorSpaceRelease(space);
        if (!mBacking) return;
    }
    drawInto(mBacking, rect);
    appkit::Connection* c = appkit::OpenedConnection();
    if (!c || !mXWindow) return;
    NSRect device = NSIntegralRect(unflippedRect(this, rect));
    int x0 = static_cast<int>(NSMinX(device));
    int top = height - static_cast<int>(NSMaxY(device));
    CGContextPutToXDrawable(mBacking, c->display, mXWindow, c->gc, c->visual, c->depth, x0, top,
                            static_cast<int>(NSWidth(device)), static_cast<int>(NSHeight(device)),
                            x0, top);
}

void NSView::drawTreeIntoContext(CGContext* context, NSRect rect) {
    NSRect visible = NSIntersectionRect(rect, bounds());
    if (mHidden || NSIsEmptyRect(visible)) return;
    drawInto(context, visible);
    for (NSView* v : mSubviews) {
        if (v->mHidden) continue;
        // The child's bottom left in this view's unflipped coordinates.
        NSRect f = v->mFrame;
        CGFloat bottom = isFlipped() ? mFrame.size.height - f.origin.y - f.size.height : f.origin.y;
        CGContextSaveGState(context);
        CGContextTranslateCTM(context, f.origin.x, bottom);
        v->drawTreeIntoContext(context, v->convertRect_fromView(visible, this));
        CGContextRestoreGState(context);
    }
}

NSBitmapImageRep* NSView::bitmapImageRepForCachingDisplayInRect(NSRect rect) {
    NSRect whole = NSIntegralRect(rect);
    auto* rep = new NSBitmapImageRep(static_cast<NSInteger>(whole.size.width),
                                     static_cast<NSInteger>(whole.size.height));
    return static_cast<NSBitmapImageRep*>(rep->autorelease());
}

void NSView::cacheDisplayInRect_toBitmapImageRep(NSRect rect, NSBitmapImageRep* rep) {
    if (!rep || !rep->context()) return;
    CGContext* context = rep->context();
    CGContextSaveGState(context);
    NSRect device = unflippedRect(this, rect);
    CGContextTranslateCTM(context, -device.origin.x, -device.origin.y);
    drawTreeIntoContext(context, rect);
    CGContextRestoreGState(context);
}

// ---- Access for the event code ----

void AppKitViewAccess::XWindowDestroyed(NSView* view) {
    // The parent went, taking this window and those of the subviews with it.
    view->retain();
    view->forgetDeadXWindows();
    view->removeFromSuperview();
    view->release();
}

void AppKitViewAccess::Exposed(NSView* view, int x, int y, int width, int height) {
    CGFloat h = view->mFrame.size.height;
    NSRect rect = NSMakeRect(x, view->isFlipped() ? y : h - y - height, width, height);
    view->setNeedsDisplayInRect(rect);
}

NSWindow* AppKitViewAccess::WindowOf(NSView* view) {
    return view->mWindow;
}

void AppKitViewAccess::ToBase(NSView* view, int x, int y, double* baseX, double* baseY) {
    NSPoint local = NSMakePoint(x, view->isFlipped() ? y : view->mFrame.size.height - y);
    NSPoint base = view->convertPoint_toView(local, nil);
    *baseX = base.x;
    *baseY = base.y;
}

unsigned long AppKitViewAccess::XWindowOf(const NSView* view) {
    return view->mXWindow;
}
