#include <AppKit/NSString.h>
#include <AppKit/NSURL.h>

#include <cctype>
#include <cstring>
#include <string>
#include <unistd.h>

NSURL::NSURL(NSString* text, NSString* path, bool file)
    : mText(static_cast<NSString*>(text->retain())),
      mPath(path ? static_cast<NSString*>(path->retain()) : nil), mFile(file) {}

NSURL::~NSURL() {
    mText->release();
    if (mPath) mPath->release();
}

namespace {

bool allowedInURL(unsigned char c) {
    if (c <= 0x20 || c >= 0x7F) return false;
    return !strchr("\"<>\\^`{|}", c);
}

// Percent-escapes what a path may hold but a URL may not.
std::string escapePath(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (allowedInURL(c) && c != '%' && c != '#' && c != '?') {
            out.push_back(static_cast<char>(c));
            continue;
        }
        out.push_back('%');
        out.push_back(kHex[c >> 4]);
        out.push_back(kHex[c & 15]);
    }
    return out;
}

} // namespace

NSURL* NSURL::URLWithString(NSString* text) {
    if (!text) return nil;
    const std::string& s = text->utf8();
    size_t colon = s.find(':');
    if (s.empty() || colon == std::string::npos || colon == 0 ||
        !isalpha(static_cast<unsigned char>(s[0])))
        return nil;
    for (size_t i = 0; i < colon; ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (!isalnum(c) && c != '+' && c != '-' && c != '.') return nil;
    }
    for (unsigned char c : s)
        if (!allowedInURL(c)) return nil;
    bool file = s.compare(0, 7, "file://") == 0;
    NSString* path = file ? NSString::stringWithUTF8String(s.c_str() + 7) : nil;
    return static_cast<NSURL*>((new NSURL(text, path, file))->autorelease());
}

NSURL* NSURL::fileURLWithPath(NSString* path) {
    if (!path || path->utf8().empty()) return nil;
    std::string absolute = path->utf8();
    if (absolute[0] != '/') {
        char cwd[4096];
        if (!getcwd(cwd, sizeof cwd)) return nil;
        absolute = std::string(cwd) + "/" + absolute;
    }
    NSString* text = NSString::stringWithUTF8String(("file://" + escapePath(absolute)).c_str());
    NSString* full = NSString::stringWithUTF8String(absolute.c_str());
    return static_cast<NSURL*>((new NSURL(text, full, true))->autorelease());
}

NSString* NSURL::path() const {
    return mPath;
}
