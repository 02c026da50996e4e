#include <AppKit/NSArray.h>

NSArray::NSArray(std::initializer_list<id> objects) {
    for (id object : objects)
        if (object) mObjects.push_back(object->retain());
}

NSArray::~NSArray() {
    for (id object : mObjects)
        object->release();
}

NSArray* NSArray::arrayWithObjects(std::initializer_list<id> objects) {
    return static_cast<NSArray*>((new NSArray(objects))->autorelease());
}

id NSArray::objectAtIndex(NSUInteger index) const {
    return index < mObjects.size() ? mObjects[index] : nil;
}

NSUInteger NSArray::indexOfObject(id object) const {
    for (size_t i = 0; i < mObjects.size(); ++i)
        if (mObjects[i] == object || (object && mObjects[i]->isEqual(object))) return i;
    return NSUInteger(NSNotFound);
}

NSMutableArray* NSMutableArray::array() {
    return static_cast<NSMutableArray*>((new NSMutableArray)->autorelease());
}

void NSMutableArray::addObject(id object) {
    if (object) mObjects.push_back(object->retain());
}

void NSMutableArray::insertObject_atIndex(id object, NSUInteger index) {
    if (!object) return;
    if (index > mObjects.size()) index = mObjects.size();
    mObjects.insert(mObjects.begin() + static_cast<long>(index), object->retain());
}

void NSMutableArray::removeObject(id object) {
    for (size_t i = mObjects.size(); i-- > 0;)
        if (mObjects[i] == object || (object && mObjects[i]->isEqual(object)))
            removeObjectAtIndex(i);
}

void NSMutableArray::removeObjectAtIndex(NSUInteger index) {
    if (index >= mObjects.size()) return;
    id object = mObjects[index];
    mObjects.erase(mObjects.begin() + static_cast<long>(index));
    object->release();
}

void NSMutableArray::removeAllObjects() {
    std::vector<id> objects;
    objects.swap(mObjects);
    for (id object : objects)
        object->release();
}
