#include "HelperProcess_p.h"

#include <AppKit/NSString.h>
#include <AppKit/NSURL.h>
#include <AppKit/NSWorkspace.h>

namespace {

// How long a caller waits for xdg-open to say whether it could open the URL.
const double kOpenTimeout = 5.0;

} // namespace

NSWorkspace* NSWorkspace::sharedWorkspace() {
    static NSWorkspace* workspace = new NSWorkspace;
    return workspace;
}

BOOL NSWorkspace::openURL(NSURL* url) {
    if (!url) return NO;
    NSString* target = url->isFileURL() && url->path() ? url->path() : url->absoluteString();
    return openFile(target->UTF8String());
}

BOOL NSWorkspace::openFile(const char* path) {
    if (!path || !*path) return NO;
    appkit::HelperResult result = appkit::RunHelper({"xdg-open", path}, false, kOpenTimeout);
    if (!result.started) return NO;
    return result.exitStatus == 0 || result.exitStatus == -1;
}
