#pragma once

// The part of Carbon's HIToolbox that an editor embedded in a host's window needs, over X11.
// A window is the X window id the host hands over (a WindowRef holds it as a pointer-sized
// value); a user-pane control is a child X window of it. Each pane has one event handler,
// called with the pane's own events already in pane coordinates, and a backing bitmap context
// its draw events paint into. Everything runs on the main thread, through the run loop of the
// window stand-in.
#include <AudioUnit/AudioUnitCarbonView.h>
#include <CoreGraphics/CGContext.h>
#include <CoreServices/MacErrors.h>
#include <MacTypes.h>

GRINDVOX_EXTERN_C_BEGIN

typedef struct Rect {
    SInt16 top;
    SInt16 left;
    SInt16 bottom;
    SInt16 right;
} Rect;

enum { eventNotHandledErr = -9874, errInvalidWindowRef = -5600, errControlIsNotEmbedder = -30590 };

// The window attribute of hosts that use the compositing view system; an X window always does.
enum { kWindowCompositingAttribute = 1u << 19 };
enum { kWindowContentRgn = 33 };

// What a pane's handler is told.
typedef enum PaneEventKind {
    kPaneEventDraw = 1,  // context and area set
    kPaneEventMouseDown, // point, button, clickCount, modifiers
    kPaneEventMouseUp,
    kPaneEventMouseMoved,
    kPaneEventMouseDragged,
    kPaneEventMouseWheel,     // point, wheelAxis, wheelDelta, modifiers
    kPaneEventRawKeyDown,     // keyCode, character, modifiers
    kPaneEventDeactivated,    // the pane lost the keyboard focus
    kPaneEventParentDestroyed // the pane's window went with its parent: no X call may follow
} PaneEventKind;

enum { kPaneWheelAxisY = 0, kPaneWheelAxisX = 1 };

typedef struct PaneEvent {
    PaneEventKind kind;
    Float32Point point; // pane coordinates, top-left origin
    int button;         // 1 left, 2 right, 3 middle
    int clickCount;
    UInt32 modifiers; // Cocoa's modifier flags (NSShiftKeyMask...)
    int wheelAxis;
    int wheelDelta;       // +1 away from the user, -1 towards
    UInt16 keyCode;       // the Mac virtual key code, 0xFFFF for none
    char character;       // the typed character, 0 for none
    CGContextRef context; // draw: the pane's backing context, top-left origin in pixels
    Rect area;            // draw: the area to paint
} PaneEvent;

// Answers noErr when it handled the event, eventNotHandledErr otherwise.
typedef OSStatus (*PaneEventHandler)(ControlRef pane, PaneEvent* event, void* userData);

// The window's attributes (kWindowCompositingAttribute); errInvalidWindowRef for no window.
GRINDVOX_PLATFORM_API OSStatus GetWindowAttributes(WindowRef window, UInt32* outAttributes);
// The window's content bounds in screen coordinates, and setting its size (the top-left corner
// stays where it is).
GRINDVOX_PLATFORM_API OSStatus GetWindowBounds(WindowRef window, UInt16 region, Rect* outBounds);
GRINDVOX_PLATFORM_API OSStatus SetWindowBounds(WindowRef window, UInt16 region, const Rect* bounds);

// A pane of the bounds' size inside the parent control when given, else inside the window.
// The pane is shown at once. Fails when neither names an X window or the display is missing.
GRINDVOX_PLATFORM_API OSStatus CreateUserPaneControl(WindowRef window, ControlRef parent,
                                                     const Rect* bounds, UInt32 features,
                                                     ControlRef* outControl);
// Replaces the pane's handler (NULL removes it).
GRINDVOX_PLATFORM_API OSStatus InstallPaneEventHandler(ControlRef pane, PaneEventHandler handler,
                                                       void* userData);
GRINDVOX_PLATFORM_API void SizeControl(ControlRef pane, SInt16 width, SInt16 height);
GRINDVOX_PLATFORM_API void GetControlBounds(ControlRef pane, Rect* outBounds);
// Sends the pane a draw event for the rectangle (pane coordinates) and shows what it painted.
GRINDVOX_PLATFORM_API OSStatus HIViewSetNeedsDisplayInRect(ControlRef pane, const CGRect* rect,
                                                           Boolean needsDisplay);
// Destroys the pane's X window (unless its parent already took it) and frees the pane.
GRINDVOX_PLATFORM_API void DisposeControl(ControlRef pane);

// Not part of Carbon: the X window of a pane, 0 when it has none.
GRINDVOX_PLATFORM_API unsigned long GrindvoxCarbon_XWindowOfControl(ControlRef pane);

GRINDVOX_EXTERN_C_END
