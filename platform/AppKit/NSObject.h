#pragma once

// The root class: reference counting, autorelease pools, target-action calls and the registry
// of classes by name.
#include <AppKit/NSObjCRuntime.h>

class NSString;

// Every Cocoa object. A new object (the C++ form of alloc + init) holds one reference, owned by
// its creator; retain adds one, release drops one and deletes the object at zero, autorelease
// drops one when the innermost autorelease pool drains. The destructor is dealloc: it runs only
// through release, never through delete.
class NSObject {
public:
    NSObject();
    NSObject(const NSObject&) = delete;
    NSObject& operator=(const NSObject&) = delete;

    id retain();
    void release();
    id autorelease();
    NSUInteger retainCount() const { return mRetainCount; }

    // Identity unless a class compares by content.
    virtual BOOL isEqual(id object) const;
    // A new autoreleased description ("<ClassName 0x...>" unless a class says more).
    virtual NSString* description() const;

    BOOL respondsToSelector(SEL selector) const;
    // Calls the action when this object responds to it; nothing otherwise.
    void performSelector_withObject(SEL selector, id object);
    // The same on this thread's run loop after delay seconds (in the common modes). The object
    // and the argument are retained until then.
    void performSelector_withObject_afterDelay(SEL selector, id object, double delay);

protected:
    virtual ~NSObject();

private:
    NSUInteger mRetainCount = 1;
};

// A pool that autoreleased objects go to; pools nest, innermost first. Making one pushes it;
// drain (or release) releases what it holds and pops it and any pool made after it. Objects
// autoreleased with no pool open go to a pool the run loop drains at each pass.
class NSAutoreleasePool : public NSObject {
public:
    NSAutoreleasePool();
    void drain();
    // Takes over one reference of object. Answers object.
    static id addObject(id object);
    // Drains the run loop's outer pool (called by the run loop; exposed for programs that run
    // no loop).
    static void drainOuterPool();

protected:
    ~NSAutoreleasePool() override;
};

// The registry of classes by name. A module registers each class a host may ask for by name
// (a view factory) while it loads, with a static NSClassRegistration, which takes the class
// away again when the module is unloaded.
struct NSClassRecord {
    const char* name;
    // alloc + init: a new object holding one reference for the caller.
    id (*createInstance)();
};

// The registered class named name, or nil.
Class NSClassFromString(NSString* name);
Class NSClassFromCString(const char* name);
NSString* NSStringFromClass(Class cls);
const char* class_getName(Class cls);
// [[cls alloc] init]: a new object the caller owns, or nil for a nil class.
id class_createInstance(Class cls, size_t extraBytes);

// Registers T (made with its default constructor) under name for the life of this object.
// Registering a name that is taken answers the earlier class until it is unregistered.
bool NSRegisterClass(const NSClassRecord* record);
void NSUnregisterClass(const NSClassRecord* record);

template <class T>
class NSClassRegistration {
public:
    explicit NSClassRegistration(const char* name) : mRecord{name, &create} {
        NSRegisterClass(&mRecord);
    }
    ~NSClassRegistration() { NSUnregisterClass(&mRecord); }
    NSClassRegistration(const NSClassRegistration&) = delete;
    NSClassRegistration& operator=(const NSClassRegistration&) = delete;
    Class cls() const { return &mRecord; }

private:
    static id create() { return new T(); }
    NSClassRecord mRecord;
};
