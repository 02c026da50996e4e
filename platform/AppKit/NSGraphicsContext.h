#pragma once

// The drawing destination of the moment. While a view draws, the current context's graphics
// port is a Quartz context (CGContextRef) whose user space is the view's coordinates.
#include <AppKit/NSObject.h>

class NSGraphicsContext : public NSObject {
public:
    // A new autoreleased context over port (a CGContextRef, retained).
    static NSGraphicsContext* graphicsContextWithGraphicsPort_flipped(void* port, BOOL flipped);
    // The context drawing goes to now, or nil outside drawing.
    static NSGraphicsContext* currentContext();
    static void setCurrentContext(NSGraphicsContext* context);
    // Push and pop the current context.
    static void saveGraphicsState();
    static void restoreGraphicsState();

    // The CGContextRef, owned by this object.
    void* graphicsPort() const { return mPort; }
    BOOL isFlipped() const { return mFlipped; }

protected:
    NSGraphicsContext(void* port, BOOL flipped);
    ~NSGraphicsContext() override;

private:
    void* mPort;
    BOOL mFlipped;
};
