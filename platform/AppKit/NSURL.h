#pragma once

// Web addresses and file URLs.
#include <AppKit/NSObject.h>

class NSString;

class NSURL : public NSObject {
public:
    // A new autoreleased URL, or nil when the text is not a URL: empty, without a scheme, or
    // holding characters a URL cannot (spaces, quotes, angle brackets, braces, non-ASCII...).
    static NSURL* URLWithString(NSString* text);
    // A new autoreleased file URL for the path (made absolute against the current directory),
    // or nil for an empty path.
    static NSURL* fileURLWithPath(NSString* path);

    NSString* absoluteString() const { return mText; }
    // The file path of a file URL, nil otherwise.
    NSString* path() const;
    BOOL isFileURL() const { return mFile; }

protected:
    NSURL(NSString* text, NSString* path, bool file);
    ~NSURL() override;

private:
    NSString* mText;
    NSString* mPath;
    bool mFile;
};
