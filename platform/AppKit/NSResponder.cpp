#include <AppKit/NSResponder.h>

#define FORWARD(method)                                                                            \
    void NSResponder::method(NSEvent* event) {                                                     \
        if (mNextResponder) mNextResponder->method(event);                                         \
    }

FORWARD(mouseDown)
FORWARD(mouseUp)
FORWARD(mouseDragged)
FORWARD(rightMouseDown)
FORWARD(rightMouseUp)
FORWARD(rightMouseDragged)
FORWARD(otherMouseDown)
FORWARD(otherMouseUp)
FORWARD(mouseMoved)
FORWARD(scrollWheel)
FORWARD(keyDown)
FORWARD(keyUp)
