#include "CoreFoundation/CFRuntime_p.h"
#include "UTF8_p.h"

#include <AppKit/NSString.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

// The text as UTF-16 units; invalid bytes, and code points beyond Unicode, read as U+FFFD.
std::u16string utf16(const std::string& text) {
    std::u16string out;
    for (char32_t cp : appkit::DecodeUTF8(text)) {
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp > 0xFFFF ? 0xFFFD : cp));
        }
    }
    return out;
}

NSString* autoreleased(std::string text) {
    auto* s = new NSString(text.c_str());
    return static_cast<NSString*>(s->autorelease());
}

} // namespace

NSString::NSString(const char* text) : mText(text ? text : "") {}

NSString::NSString(CFStringRef text) {
    const char* bytes = CFStringUTF8(text);
    if (bytes) mText = bytes;
}

NSString* NSString::stringWithUTF8String(const char* text) {
    if (!text) return nil;
    return static_cast<NSString*>((new NSString(text))->autorelease());
}

NSString* NSString::stringWithCFString(CFStringRef text) {
    return static_cast<NSString*>((new NSString(text))->autorelease());
}

CFStringRef NSString::copyCFString() const {
    return CFStringCreateWithUTF8(mText.data(), mText.size());
}

NSUInteger NSString::length() const {
    return utf16(mText).size();
}

unichar NSString::characterAtIndex(NSUInteger index) const {
    std::u16string units = utf16(mText);
    return index < units.size() ? units[index] : 0;
}

int NSString::intValue() const {
    errno = 0;
    long value = strtol(mText.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

double NSString::doubleValue() const {
    return strtod(mText.c_str(), nullptr);
}

BOOL NSString::isEqualToString(const NSString* other) const {
    return other && other->mText == mText;
}

BOOL NSString::isEqual(id object) const {
    return isEqualToString(dynamic_cast<const NSString*>(object));
}

NSString* NSString::description() const {
    return autoreleased(mText);
}

NSString* NSString::stringByDeletingLastPathComponent() const {
    size_t slash = mText.find_last_of('/');
    if (slash == std::string::npos) return autoreleased("");
    if (slash == 0) return autoreleased("/");
    return autoreleased(mText.substr(0, slash));
}

NSString* NSString::lastPathComponent() const {
    size_t slash = mText.find_last_of('/');
    return autoreleased(slash == std::string::npos ? mText : mText.substr(slash + 1));
}

NSString* NSString::pathExtension() const {
    std::string last = lastPathComponent()->mText;
    size_t dot = last.find_last_of('.');
    return autoreleased(dot == std::string::npos ? "" : last.substr(dot + 1));
}

NSString* NSString::stringByDeletingPathExtension() const {
    size_t slash = mText.find_last_of('/');
    size_t dot = mText.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return autoreleased(mText);
    return autoreleased(mText.substr(0, dot));
}
