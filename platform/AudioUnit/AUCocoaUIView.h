#pragma once

// The protocol of an Audio Unit's Cocoa view factory: the class the CocoaUI property names. A
// host finds the class by name (NSClassFromString), makes one (class_createInstance), asks it
// for a view of the unit and puts that view in a window of its own.
#include <AppKit/AppKit.h>
#include <AudioUnit/AUComponent.h>

class AUCocoaUIBase {
public:
    virtual ~AUCocoaUIBase() = default;
    // The version of this protocol the factory implements (0).
    virtual unsigned interfaceVersion() = 0;
    // A new autoreleased view showing the unit, or nil; the preferred size may be ignored.
    virtual NSView* uiViewForAudioUnit_withSize(AudioUnit unit, NSSize preferredSize) = 0;
};
