#include <CoreFoundation/CFBundleRegistry.h>
#include <CoreFoundation/CoreFoundation.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Text(CFStringRef str) {
    const char* bytes = CFStringGetCStringPtr(str, kCFStringEncodingUTF8);
    return bytes ? bytes : "<null>";
}

std::string PathOf(CFURLRef url) {
    CFStringRef path = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
    std::string text = Text(path);
    if (path) CFRelease(path);
    return text;
}

void WriteFile(const std::string& path, const std::string& content) {
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    fwrite(content.data(), 1, content.size(), file);
    fclose(file);
}

// A bundle folder in a fresh temporary directory: Contents/Info.plist and two resources.
std::string MakeBundle(const char* identifier) {
    char pattern[] = "/tmp/grindvox-bundle-XXXXXX";
    std::string root = mkdtemp(pattern);
    std::string bundle = root + "/Thing.component";
    mkdir(bundle.c_str(), 0755);
    mkdir((bundle + "/Contents").c_str(), 0755);
    mkdir((bundle + "/Contents/Resources").c_str(), 0755);
    mkdir((bundle + "/Contents/Resources/img").c_str(), 0755);
    WriteFile(bundle + "/Contents/Info.plist",
              std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">"
                          "<dict><key>CFBundleIdentifier</key><string>") +
                  identifier +
                  "</string><key>CFBundleName</key><string>Thing</string></dict></plist>\n");
    WriteFile(bundle + "/Contents/Resources/knob.png", "png");
    WriteFile(bundle + "/Contents/Resources/img/bg.png", "png");
    return bundle;
}

} // namespace

TEST(CFURL, FileSystemPathsRoundTripAndDirectoriesEndInASlash) {
    CFURLRef dir = CFURLCreateWithFileSystemPath(nullptr, CFSTR("/tmp/My Bundle.component/"),
                                                 kCFURLPOSIXPathStyle, true);
    ASSERT_NE(dir, nullptr);
    EXPECT_EQ(PathOf(dir), "/tmp/My Bundle.component");
    EXPECT_EQ(Text(CFURLGetString(dir)), "file:///tmp/My%20Bundle.component/");
    EXPECT_TRUE(CFURLHasDirectoryPath(dir));

    CFURLRef file = CFURLCreateCopyAppendingPathComponent(nullptr, dir, CFSTR("Info.plist"), false);
    EXPECT_EQ(PathOf(file), "/tmp/My Bundle.component/Info.plist");
    EXPECT_EQ(Text(CFURLGetString(file)), "file:///tmp/My%20Bundle.component/Info.plist");
    CFStringRef last = CFURLCopyLastPathComponent(file);
    EXPECT_EQ(Text(last), "Info.plist");
    CFRelease(last);

    CFURLRef same = CFURLCreateWithFileSystemPath(nullptr, CFSTR("/tmp/My Bundle.component"),
                                                  kCFURLPOSIXPathStyle, true);
    EXPECT_TRUE(CFEqual(dir, same));
    EXPECT_EQ(CFHash(dir), CFHash(same));
    CFRelease(same);
    CFRelease(file);
    CFRelease(dir);

    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    CFURLRef relative =
        CFURLCreateWithFileSystemPath(nullptr, CFSTR("out.wav"), kCFURLPOSIXPathStyle, false);
    EXPECT_EQ(PathOf(relative), std::string(cwd) + "/out.wav");
    CFRelease(relative);
    EXPECT_EQ(CFURLCreateWithFileSystemPath(nullptr, CFSTR("C:\\x"), kCFURLWindowsPathStyle, false),
              nullptr);
    EXPECT_EQ(CFURLCreateWithFileSystemPath(nullptr, CFSTR(""), kCFURLPOSIXPathStyle, false),
              nullptr);
}

TEST(CFBundle, RegisteredBundlesAreFoundByIdentifierWithTheirResources) {
    std::string path = MakeBundle("com.tolva.audiounit.TestThing");
    CFBundleRef bundle =
        GrindvoxPlatform_RegisterBundle("com.tolva.audiounit.TestThing", path.c_str());
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.tolva.audiounit.TestThing")), bundle);
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.tolva.audiounit.Missing")), nullptr);
    EXPECT_EQ(GrindvoxPlatform_RegisterBundle("com.tolva.audiounit.TestThing", "/elsewhere"),
              bundle);
    EXPECT_EQ(Text(CFBundleGetIdentifier(bundle)), "com.tolva.audiounit.TestThing");

    CFURLRef url = CFBundleCopyBundleURL(bundle);
    EXPECT_EQ(PathOf(url), path);
    CFRelease(url);

    CFURLRef knob = CFBundleCopyResourceURL(bundle, CFSTR("knob"), CFSTR("png"), nullptr);
    ASSERT_NE(knob, nullptr);
    EXPECT_EQ(PathOf(knob), path + "/Contents/Resources/knob.png");
    CFRelease(knob);
    CFURLRef named = CFBundleCopyResourceURL(bundle, CFSTR("knob.png"), nullptr, nullptr);
    ASSERT_NE(named, nullptr);
    CFRelease(named);
    CFURLRef nested = CFBundleCopyResourceURL(bundle, CFSTR("bg"), CFSTR("png"), CFSTR("img"));
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(PathOf(nested), path + "/Contents/Resources/img/bg.png");
    CFRelease(nested);
    EXPECT_EQ(CFBundleCopyResourceURL(bundle, CFSTR("missing"), CFSTR("png"), nullptr), nullptr);
    EXPECT_EQ(CFBundleCopyResourceURL(bundle, CFSTR("../Info"), CFSTR("plist"), nullptr), nullptr);

    EXPECT_TRUE(CFEqual(CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("CFBundleName")),
                        CFSTR("Thing")));
    EXPECT_EQ(GrindvoxPlatform_RegisterBundle(nullptr, path.c_str()), nullptr);
    EXPECT_EQ(GrindvoxPlatform_RegisterBundle("x", ""), nullptr);
}

TEST(CFBundle, MainBundleIsTheOneTheHostRegistered) {
    std::string path = MakeBundle("com.tolva.grindvox-host");
    CFBundleRef main = GrindvoxPlatform_RegisterMainBundle("com.tolva.grindvox-host", path.c_str());
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(CFBundleGetMainBundle(), main);
    EXPECT_EQ(Text(CFBundleGetIdentifier(CFBundleGetMainBundle())), "com.tolva.grindvox-host");
    EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.tolva.grindvox-host")), main);
}

TEST(CFBundle, FolderWithoutInfoPlistStillRegisters) {
    char pattern[] = "/tmp/grindvox-bare-XXXXXX";
    std::string path = mkdtemp(pattern);
    CFBundleRef bundle = GrindvoxPlatform_RegisterBundle("com.tolva.bare", path.c_str());
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(CFDictionaryGetCount(CFBundleGetInfoDictionary(bundle)), 0);
    EXPECT_EQ(CFBundleGetValueForInfoDictionaryKey(bundle, CFSTR("CFBundleName")), nullptr);
}

TEST(CFBundle, FlatBundleKeepsItsResourcesInItsOwnFolder) {
    char pattern[] = "/tmp/grindvox-flat-XXXXXX";
    std::string path = mkdtemp(pattern);
    WriteFile(path + "/knob.png", "png");
    CFBundleRef bundle = GrindvoxPlatform_RegisterBundle("com.tolva.flat", path.c_str());
    ASSERT_NE(bundle, nullptr);
    CFURLRef resources = CFBundleCopyResourcesDirectoryURL(bundle);
    EXPECT_EQ(PathOf(resources), path);
    CFRelease(resources);
    CFURLRef knob = CFBundleCopyResourceURL(bundle, CFSTR("knob"), CFSTR("png"), nullptr);
    ASSERT_NE(knob, nullptr);
    EXPECT_EQ(PathOf(knob), path + "/knob.png");
    CFRelease(knob);
    EXPECT_EQ(CFBundleCopyResourceURL(bundle, CFSTR("../flat"), nullptr, nullptr), nullptr);
}

TEST(CFAllocator, DefaultAllocatesAndNullAllocatesNothing) {
    void* block = CFAllocatorAllocate(kCFAllocatorDefault, 64, 0);
    ASSERT_NE(block, nullptr);
    memset(block, 0xAB, 64);
    CFAllocatorDeallocate(kCFAllocatorDefault, block);
    EXPECT_EQ(CFAllocatorAllocate(kCFAllocatorDefault, 0, 0), nullptr);
    EXPECT_EQ(CFAllocatorAllocate(kCFAllocatorNull, 64, 0), nullptr);
    EXPECT_EQ(kCFAllocatorDefault, nullptr);
    EXPECT_EQ(CFGetTypeID(kCFAllocatorSystemDefault), CFAllocatorGetTypeID());
}

TEST(CFRuntime, DescriptionsAndTypeIDs) {
    SInt32 three = 3;
    CFNumberRef number = CFNumberCreate(nullptr, kCFNumberSInt32Type, &three);
    CFStringRef description = CFCopyDescription(number);
    EXPECT_EQ(Text(description), "3");
    CFRelease(description);
    EXPECT_EQ(CFGetTypeID(number), CFNumberGetTypeID());
    EXPECT_NE(CFNumberGetTypeID(), CFStringGetTypeID());
    CFStringRef typeName = CFCopyTypeIDDescription(CFDictionaryGetTypeID());
    EXPECT_EQ(Text(typeName), "CFDictionary");
    CFRelease(typeName);
    CFRelease(number);
    EXPECT_FALSE(CFEqual(CFSTR("3"), kCFBooleanTrue));
}
