#pragma once

// The base vocabulary of Cocoa in C++: object pointers, booleans, integers, classes and
// selectors. See <AppKit/AppKit.h> for how Objective-C maps onto these.
#include <CoreGraphics/CGBase.h>

#include <limits.h>

class NSObject;
typedef NSObject* id;

#ifndef nil
#define nil nullptr
#endif

typedef bool BOOL;
#ifndef YES
#define YES true
#define NO false
#endif

typedef long NSInteger;
typedef unsigned long NSUInteger;
static const NSInteger NSNotFound = LONG_MAX;

typedef uint16_t unichar;

// A class known by name: what NSClassFromString answers. The registry owns the records.
struct NSClassRecord;
typedef const NSClassRecord* Class;

// A selector: an action method of one class, taking the sender. An object responds to it when
// it is of that class (or a subclass); the call is then made through the method pointer.
struct SEL {
    void (NSObject::*method)(id sender);
    bool (*respondedBy)(const NSObject* object);
    bool operator==(const SEL& other) const { return method == other.method; }
    bool operator!=(const SEL& other) const { return !(*this == other); }
};

// @selector(name:) of the class T, written NSSelector(&T::name).
template <class T>
SEL NSSelector(void (T::*method)(id sender)) {
    return SEL{static_cast<void (NSObject::*)(id)>(method),
               [](const NSObject* object) { return dynamic_cast<const T*>(object) != nullptr; }};
}
