#pragma once

// Not part of Cocoa: what a Linux program and the tests need of the window stand-in beyond
// Cocoa's own calls.
#include <AppKit/NSObject.h>

class NSArray;
class NSMenu;
class NSString;
class NSView;

// Answers a popup menu instead of the user: the index of the item to pick, or -1 to dismiss.
typedef NSInteger (*GrindvoxAppKitMenuAnswerer)(NSMenu* menu);
// Answers an open (save NO) or save panel instead of the user: the chosen path, or nil for
// Cancel. directory and file are the panel's starting point, types the allowed extensions
// (nil for any).
typedef NSString* (*GrindvoxAppKitPanelAnswerer)(BOOL save, NSString* directory, NSString* file,
                                                 NSArray* types);

// NULL restores the user.
void GrindvoxAppKit_SetMenuAnswerer(GrindvoxAppKitMenuAnswerer answerer);
void GrindvoxAppKit_SetPanelAnswerer(GrindvoxAppKitPanelAnswerer answerer);

// Opens the display connection when it is not open; NO when there is no display.
BOOL GrindvoxAppKit_HasDisplay();
// The Display* of the connection, or NULL when it is not open.
void* GrindvoxAppKit_Display();
// The X window of a view, or 0 when it has none.
unsigned long GrindvoxAppKit_XWindowOfView(const NSView* view);
// How many X errors the process has been sent (they are recorded, never fatal).
unsigned long GrindvoxAppKit_XErrorCount();
// The Mac virtual key code of an unshifted X key symbol, 0xFFFF when the key has none.
unsigned short GrindvoxAppKit_KeyCodeForKeySym(unsigned long keysym);
// Cocoa's modifier flags for an X modifier state (Super is Command, Alt is Option).
NSUInteger GrindvoxAppKit_ModifierFlagsForXState(unsigned int state);

// How many device pixels a point of the screen covers: the factor the program set when it set
// one, else the X resource Xft.dpi of the display / 96 (read afresh from the root window, so
// that an xrdb change counts for the next window), else 1.0, also with no display. Opens the
// display connection when there is no override. Main thread.
CGFloat GrindvoxAppKit_BackingScaleFactor();
// A process-wide override of the screen's factor; 0 (or any factor not above 0) restores it.
void GrindvoxAppKit_SetBackingScaleFactor(CGFloat factor);
