#include "CoreFoundation/CFRuntime_p.h"

#include <CoreFoundation/CFString.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Formatting for CFStringCreateWithFormat: the format is walked conversion by conversion; %@
// inserts an object's description, every other conversion is handed to snprintf with its own
// argument type, so the C library's rules (flags, width, precision) apply unchanged.
namespace {

// A growing UTF-8 buffer; a failed growth marks it failed and drops what follows.
class TextBuffer {
public:
    ~TextBuffer() { free(mData); }

    void append(const char* text, size_t length) {
        if (mFailed || !reserve(length)) return;
        memcpy(mData + mLength, text, length);
        mLength += length;
    }

    // Room for `extra` more bytes plus a NUL.
    bool reserve(size_t extra) {
        if (mFailed) return false;
        if (mLength + extra + 1 <= mCapacity) return true;
        size_t wanted = mCapacity ? mCapacity : 64;
        while (wanted < mLength + extra + 1) {
            if (wanted > (static_cast<size_t>(-1) >> 2)) return fail();
            wanted *= 2;
        }
        char* grown = static_cast<char*>(realloc(mData, wanted));
        if (!grown) return fail();
        mData = grown;
        mCapacity = wanted;
        return true;
    }

    char* end() { return mData + mLength; }
    void grew(size_t length) { mLength += length; }
    bool failed() const { return mFailed; }
    const char* data() const { return mData ? mData : ""; }
    size_t length() const { return mLength; }

private:
    bool fail() {
        mFailed = true;
        return false;
    }

    char* mData = nullptr;
    size_t mLength = 0;
    size_t mCapacity = 0;
    bool mFailed = false;
};

enum class Length { None, Char, Short, Long, LongLong, LongDouble, Size, PtrDiff, IntMax };

// Appends snprintf's output for one conversion whose directive (NUL-terminated) takes one
// argument.
template <typename T>
void appendFormatted(TextBuffer& out, const char* directive, bool hasWidth, int width,
                     bool hasPrecision, int precision, T value) {
    char small[128];
    int needed;
    if (hasWidth && hasPrecision)
        needed = snprintf(small, sizeof small, directive, width, precision, value);
    else if (hasWidth)
        needed = snprintf(small, sizeof small, directive, width, value);
    else if (hasPrecision)
        needed = snprintf(small, sizeof small, directive, precision, value);
    else
        needed = snprintf(small, sizeof small, directive, value);
    if (needed < 0) return;
    size_t count = static_cast<size_t>(needed);
    if (count < sizeof small) {
        out.append(small, count);
        return;
    }
    if (!out.reserve(count)) return;
    if (hasWidth && hasPrecision)
        snprintf(out.end(), count + 1, directive, width, precision, value);
    else if (hasWidth)
        snprintf(out.end(), count + 1, directive, width, value);
    else if (hasPrecision)
        snprintf(out.end(), count + 1, directive, precision, value);
    else
        snprintf(out.end(), count + 1, directive, value);
    out.grew(count);
}

void appendObject(TextBuffer& out, CFTypeRef object) {
    if (!object) {
        out.append("(null)", 6);
        return;
    }
    CFStringRef description = CFCopyDescription(object);
    size_t length = 0;
    const char* text = CFStringUTF8(description, &length);
    if (text) out.append(text, length);
    if (description) CFRelease(description);
}

} // namespace

CFStringRef CFStringCreateWithFormatAndArguments(CFAllocatorRef, CFDictionaryRef,
                                                 CFStringRef format, va_list arguments) {
    size_t formatLength = 0;
    const char* f = CFStringUTF8(format, &formatLength);
    if (!f) return nullptr;
    va_list args;
    va_copy(args, arguments);
    TextBuffer out;
    size_t i = 0;
    while (i < formatLength && !out.failed()) {
        const char* percent = static_cast<const char*>(memchr(f + i, '%', formatLength - i));
        size_t literalEnd = percent ? static_cast<size_t>(percent - f) : formatLength;
        out.append(f + i, literalEnd - i);
        if (!percent) break;
        size_t start = literalEnd;
        size_t p = start + 1;
        // Flags, width, precision, length modifier.
        while (p < formatLength && strchr("-+ #0'", f[p]))
            ++p;
        bool hasWidth = false;
        int width = 0;
        if (p < formatLength && f[p] == '*') {
            hasWidth = true;
            width = va_arg(args, int);
            ++p;
        } else {
            while (p < formatLength && f[p] >= '0' && f[p] <= '9')
                ++p;
        }
        bool hasPrecision = false;
        int precision = 0;
        if (p < formatLength && f[p] == '.') {
            ++p;
            if (p < formatLength && f[p] == '*') {
                hasPrecision = true;
                precision = va_arg(args, int);
                ++p;
            } else {
                while (p < formatLength && f[p] >= '0' && f[p] <= '9')
                    ++p;
            }
        }
        Length length = Length::None;
        if (p < formatLength) {
            switch (f[p]) {
            case 'h':
                length = Length::Short;
                if (p + 1 < formatLength && f[p + 1] == 'h') {
                    length = Length::Char;
                    ++p;
                }
                ++p;
                break;
            case 'l':
                length = Length::Long;
                if (p + 1 < formatLength && f[p + 1] == 'l') {
                    length = Length::LongLong;
                    ++p;
                }
                ++p;
                break;
            case 'q':
                length = Length::LongLong;
                ++p;
                break;
            case 'L':
                length = Length::LongDouble;
                ++p;
                break;
            case 'z':
                length = Length::Size;
                ++p;
                break;
            case 't':
                length = Length::PtrDiff;
                ++p;
                break;
            case 'j':
                length = Length::IntMax;
                ++p;
                break;
            default: break;
            }
        }
        if (p >= formatLength) {
            out.append(f + start, formatLength - start); // a dangling '%' is kept as text
            break;
        }
        char conversion = f[p];
        i = p + 1;
        if (conversion == '%') {
            out.append("%", 1);
            continue;
        }
        if (conversion == '@') {
            appendObject(out, va_arg(args, CFTypeRef));
            continue;
        }
        // The directive handed to snprintf: the original text, with the length modifier kept.
        char directive[64];
        size_t directiveLength = i - start;
        if (directiveLength >= sizeof directive) {
            out.append(f + start, directiveLength); // absurdly long directive: kept as text
            continue;
        }
        memcpy(directive, f + start, directiveLength);
        directive[directiveLength] = '\0';
        switch (conversion) {
        case 'd':
        case 'i':
            switch (length) {
            case Length::Long:
                appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                                va_arg(args, long));
                break;
            case Length::LongLong:
                appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                                va_arg(args, long long));
                break;
            case Length::Size:
                appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                                va_arg(args, ptrdiff_t));
                break;
            case Length::PtrDiff:
                appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                                va_arg(args, ptrdiff_t));
                break;
            case Length::IntMax:
                appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                                va_arg(args, intmax_t));
                break;
            default:
                appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                                va_arg(args, int));
                break;
            }
            break;
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            switch (length) {
            case Length::Long:
                appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                                va_arg(args, unsigned long));
                break;
            case Length::LongLong:
                appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                                va_arg(args, unsigned long long));
                break;
            case Length::Size:
                appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                                va_arg(args, size_t));
                break;
            case Length::PtrDiff:
                appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                                va_arg(args, size_t));
                break;
            case Length::IntMax:
                appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                                va_arg(args, uintmax_t));
                break;
            default:
                appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                                va_arg(args, unsigned int));
                break;
            }
            break;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            if (length == Length::LongDouble)
                appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                                va_arg(args, long double));
            else
                appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                                va_arg(args, double));
            break;
        case 'c':
            appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                            va_arg(args, int));
            break;
        case 's': {
            const char* text = va_arg(args, const char*);
            appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                            text ? text : "(null)");
            break;
        }
        case 'p':
            appendFormatted(out, directive, hasWidth, width, hasPrecision, precision,
                            va_arg(args, void*));
            break;
        case 'n': (void)va_arg(args, void*); break; // writes nothing: a count is no use here
        default:
            out.append(f + start, directiveLength); // unknown conversion: kept as text
            break;
        }
    }
    va_end(args);
    if (out.failed()) return nullptr;
    return CFStringCreateWithUTF8(out.data(), out.length());
}

CFStringRef CFStringCreateWithFormat(CFAllocatorRef alloc, CFDictionaryRef formatOptions,
                                     CFStringRef format, ...) {
    va_list arguments;
    va_start(arguments, format);
    CFStringRef result =
        CFStringCreateWithFormatAndArguments(alloc, formatOptions, format, arguments);
    va_end(arguments);
    return result;
}
