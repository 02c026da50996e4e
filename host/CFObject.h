#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <string>

// Holds one reference to a CoreFoundation object and releases it at the end of its life: the
// host's side of "Create and Copy hand the caller a reference".
class CFObject {
public:
    explicit CFObject(CFTypeRef object = nullptr) : mObject(object) {}
    ~CFObject() {
        if (mObject) CFRelease(mObject);
    }
    CFObject(const CFObject&) = delete;
    CFObject& operator=(const CFObject&) = delete;

    CFTypeRef Get() const { return mObject; }
    template <typename T>
    T As() const {
        return static_cast<T>(mObject);
    }
    bool Is(CFTypeID type) const { return mObject && CFGetTypeID(mObject) == type; }

private:
    CFTypeRef mObject;
};

// The text of a string as UTF-8; empty for NULL or for an object that is not a string.
inline std::string Utf8(CFTypeRef text) {
    if (!text || CFGetTypeID(text) != CFStringGetTypeID()) return "";
    auto string = static_cast<CFStringRef>(text);
    const CFIndex size =
        CFStringGetMaximumSizeForEncoding(CFStringGetLength(string), kCFStringEncodingUTF8) + 1;
    if (size <= 0) return "";
    std::string out(static_cast<size_t>(size), '\0');
    if (!CFStringGetCString(string, out.data(), size, kCFStringEncodingUTF8)) return "";
    out.resize(std::char_traits<char>::length(out.c_str()));
    return out;
}

// A new string of UTF-8 text (the caller owns it).
inline CFStringRef CreateCFString(const std::string& text) {
    return CFStringCreateWithCString(nullptr, text.c_str(), kCFStringEncodingUTF8);
}
