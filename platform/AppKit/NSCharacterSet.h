#pragma once

// Sets of UTF-16 characters, for filtering what a text field accepts.
#include <AppKit/NSObject.h>

#include <set>

class NSString;

class NSCharacterSet : public NSObject {
public:
    NSCharacterSet() = default;
    // A new autoreleased set of the string's characters.
    static NSCharacterSet* characterSetWithCharactersInString(NSString* characters);
    BOOL characterIsMember(unichar c) const { return mMembers.count(c) != 0; }

protected:
    std::set<unichar> mMembers;
};

class NSMutableCharacterSet : public NSCharacterSet {
public:
    NSMutableCharacterSet() = default;
    void addCharactersInString(NSString* characters);
    void removeCharactersInString(NSString* characters);
};
