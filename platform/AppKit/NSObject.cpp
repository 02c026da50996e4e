#include <AppKit/NSObject.h>
#include <AppKit/NSString.h>
#include <AppKit/NSTimer.h>

#include <cstdio>
#include <cstring>
#include <vector>

// ---- NSObject ----

NSObject::NSObject() = default;
NSObject::~NSObject() = default;

id NSObject::retain() {
    ++mRetainCount;
    return this;
}

void NSObject::release() {
    if (--mRetainCount == 0) delete this;
}

id NSObject::autorelease() {
    return NSAutoreleasePool::addObject(this);
}

BOOL NSObject::isEqual(id object) const {
    return object == this;
}

NSString* NSObject::description() const {
    char text[64];
    snprintf(text, sizeof text, "<NSObject %p>", static_cast<const void*>(this));
    return NSString::stringWithUTF8String(text);
}

BOOL NSObject::respondsToSelector(SEL selector) const {
    return selector.method && selector.respondedBy && selector.respondedBy(this);
}

void NSObject::performSelector_withObject(SEL selector, id object) {
    if (respondsToSelector(selector)) (this->*selector.method)(object);
}

namespace {

// The pending call of a delayed perform: a one-shot timer whose target is this record.
class DelayedPerform : public NSObject {
public:
    DelayedPerform(NSObject* target, SEL selector, id argument)
        : mTarget(target->retain()), mSelector(selector),
          mArgument(argument ? argument->retain() : nil) {}
    void fire(id) { mTarget->performSelector_withObject(mSelector, mArgument); }

protected:
    ~DelayedPerform() override {
        mTarget->release();
        if (mArgument) mArgument->release();
    }

private:
    id mTarget;
    SEL mSelector;
    id mArgument;
};

} // namespace

void NSObject::performSelector_withObject_afterDelay(SEL selector, id object, double delay) {
    auto* pending = new DelayedPerform(this, selector, object);
    NSTimer* timer = NSTimer::timerWithTimeInterval_target_selector_userInfo_repeats(
        delay, pending, NSSelector(&DelayedPerform::fire), nil, NO);
    NSRunLoop::currentRunLoop()->addTimer_forMode(timer, NSRunLoopCommonModes);
    pending->release();
}

// ---- NSAutoreleasePool ----

namespace {

// The open pools, innermost last, each with the objects it will release. Entry 0 is the outer
// pool the run loop drains.
struct PoolStack {
    std::vector<NSAutoreleasePool*> pools{nullptr};
    std::vector<std::vector<id>> objects{1};
};

thread_local PoolStack tPools;

void releaseObjects(std::vector<id>& objects) {
    // Releasing may autorelease more objects into the same pool: take them in turns.
    while (!objects.empty()) {
        std::vector<id> batch;
        batch.swap(objects);
        for (id object : batch)
            object->release();
    }
}

} // namespace

NSAutoreleasePool::NSAutoreleasePool() {
    tPools.pools.push_back(this);
    tPools.objects.emplace_back();
}

NSAutoreleasePool::~NSAutoreleasePool() = default;

void NSAutoreleasePool::drain() {
    PoolStack& s = tPools;
    size_t level = 0;
    for (size_t i = 1; i < s.pools.size(); ++i)
        if (s.pools[i] == this) level = i;
    if (level == 0) return;
    while (s.pools.size() > level) {
        std::vector<id> objects;
        objects.swap(s.objects.back());
        s.pools.pop_back();
        s.objects.pop_back();
        // Objects autoreleased while these are released go to the enclosing pool.
        for (id object : objects)
            object->release();
    }
    release();
}

id NSAutoreleasePool::addObject(id object) {
    if (object) tPools.objects.back().push_back(object);
    return object;
}

void NSAutoreleasePool::drainOuterPool() {
    if (tPools.pools.size() != 1) return;
    releaseObjects(tPools.objects[0]);
}

// ---- The class registry ----

namespace {

std::vector<const NSClassRecord*>& registry() {
    static std::vector<const NSClassRecord*> records;
    return records;
}

} // namespace

bool NSRegisterClass(const NSClassRecord* record) {
    if (!record || !record->name || !record->createInstance) return false;
    registry().push_back(record);
    return true;
}

void NSUnregisterClass(const NSClassRecord* record) {
    auto& records = registry();
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i] != record) continue;
        records.erase(records.begin() + static_cast<long>(i));
        return;
    }
}

Class NSClassFromCString(const char* name) {
    if (!name) return nil;
    for (const NSClassRecord* record : registry())
        if (strcmp(record->name, name) == 0) return record;
    return nil;
}

Class NSClassFromString(NSString* name) {
    return name ? NSClassFromCString(name->UTF8String()) : nil;
}

NSString* NSStringFromClass(Class cls) {
    return cls ? NSString::stringWithUTF8String(cls->name) : nil;
}

const char* class_getName(Class cls) {
    return cls ? cls->name : "nil";
}

id class_createInstance(Class cls, size_t) {
    return cls ? cls->createInstance() : nil;
}
