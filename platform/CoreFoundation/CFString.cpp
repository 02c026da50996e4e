#include "CoreFoundation/CFRuntime_p.h"

#include <CoreFoundation/CFString.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>

// A string: its UTF-8 bytes, NUL-terminated, stored in the same block as the header, and its
// length in UTF-16 code units, counted once at creation.
struct __CFString {
    CFRuntimeBase base;
    size_t byteLength;
    CFIndex utf16Length;
    char bytes[1];
};

namespace {

Boolean stringEqual(CFTypeRef cf1, CFTypeRef cf2);
CFHashCode stringHash(CFTypeRef cf);
CFStringRef stringCopyDescription(CFTypeRef cf);

const CFRuntimeClass kStringClass = {kCFRuntimeIDString, "CFString", nullptr,
                                     stringEqual,        stringHash, stringCopyDescription};

const __CFString* asString(CFStringRef str) {
    return CFRuntimeIsA(str, &kStringClass) ? str : nullptr;
}

// Decodes the code point at bytes[i], advancing i; -1 for a malformed sequence (overlong forms,
// surrogates and values above U+10FFFF included).
long decodeUTF8(const unsigned char* bytes, size_t length, size_t& i) {
    unsigned char lead = bytes[i];
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int extra;
    long value;
    long minimum;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return -1;
    }
    if (length - i <= static_cast<size_t>(extra)) return -1;
    for (int k = 1; k <= extra; ++k) {
        unsigned char next = bytes[i + k];
        if ((next & 0xC0) != 0x80) return -1;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return -1;
    i += extra + 1;
    return value;
}

size_t encodeUTF8(unsigned long cp, char* out) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (cp >> 12));
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (cp >> 18));
    out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

// The UTF-16 length of valid UTF-8, or -1 when it is not valid.
CFIndex utf16LengthOf(const char* bytes, size_t length) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    CFIndex units = 0;
    for (size_t i = 0; i < length;) {
        long cp = decodeUTF8(data, length, i);
        if (cp < 0) return -1;
        units += cp >= 0x10000 ? 2 : 1;
    }
    return units;
}

// Walks a string's UTF-16 code units in order.
class UTF16Reader {
public:
    explicit UTF16Reader(const __CFString* str)
        : mBytes(reinterpret_cast<const unsigned char*>(str->bytes)), mLength(str->byteLength) {}

    bool done() const { return mPendingLow == 0 && mPos >= mLength; }

    UniChar next() {
        if (mPendingLow) {
            UniChar low = mPendingLow;
            mPendingLow = 0;
            return low;
        }
        long cp = decodeUTF8(mBytes, mLength, mPos); // valid: checked at creation
        if (cp < 0x10000) return static_cast<UniChar>(cp);
        cp -= 0x10000;
        mPendingLow = static_cast<UniChar>(0xDC00 + (cp & 0x3FF));
        return static_cast<UniChar>(0xD800 + (cp >> 10));
    }

private:
    const unsigned char* mBytes;
    size_t mLength;
    size_t mPos = 0;
    UniChar mPendingLow = 0;
};

__CFString* allocateString(size_t byteLength) {
    if (byteLength > static_cast<size_t>(LONG_MAX) - sizeof(__CFString)) return nullptr;
    auto* str = static_cast<__CFString*>(
        CFRuntimeCreateInstance(&kStringClass, sizeof(__CFString) + byteLength));
    if (str) str->byteLength = byteLength;
    return str;
}

Boolean stringEqual(CFTypeRef cf1, CFTypeRef cf2) {
    auto* a = static_cast<const __CFString*>(cf1);
    auto* b = static_cast<const __CFString*>(cf2);
    return a->byteLength == b->byteLength && memcmp(a->bytes, b->bytes, a->byteLength) == 0;
}

// FNV-1a over the UTF-8 bytes: equal texts hash alike.
CFHashCode stringHash(CFTypeRef cf) {
    auto* str = static_cast<const __CFString*>(cf);
    CFHashCode hash = 14695981039346656037ull;
    for (size_t i = 0; i < str->byteLength; ++i) {
        hash ^= static_cast<unsigned char>(str->bytes[i]);
        hash *= 1099511628211ull;
    }
    return hash;
}

CFStringRef stringCopyDescription(CFTypeRef cf) {
    return static_cast<CFStringRef>(CFRetain(cf));
}

bool isSingleByteEncoding(CFStringEncoding encoding) {
    return encoding == kCFStringEncodingISOLatin1 || encoding == kCFStringEncodingWindowsLatin1 ||
           encoding == kCFStringEncodingMacRoman || encoding == kCFStringEncodingNextStepLatin;
}

// Constant strings: one immortal object per distinct text, found by content.
struct ConstantEntry {
    ConstantEntry* next;
    CFStringRef string;
};

constexpr size_t kConstantBuckets = 256;
std::mutex gConstantMutex;
ConstantEntry* gConstants[kConstantBuckets];

} // namespace

CFStringRef CFStringCreateWithUTF8(const char* bytes, size_t length) {
    if (!bytes && length) return nullptr;
    CFIndex units = utf16LengthOf(bytes, length);
    if (units < 0) return nullptr;
    __CFString* str = allocateString(length);
    if (!str) return nullptr;
    if (length) memcpy(str->bytes, bytes, length);
    str->bytes[length] = '\0';
    str->utf16Length = units;
    return str;
}

const char* CFStringUTF8(CFStringRef string, size_t* length) {
    const __CFString* str = asString(string);
    if (length) *length = str ? str->byteLength : 0;
    return str ? str->bytes : nullptr;
}

CFStringRef __CFStringMakeConstantString(const char* cStr) {
    if (!cStr) return nullptr;
    size_t length = strlen(cStr);
    CFHashCode hash = 14695981039346656037ull;
    for (size_t i = 0; i < length; ++i) {
        hash ^= static_cast<unsigned char>(cStr[i]);
        hash *= 1099511628211ull;
    }
    std::lock_guard<std::mutex> lock(gConstantMutex);
    ConstantEntry*& bucket = gConstants[hash % kConstantBuckets];
    for (ConstantEntry* entry = bucket; entry; entry = entry->next) {
        const __CFString* str = entry->string;
        if (str->byteLength == length && memcmp(str->bytes, cStr, length) == 0) return str;
    }
    auto* entry = static_cast<ConstantEntry*>(malloc(sizeof(ConstantEntry)));
    if (!entry) return nullptr;
    CFStringRef str = CFStringCreateWithUTF8(cStr, length);
    if (!str) {
        free(entry);
        return nullptr;
    }
    CFRuntimeMakeImmortal(str);
    entry->string = str;
    entry->next = bucket;
    bucket = entry;
    return str;
}

CFTypeID CFStringGetTypeID(void) {
    return kCFRuntimeIDString;
}

CFStringRef CFStringCreateWithBytes(CFAllocatorRef, const UInt8* bytes, CFIndex numBytes,
                                    CFStringEncoding encoding, Boolean) {
    if (numBytes < 0 || (!bytes && numBytes)) return nullptr;
    const char* text = reinterpret_cast<const char*>(bytes);
    size_t count = static_cast<size_t>(numBytes);
    if (encoding == kCFStringEncodingUTF8) return CFStringCreateWithUTF8(text, count);
    if (encoding == kCFStringEncodingASCII) {
        for (size_t i = 0; i < count; ++i) {
            if (bytes[i] > 0x7F) return nullptr;
        }
        return CFStringCreateWithUTF8(text, count);
    }
    if (!isSingleByteEncoding(encoding)) return nullptr;
    if (count > static_cast<size_t>(LONG_MAX) / 2) return nullptr;
    char* utf8 = static_cast<char*>(malloc(count * 2 + 1));
    if (!utf8) return nullptr;
    size_t length = 0;
    for (size_t i = 0; i < count; ++i)
        length += encodeUTF8(bytes[i], utf8 + length);
    CFStringRef str = CFStringCreateWithUTF8(utf8, length);
    free(utf8);
    return str;
}

CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr,
                                      CFStringEncoding encoding) {
    if (!cStr) return nullptr;
    return CFStringCreateWithBytes(alloc, reinterpret_cast<const UInt8*>(cStr),
                                   static_cast<CFIndex>(strlen(cStr)), encoding, false);
}

CFStringRef CFStringCreateWithCharacters(CFAllocatorRef, const UniChar* chars, CFIndex numChars) {
    if (numChars < 0 || (!chars && numChars)) return nullptr;
    size_t count = static_cast<size_t>(numChars);
    if (count > static_cast<size_t>(LONG_MAX) / 3) return nullptr;
    char* utf8 = static_cast<char*>(malloc(count * 3 + 1));
    if (!utf8) return nullptr;
    size_t length = 0;
    bool valid = true;
    for (size_t i = 0; i < count && valid; ++i) {
        unsigned long cp = chars[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < count && chars[i + 1] >= 0xDC00 &&
            chars[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (chars[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            valid = false; // an unpaired surrogate has no UTF-8 form
        }
        length += encodeUTF8(cp, utf8 + length);
    }
    CFStringRef str = valid ? CFStringCreateWithUTF8(utf8, length) : nullptr;
    free(utf8);
    return str;
}

CFStringRef CFStringCreateCopy(CFAllocatorRef, CFStringRef theString) {
    // Strings never change, so a copy is the same object.
    if (!asString(theString)) return nullptr;
    return static_cast<CFStringRef>(CFRetain(theString));
}

CFIndex CFStringGetLength(CFStringRef theString) {
    const __CFString* str = asString(theString);
    return str ? str->utf16Length : 0;
}

UniChar CFStringGetCharacterAtIndex(CFStringRef theString, CFIndex idx) {
    const __CFString* str = asString(theString);
    if (!str || idx < 0 || idx >= str->utf16Length) return 0;
    UTF16Reader reader(str);
    UniChar unit = 0;
    for (CFIndex i = 0; i <= idx; ++i)
        unit = reader.next();
    return unit;
}

void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar* buffer) {
    const __CFString* str = asString(theString);
    if (!str || !buffer || range.location < 0 || range.length < 0 ||
        range.location > str->utf16Length - range.length)
        return;
    UTF16Reader reader(str);
    for (CFIndex i = 0; i < range.location; ++i)
        reader.next();
    for (CFIndex i = 0; i < range.length; ++i)
        buffer[i] = reader.next();
}

CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding) {
    if (length < 0) return kCFNotFound;
    CFIndex perUnit;
    switch (encoding) {
    case kCFStringEncodingUTF8: perUnit = 3; break;
    case kCFStringEncodingUTF16:
    case kCFStringEncodingUTF16BE:
    case kCFStringEncodingUTF16LE: perUnit = 2; break;
    case kCFStringEncodingUTF32:
    case kCFStringEncodingUTF32BE:
    case kCFStringEncodingUTF32LE: perUnit = 4; break;
    default: perUnit = 1; break;
    }
    if (length > LONG_MAX / perUnit) return kCFNotFound;
    return length * perUnit;
}

Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize,
                           CFStringEncoding encoding) {
    if (!buffer || bufferSize <= 0) return false;
    buffer[0] = '\0';
    const __CFString* str = asString(theString);
    if (!str) return false;
    const auto* data = reinterpret_cast<const unsigned char*>(str->bytes);
    size_t capacity = static_cast<size_t>(bufferSize);
    if (encoding == kCFStringEncodingUTF8 || encoding == kCFStringEncodingASCII) {
        if (str->byteLength >= capacity) return false;
        if (encoding == kCFStringEncodingASCII &&
            static_cast<size_t>(str->utf16Length) != str->byteLength)
            return false;
        memcpy(buffer, str->bytes, str->byteLength + 1);
        return true;
    }
    if (!isSingleByteEncoding(encoding)) return false;
    size_t out = 0;
    for (size_t i = 0; i < str->byteLength;) {
        long cp = decodeUTF8(data, str->byteLength, i);
        if (cp > 0xFF || out + 1 >= capacity) {
            buffer[0] = '\0';
            return false;
        }
        buffer[out++] = static_cast<char>(cp);
    }
    buffer[out] = '\0';
    return true;
}

const char* CFStringGetCStringPtr(CFStringRef theString, CFStringEncoding encoding) {
    const __CFString* str = asString(theString);
    if (!str) return nullptr;
    if (encoding == kCFStringEncodingUTF8) return str->bytes;
    if (encoding == kCFStringEncodingASCII &&
        static_cast<size_t>(str->utf16Length) == str->byteLength)
        return str->bytes;
    return nullptr;
}

CFComparisonResult CFStringCompare(CFStringRef theString1, CFStringRef theString2,
                                   CFStringCompareFlags compareOptions) {
    const __CFString* a = asString(theString1);
    const __CFString* b = asString(theString2);
    if (!a || !b) return a ? kCFCompareGreaterThan : (b ? kCFCompareLessThan : kCFCompareEqualTo);
    bool fold = (compareOptions & kCFCompareCaseInsensitive) != 0;
    UTF16Reader left(a);
    UTF16Reader right(b);
    while (!left.done() && !right.done()) {
        UniChar x = left.next();
        UniChar y = right.next();
        if (fold) {
            if (x >= 'A' && x <= 'Z') x = static_cast<UniChar>(x + 32);
            if (y >= 'A' && y <= 'Z') y = static_cast<UniChar>(y + 32);
        }
        if (x != y) return x < y ? kCFCompareLessThan : kCFCompareGreaterThan;
    }
    if (left.done() && right.done()) return kCFCompareEqualTo;
    return left.done() ? kCFCompareLessThan : kCFCompareGreaterThan;
}

Boolean CFStringHasPrefix(CFStringRef theString, CFStringRef prefix) {
    const __CFString* str = asString(theString);
    const __CFString* head = asString(prefix);
    if (!str || !head || head->byteLength > str->byteLength) return false;
    return memcmp(str->bytes, head->bytes, head->byteLength) == 0;
}

Boolean CFStringHasSuffix(CFStringRef theString, CFStringRef suffix) {
    const __CFString* str = asString(theString);
    const __CFString* tail = asString(suffix);
    if (!str || !tail || tail->byteLength > str->byteLength) return false;
    return memcmp(str->bytes + str->byteLength - tail->byteLength, tail->bytes, tail->byteLength) ==
           0;
}

double CFStringGetDoubleValue(CFStringRef str) {
    const char* text = CFStringUTF8(str);
    return text ? strtod(text, nullptr) : 0.0;
}

SInt32 CFStringGetIntValue(CFStringRef str) {
    const char* text = CFStringUTF8(str);
    if (!text) return 0;
    long value = strtol(text, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<SInt32>(value);
}
