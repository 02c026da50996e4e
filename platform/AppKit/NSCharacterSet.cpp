#include <AppKit/NSCharacterSet.h>
#include <AppKit/NSString.h>

NSCharacterSet* NSCharacterSet::characterSetWithCharactersInString(NSString* characters) {
    auto* set = new NSMutableCharacterSet;
    set->addCharactersInString(characters);
    return static_cast<NSCharacterSet*>(set->autorelease());
}

void NSMutableCharacterSet::addCharactersInString(NSString* characters) {
    if (!characters) return;
    for (NSUInteger i = 0, n = characters->length(); i < n; ++i)
        mMembers.insert(characters->characterAtIndex(i));
}

void NSMutableCharacterSet::removeCharactersInString(NSString* characters) {
    if (!characters) return;
    for (NSUInteger i = 0, n = characters->length(); i < n; ++i)
        mMembers.erase(characters->characterAtIndex(i));
}
