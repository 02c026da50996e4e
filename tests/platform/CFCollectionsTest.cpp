#include <CoreFoundation/CoreFoundation.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

CFNumberRef Int(SInt32 value) {
    return CFNumberCreate(nullptr, kCFNumberSInt32Type, &value);
}

std::string Text(CFStringRef str) {
    const char* bytes = CFStringGetCStringPtr(str, kCFStringEncodingUTF8);
    return bytes ? bytes : "<null>";
}

// Values for an array with custom callbacks: plain records whose callbacks are logged.
struct Item {
    int id;
    int references;
};

std::vector<std::string> gLog;

const void* RetainItem(CFAllocatorRef, const void* value) {
    auto* item = static_cast<Item*>(const_cast<void*>(value));
    ++item->references;
    gLog.push_back("retain " + std::to_string(item->id));
    return value;
}

void ReleaseItem(CFAllocatorRef, const void* value) {
    auto* item = static_cast<Item*>(const_cast<void*>(value));
    --item->references;
    gLog.push_back("release " + std::to_string(item->id));
}

CFStringRef DescribeItem(const void* value) {
    return CFStringCreateWithFormat(nullptr, nullptr, CFSTR("item %d"),
                                    static_cast<const Item*>(value)->id);
}

Boolean SameItemId(const void* a, const void* b) {
    gLog.push_back("equal");
    return static_cast<const Item*>(a)->id == static_cast<const Item*>(b)->id;
}

const CFArrayCallBacks kItemCallBacks = {0, RetainItem, ReleaseItem, DescribeItem, SameItemId};

} // namespace

TEST(CFRuntime, ReleaseToZeroFreesAndReleasesWhatTheObjectHeld) {
    CFNumberRef value = Int(7);
    CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    CFArrayAppendValue(array, value);
    EXPECT_EQ(CFGetRetainCount(value), 2);
    CFRetain(array);
    EXPECT_EQ(CFGetRetainCount(array), 2);
    CFRelease(array);
    EXPECT_EQ(CFGetRetainCount(value), 2); // the array still lives
    CFRelease(array);                      // to zero: the array goes and lets its value go
    EXPECT_EQ(CFGetRetainCount(value), 1);
    CFRelease(value);
    CFRelease(nullptr); // ignored
    EXPECT_EQ(CFRetain(nullptr), nullptr);
}

TEST(CFDictionary, KeepsItsKeysAndValuesAliveAndFindsStringKeysByContent) {
    CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
        nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    CFStringRef key = CFStringCreateWithCString(nullptr, "subtype", kCFStringEncodingUTF8);
    CFNumberRef value = Int(0x67527678);
    CFDictionarySetValue(dict, key, value);
    CFRelease(key);
    EXPECT_EQ(CFGetRetainCount(value), 2);
    CFRelease(value); // only the dictionary holds it now

    // A different string object with the same text finds the entry.
    auto found = static_cast<CFNumberRef>(CFDictionaryGetValue(dict, CFSTR("subtype")));
    ASSERT_NE(found, nullptr);
    SInt32 read = 0;
    EXPECT_TRUE(CFNumberGetValue(found, kCFNumberSInt32Type, &read));
    EXPECT_EQ(read, 0x67527678);
    EXPECT_EQ(CFGetRetainCount(found), 1);

    // Replacing releases the old value; setting the same value again keeps it alive.
    CFNumberRef replacement = Int(1);
    CFRetain(found);
    CFDictionarySetValue(dict, CFSTR("subtype"), replacement);
    EXPECT_EQ(CFGetRetainCount(found), 1);
    CFRelease(found);
    CFDictionarySetValue(dict, CFSTR("subtype"), replacement);
    EXPECT_EQ(CFGetRetainCount(replacement), 2);
    EXPECT_EQ(CFDictionaryGetCount(dict), 1);

    CFDictionaryAddValue(dict, CFSTR("subtype"), kCFBooleanTrue); // present: Add does nothing
    EXPECT_EQ(CFDictionaryGetValue(dict, CFSTR("subtype")), replacement);
    CFDictionaryReplaceValue(dict, CFSTR("absent"), replacement);
    EXPECT_EQ(CFDictionaryGetCount(dict), 1);
    EXPECT_FALSE(CFDictionaryContainsKey(dict, CFSTR("absent")));
    EXPECT_EQ(CFDictionaryGetValue(dict, CFSTR("absent")), nullptr);

    CFDictionaryRemoveValue(dict, CFSTR("subtype"));
    EXPECT_EQ(CFGetRetainCount(replacement), 1);
    EXPECT_EQ(CFDictionaryGetCount(dict), 0);
    CFRelease(replacement);
    CFRelease(dict);
}

TEST(CFDictionary, ReleasingTheDictionaryReleasesEveryEntry) {
    CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
        nullptr, 0, &kCFCopyStringDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    std::vector<CFNumberRef> values;
    for (int i = 0; i < 20; ++i) {
        values.push_back(Int(i));
        CFStringRef key = CFStringCreateWithFormat(nullptr, nullptr, CFSTR("key%d"), i);
        CFDictionarySetValue(dict, key, values.back());
        CFRelease(key);
    }
    EXPECT_EQ(CFDictionaryGetCount(dict), 20);
    EXPECT_NE(CFDictionaryGetValue(dict, CFSTR("key13")), nullptr);
    const void* keys[20];
    CFDictionaryGetKeysAndValues(dict, keys, nullptr);
    EXPECT_EQ(Text(static_cast<CFStringRef>(keys[13])), "key13"); // insertion order
    CFRelease(dict);
    for (CFNumberRef value : values) {
        EXPECT_EQ(CFGetRetainCount(value), 1);
        CFRelease(value);
    }
}

TEST(CFDictionary, EqualityAndCopiesGoByContent) {
    const void* keys[] = {CFSTR("a"), CFSTR("b")};
    CFNumberRef one = Int(1);
    double twoPointZero = 2.0;
    CFNumberRef two = CFNumberCreate(nullptr, kCFNumberFloat64Type, &twoPointZero);
    const void* values[] = {one, two};
    CFDictionaryRef dict = CFDictionaryCreate(
        nullptr, keys, values, 2, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    CFMutableDictionaryRef copy = CFDictionaryCreateMutableCopy(nullptr, 0, dict);
    EXPECT_TRUE(CFEqual(dict, copy));
    CFNumberRef integerTwo = Int(2);
    CFDictionarySetValue(copy, CFSTR("b"), integerTwo); // 2 equals 2.0
    EXPECT_TRUE(CFEqual(dict, copy));
    CFDictionarySetValue(copy, CFSTR("b"), one);
    EXPECT_FALSE(CFEqual(dict, copy));
    CFRelease(copy);
    CFRelease(dict);
    CFRelease(one);
    CFRelease(two);
    CFRelease(integerTwo);
}

TEST(CFArray, CallsItsCustomCallbacksAsDocumented) {
    gLog.clear();
    Item first = {3, 0};
    Item second = {4, 0};
    Item lookalike = {4, 0};
    CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 10, &kItemCallBacks);
    CFArrayAppendValue(array, &first);
    CFArrayAppendValue(array, &second);
    EXPECT_EQ(first.references, 1);
    EXPECT_EQ(CFArrayGetCount(array), 2);
    EXPECT_EQ(CFArrayGetValueAtIndex(array, 1), &second);
    EXPECT_EQ(CFArrayGetValueAtIndex(array, 2), nullptr);

    // Equality goes through the equal callback, so a different record with the same id is found.
    EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 2), &lookalike), 1);
    EXPECT_TRUE(CFArrayContainsValue(array, CFRangeMake(0, 2), &lookalike));

    CFStringRef description = CFCopyDescription(array);
    EXPECT_EQ(Text(description), "(\n    item 3,\n    item 4\n)");
    CFRelease(description);

    CFArrayRemoveValueAtIndex(array, 0);
    EXPECT_EQ(first.references, 0);
    CFRelease(array);
    EXPECT_EQ(second.references, 0);
    // Each search calls equal for the first value (another record) and then matches the second.
    std::vector<std::string> expected = {"retain 3", "retain 4", "equal",     "equal",
                                         "equal",    "equal",    "release 3", "release 4"};
    EXPECT_EQ(gLog, expected);
}

TEST(CFArray, HonoursItsCapacityAndStoresPlainPointersWithoutCallbacks) {
    CFNumberRef value = Int(9);
    CFMutableArrayRef bounded = CFArrayCreateMutable(nullptr, 2, &kCFTypeArrayCallBacks);
    for (int i = 0; i < 3; ++i)
        CFArrayAppendValue(bounded, value);
    EXPECT_EQ(CFArrayGetCount(bounded), 2);
    EXPECT_EQ(CFGetRetainCount(value), 3);
    CFArrayRemoveAllValues(bounded);
    EXPECT_EQ(CFGetRetainCount(value), 1);
    CFRelease(bounded);

    CFMutableArrayRef plain = CFArrayCreateMutable(nullptr, 0, nullptr);
    CFArrayAppendValue(plain, value);
    EXPECT_EQ(CFGetRetainCount(value), 1);
    CFArrayInsertValueAtIndex(plain, 0, nullptr);
    EXPECT_EQ(CFArrayGetValueAtIndex(plain, 0), nullptr);
    EXPECT_EQ(CFArrayGetValueAtIndex(plain, 1), value);
    CFRelease(plain);
    CFRelease(value);
}

TEST(CFNumber, ConvertsBetweenTypesAndReportsLoss) {
    double real = 3.75;
    CFNumberRef number = CFNumberCreate(nullptr, kCFNumberFloat64Type, &real);
    SInt32 truncated = 0;
    EXPECT_FALSE(CFNumberGetValue(number, kCFNumberSInt32Type, &truncated));
    EXPECT_EQ(truncated, 3);
    Float32 single = 0;
    EXPECT_TRUE(CFNumberGetValue(number, kCFNumberFloat32Type, &single));
    EXPECT_EQ(single, 3.75f);
    EXPECT_EQ(CFNumberGetType(number), kCFNumberFloat64Type);
    CFRelease(number);

    SInt64 big = 0x123456789ll;
    number = CFNumberCreate(nullptr, kCFNumberSInt64Type, &big);
    EXPECT_FALSE(CFNumberGetValue(number, kCFNumberSInt32Type, &truncated));
    SInt64 back = 0;
    EXPECT_TRUE(CFNumberGetValue(number, kCFNumberLongLongType, &back));
    EXPECT_EQ(back, big);
    CFRelease(number);

    int plain = -10851;
    number = CFNumberCreate(nullptr, kCFNumberIntType, &plain);
    EXPECT_EQ(CFNumberGetType(number), kCFNumberSInt32Type);
    Float64 asDouble = 0;
    EXPECT_TRUE(CFNumberGetValue(number, kCFNumberFloat64Type, &asDouble));
    EXPECT_EQ(asDouble, -10851.0);
    CFRelease(number);
    EXPECT_EQ(CFNumberCreate(nullptr, 99, &plain), nullptr);
}

TEST(CFData, CopiesTheBytesItIsMadeFrom) {
    UInt8 bytes[4] = {1, 2, 3, 4};
    CFDataRef data = CFDataCreate(nullptr, bytes, 4);
    bytes[0] = 9;
    ASSERT_EQ(CFDataGetLength(data), 4);
    EXPECT_EQ(CFDataGetBytePtr(data)[0], 1);
    UInt8 middle[2] = {};
    CFDataGetBytes(data, CFRangeMake(1, 2), middle);
    EXPECT_EQ(middle[0], 2);
    EXPECT_EQ(middle[1], 3);
    CFDataGetBytes(data, CFRangeMake(3, 2), middle); // outside: nothing copied
    EXPECT_EQ(middle[0], 2);
    CFRelease(data);
    CFDataRef empty = CFDataCreate(nullptr, nullptr, 0);
    EXPECT_EQ(CFDataGetLength(empty), 0);
    EXPECT_EQ(CFDataGetBytePtr(empty), nullptr);
    CFRelease(empty);
}

TEST(CFPropertyList, XMLRoundTripKeepsEveryValueType) {
    CFMutableDictionaryRef state = CFDictionaryCreateMutable(
        nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    CFNumberRef version = Int(0x00010100);
    CFNumberRef negative = Int(-10851);
    double gain = 0.5;
    CFNumberRef real = CFNumberCreate(nullptr, kCFNumberFloat64Type, &gain);
    UInt8 blob[5] = {0, 1, 2, 0xFE, 0xFF};
    CFDataRef data = CFDataCreate(nullptr, blob, 5);
    CFMutableArrayRef list = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
    CFArrayAppendValue(list, CFSTR("Init"));
    CFArrayAppendValue(list, kCFBooleanTrue);
    CFDictionarySetValue(state, CFSTR("version"), version);
    CFDictionarySetValue(state, CFSTR("status"), negative);
    CFDictionarySetValue(state, CFSTR("gain"), real);
    CFDictionarySetValue(state, CFSTR("data"), data);
    CFDictionarySetValue(state, CFSTR("name"),
                         CFSTR("Gr\xC3\xBC\xC3\x9F"
                               "e <&>"));
    CFDictionarySetValue(state, CFSTR("list"), list);

    CFErrorRef error = nullptr;
    CFDataRef xml =
        CFPropertyListCreateData(nullptr, state, kCFPropertyListXMLFormat_v1_0, 0, &error);
    ASSERT_NE(xml, nullptr);
    EXPECT_EQ(error, nullptr);
    std::string text(reinterpret_cast<const char*>(CFDataGetBytePtr(xml)),
                     static_cast<size_t>(CFDataGetLength(xml)));
    EXPECT_NE(text.find("<key>version</key>"), std::string::npos);
    EXPECT_NE(text.find("<integer>65792</integer>"), std::string::npos);
    EXPECT_NE(text.find("<integer>-10851</integer>"), std::string::npos);

    CFPropertyListFormat format = 0;
    CFPropertyListRef back =
        CFPropertyListCreateWithData(nullptr, xml, kCFPropertyListImmutable, &format, &error);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(format, kCFPropertyListXMLFormat_v1_0);
    EXPECT_TRUE(CFEqual(back, state));
    auto name = static_cast<CFStringRef>(
        CFDictionaryGetValue(static_cast<CFDictionaryRef>(back), CFSTR("name")));
    EXPECT_EQ(CFStringGetLength(name), 9);

    CFRelease(back);
    CFRelease(xml);
    CFRelease(state);
    CFRelease(version);
    CFRelease(negative);
    CFRelease(real);
    CFRelease(data);
    CFRelease(list);
}

TEST(CFPropertyList, RefusesMalformedInputAndNonPropertyListValues) {
    const char* garbage = "<plist><dict><key>a</key>";
    CFDataRef data = CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(garbage),
                                  static_cast<CFIndex>(strlen(garbage)));
    CFErrorRef error = nullptr;
    EXPECT_EQ(CFPropertyListCreateWithData(nullptr, data, 0, nullptr, &error), nullptr);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(CFErrorGetCode(error), kCFPropertyListReadCorruptError);
    CFRelease(error);
    CFRelease(data);

    // A dictionary whose key is not a string cannot be written.
    CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
        nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    CFNumberRef key = Int(1);
    CFDictionarySetValue(dict, key, CFSTR("one"));
    EXPECT_EQ(CFPropertyListCreateData(nullptr, dict, kCFPropertyListXMLFormat_v1_0, 0, nullptr),
              nullptr);
    EXPECT_FALSE(CFPropertyListIsValid(dict, kCFPropertyListXMLFormat_v1_0));
    EXPECT_EQ(
        CFPropertyListCreateData(nullptr, CFSTR("x"), kCFPropertyListOpenStepFormat, 0, &error),
        nullptr);
    ASSERT_NE(error, nullptr);
    CFRelease(error);
    CFRelease(key);
    CFRelease(dict);
}
