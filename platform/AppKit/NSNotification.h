#pragma once

// A notice sent to a delegate: what happened and to whom.
#include <AppKit/NSString.h>

class NSNotification : public NSObject {
public:
    // Retains name and object.
    NSNotification(NSString* name, id object)
        : mName(static_cast<NSString*>(name->retain())), mObject(object ? object->retain() : nil) {}
    NSString* name() const { return mName; }
    id object() const { return mObject; }

protected:
    ~NSNotification() override {
        mName->release();
        if (mObject) mObject->release();
    }

private:
    NSString* mName;
    id mObject;
};
