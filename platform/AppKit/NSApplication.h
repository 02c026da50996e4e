#pragma once

// The application object. A program (or a plug-in host) pumps the run loop itself with
// CFRunLoopRunInMode; the application only answers what Cocoa code asks of it.
#include <AppKit/NSObject.h>

class NSWindow;

// Readies Cocoa inside a program that is not a Cocoa application: always YES here.
BOOL NSApplicationLoad();

class NSApplication : public NSObject {
public:
    static NSApplication* sharedApplication();
    // The window holding the keyboard focus, or nil.
    NSWindow* keyWindow() const;
    // Runs the default mode until stop: is called.
    void run();
    void stop(id sender);
};

#define NSApp (NSApplication::sharedApplication())
