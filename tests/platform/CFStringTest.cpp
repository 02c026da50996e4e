#include <CoreFoundation/CoreFoundation.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

// Holds one reference and releases it at the end of the scope.
struct Owned {
    explicit Owned(CFTypeRef object) : ref(object) {}
    ~Owned() {
        if (ref) CFRelease(ref);
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    CFStringRef str() const { return static_cast<CFStringRef>(ref); }
    CFTypeRef ref;
};

CFStringRef Make(const char* utf8) {
    return CFStringCreateWithCString(nullptr, utf8, kCFStringEncodingUTF8);
}

std::string Text(CFStringRef str) {
    const char* bytes = CFStringGetCStringPtr(str, kCFStringEncodingUTF8);
    return bytes ? bytes : "<null>";
}

} // namespace

TEST(CFString, LengthCountsUTF16UnitsNotBytes) {
    Owned gruesse(Make("Gr\xC3\xBC\xC3\x9F"
                       "e"));             // "Grüße": 7 bytes, 5 units
    Owned clef(Make("\xF0\x9D\x84\x9E")); // U+1D11E: 4 bytes, a surrogate pair
    ASSERT_NE(gruesse.ref, nullptr);
    ASSERT_NE(clef.ref, nullptr);
    EXPECT_EQ(CFStringGetLength(gruesse.str()), 5);
    EXPECT_EQ(CFStringGetLength(clef.str()), 2);
    EXPECT_EQ(CFStringGetCharacterAtIndex(gruesse.str(), 2), 0x00FC);
    EXPECT_EQ(CFStringGetCharacterAtIndex(clef.str(), 0), 0xD834);
    EXPECT_EQ(CFStringGetCharacterAtIndex(clef.str(), 1), 0xDD1E);
    EXPECT_EQ(CFStringGetLength(CFSTR("")), 0);
}

TEST(CFString, CharactersRoundTripThroughUTF8) {
    const UniChar units[] = {'a', 0xD834, 0xDD1E, 0x00E9};
    Owned str(CFStringCreateWithCharacters(nullptr, units, 4));
    ASSERT_NE(str.ref, nullptr);
    EXPECT_EQ(Text(str.str()), "a\xF0\x9D\x84\x9E\xC3\xA9");
    UniChar back[4] = {};
    CFStringGetCharacters(str.str(), CFRangeMake(0, 4), back);
    EXPECT_EQ(memcmp(back, units, sizeof units), 0);
    const UniChar lonely[] = {'x', 0xDC00};
    EXPECT_EQ(CFStringCreateWithCharacters(nullptr, lonely, 2), nullptr);
}

TEST(CFString, RefusesBytesThatAreNotValidInTheEncoding) {
    EXPECT_EQ(Make("\xC3"), nullptr);         // cut-off sequence
    EXPECT_EQ(Make("\xC0\xAF"), nullptr);     // overlong '/'
    EXPECT_EQ(Make("\xED\xA0\x80"), nullptr); // an encoded surrogate
    EXPECT_EQ(CFStringCreateWithCString(nullptr, "caf\xE9", kCFStringEncodingASCII), nullptr);
    Owned latin(CFStringCreateWithCString(nullptr, "caf\xE9", kCFStringEncodingISOLatin1));
    EXPECT_EQ(Text(latin.str()), "caf\xC3\xA9");
}

TEST(CFString, GetCStringFailsWhenTheBufferIsTooSmall) {
    Owned gruesse(Make("Gr\xC3\xBC\xC3\x9F"
                       "e"));
    char buffer[16];
    // Length 5 + 1 is not enough for 7 UTF-8 bytes and the NUL.
    memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(CFStringGetCString(gruesse.str(), buffer, 6, kCFStringEncodingUTF8));
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_FALSE(CFStringGetCString(gruesse.str(), buffer, 7, kCFStringEncodingUTF8));
    EXPECT_TRUE(CFStringGetCString(gruesse.str(), buffer, 8, kCFStringEncodingUTF8));
    EXPECT_STREQ(buffer, "Gr\xC3\xBC\xC3\x9F"
                         "e");
    // The size for the encoding always suffices.
    CFIndex size =
        CFStringGetMaximumSizeForEncoding(CFStringGetLength(gruesse.str()), kCFStringEncodingUTF8) +
        1;
    EXPECT_EQ(size, 16);
    EXPECT_TRUE(CFStringGetCString(gruesse.str(), buffer, size, kCFStringEncodingUTF8));
    // Latin 1 has "ü" and "ß" but not U+1D11E; ASCII has neither.
    EXPECT_TRUE(CFStringGetCString(gruesse.str(), buffer, 6, kCFStringEncodingISOLatin1));
    EXPECT_STREQ(buffer, "Gr\xFC\xDF"
                         "e");
    EXPECT_FALSE(CFStringGetCString(gruesse.str(), buffer, 16, kCFStringEncodingASCII));
    EXPECT_FALSE(CFStringGetCString(nullptr, buffer, 16, kCFStringEncodingUTF8));
    EXPECT_EQ(CFStringGetMaximumSizeForEncoding(-1, kCFStringEncodingUTF8), kCFNotFound);
    EXPECT_EQ(CFStringGetMaximumSizeForEncoding(LONG_MAX / 2, kCFStringEncodingUTF8), kCFNotFound);
}

TEST(CFString, ConstantStringsAreSharedAndLiveForever) {
    CFStringRef a = CFSTR("Grindvox constant");
    CFStringRef b = CFSTR("Grindvox constant");
    EXPECT_EQ(a, b);
    CFRelease(a);
    CFRelease(a);
    EXPECT_EQ(Text(b), "Grindvox constant");
    Owned made(Make("Grindvox constant"));
    EXPECT_NE(made.ref, a);
    EXPECT_TRUE(CFEqual(made.ref, a));
    EXPECT_EQ(CFHash(made.ref), CFHash(a));
}

TEST(CFString, FormatHandlesIntegersTextAndObjects) {
    int32_t number = 3;
    Owned warm(Make("Warm"));
    Owned text(CFStringCreateWithFormat(nullptr, nullptr,
                                        CFSTR("AUPreset:\npreset number = %d\npreset name = %@"),
                                        number, warm.ref));
    EXPECT_EQ(Text(text.str()), "AUPreset:\npreset number = 3\npreset name = Warm");

    SInt32 value = -12;
    Owned boxed(CFNumberCreate(nullptr, kCFNumberSInt32Type, &value));
    Owned mixed(CFStringCreateWithFormat(nullptr, nullptr, CFSTR("[%5d|%-4s|%@|%.2f|%%|%@|%lld]"),
                                         42, "ab", boxed.ref, 1.5, nullptr, -7ll));
    EXPECT_EQ(Text(mixed.str()), "[   42|ab  |-12|1.50|%|(null)|-7]");

    std::string longText(300, 'z');
    Owned big(CFStringCreateWithFormat(nullptr, nullptr, CFSTR("<%s>"), longText.c_str()));
    EXPECT_EQ(Text(big.str()), "<" + longText + ">");
}

TEST(CFString, CompareOrdersByUTF16Units) {
    EXPECT_EQ(CFStringCompare(CFSTR("abc"), CFSTR("abd"), 0), kCFCompareLessThan);
    EXPECT_EQ(CFStringCompare(CFSTR("abc"), CFSTR("ab"), 0), kCFCompareGreaterThan);
    EXPECT_EQ(CFStringCompare(CFSTR("Init"), CFSTR("Init"), 0), kCFCompareEqualTo);
    EXPECT_EQ(CFStringCompare(CFSTR("INIT"), CFSTR("init"), 0), kCFCompareLessThan);
    EXPECT_EQ(CFStringCompare(CFSTR("INIT"), CFSTR("init"), kCFCompareCaseInsensitive),
              kCFCompareEqualTo);
    // U+FF5E is above the lead surrogate 0xD834 of U+1D11E, although its code point is lower.
    Owned tilde(Make("\xEF\xBD\x9E"));
    Owned clef(Make("\xF0\x9D\x84\x9E"));
    EXPECT_EQ(CFStringCompare(tilde.str(), clef.str(), 0), kCFCompareGreaterThan);
}

TEST(CFString, CopyOfAnImmutableStringIsEqual) {
    Owned original(Make("name"));
    Owned copy(CFStringCreateCopy(nullptr, original.str()));
    EXPECT_TRUE(CFEqual(copy.ref, original.ref));
    EXPECT_EQ(CFStringGetDoubleValue(CFSTR("-1.5e2")), -150.0);
    EXPECT_EQ(CFStringGetIntValue(CFSTR("17 bits")), 17);
    EXPECT_EQ(CFStringGetDoubleValue(CFSTR("abc")), 0.0);
    EXPECT_TRUE(CFStringHasPrefix(CFSTR("com.tolva.audiounit.Grindvox"), CFSTR("com.tolva")));
    EXPECT_TRUE(CFStringHasSuffix(CFSTR("com.tolva.audiounit.Grindvox"), CFSTR(".Grindvox")));
}
