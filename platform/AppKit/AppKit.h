#pragma once

// Cocoa (AppKit with the parts of Foundation the window layer uses) in C++, over X11.
//
// How Objective-C maps onto C++ here, the same way everywhere:
//  - Classes keep Cocoa's names and hierarchy (NSObject > NSResponder > NSView > NSTextField).
//    `id` is NSObject*, `nil` is nullptr, BOOL is bool with YES and NO.
//  - A method's selector becomes its C++ name by joining its keywords with underscores:
//    -setNeedsDisplayInRect: is setNeedsDisplayInRect(rect), -convertPoint:fromView: is
//    convertPoint_fromView(point, view), +popUpContextMenu:withEvent:forView: is the static
//    popUpContextMenu_withEvent_forView(menu, event, view). Overridable methods (drawRect:,
//    mouseDown:, isOpaque, acceptsFirstResponder, viewDidMoveToWindow, removeFromSuperview...)
//    are virtual; an override calls the base class for [super ...].
//  - [[X alloc] initWith...:] is `new X(...)`, holding one reference; retain, release and
//    autorelease keep Cocoa's rules (see NSObject.h). -dealloc is the destructor, reached only
//    through release. Class factory methods (+stringWithUTF8String:) return autoreleased
//    objects.
//  - @selector(name:) of a class T is NSSelector(&T::name), for action methods taking the
//    sender (timers, menu items). respondsToSelector: answers whether the object is a T.
//  - Protocols and delegates are abstract classes with empty defaults (NSWindowDelegate,
//    NSTextFieldDelegate); a delegate inherits the protocol class.
//  - Classes a host looks up by name are registered with NSClassRegistration<T> and found with
//    NSClassFromString; class_createInstance(cls, 0) is [[cls alloc] init].
//  - Constant strings (@"...") are NSString::stringWithUTF8String("...").
//
// The run loop is CoreFoundation's: a program pumps it with CFRunLoopRunInMode. Views are X
// windows made when they join a window; the display connection opens at the first window;
// X errors are recorded, never fatal. What goes beyond Cocoa is in <AppKit/GrindvoxAppKit.h>.
#include <AppKit/GrindvoxAppKit.h>
#include <AppKit/NSApplication.h>
#include <AppKit/NSArray.h>
#include <AppKit/NSBitmapImageRep.h>
#include <AppKit/NSBundle.h>
#include <AppKit/NSCharacterSet.h>
#include <AppKit/NSEvent.h>
#include <AppKit/NSFormatter.h>
#include <AppKit/NSGeometry.h>
#include <AppKit/NSGraphicsContext.h>
#include <AppKit/NSMenu.h>
#include <AppKit/NSNotification.h>
#include <AppKit/NSObjCRuntime.h>
#include <AppKit/NSObject.h>
#include <AppKit/NSResponder.h>
#include <AppKit/NSSavePanel.h>
#include <AppKit/NSString.h>
#include <AppKit/NSTextField.h>
#include <AppKit/NSTimer.h>
#include <AppKit/NSURL.h>
#include <AppKit/NSView.h>
#include <AppKit/NSWindow.h>
#include <AppKit/NSWorkspace.h>
