#include "AppKitX11_p.h"
#include "GrindvoxAppKit_p.h"

#include <AppKit/NSApplication.h>
#include <AppKit/NSView.h>
#include <AppKit/NSWindow.h>
#include <CoreFoundation/CFRunLoop.h>

namespace {

GrindvoxAppKitMenuAnswerer gMenuAnswerer = nullptr;
GrindvoxAppKitPanelAnswerer gPanelAnswerer = nullptr;

} // namespace

BOOL NSApplicationLoad() {
    return YES;
}

NSApplication* NSApplication::sharedApplication() {
    static NSApplication* app = new NSApplication;
    return app;
}

NSWindow* NSApplication::keyWindow() const {
    appkit::Connection* c = appkit::OpenedConnection();
    if (!c) return nil;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(c->display, &focus, &revert);
    return focus ? NSWindow::windowWithNumber(static_cast<NSInteger>(focus)) : nil;
}

void NSApplication::run() {
    CFRunLoopRun();
}

void NSApplication::stop(id) {
    CFRunLoopStop(CFRunLoopGetMain());
}

// ---- The stand-in's own calls ----

namespace appkit {

GrindvoxAppKitMenuAnswerer MenuAnswerer() {
    return gMenuAnswerer;
}

GrindvoxAppKitPanelAnswerer PanelAnswerer() {
    return gPanelAnswerer;
}

} // namespace appkit

void GrindvoxAppKit_SetMenuAnswerer(GrindvoxAppKitMenuAnswerer answerer) {
    gMenuAnswerer = answerer;
}

void GrindvoxAppKit_SetPanelAnswerer(GrindvoxAppKitPanelAnswerer answerer) {
    gPanelAnswerer = answerer;
}

BOOL GrindvoxAppKit_HasDisplay() {
    return appkit::OpenConnection() != nullptr;
}

void* GrindvoxAppKit_Display() {
    appkit::Connection* c = appkit::OpenedConnection();
    return c ? c->display : nullptr;
}

unsigned long GrindvoxAppKit_XWindowOfView(const NSView* view) {
    return view ? AppKitViewAccess::XWindowOf(view) : 0;
}

unsigned long GrindvoxAppKit_XErrorCount() {
    return appkit::ErrorCount();
}

unsigned short GrindvoxAppKit_KeyCodeForKeySym(unsigned long keysym) {
    return appkit::KeyCodeForKeySym(keysym);
}

NSUInteger GrindvoxAppKit_ModifierFlagsForXState(unsigned int state) {
    return appkit::ModifierFlagsForState(state);
}
