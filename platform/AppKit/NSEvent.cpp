#include <AppKit/NSEvent.h>
#include <AppKit/NSString.h>
#include <AppKit/NSWindow.h>

namespace {

NSString* retained(NSString* s) {
    return s ? static_cast<NSString*>(s->retain()) : nil;
}

} // namespace

NSEvent::~NSEvent() {
    if (mCharacters) mCharacters->release();
    if (mUnmodCharacters) mUnmodCharacters->release();
}

NSEvent* NSEvent::
    mouseEventWithType_location_modifierFlags_timestamp_windowNumber_context_eventNumber_clickCount_pressure(
        NSEventType type, NSPoint location, NSUInteger flags, double time, NSInteger windowNumber,
        NSGraphicsContext*, NSInteger, NSInteger clickCount, float) {
    auto* e = new NSEvent(type, location, flags, time, windowNumber);
    e->mClickCount = clickCount;
    return static_cast<NSEvent*>(e->autorelease());
}

NSEvent* NSEvent::
    keyEventWithType_location_modifierFlags_timestamp_windowNumber_context_characters_charactersIgnoringModifiers_isARepeat_keyCode(
        NSEventType type, NSPoint location, NSUInteger flags, double time, NSInteger windowNumber,
        NSGraphicsContext*, NSString* characters, NSString* unmodCharacters, BOOL isARepeat,
        unsigned short keyCode) {
    auto* e = new NSEvent(type, location, flags, time, windowNumber);
    e->mCharacters = retained(characters);
    e->mUnmodCharacters = retained(unmodCharacters);
    e->mRepeat = isARepeat;
    e->mKeyCode = keyCode;
    return static_cast<NSEvent*>(e->autorelease());
}

NSEvent* NSEvent::
    otherEventWithType_location_modifierFlags_timestamp_windowNumber_context_subtype_data1_data2(
        NSEventType type, NSPoint location, NSUInteger flags, double time, NSInteger windowNumber,
        NSGraphicsContext*, short subtype, NSInteger data1, NSInteger data2) {
    auto* e = new NSEvent(type, location, flags, time, windowNumber);
    e->mSubtype = subtype;
    e->mData1 = data1;
    e->mData2 = data2;
    return static_cast<NSEvent*>(e->autorelease());
}

NSEvent* NSEvent::scrollWheelEventWithLocation_modifierFlags_windowNumber_deltaX_deltaY(
    NSPoint location, NSUInteger flags, NSInteger windowNumber, CGFloat deltaX, CGFloat deltaY) {
    auto* e = new NSEvent(NSScrollWheel, location, flags, 0, windowNumber);
    e->mDeltaX = deltaX;
    e->mDeltaY = deltaY;
    return static_cast<NSEvent*>(e->autorelease());
}

NSWindow* NSEvent::window() const {
    return mWindowNumber ? NSWindow::windowWithNumber(mWindowNumber) : nil;
}

NSInteger NSEvent::buttonNumber() const {
    switch (mType) {
    case NSLeftMouseDown:
    case NSLeftMouseUp:
    case NSLeftMouseDragged: return 0;
    case NSRightMouseDown:
    case NSRightMouseUp:
    case NSRightMouseDragged: return 1;
    default: return 2;
    }
}
