#pragma once

// The X side of the window stand-in: the one display connection of the process, the error
// handler, the map from X windows to the objects that own them, modal sessions, and the
// translation of X input into NSEvents. Main thread only.
#include <X11/Xlib.h>

#include <cstdint>

class NSView;
class NSWindow;

namespace appkit {

struct Connection {
    Display* display = nullptr;
    int screen = 0;
    Window root = 0;
    Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = 0;
    GC gc = nullptr;
    Atom wmProtocols = 0;
    Atom wmDeleteWindow = 0;
    Atom motifHints = 0;
};

// The connection, opened at the first call and tied to the main run loop; nullptr when no
// display can be opened (each call tries again).
Connection* OpenConnection();
// The connection when it is open, without trying to open it.
Connection* OpenedConnection();

// Counts the X errors reported after it was made. Failed() waits for the server to answer
// everything sent so far.
class ErrorTrap {
public:
    ErrorTrap();
    bool Failed();

private:
    unsigned long mErrorsBefore;
};
unsigned long ErrorCount();

// Something other than a view or a window that owns an X window (a popup menu).
class EventClient {
public:
    virtual void HandleXEvent(XEvent& event) = 0;

protected:
    ~EventClient() = default;
};

void RegisterView(Window window, NSView* view);
void RegisterWindow(Window window, NSWindow* nsWindow);
void RegisterClient(Window window, EventClient* client);
void Unregister(Window window);

// While a modal session runs, input events (buttons, motion, keys, crossing) reach only the
// session's window (none when it is 0); everything else (exposure, structure) goes on as usual.
void BeginModalSession(Window allowed);
void EndModalSession();

// Handles every event already queued or readable now.
void ProcessPendingEvents();

// The Mac virtual key code of an unshifted key symbol, 0xFFFF for keys that have none.
unsigned short KeyCodeForKeySym(unsigned long keysym);
// Cocoa's modifier flags for an X modifier state.
unsigned long ModifierFlagsForState(unsigned int state);
// The text a key event types, and the text without modifiers other than Shift, as UTF-8.
void CharactersForKey(XKeyEvent& event, char* text, size_t size, char* unmodified,
                      size_t unmodifiedSize);

} // namespace appkit

// What the event code may do to views and windows beyond Cocoa's own calls.
struct AppKitViewAccess {
    // The X window was destroyed by someone else (its parent went).
    static void XWindowDestroyed(NSView* view);
    // The view's X window exposed (x, y, width, height), top-left origin.
    static void Exposed(NSView* view, int x, int y, int width, int height);
    static NSWindow* WindowOf(NSView* view);
    static unsigned long XWindowOf(const NSView* view);
    // The X window's pixel point in the view's base (window) coordinates.
    static void ToBase(NSView* view, int x, int y, double* baseX, double* baseY);
};

struct AppKitWindowAccess {
    static void XWindowDestroyed(NSWindow* window);
    static void Configured(NSWindow* window, int width, int height);
    static void CloseRequested(NSWindow* window);
    static void ToBase(NSWindow* window, int x, int y, double* baseX, double* baseY);
    // Displays what is dirty in every window.
    static void DisplayAll();
};

namespace appkit {
// Makes the run loop display dirty views and flush the connection before it sleeps.
void EnsureDisplayObserver();
} // namespace appkit
