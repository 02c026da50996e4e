#include <AppKit/NSGraphicsContext.h>
#include <CoreGraphics/CGContext.h>

#include <vector>

namespace {

// The current context and the saved ones, each retained.
thread_local NSGraphicsContext* tCurrent = nil;
thread_local std::vector<NSGraphicsContext*> tSaved;

} // namespace

NSGraphicsContext::NSGraphicsContext(void* port, BOOL flipped)
    : mPort(CGContextRetain(static_cast<CGContextRef>(port))), mFlipped(flipped) {}

NSGraphicsContext::~NSGraphicsContext() {
    CGContextRelease(static_cast<CGContextRef>(mPort));
}

NSGraphicsContext* NSGraphicsContext::graphicsContextWithGraphicsPort_flipped(void* port,
                                                                              BOOL flipped) {
    if (!port) return nil;
    return static_cast<NSGraphicsContext*>((new NSGraphicsContext(port, flipped))->autorelease());
}

NSGraphicsContext* NSGraphicsContext::currentContext() {
    return tCurrent;
}

void NSGraphicsContext::setCurrentContext(NSGraphicsContext* context) {
    if (context) context->retain();
    if (tCurrent) tCurrent->release();
    tCurrent = context;
}

void NSGraphicsContext::saveGraphicsState() {
    if (tCurrent) tCurrent->retain();
    tSaved.push_back(tCurrent);
}

void NSGraphicsContext::restoreGraphicsState() {
    if (tSaved.empty()) return;
    NSGraphicsContext* saved = tSaved.back();
    tSaved.pop_back();
    setCurrentContext(saved);
    if (saved) saved->release();
}
