#include "CoreFoundation/CFRuntime_p.h"

#include <CoreFoundation/CFNumber.h>
#include <CoreFoundation/CFString.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

// A number keeps its value as a 64-bit integer or a double, and the canonical type it was
// made from (kCFNumberIntType becomes kCFNumberSInt32Type, and so on).
struct __CFNumber {
    CFRuntimeBase base;
    CFNumberType type;
    bool isFloat;
    SInt64 integer;
    double real;
};

struct __CFBoolean {
    CFRuntimeBase base;
    bool value;
};

namespace {

Boolean numberEqual(CFTypeRef cf1, CFTypeRef cf2);
CFHashCode numberHash(CFTypeRef cf);
CFStringRef numberCopyDescription(CFTypeRef cf);
CFStringRef booleanCopyDescription(CFTypeRef cf);

const CFRuntimeClass kNumberClass = {kCFRuntimeIDNumber, "CFNumber", nullptr,
                                     numberEqual,        numberHash, numberCopyDescription};
const CFRuntimeClass kBooleanClass = {kCFRuntimeIDBoolean,   "CFBoolean", nullptr, nullptr, nullptr,
                                      booleanCopyDescription};

__CFBoolean gTrue = {{&kBooleanClass, {kCFRuntimeImmortal}}, true};
__CFBoolean gFalse = {{&kBooleanClass, {kCFRuntimeImmortal}}, false};

// The canonical sized type for each C type; 0 for an unknown type.
CFNumberType canonicalType(CFNumberType type) {
    switch (type) {
    case kCFNumberSInt8Type:
    case kCFNumberCharType: return kCFNumberSInt8Type;
    case kCFNumberSInt16Type:
    case kCFNumberShortType: return kCFNumberSInt16Type;
    case kCFNumberSInt32Type:
    case kCFNumberIntType: return kCFNumberSInt32Type;
    case kCFNumberSInt64Type:
    case kCFNumberLongType:
    case kCFNumberLongLongType:
    case kCFNumberCFIndexType:
    case kCFNumberNSIntegerType: return kCFNumberSInt64Type;
    case kCFNumberFloat32Type:
    case kCFNumberFloatType: return kCFNumberFloat32Type;
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType:
    case kCFNumberCGFloatType: return kCFNumberFloat64Type;
    default: return 0;
    }
}

const __CFNumber* asNumber(CFNumberRef number) {
    return CFRuntimeIsA(number, &kNumberClass) ? number : nullptr;
}

template <typename T>
void store(void* out, T value) {
    memcpy(out, &value, sizeof value);
}

template <typename T>
T load(const void* in) {
    T value;
    memcpy(&value, in, sizeof value);
    return value;
}

// Writes an integer into a narrower integer type; false when it does not fit.
template <typename T>
bool storeInteger(void* out, SInt64 value) {
    store<T>(out, static_cast<T>(value));
    return value >= std::numeric_limits<T>::min() && value <= std::numeric_limits<T>::max();
}

// Converts a double to an integer type, truncating; false when a fraction is dropped or the
// value is out of range (then the nearest bound is written).
template <typename T>
bool storeRealAsInteger(void* out, double value) {
    constexpr double low = static_cast<double>(std::numeric_limits<T>::min());
    constexpr double high = static_cast<double>(std::numeric_limits<T>::max());
    if (std::isnan(value)) {
        store<T>(out, 0);
        return false;
    }
    if (value < low) {
        store<T>(out, std::numeric_limits<T>::min());
        return false;
    }
    if (value >= high) {
        store<T>(out, std::numeric_limits<T>::max());
        // Only the small types' maximum is exact as a double; 2^63 does not fit an SInt64.
        return value == high && high < 4294967296.0;
    }
    double whole = std::trunc(value);
    store<T>(out, static_cast<T>(whole));
    return whole == value;
}

Boolean numberEqual(CFTypeRef cf1, CFTypeRef cf2) {
    auto* a = static_cast<const __CFNumber*>(cf1);
    auto* b = static_cast<const __CFNumber*>(cf2);
    if (!a->isFloat && !b->isFloat) return a->integer == b->integer;
    double x = a->isFloat ? a->real : static_cast<double>(a->integer);
    double y = b->isFloat ? b->real : static_cast<double>(b->integer);
    return x == y;
}

CFHashCode numberHash(CFTypeRef cf) {
    auto* n = static_cast<const __CFNumber*>(cf);
    if (!n->isFloat) return static_cast<CFHashCode>(n->integer);
    // Integral reals hash like the equal integers.
    if (n->real == std::trunc(n->real) && std::fabs(n->real) < 9.2e18)
        return static_cast<CFHashCode>(static_cast<SInt64>(n->real));
    CFHashCode bits;
    memcpy(&bits, &n->real, sizeof bits);
    return bits;
}

CFStringRef numberCopyDescription(CFTypeRef cf) {
    auto* n = static_cast<const __CFNumber*>(cf);
    char text[64];
    int length = n->isFloat
                     ? snprintf(text, sizeof text, "%.17g", n->real)
                     : snprintf(text, sizeof text, "%lld", static_cast<long long>(n->integer));
    return CFStringCreateWithUTF8(text, static_cast<size_t>(length));
}

CFStringRef booleanCopyDescription(CFTypeRef cf) {
    bool value = static_cast<const __CFBoolean*>(cf)->value;
    return CFStringCreateWithUTF8(value ? "true" : "false", value ? 4 : 5);
}

} // namespace

const CFBooleanRef kCFBooleanTrue = &gTrue;
const CFBooleanRef kCFBooleanFalse = &gFalse;

CFTypeID CFBooleanGetTypeID(void) {
    return kCFRuntimeIDBoolean;
}

Boolean CFBooleanGetValue(CFBooleanRef boolean) {
    return CFRuntimeIsA(boolean, &kBooleanClass) && boolean->value;
}

CFTypeID CFNumberGetTypeID(void) {
    return kCFRuntimeIDNumber;
}

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType theType, const void* valuePtr) {
    CFNumberType type = canonicalType(theType);
    if (!type || !valuePtr) return nullptr;
    auto* number =
        static_cast<__CFNumber*>(CFRuntimeCreateInstance(&kNumberClass, sizeof(__CFNumber)));
    if (!number) return nullptr;
    number->type = type;
    switch (type) {
    case kCFNumberSInt8Type: number->integer = load<SInt8>(valuePtr); break;
    case kCFNumberSInt16Type: number->integer = load<SInt16>(valuePtr); break;
    case kCFNumberSInt32Type: number->integer = load<SInt32>(valuePtr); break;
    case kCFNumberSInt64Type: number->integer = load<SInt64>(valuePtr); break;
    case kCFNumberFloat32Type:
        number->isFloat = true;
        number->real = load<Float32>(valuePtr);
        break;
    default:
        number->isFloat = true;
        number->real = load<Float64>(valuePtr);
        break;
    }
    return number;
}

CFNumberType CFNumberGetType(CFNumberRef number) {
    const __CFNumber* n = asNumber(number);
    return n ? n->type : 0;
}

CFIndex CFNumberGetByteSize(CFNumberRef number) {
    switch (CFNumberGetType(number)) {
    case kCFNumberSInt8Type: return 1;
    case kCFNumberSInt16Type: return 2;
    case kCFNumberSInt32Type:
    case kCFNumberFloat32Type: return 4;
    case kCFNumberSInt64Type:
    case kCFNumberFloat64Type: return 8;
    default: return 0;
    }
}

Boolean CFNumberIsFloatType(CFNumberRef number) {
    const __CFNumber* n = asNumber(number);
    return n && n->isFloat;
}

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr) {
    const __CFNumber* n = asNumber(number);
    CFNumberType type = canonicalType(theType);
    if (!n || !type || !valuePtr) return false;
    if (!n->isFloat) {
        switch (type) {
        case kCFNumberSInt8Type: return storeInteger<SInt8>(valuePtr, n->integer);
        case kCFNumberSInt16Type: return storeInteger<SInt16>(valuePtr, n->integer);
        case kCFNumberSInt32Type: return storeInteger<SInt32>(valuePtr, n->integer);
        case kCFNumberSInt64Type: return storeInteger<SInt64>(valuePtr, n->integer);
        case kCFNumberFloat32Type: {
            auto value = static_cast<Float32>(n->integer);
            store(valuePtr, value);
            return static_cast<double>(value) == static_cast<double>(n->integer);
        }
        default: {
            auto value = static_cast<Float64>(n->integer);
            store(valuePtr, value);
            return value == static_cast<double>(n->integer) &&
                   (std::fabs(value) < 9.2e18 && static_cast<SInt64>(value) == n->integer);
        }
        }
    }
    switch (type) {
    case kCFNumberSInt8Type: return storeRealAsInteger<SInt8>(valuePtr, n->real);
    case kCFNumberSInt16Type: return storeRealAsInteger<SInt16>(valuePtr, n->real);
    case kCFNumberSInt32Type: return storeRealAsInteger<SInt32>(valuePtr, n->real);
    case kCFNumberSInt64Type: return storeRealAsInteger<SInt64>(valuePtr, n->real);
    case kCFNumberFloat32Type: {
        auto value = static_cast<Float32>(n->real);
        store(valuePtr, value);
        return std::isnan(n->real) || static_cast<double>(value) == n->real;
    }
    default: store(valuePtr, n->real); return true;
    }
}

CFComparisonResult CFNumberCompare(CFNumberRef number, CFNumberRef otherNumber, void*) {
    const __CFNumber* a = asNumber(number);
    const __CFNumber* b = asNumber(otherNumber);
    if (!a || !b) return kCFCompareEqualTo;
    if (!a->isFloat && !b->isFloat) {
        if (a->integer == b->integer) return kCFCompareEqualTo;
        return a->integer < b->integer ? kCFCompareLessThan : kCFCompareGreaterThan;
    }
    double x = a->isFloat ? a->real : static_cast<double>(a->integer);
    double y = b->isFloat ? b->real : static_cast<double>(b->integer);
    if (x == y) return kCFCompareEqualTo;
    return x < y ? kCFCompareLessThan : kCFCompareGreaterThan;
}
