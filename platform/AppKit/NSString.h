#pragma once

// Immutable text: UTF-8 inside, UTF-16 units outside (length, characterAtIndex), as Cocoa
// counts them.
#include <AppKit/NSObject.h>
#include <CoreFoundation/CFString.h>

#include <string>

class NSString : public NSObject {
public:
    // initWithUTF8String: (text may be NULL: the empty string).
    explicit NSString(const char* text = "");
    // Bridged from a CoreFoundation string (NULL: the empty string).
    explicit NSString(CFStringRef text);

    // New autoreleased strings.
    static NSString* stringWithUTF8String(const char* text);
    static NSString* stringWithCFString(CFStringRef text);

    // Valid while the string lives.
    const char* UTF8String() const { return mText.c_str(); }
    // A new CoreFoundation string the caller releases.
    CFStringRef copyCFString() const;
    NSUInteger length() const;
    // The UTF-16 unit at index, 0 past the end.
    unichar characterAtIndex(NSUInteger index) const;
    // The leading decimal integer, 0 when there is none (saturating at INT_MIN and INT_MAX).
    int intValue() const;
    double doubleValue() const;
    BOOL isEqualToString(const NSString* other) const;
    BOOL isEqual(id object) const override;
    NSString* description() const override;
    // The text without its last path component; "" for a name without a slash, "/" for "/x".
    NSString* stringByDeletingLastPathComponent() const;
    NSString* lastPathComponent() const;
    NSString* pathExtension() const;
    NSString* stringByDeletingPathExtension() const;

    const std::string& utf8() const { return mText; }

private:
    std::string mText;
};
