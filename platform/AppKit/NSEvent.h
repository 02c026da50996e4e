#pragma once

// An input event: what happened, where (in the window's base coordinates: origin at the
// content's bottom left, y up), with which modifier keys, buttons, clicks, wheel steps or keys.
#include <AppKit/NSGeometry.h>
#include <AppKit/NSObject.h>

class NSString;
class NSWindow;
class NSGraphicsContext;

typedef NSUInteger NSEventType;
enum {
    NSLeftMouseDown = 1,
    NSLeftMouseUp = 2,
    NSRightMouseDown = 3,
    NSRightMouseUp = 4,
    NSMouseMoved = 5,
    NSLeftMouseDragged = 6,
    NSRightMouseDragged = 7,
    NSMouseEntered = 8,
    NSMouseExited = 9,
    NSKeyDown = 10,
    NSKeyUp = 11,
    NSFlagsChanged = 12,
    NSApplicationDefined = 15,
    NSScrollWheel = 22,
    NSOtherMouseDown = 25,
    NSOtherMouseUp = 26,
    NSOtherMouseDragged = 27
};

// Modifier flags. On X, Caps Lock is the Lock modifier, Shift and Control are themselves,
// Option is Alt (Mod1) and Command is Super (Mod4).
enum {
    NSAlphaShiftKeyMask = 1 << 16,
    NSShiftKeyMask = 1 << 17,
    NSControlKeyMask = 1 << 18,
    NSAlternateKeyMask = 1 << 19,
    NSCommandKeyMask = 1 << 20,
    NSNumericPadKeyMask = 1 << 21,
    NSFunctionKeyMask = 1 << 23,
    NSDeviceIndependentModifierFlagsMask = 0xffff0000UL
};

// The characters Cocoa reports for keys that type none.
enum {
    NSUpArrowFunctionKey = 0xF700,
    NSDownArrowFunctionKey = 0xF701,
    NSLeftArrowFunctionKey = 0xF702,
    NSRightArrowFunctionKey = 0xF703,
    NSF1FunctionKey = 0xF704,
    NSDeleteFunctionKey = 0xF728,
    NSHomeFunctionKey = 0xF729,
    NSEndFunctionKey = 0xF72B,
    NSPageUpFunctionKey = 0xF72C,
    NSPageDownFunctionKey = 0xF72D
};

class NSEvent : public NSObject {
public:
    // Mouse events (down, up, dragged, moved). windowNumber names the window (0: none).
    static NSEvent*
    mouseEventWithType_location_modifierFlags_timestamp_windowNumber_context_eventNumber_clickCount_pressure(
        NSEventType type, NSPoint location, NSUInteger flags, double time, NSInteger windowNumber,
        NSGraphicsContext* context, NSInteger eventNumber, NSInteger clickCount, float pressure);
    // Key events; keyCode is the Mac's virtual key code.
    static NSEvent*
    keyEventWithType_location_modifierFlags_timestamp_windowNumber_context_characters_charactersIgnoringModifiers_isARepeat_keyCode(
        NSEventType type, NSPoint location, NSUInteger flags, double time, NSInteger windowNumber,
        NSGraphicsContext* context, NSString* characters, NSString* unmodCharacters, BOOL isARepeat,
        unsigned short keyCode);
    static NSEvent*
    otherEventWithType_location_modifierFlags_timestamp_windowNumber_context_subtype_data1_data2(
        NSEventType type, NSPoint location, NSUInteger flags, double time, NSInteger windowNumber,
        NSGraphicsContext* context, short subtype, NSInteger data1, NSInteger data2);
    // Not in Cocoa (which makes wheel events only from hardware): a wheel event, deltaY > 0
    // for a step away from the user.
    static NSEvent* scrollWheelEventWithLocation_modifierFlags_windowNumber_deltaX_deltaY(
        NSPoint location, NSUInteger flags, NSInteger windowNumber, CGFloat deltaX, CGFloat deltaY);

    NSEventType type() const { return mType; }
    NSPoint locationInWindow() const { return mLocation; }
    NSUInteger modifierFlags() const { return mFlags; }
    double timestamp() const { return mTime; }
    NSInteger windowNumber() const { return mWindowNumber; }
    // The window with that number, or nil.
    NSWindow* window() const;
    NSInteger clickCount() const { return mClickCount; }
    NSInteger buttonNumber() const;
    CGFloat deltaX() const { return mDeltaX; }
    CGFloat deltaY() const { return mDeltaY; }
    unsigned short keyCode() const { return mKeyCode; }
    NSString* characters() const { return mCharacters; }
    NSString* charactersIgnoringModifiers() const { return mUnmodCharacters; }
    BOOL isARepeat() const { return mRepeat; }
    short subtype() const { return mSubtype; }
    NSInteger data1() const { return mData1; }
    NSInteger data2() const { return mData2; }

protected:
    NSEvent() = default;
    ~NSEvent() override;

private:
    // What every kind of event carries.
    NSEvent(NSEventType type, NSPoint location, NSUInteger flags, double time,
            NSInteger windowNumber)
        : mType(type), mLocation(location), mFlags(flags), mTime(time),
          mWindowNumber(windowNumber) {}

    NSEventType mType = 0;
    NSPoint mLocation{0, 0};
    NSUInteger mFlags = 0;
    double mTime = 0;
    NSInteger mWindowNumber = 0;
    NSInteger mClickCount = 0;
    CGFloat mDeltaX = 0, mDeltaY = 0;
    unsigned short mKeyCode = 0;
    NSString* mCharacters = nil;
    NSString* mUnmodCharacters = nil;
    BOOL mRepeat = NO;
    short mSubtype = 0;
    NSInteger mData1 = 0, mData2 = 0;
};
