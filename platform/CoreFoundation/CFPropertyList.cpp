#include "CoreFoundation/CFRuntime_p.h"

#include <CoreFoundation/CFArray.h>
#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFNumber.h>
#include <CoreFoundation/CFPropertyList.h>
#include <CoreFoundation/CFString.h>

#include <plist/plist.h>

#include <climits>
#include <cstdlib>
#include <cstring>

// Property lists through libplist: a libplist tree is built from (or turned into) the
// CoreFoundation objects node by node. Integers are 64-bit signed both ways; reals are
// doubles.
namespace {

// Nesting deeper than this is refused rather than risking the stack on crafted input.
constexpr int kMaxDepth = 512;

void setError(CFErrorRef* error, CFIndex code) {
    if (error) *error = CFErrorCreate(nullptr, kCFErrorDomainCocoa, code, nullptr);
}

CFPropertyListRef fromNode(plist_t node, int depth);

CFPropertyListRef dictionaryFromNode(plist_t node, int depth) {
    CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
        nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    if (!dict) return nullptr;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(node, &iter);
    bool ok = iter != nullptr;
    while (ok) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iter, &key, &value);
        if (!key) break;
        CFStringRef keyString = CFStringCreateWithUTF8(key, strlen(key));
        free(key);
        CFPropertyListRef item = value ? fromNode(value, depth + 1) : nullptr;
        ok = keyString && item;
        if (ok) {
            CFDictionarySetValue(dict, keyString, item);
            ok = CFDictionaryGetValue(dict, keyString) == item; // false when memory ran out
        }
        if (keyString) CFRelease(keyString);
        if (item) CFRelease(item);
    }
    free(iter);
    if (!ok) {
        CFRelease(dict);
        return nullptr;
    }
    return dict;
}

CFPropertyListRef arrayFromNode(plist_t node, int depth) {
    CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    if (!array) return nullptr;
    uint32_t count = plist_array_get_size(node);
    for (uint32_t i = 0; i < count; ++i) {
        plist_t value = plist_array_get_item(node, i);
        CFPropertyListRef item = value ? fromNode(value, depth + 1) : nullptr;
        if (!item) {
            CFRelease(array);
            return nullptr;
        }
        CFArrayAppendValue(array, item);
        CFRelease(item);
        if (CFArrayGetCount(array) != static_cast<CFIndex>(i) + 1) {
            CFRelease(array);
            return nullptr;
        }
    }
    return array;
}

CFPropertyListRef fromNode(plist_t node, int depth) {
    if (depth > kMaxDepth) return nullptr;
    switch (plist_get_node_type(node)) {
    case PLIST_DICT: return dictionaryFromNode(node, depth);
    case PLIST_ARRAY: return arrayFromNode(node, depth);
    case PLIST_STRING:
    case PLIST_KEY: {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        if (!text) return nullptr;
        return CFStringCreateWithUTF8(text, strlen(text));
    }
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return value ? kCFBooleanTrue : kCFBooleanFalse;
    }
    case PLIST_UINT: {
        uint64_t bits = 0;
        plist_get_uint_val(node, &bits);
        SInt64 value = static_cast<SInt64>(bits);
        return CFNumberCreate(nullptr, kCFNumberSInt64Type, &value);
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return CFNumberCreate(nullptr, kCFNumberFloat64Type, &value);
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        if (length > static_cast<uint64_t>(LONG_MAX)) return nullptr;
        return CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes),
                            bytes ? static_cast<CFIndex>(length) : 0);
    }
    default: return nullptr; // dates and UIDs are not used by this system
    }
}

plist_t toNode(CFPropertyListRef value, int depth);

struct DictionaryWriter {
    plist_t node;
    int depth;
    bool ok;
};

void writeDictionaryEntry(const void* key, const void* value, void* context) {
    auto* writer = static_cast<DictionaryWriter*>(context);
    if (!writer->ok) return;
    const char* keyText = CFStringUTF8(static_cast<CFStringRef>(key));
    plist_t item = keyText ? toNode(value, writer->depth + 1) : nullptr;
    if (!item) {
        writer->ok = false;
        return;
    }
    plist_dict_set_item(writer->node, keyText, item);
}

plist_t toNode(CFPropertyListRef value, int depth) {
    if (!value || depth > kMaxDepth) return nullptr;
    CFTypeID type = CFGetTypeID(value);
    if (type == CFDictionaryGetTypeID()) {
        DictionaryWriter writer = {plist_new_dict(), depth, true};
        if (!writer.node) return nullptr;
        CFDictionaryApplyFunction(static_cast<CFDictionaryRef>(value), writeDictionaryEntry,
                                  &writer);
        if (!writer.ok) {
            plist_free(writer.node);
            return nullptr;
        }
        return writer.node;
    }
    if (type == CFArrayGetTypeID()) {
        auto array = static_cast<CFArrayRef>(value);
        plist_t node = plist_new_array();
        if (!node) return nullptr;
        for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
            plist_t item = toNode(CFArrayGetValueAtIndex(array, i), depth + 1);
            if (!item) {
                plist_free(node);
                return nullptr;
            }
            plist_array_append_item(node, item);
        }
        return node;
    }
    if (type == CFStringGetTypeID())
        return plist_new_string(CFStringUTF8(static_cast<CFStringRef>(value)));
    if (type == CFBooleanGetTypeID())
        return plist_new_bool(CFBooleanGetValue(static_cast<CFBooleanRef>(value)));
    if (type == CFNumberGetTypeID()) {
        auto number = static_cast<CFNumberRef>(value);
        if (CFNumberIsFloatType(number)) {
            double real = 0;
            CFNumberGetValue(number, kCFNumberFloat64Type, &real);
            return plist_new_real(real);
        }
        SInt64 integer = 0;
        CFNumberGetValue(number, kCFNumberSInt64Type, &integer);
        return plist_new_uint(static_cast<uint64_t>(integer));
    }
    if (type == CFDataGetTypeID()) {
        auto data = static_cast<CFDataRef>(value);
        const UInt8* bytes = CFDataGetBytePtr(data);
        return plist_new_data(bytes ? reinterpret_cast<const char*>(bytes) : "",
                              static_cast<uint64_t>(CFDataGetLength(data)));
    }
    return nullptr;
}

} // namespace

CFPropertyListRef CFPropertyListCreateWithData(CFAllocatorRef, CFDataRef data, CFOptionFlags,
                                               CFPropertyListFormat* format, CFErrorRef* error) {
    if (error) *error = nullptr;
    CFIndex length = CFDataGetLength(data);
    const char* bytes = reinterpret_cast<const char*>(CFDataGetBytePtr(data));
    if (!bytes || length <= 0 || length > static_cast<CFIndex>(UINT32_MAX)) {
        setError(error, kCFPropertyListReadCorruptError);
        return nullptr;
    }
    auto size = static_cast<uint32_t>(length);
    bool binary = plist_is_binary(bytes, size) != 0;
    plist_t root = nullptr;
    if (binary)
        plist_from_bin(bytes, size, &root);
    else
        plist_from_xml(bytes, size, &root);
    if (!root) {
        setError(error, kCFPropertyListReadCorruptError);
        return nullptr;
    }
    CFPropertyListRef result = fromNode(root, 0);
    plist_free(root);
    if (!result) {
        setError(error, kCFPropertyListReadCorruptError);
        return nullptr;
    }
    if (format) *format = binary ? kCFPropertyListBinaryFormat_v1_0 : kCFPropertyListXMLFormat_v1_0;
    return result;
}

CFDataRef CFPropertyListCreateData(CFAllocatorRef, CFPropertyListRef propertyList,
                                   CFPropertyListFormat format, CFOptionFlags, CFErrorRef* error) {
    if (error) *error = nullptr;
    if (format != kCFPropertyListXMLFormat_v1_0 && format != kCFPropertyListBinaryFormat_v1_0) {
        setError(error, kCFPropertyListWriteStreamError);
        return nullptr;
    }
    plist_t root = toNode(propertyList, 0);
    if (!root) {
        setError(error, kCFPropertyListWriteStreamError);
        return nullptr;
    }
    char* bytes = nullptr;
    uint32_t length = 0;
    if (format == kCFPropertyListXMLFormat_v1_0)
        plist_to_xml(root, &bytes, &length);
    else
        plist_to_bin(root, &bytes, &length);
    plist_free(root);
    CFDataRef data =
        bytes ? CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes), length) : nullptr;
    if (format == kCFPropertyListXMLFormat_v1_0)
        plist_to_xml_free(bytes);
    else
        plist_to_bin_free(bytes);
    if (!data) setError(error, kCFPropertyListWriteStreamError);
    return data;
}

Boolean CFPropertyListIsValid(CFPropertyListRef plist, CFPropertyListFormat format) {
    if (format != kCFPropertyListXMLFormat_v1_0 && format != kCFPropertyListBinaryFormat_v1_0)
        return false;
    plist_t root = toNode(plist, 0);
    if (!root) return false;
    plist_free(root);
    return true;
}
