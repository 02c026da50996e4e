#include <Carbon/Carbon.h>

#include "AppKit/AppKitX11_p.h"

#include <CoreGraphics/CGBitmapContext.h>
#include <CoreGraphics/CGXDrawable.h>

#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>

namespace {

const CGBitmapInfo kBackingInfo = kCGImageAlphaNoneSkipFirst | kCGBitmapByteOrder32Little;
const Time kDoubleClickMs = 400;
// A second press counts as a double click only this close to the first (in pixels), so that
// quick clicks on two controls stay two clicks.
const int kDoubleClickSlop = 4;
const long kPaneEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                         KeyPressMask | FocusChangeMask | StructureNotifyMask;

Window XWindowOf(WindowRef window) {
    return static_cast<Window>(reinterpret_cast<uintptr_t>(window));
}

} // namespace

// A user pane: a child X window, its backing context and its one handler.
struct OpaqueControlRef final : appkit::EventClient {
    Window xWindow = 0;
    bool destroyed = false; // its parent took the X window with it
    int width = 0, height = 0;
    CGContextRef backing = nullptr;
    PaneEventHandler handler = nullptr;
    void* userData = nullptr;
    Time lastPress = 0;
    unsigned int lastButton = 0;
    int lastX = 0, lastY = 0;
    int clickCount = 0;

    void HandleXEvent(XEvent& e) override;
    OSStatus Send(PaneEvent& event) {
        return handler ? handler(this, &event, userData) : OSStatus(eventNotHandledErr);
    }
    void Paint(int x, int y, int w, int h);
    bool EnsureBacking();
};

bool OpaqueControlRef::EnsureBacking() {
    if (width <= 0 || height <= 0) return false;
    if (backing && (static_cast<int>(CGBitmapContextGetWidth(backing)) != width ||
                    static_cast<int>(CGBitmapContextGetHeight(backing)) != height)) {
        CGContextRelease(backing);
        backing = nullptr;
    }
    if (backing) return true;
    CGColorSpaceRef space = CGColorSpaceCreateDeviceRGB();
    backing = CGBitmapContextCreate(nullptr, static_cast<size_t>(width),
                                    static_cast<size_t>(height), 8, 0, space, kBackingInfo);
    CGColorSpaceRelease(space);
    return backing != nullptr;
}

void OpaqueControlRef::Paint(int x, int y, int w, int h) {
    if (destroyed || !EnsureBacking()) return;
    x = std::max(x, 0);
    y = std::max(y, 0);
    w = std::min(w, width - x);
    h = std::min(h, height - y);
    if (w <= 0 || h <= 0) return;
    PaneEvent event{};
    event.kind = kPaneEventDraw;
    event.context = backing;
    event.area = Rect{static_cast<SInt16>(y), static_cast<SInt16>(x), static_cast<SInt16>(y + h),
                      static_cast<SInt16>(x + w)};
    CGContextSaveGState(backing);
    Send(event);
    CGContextRestoreGState(backing);
    appkit::Connection* c = appkit::OpenedConnection();
    if (!c) return;
    CGContextPutToXDrawable(backing, c->display, xWindow, c->gc, c->visual, c->depth, x, y, w, h, x,
                            y);
}

void OpaqueControlRef::HandleXEvent(XEvent& e) {
    PaneEvent event{};
    switch (e.type) {
    case Expose: Paint(e.xexpose.x, e.xexpose.y, e.xexpose.width, e.xexpose.height); return;
    case DestroyNotify:
        if (e.xdestroywindow.window != xWindow) return;
        destroyed = true;
        appkit::Unregister(xWindow);
        event.kind = kPaneEventParentDestroyed;
        Send(event);
        return;
    case FocusOut:
        // Focus moving into a window inside the pane (a text field) keeps it within the pane.
        if (e.xfocus.detail == NotifyInferior || e.xfocus.detail == NotifyPointer) return;
        event.kind = kPaneEventDeactivated;
        Send(event);
        return;
    case KeyPress: {
        char text[16] = {}, unmodified[16] = {};
        appkit::CharactersForKey(e.xkey, text, sizeof text, unmodified, sizeof unmodified);
        event.kind = kPaneEventRawKeyDown;
        event.keyCode = appkit::KeyCodeForKeySym(XLookupKeysym(&e.xkey, 0));
        event.character = text[1] == 0 ? text[0] : 0;
        event.modifiers = static_cast<UInt32>(appkit::ModifierFlagsForState(e.xkey.state));
        Send(event);
        return;
    }
    case ButtonPress:
    case ButtonRelease: {
        event.point =
            Float32Point{static_cast<Float32>(e.xbutton.x), static_cast<Float32>(e.xbutton.y)};
        event.modifiers = static_cast<UInt32>(appkit::ModifierFlagsForState(e.xbutton.state));
        unsigned int b = e.xbutton.button;
        if (b >= 4 && b <= 7) {
            if (e.type == ButtonRelease) return;
            event.kind = kPaneEventMouseWheel;
            event.wheelAxis = b <= 5 ? kPaneWheelAxisY : kPaneWheelAxisX;
            event.wheelDelta = (b == 4 || b == 6) ? 1 : -1;
            Send(event);
            return;
        }
        event.button = b == 1 ? 1 : b == 3 ? 2 : 3;
        if (e.type == ButtonPress) {
            bool repeat = b == lastButton && e.xbutton.time - lastPress < kDoubleClickMs &&
                          std::abs(e.xbutton.x - lastX) <= kDoubleClickSlop &&
                          std::abs(e.xbutton.y - lastY) <= kDoubleClickSlop;
            clickCount = repeat ? clickCount + 1 : 1;
            lastPress = e.xbutton.time;
            lastButton = b;
            lastX = e.xbutton.x;
            lastY = e.xbutton.y;
            event.kind = kPaneEventMouseDown;
            // The press may open a menu or prompt; it must not hold the pointer.
            XUngrabPointer(e.xbutton.display, e.xbutton.time);
        } else {
            event.kind = kPaneEventMouseUp;
        }
        event.clickCount = clickCount;
        Send(event);
        return;
    }
    case MotionNotify:
        event.point =
            Float32Point{static_cast<Float32>(e.xmotion.x), static_cast<Float32>(e.xmotion.y)};
        event.modifiers = static_cast<UInt32>(appkit::ModifierFlagsForState(e.xmotion.state));
        event.kind = (e.xmotion.state & (Button1Mask | Button2Mask | Button3Mask))
                         ? kPaneEventMouseDragged
                         : kPaneEventMouseMoved;
        Send(event);
        return;
    default: return;
    }
}

OSStatus GetWindowAttributes(WindowRef window, UInt32* outAttributes) {
    if (!window || !outAttributes) return errInvalidWindowRef;
    *outAttributes = kWindowCompositingAttribute;
    return noErr;
}

OSStatus GetWindowBounds(WindowRef window, UInt16, Rect* outBounds) {
    appkit::Connection* c = appkit::OpenConnection();
    if (!c || !window || !outBounds) return errInvalidWindowRef;
    appkit::ErrorTrap trap;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(c->display, XWindowOf(window), &attributes) || trap.Failed())
        return errInvalidWindowRef;
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(c->display, XWindowOf(window), c->root, 0, 0, &x, &y, &child);
    *outBounds =
        Rect{static_cast<SInt16>(y), static_cast<SInt16>(x),
             static_cast<SInt16>(y + attributes.height), static_cast<SInt16>(x + attributes.width)};
    return noErr;
}

OSStatus SetWindowBounds(WindowRef window, UInt16, const Rect* bounds) {
    appkit::Connection* c = appkit::OpenConnection();
    if (!c || !window || !bounds) return errInvalidWindowRef;
    int w = bounds->right - bounds->left, h = bounds->bottom - bounds->top;
    if (w <= 0 || h <= 0) return paramErr;
    appkit::ErrorTrap trap;
    XResizeWindow(c->display, XWindowOf(window), static_cast<unsigned>(w),
                  static_cast<unsigned>(h));
    return trap.Failed() ? OSStatus(errInvalidWindowRef) : OSStatus(noErr);
}

OSStatus CreateUserPaneControl(WindowRef window, ControlRef parent, const Rect* bounds, UInt32,
                               ControlRef* outControl) {
    if (!outControl || !bounds) return paramErr;
    *outControl = nullptr;
    Window parentWindow = parent && !parent->destroyed ? parent->xWindow : XWindowOf(window);
    appkit::Connection* c = appkit::OpenConnection();
    if (!c || !parentWindow) return errInvalidWindowRef;
    int w = bounds->right - bounds->left, h = bounds->bottom - bounds->top;
    if (w <= 0 || h <= 0) return paramErr;
    appkit::ErrorTrap trap;
    XSetWindowAttributes attributes{};
    attributes.event_mask = kPaneEvents;
    attributes.colormap = c->colormap;
    attributes.border_pixel = 0;
    Window xWindow =
        XCreateWindow(c->display, parentWindow, bounds->left, bounds->top, static_cast<unsigned>(w),
                      static_cast<unsigned>(h), 0, c->depth, InputOutput, c->visual,
                      CWEventMask | CWColormap | CWBorderPixel, &attributes);
    if (trap.Failed() || !xWindow) {
        if (xWindow) XDestroyWindow(c->display, xWindow);
        return errInvalidWindowRef;
    }
    auto* pane = new OpaqueControlRef;
    pane->xWindow = xWindow;
    pane->width = w;
    pane->height = h;
    appkit::RegisterClient(xWindow, pane);
    XMapWindow(c->display, xWindow);
    XFlush(c->display);
    *outControl = pane;
    return noErr;
}

OSStatus InstallPaneEventHandler(ControlRef pane, PaneEventHandler handler, void* userData) {
    if (!pane) return paramErr;
    pane->handler = handler;
    pane->userData = userData;
    return noErr;
}

void SizeControl(ControlRef pane, SInt16 width, SInt16 height) {
    if (!pane || width <= 0 || height <= 0) return;
    pane->width = width;
    pane->height = height;
    appkit::Connection* c = appkit::OpenedConnection();
    if (!c || pane->destroyed) return;
    XResizeWindow(c->display, pane->xWindow, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
}

void GetControlBounds(ControlRef pane, Rect* outBounds) {
    if (!pane || !outBounds) return;
    *outBounds = Rect{0, 0, static_cast<SInt16>(pane->height), static_cast<SInt16>(pane->width)};
}

OSStatus HIViewSetNeedsDisplayInRect(ControlRef pane, const CGRect* rect, Boolean needsDisplay) {
    if (!pane || !rect) return paramErr;
    if (!needsDisplay) return noErr;
    int x0 = static_cast<int>(std::floor(rect->origin.x));
    int y0 = static_cast<int>(std::floor(rect->origin.y));
    int x1 = static_cast<int>(std::ceil(rect->origin.x + rect->size.width));
    int y1 = static_cast<int>(std::ceil(rect->origin.y + rect->size.height));
    pane->Paint(x0, y0, x1 - x0, y1 - y0);
    return noErr;
}

void DisposeControl(ControlRef pane) {
    if (!pane) return;
    appkit::Connection* c = appkit::OpenedConnection();
    if (!pane->destroyed) {
        appkit::Unregister(pane->xWindow);
        if (c) {
            appkit::ErrorTrap trap;
            XDestroyWindow(c->display, pane->xWindow);
            trap.Failed();
        }
    }
    if (pane->backing) CGContextRelease(pane->backing);
    delete pane;
}

unsigned long GrindvoxCarbon_XWindowOfControl(ControlRef pane) {
    return pane && !pane->destroyed ? pane->xWindow : 0;
}
