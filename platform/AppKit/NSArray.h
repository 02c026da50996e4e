#pragma once

// Ordered lists of objects, each retained while listed.
#include <AppKit/NSObject.h>

#include <initializer_list>
#include <vector>

class NSArray : public NSObject {
public:
    NSArray() = default;
    NSArray(std::initializer_list<id> objects);

    // A new autoreleased array of these objects.
    static NSArray* arrayWithObjects(std::initializer_list<id> objects);

    NSUInteger count() const { return mObjects.size(); }
    // nil past the end.
    id objectAtIndex(NSUInteger index) const;
    NSUInteger indexOfObject(id object) const;
    BOOL containsObject(id object) const { return indexOfObject(object) != NSUInteger(NSNotFound); }

protected:
    ~NSArray() override;
    std::vector<id> mObjects;
};

class NSMutableArray : public NSArray {
public:
    NSMutableArray() = default;
    static NSMutableArray* array();
    void addObject(id object);
    void insertObject_atIndex(id object, NSUInteger index);
    void removeObject(id object);
    void removeObjectAtIndex(NSUInteger index);
    void removeAllObjects();
};
