#include "au/AUDictionary.h"
#include "au/CFAUPreset.h"
#include "tests/au/TestAU.h"

#include <string>

namespace {

std::string utf8(CFStringRef text) {
    char buffer[512];
    if (!CFStringGetCString(text, buffer, sizeof buffer, kCFStringEncodingUTF8)) return "?";
    return buffer;
}

CFMutableDictionaryRef newDict() {
    return CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks,
                                     &kCFTypeDictionaryValueCallBacks);
}

} // namespace

TEST(AUDictionary, StringsComeBackAsUtf8AndCutAtACharacter) {
    CFMutableDictionaryRef dict = newDict();
    PutStrInDict(dict, "name", "Grüße");
    char out[64];
    ASSERT_TRUE(GetStrFromDict(dict, "name", out, sizeof out));
    EXPECT_STREQ(out, "Grüße") << "the buffer is sized for UTF-8, not UTF-16";

    // 62 ASCII characters, then a two-byte one that does not fit before the NUL.
    PutStrInDict(dict, "long", (std::string(62, 'a') + "é" + std::string(100, 'b')).c_str());
    ASSERT_TRUE(GetStrFromDict(dict, "long", out, sizeof out));
    EXPECT_EQ(std::string(out), std::string(62, 'a'));

    EXPECT_FALSE(GetStrFromDict(dict, "missing", out, sizeof out));
    EXPECT_STREQ(out, "");
    PutSInt32InDict(dict, "number", 7);
    EXPECT_FALSE(GetStrFromDict(dict, "number", out, sizeof out)) << "a number is not a name";
    CFRelease(dict);
}

TEST(AUDictionary, DataAndNumbersRoundTrip) {
    CFMutableDictionaryRef dict = newDict();
    ByteChunk chunk;
    const double value = 0.25;
    chunk.Put(&value);
    PutDataInDict(dict, "data", &chunk);
    PutSInt32InDict(dict, "version", 0x10100);

    ByteChunk back;
    ASSERT_TRUE(GetDataFromDict(dict, "data", &back));
    EXPECT_TRUE(back.IsEqual(&chunk));
    SInt32 version = 0;
    EXPECT_TRUE(GetSInt32FromDict(dict, "version", &version));
    EXPECT_EQ(version, 0x10100);
    EXPECT_FALSE(GetDataFromDict(dict, "version", &back)) << "a number is not data";

    ByteChunk empty;
    PutDataInDict(dict, "empty", &empty);
    back.PutStr("old");
    ASSERT_TRUE(GetDataFromDict(dict, "empty", &back));
    EXPECT_EQ(back.Size(), 0);
    CFRelease(dict);
}

TEST(CFAUPreset, DescribesItselfInThreeLines) {
    CFAUPreset* preset = CFAUPresetCreate(kCFAllocatorDefault, 3, CFSTR("Warm"));
    CFStringRef description = CFAUPresetArrayCopyDescriptionCallBack(preset);
    EXPECT_EQ(utf8(description), "AUPreset:\npreset number = 3\npreset name = Warm");
    CFRelease(description);
    CFAUPresetRelease(preset);
}

TEST(CFAUPreset, EqualByNumberAndName) {
    CFStringRef warm = CFStringCreateWithCString(nullptr, "Warm", kCFStringEncodingUTF8);
    CFAUPreset* a = CFAUPresetCreate(kCFAllocatorDefault, 1, CFSTR("Warm"));
    CFAUPreset* b = CFAUPresetCreate(kCFAllocatorDefault, 1, warm);
    CFAUPreset* c = CFAUPresetCreate(kCFAllocatorDefault, 2, warm);
    CFAUPreset* unnamed = CFAUPresetCreate(kCFAllocatorDefault, 1, nullptr);
    EXPECT_TRUE(CFAUPresetArrayEqualCallBack(a, b));
    EXPECT_FALSE(CFAUPresetArrayEqualCallBack(a, c));
    EXPECT_FALSE(CFAUPresetArrayEqualCallBack(a, unnamed));
    for (CFAUPreset* p : {a, b, c, unnamed})
        CFAUPresetRelease(p);
    CFRelease(warm);
}

TEST(CFAUPreset, HoldsOneReferenceToItsNamePerReferenceToItself) {
    CFStringRef name = CFStringCreateWithCString(nullptr, "Bright", kCFStringEncodingUTF8);
    CFAUPreset* preset = CFAUPresetCreate(kCFAllocatorDefault, 0, name);
    CFRelease(name); // the record keeps its own copy
    CFStringRef copy = preset->auPreset.presetName;
    const CFIndex base = CFGetRetainCount(copy);
    CFAUPresetRetain(preset);
    EXPECT_EQ(preset->retainCount, 2);
    EXPECT_EQ(CFGetRetainCount(copy), base + 1);
    CFAUPresetRelease(preset);
    EXPECT_EQ(CFGetRetainCount(copy), base);
    CFAUPresetRelease(preset); // frees the record and its name
    CFAUPresetRelease(nullptr);
}

TEST(CFAUPreset, ArraysRetainAndReleaseThroughTheCallbacks) {
    CFArrayCallBacks callbacks;
    CFAUPresetArrayCallBacks_Init(&callbacks);
    CFAUPresetArrayCallBacks_Init(nullptr);
    CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 1, &callbacks);
    CFAUPreset* preset = CFAUPresetCreate(kCFAllocatorDefault, 4, CFSTR("Dark"));
    CFArrayAppendValue(array, preset);
    EXPECT_EQ(preset->retainCount, 2);
    CFAUPresetRelease(preset);
    EXPECT_EQ(preset->retainCount, 1) << "the array holds the last reference";
    CFRelease(array); // releases it to 0; the sanitizer build checks nothing leaks
}

TEST(CFAUPreset, ReleasingARecordAlreadyAtZeroDoesNothing) {
    CFAUPreset released = {{5, nullptr}, kCFAllocatorDefault, 0};
    CFAUPresetRelease(&released); // must neither free nor count below 0
    EXPECT_EQ(released.retainCount, 0);
    EXPECT_EQ(released.auPreset.presetNumber, 5);
}
