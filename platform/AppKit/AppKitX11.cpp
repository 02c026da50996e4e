#include "AppKitX11_p.h"

#include <AppKit/NSEvent.h>
#include <AppKit/NSString.h>
#include <AppKit/NSWindow.h>
#include <CoreFoundation/CFFileDescriptor.h>
#include <CoreFoundation/CFRunLoop.h>

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace appkit {
namespace {

struct Target {
    NSView* view = nullptr;
    NSWindow* window = nullptr;
    EventClient* client = nullptr;
};

Connection gConnection;
bool gOpen = false;
unsigned long gErrorCount = 0;
std::unordered_map<Window, Target> gTargets;
std::vector<Window> gModalStack;
bool gObserverInstalled = false;

// Multi-click tracking: the last press.
struct LastPress {
    Time time = 0;
    unsigned int button = 0;
    int x = 0, y = 0;
    Window window = 0;
    int count = 0;
} gLastPress;

// Closes the connection when the process ends, so that Xlib and Xft free what they hold for it
// (fonts and their patterns) rather than leaving it to the exit. Fontconfig itself is left as it
// is: in a host's process (an LV2 UI) the host's toolkit shares it, and finalising it under the
// toolkit aborts the host as it exits.
struct ConnectionCloser {
    ~ConnectionCloser() {
        if (!gOpen) return;
        gOpen = false;
        XCloseDisplay(gConnection.display);
    }
} gCloser;

const Time kDoubleClickMs = 400;
const int kDoubleClickSlop = 4;

// The handlers the process had before ours. Xlib keeps one handler for all connections; in a
// host's process (an LV2 UI) the host's own connection keeps the host's handling.
XErrorHandler gHostErrorHandler = nullptr;
XIOErrorHandler gHostIOErrorHandler = nullptr;

bool isOurs(Display* display) {
    return display == gConnection.display;
}

// An X error on our connection never ends the process: it is counted, and the call that caused
// it answers failure through an ErrorTrap.
int recordError(Display* display, XErrorEvent* error) {
    if (!isOurs(display) && gHostErrorHandler) return gHostErrorHandler(display, error);
    ++gErrorCount;
    char text[128] = "";
    XGetErrorText(display, error->error_code, text, sizeof text);
    if (getenv("GRINDVOX_X_ERRORS"))
        fprintf(stderr, "X error %d (%s) for request %d\n", error->error_code, text,
                error->request_code);
    return 0;
}

// A lost connection (the server went away) does not end the process either: Xlib reports it
// here instead of exiting, the stand-in stops using the connection, and windows live on in
// memory.
bool gLost = false;

int recordLostConnection(Display* display) {
    if (!isOurs(display) && gHostIOErrorHandler) return gHostIOErrorHandler(display);
    ++gErrorCount;
    return 0;
}

void connectionLost(Display*, void*) {
    if (!gLost) fprintf(stderr, "the X connection was lost: windows go on without a display\n");
    gLost = true;
    gOpen = false;
}

void connectionReadable(CFFileDescriptorRef f, CFOptionFlags, void*) {
    // Watched again before the events run: one of them may start a nested loop (a popup menu),
    // which must wake for the connection too.
    CFFileDescriptorEnableCallBacks(f, kCFFileDescriptorReadCallBack);
    ProcessPendingEvents();
    if (gLost) CFFileDescriptorInvalidate(f);
}

void beforeWaiting(CFRunLoopObserverRef, CFRunLoopActivity, void*) {
    // Events Xlib already read from the socket would not wake the loop: handle them first.
    if (gOpen) ProcessPendingEvents();
    AppKitWindowAccess::DisplayAll();
    if (gOpen) XFlush(gConnection.display);
    NSAutoreleasePool::drainOuterPool();
}

void attachToRunLoop() {
    CFFileDescriptorRef f = CFFileDescriptorCreate(nullptr, ConnectionNumber(gConnection.display),
                                                   false, connectionReadable, nullptr);
    if (!f) return;
    CFFileDescriptorEnableCallBacks(f, kCFFileDescriptorReadCallBack);
    CFRunLoopSourceRef source = CFFileDescriptorCreateRunLoopSource(nullptr, f, 0);
    CFRunLoopAddSource(CFRunLoopGetMain(), source, kCFRunLoopCommonModes);
    CFRelease(source);
    CFRelease(f);
}

bool isInput(int type) {
    return type == ButtonPress || type == ButtonRelease || type == MotionNotify ||
           type == KeyPress || type == KeyRelease || type == EnterNotify || type == LeaveNotify;
}

double nowSeconds() {
    return CFAbsoluteTimeGetCurrent();
}

NSInteger clickCountFor(const XButtonEvent& b) {
    bool again = b.button == gLastPress.button && b.window == gLastPress.window &&
                 b.time - gLastPress.time <= kDoubleClickMs &&
                 std::abs(b.x - gLastPress.x) <= kDoubleClickSlop &&
                 std::abs(b.y - gLastPress.y) <= kDoubleClickSlop;
    gLastPress.count = again ? gLastPress.count + 1 : 1;
    gLastPress.time = b.time;
    gLastPress.button = b.button;
    gLastPress.window = b.window;
    gLastPress.x = b.x;
    gLastPress.y = b.y;
    return gLastPress.count;
}

NSEventType mouseType(const XEvent& e) {
    unsigned int button = e.xbutton.button;
    if (e.type == MotionNotify) {
        if (e.xmotion.state & Button1Mask) return NSLeftMouseDragged;
        if (e.xmotion.state & Button3Mask) return NSRightMouseDragged;
        if (e.xmotion.state & Button2Mask) return NSOtherMouseDragged;
        return NSMouseMoved;
    }
    bool down = e.type == ButtonPress;
    if (button == 1) return down ? NSLeftMouseDown : NSLeftMouseUp;
    if (button == 3) return down ? NSRightMouseDown : NSRightMouseUp;
    return down ? NSOtherMouseDown : NSOtherMouseUp;
}

// The X event as an NSEvent for nsWindow, at base point (x, y); nil for events Cocoa has no
// form for (wheel releases).
NSEvent* translate(XEvent& e, NSWindow* nsWindow, double x, double y) {
    NSPoint at = NSMakePoint(x, y);
    NSInteger number = nsWindow->windowNumber();
    if (e.type == KeyPress || e.type == KeyRelease) {
        char text[32], unmodified[32];
        CharactersForKey(e.xkey, text, sizeof text, unmodified, sizeof unmodified);
        KeySym keysym = XLookupKeysym(&e.xkey, 0);
        return NSEvent::
            keyEventWithType_location_modifierFlags_timestamp_windowNumber_context_characters_charactersIgnoringModifiers_isARepeat_keyCode(
                e.type == KeyPress ? NSKeyDown : NSKeyUp, at, ModifierFlagsForState(e.xkey.state),
                nowSeconds(), number, nil, NSString::stringWithUTF8String(text),
                NSString::stringWithUTF8String(unmodified), NO, KeyCodeForKeySym(keysym));
    }
    unsigned int state = e.type == MotionNotify ? e.xmotion.state : e.xbutton.state;
    NSUInteger flags = ModifierFlagsForState(state);
    if (e.type == ButtonPress && e.xbutton.button >= 4 && e.xbutton.button <= 7) {
        // Buttons 4 and 5 are the wheel turned away from and toward the user, 6 and 7 sideways.
        static const CGFloat kDeltas[4][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
        const CGFloat* d = kDeltas[e.xbutton.button - 4];
        return NSEvent::scrollWheelEventWithLocation_modifierFlags_windowNumber_deltaX_deltaY(
            at, flags, number, d[0], d[1]);
    }
    if ((e.type == ButtonPress || e.type == ButtonRelease) && e.xbutton.button >= 4) return nil;
    NSInteger clicks = 0;
    if (e.type == ButtonPress) clicks = clickCountFor(e.xbutton);
    if (e.type == ButtonRelease) clicks = gLastPress.count;
    return NSEvent::
        mouseEventWithType_location_modifierFlags_timestamp_windowNumber_context_eventNumber_clickCount_pressure(
            mouseType(e), at, flags, nowSeconds(), number, nil, 0, clicks,
            e.type == ButtonPress ? 1.0f : 0.0f);
}

void dispatchInput(XEvent& e, const Target& target) {
    NSWindow* nsWindow = target.window;
    int x = 0, y = 0;
    if (e.type == KeyPress || e.type == KeyRelease) {
        x = e.xkey.x;
        y = e.xkey.y;
    } else if (e.type == MotionNotify) {
        x = e.xmotion.x;
        y = e.xmotion.y;
    } else if (e.type == ButtonPress || e.type == ButtonRelease) {
        x = e.xbutton.x;
        y = e.xbutton.y;
    } else {
        return;
    }
    double bx = 0, by = 0;
    if (target.view) {
        nsWindow = AppKitViewAccess::WindowOf(target.view);
        if (!nsWindow) return;
        AppKitViewAccess::ToBase(target.view, x, y, &bx, &by);
    } else {
        AppKitWindowAccess::ToBase(nsWindow, x, y, &bx, &by);
    }
    // The events and what they reach may be released by the handlers.
    NSAutoreleasePool* pool = new NSAutoreleasePool;
    nsWindow->retain();
    if (NSEvent* event = translate(e, nsWindow, bx, by)) nsWindow->sendEvent(event);
    nsWindow->release();
    pool->drain();
}

void dispatch(XEvent& e) {
    auto found = gTargets.find(e.xany.window);
    if (e.type == DestroyNotify) found = gTargets.find(e.xdestroywindow.window);
    if (found == gTargets.end()) return;
    Target target = found->second;
    if (isInput(e.type) && !gModalStack.empty() && gModalStack.back() != e.xany.window) return;
    if (target.client) {
        target.client->HandleXEvent(e);
        return;
    }
    switch (e.type) {
    case Expose:
        if (target.view)
            AppKitViewAccess::Exposed(target.view, e.xexpose.x, e.xexpose.y, e.xexpose.width,
                                      e.xexpose.height);
        return;
    case DestroyNotify:
        gTargets.erase(e.xdestroywindow.window);
        if (target.view) AppKitViewAccess::XWindowDestroyed(target.view);
        if (target.window) AppKitWindowAccess::XWindowDestroyed(target.window);
        return;
    case ConfigureNotify:
        if (target.window)
            AppKitWindowAccess::Configured(target.window, e.xconfigure.width, e.xconfigure.height);
        return;
    case ClientMessage:
        if (target.window && static_cast<Atom>(e.xclient.data.l[0]) == gConnection.wmDeleteWindow)
            AppKitWindowAccess::CloseRequested(target.window);
        return;
    default: dispatchInput(e, target);
    }
}

} // namespace

Connection* OpenConnection() {
    if (gOpen) return &gConnection;
    // Once lost, the connection is not opened again: views still name its windows.
    if (gLost) return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    XErrorHandler hostHandler = XSetErrorHandler(recordError);
    if (hostHandler != recordError) gHostErrorHandler = hostHandler;
    XIOErrorHandler hostIOHandler = XSetIOErrorHandler(recordLostConnection);
    if (hostIOHandler != recordLostConnection) gHostIOErrorHandler = hostIOHandler;
    XSetIOErrorExitHandler(display, connectionLost, nullptr);
    Connection& c = gConnection;
    c.display = display;
    c.screen = DefaultScreen(display);
    c.root = RootWindow(display, c.screen);
    c.visual = DefaultVisual(display, c.screen);
    c.depth = DefaultDepth(display, c.screen);
    c.colormap = DefaultColormap(display, c.screen);
    c.gc = XCreateGC(display, c.root, 0, nullptr);
    c.wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
    c.wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    c.motifHints = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    gOpen = true;
    attachToRunLoop();
    EnsureDisplayObserver();
    return &gConnection;
}

Connection* OpenedConnection() {
    return gOpen ? &gConnection : nullptr;
}

ErrorTrap::ErrorTrap() : mErrorsBefore(gErrorCount) {}

bool ErrorTrap::Failed() {
    if (gOpen) XSync(gConnection.display, False);
    return gErrorCount != mErrorsBefore;
}

unsigned long ErrorCount() {
    return gErrorCount;
}

void RegisterView(Window window, NSView* view) {
    gTargets[window] = Target{view, nullptr, nullptr};
}

void RegisterWindow(Window window, NSWindow* nsWindow) {
    gTargets[window] = Target{nullptr, nsWindow, nullptr};
}

void RegisterClient(Window window, EventClient* client) {
    gTargets[window] = Target{nullptr, nullptr, client};
}

void Unregister(Window window) {
    gTargets.erase(window);
}

void BeginModalSession(Window allowed) {
    gModalStack.push_back(allowed);
}

void EndModalSession() {
    if (!gModalStack.empty()) gModalStack.pop_back();
}

void ProcessPendingEvents() {
    if (!gOpen) return;
    Display* display = gConnection.display;
    while (gOpen && XPending(display)) {
        XEvent e;
        XNextEvent(display, &e);
        dispatch(e);
    }
}

void EnsureDisplayObserver() {
    if (gObserverInstalled) return;
    CFRunLoopObserverRef observer = CFRunLoopObserverCreate(
        nullptr, kCFRunLoopBeforeWaiting | kCFRunLoopExit, true, 0, beforeWaiting, nullptr);
    if (!observer) return;
    CFRunLoopAddObserver(CFRunLoopGetMain(), observer, kCFRunLoopCommonModes);
    CFRelease(observer);
    gObserverInstalled = true;
}

// ---- Keys and modifiers ----

namespace {

struct KeyEntry {
    unsigned long keysym;
    unsigned short code;
};

// Unshifted key symbols and the Mac's virtual key codes of the keys that carry them (the ANSI
// layout's positions).
const KeyEntry kKeyCodes[] = {
    {XK_a, 0x00},         {XK_s, 0x01},           {XK_d, 0x02},
    {XK_f, 0x03},         {XK_h, 0x04},           {XK_g, 0x05},
    {XK_z, 0x06},         {XK_x, 0x07},           {XK_c, 0x08},
    {XK_v, 0x09},         {XK_b, 0x0B},           {XK_q, 0x0C},
    {XK_w, 0x0D},         {XK_e, 0x0E},           {XK_r, 0x0F},
    {XK_y, 0x10},         {XK_t, 0x11},           {XK_1, 0x12},
    {XK_2, 0x13},         {XK_3, 0x14},           {XK_4, 0x15},
    {XK_6, 0x16},         {XK_5, 0x17},           {XK_equal, 0x18},
    {XK_9, 0x19},         {XK_7, 0x1A},           {XK_minus, 0x1B},
    {XK_8, 0x1C},         {XK_0, 0x1D},           {XK_bracketright, 0x1E},
    {XK_o, 0x1F},         {XK_u, 0x20},           {XK_bracketleft, 0x21},
    {XK_i, 0x22},         {XK_p, 0x23},           {XK_Return, 0x24},
    {XK_l, 0x25},         {XK_j, 0x26},           {XK_apostrophe, 0x27},
    {XK_k, 0x28},         {XK_semicolon, 0x29},   {XK_backslash, 0x2A},
    {XK_comma, 0x2B},     {XK_slash, 0x2C},       {XK_n, 0x2D},
    {XK_m, 0x2E},         {XK_period, 0x2F},      {XK_Tab, 0x30},
    {XK_space, 0x31},     {XK_grave, 0x32},       {XK_BackSpace, 0x33},
    {XK_Escape, 0x35},    {XK_Super_R, 0x36},     {XK_Super_L, 0x37},
    {XK_Shift_L, 0x38},   {XK_Caps_Lock, 0x39},   {XK_Alt_L, 0x3A},
    {XK_Control_L, 0x3B}, {XK_Shift_R, 0x3C},     {XK_Alt_R, 0x3D},
    {XK_Control_R, 0x3E}, {XK_KP_Decimal, 0x41},  {XK_KP_Multiply, 0x43},
    {XK_KP_Add, 0x45},    {XK_Num_Lock, 0x47},    {XK_KP_Divide, 0x4B},
    {XK_KP_Enter, 0x4C},  {XK_KP_Subtract, 0x4E}, {XK_KP_Equal, 0x51},
    {XK_KP_0, 0x52},      {XK_KP_1, 0x53},        {XK_KP_2, 0x54},
    {XK_KP_3, 0x55},      {XK_KP_4, 0x56},        {XK_KP_5, 0x57},
    {XK_KP_6, 0x58},      {XK_KP_7, 0x59},        {XK_KP_8, 0x5B},
    {XK_KP_9, 0x5C},      {XK_F5, 0x60},          {XK_F6, 0x61},
    {XK_F7, 0x62},        {XK_F3, 0x63},          {XK_F8, 0x64},
    {XK_F9, 0x65},        {XK_F11, 0x67},         {XK_F10, 0x6D},
    {XK_F12, 0x6F},       {XK_Help, 0x72},        {XK_Home, 0x73},
    {XK_Prior, 0x74},     {XK_Delete, 0x75},      {XK_F4, 0x76},
    {XK_End, 0x77},       {XK_F2, 0x78},          {XK_Next, 0x79},
    {XK_F1, 0x7A},        {XK_Left, 0x7B},        {XK_Right, 0x7C},
    {XK_Down, 0x7D},      {XK_Up, 0x7E},
};

struct FunctionKey {
    unsigned long keysym;
    uint32_t character;
};

// Keys whose characters Cocoa reports as control characters or private-use function keys.
const FunctionKey kFunctionKeys[] = {
    {XK_Return, '\r'},
    {XK_KP_Enter, 0x03},
    {XK_BackSpace, 0x7F},
    {XK_Tab, '\t'},
    {XK_Escape, 0x1B},
    {XK_Delete, NSDeleteFunctionKey},
    {XK_Up, NSUpArrowFunctionKey},
    {XK_Down, NSDownArrowFunctionKey},
    {XK_Left, NSLeftArrowFunctionKey},
    {XK_Right, NSRightArrowFunctionKey},
    {XK_Home, NSHomeFunctionKey},
    {XK_End, NSEndFunctionKey},
    {XK_Prior, NSPageUpFunctionKey},
    {XK_Next, NSPageDownFunctionKey},
    {XK_F1, NSF1FunctionKey},
    {XK_F2, NSF1FunctionKey + 1},
    {XK_F3, NSF1FunctionKey + 2},
    {XK_F4, NSF1FunctionKey + 3},
    {XK_F5, NSF1FunctionKey + 4},
    {XK_F6, NSF1FunctionKey + 5},
    {XK_F7, NSF1FunctionKey + 6},
    {XK_F8, NSF1FunctionKey + 7},
    {XK_F9, NSF1FunctionKey + 8},
    {XK_F10, NSF1FunctionKey + 9},
    {XK_F11, NSF1FunctionKey + 10},
    {XK_F12, NSF1FunctionKey + 11},
};

size_t putUTF8(uint32_t cp, char* out, size_t size) {
    char bytes[4];
    size_t n;
    if (cp < 0x80) {
        bytes[0] = static_cast<char>(cp);
        n = 1;
    } else if (cp < 0x800) {
        bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
        bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
        n = 2;
    } else if (cp < 0x10000) {
        bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
        bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
        n = 3;
    } else {
        bytes[0] = static_cast<char>(0xF0 | (cp >> 18));
        bytes[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        bytes[3] = static_cast<char>(0x80 | (cp & 0x3F));
        n = 4;
    }
    if (n + 1 > size) return 0;
    memcpy(out, bytes, n);
    out[n] = 0;
    return n;
}

// The text one key event types under state, as UTF-8.
void keyText(XKeyEvent event, unsigned int state, char* out, size_t size) {
    out[0] = 0;
    event.state = state;
    char latin1[16];
    KeySym keysym = 0;
    int count = XLookupString(&event, latin1, sizeof latin1 - 1, &keysym, nullptr);
    for (const FunctionKey& f : kFunctionKeys) {
        if (f.keysym != keysym) continue;
        putUTF8(f.character, out, size);
        return;
    }
    if (keysym >= 0x01000000 && keysym <= 0x0110FFFF) {
        putUTF8(static_cast<uint32_t>(keysym - 0x01000000), out, size);
        return;
    }
    size_t used = 0;
    for (int i = 0; i < count; ++i) {
        size_t n = putUTF8(static_cast<unsigned char>(latin1[i]), out + used, size - used);
        if (!n) break;
        used += n;
    }
}

} // namespace

unsigned short KeyCodeForKeySym(unsigned long keysym) {
    // Upper-case letters read as the key's unshifted symbol.
    if (keysym >= XK_A && keysym <= XK_Z) keysym += XK_a - XK_A;
    for (const KeyEntry& k : kKeyCodes)
        if (k.keysym == keysym) return k.code;
    return 0xFFFF;
}

unsigned long ModifierFlagsForState(unsigned int state) {
    struct Modifier {
        unsigned int xMask;
        unsigned long flag;
    };
    static const Modifier kModifiers[] = {
        {LockMask, NSAlphaShiftKeyMask}, {ShiftMask, NSShiftKeyMask},
        {ControlMask, NSControlKeyMask}, {Mod1Mask, NSAlternateKeyMask},
        {Mod4Mask, NSCommandKeyMask},
    };
    unsigned long flags = 0;
    for (const Modifier& m : kModifiers)
        if (state & m.xMask) flags |= m.flag;
    return flags;
}

void CharactersForKey(XKeyEvent& event, char* text, size_t size, char* unmodified,
                      size_t unmodifiedSize) {
    keyText(event, event.state, text, size);
    keyText(event, event.state & (ShiftMask | LockMask), unmodified, unmodifiedSize);
}

} // namespace appkit
