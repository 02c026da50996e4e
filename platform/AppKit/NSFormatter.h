#pragma once

// Turns values into text and back, and judges text while it is typed. The base class accepts
// everything and converts nothing.
#include <AppKit/NSObject.h>

class NSString;

class NSFormatter : public NSObject {
public:
    // The text for the value, or nil.
    virtual NSString* stringForObjectValue(id) { return nil; }
    // Stores the value for string through object (a new autoreleased object); NO when it is not
    // valid, with a reason through error when given.
    virtual BOOL getObjectValue_forString_errorDescription(id* object, NSString* string,
                                                           NSString** error);
    // Whether partialString may stand as typed; a formatter may offer a replacement through
    // newString.
    virtual BOOL isPartialStringValid_newEditingString_errorDescription(NSString* partialString,
                                                                        NSString** newString,
                                                                        NSString** error);
};
