#pragma once

// Opening addresses and files with the desktop's own programs (xdg-open).
#include <AppKit/NSObject.h>

class NSURL;

class NSWorkspace : public NSObject {
public:
    static NSWorkspace* sharedWorkspace();
    // Hands the URL (a file URL as its path) to xdg-open. NO for a nil URL, when xdg-open
    // cannot be run (with a message on standard error) or when it reports failure; YES when it
    // opened the URL or is still busy with it after a few seconds.
    BOOL openURL(NSURL* url);
    BOOL openFile(const char* path);
};
