// Loading a component bundle the way a host does, and refusing broken ones cleanly.
#include "host/ComponentBundle.h"

#include <AudioUnit/AudioUnit.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A bundle folder made for one test: Contents/Info.plist as given, and Contents/Linux/ holding
// a link to the real module.
class FakeBundle {
public:
    explicit FakeBundle(const std::string& plist) {
        char pattern[] = "/tmp/grindvox-bundle-XXXXXX";
        mPath = mkdtemp(pattern);
        mkdir((mPath + "/Contents").c_str(), 0755);
        mkdir((mPath + "/Contents/Linux").c_str(), 0755);
        std::ofstream(mPath + "/Contents/Info.plist") << plist;
        const std::string module = std::string(GRINDVOX_BUNDLE) + "/Contents/Linux/Grindvox.so";
        EXPECT_EQ(symlink(module.c_str(), (mPath + "/Contents/Linux/Grindvox.so").c_str()), 0);
    }
    ~FakeBundle() {
        unlink((mPath + "/Contents/Linux/Grindvox.so").c_str());
        unlink((mPath + "/Contents/Info.plist").c_str());
        rmdir((mPath + "/Contents/Linux").c_str());
        rmdir((mPath + "/Contents").c_str());
        rmdir(mPath.c_str());
    }
    const std::string& Path() const { return mPath; }

private:
    std::string mPath;
};

std::string plist(const std::string& executable, const std::string& components) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>CFBundleIdentifier</key><string>com.example.audiounit.Broken</string>"
           "<key>CFBundleExecutable</key><string>" +
           executable + "</string><key>AudioComponents</key><array>" + components +
           "</array></dict></plist>";
}

std::string component(const std::string& type, const std::string& entry) {
    return "<dict><key>type</key><string>" + type +
           "</string><key>subtype</key><string>bRkn</string><key>manufacturer</key>"
           "<string>GrVo</string><key>name</key><string>Broken</string><key>entry</key><string>" +
           entry + "</string></dict>";
}

long anyComponents() {
    ComponentDescription any = {};
    return CountComponents(&any);
}

} // namespace

TEST(ComponentBundle, LoadsTheGrindvoxBundleAndRegistersItsUnitAndView) {
    ComponentBundle bundle;
    std::string error;
    ASSERT_TRUE(bundle.Load(GRINDVOX_BUNDLE, &error)) << error;
    EXPECT_EQ(bundle.Identifier(), "com.tolvasonics.audiounit.Grindvox");
    ASSERT_EQ(bundle.Components().size(), 1u);
    const ComponentBundle::Entry& entry = bundle.Components()[0];
    EXPECT_EQ(entry.name, "Tolva_Sonics: Grindvox");
    EXPECT_EQ(entry.version, 0x00010200u);
    EXPECT_EQ(entry.description.componentSubType, static_cast<OSType>('gRvx'));
    EXPECT_NE(entry.viewComponent, nullptr);
    EXPECT_EQ(bundle.Find(kAudioUnitType_Effect), entry.component);
    EXPECT_EQ(bundle.Find(kAudioUnitType_MusicDevice), nullptr);
}

TEST(ComponentBundle, SaysWhyABundleCannotBeLoaded) {
    const struct {
        std::string plist;
        const char* reason;
    } cases[] = {
        {"not a property list", "is not a property-list dictionary"},
        {plist("", component("aufx", "Grindvox_Entry")), "lacks CFBundleIdentifier"},
        {plist("Missing.so", component("aufx", "Grindvox_Entry")), "cannot load"},
        {plist("Grindvox.so", component("aufx", "No_Such_Entry")), "does not export No_Such_Entry"},
        {plist("Grindvox.so", component("au", "Grindvox_Entry")), "not a four-character code"},
    };
    for (const auto& c : cases) {
        FakeBundle folder(c.plist);
        ComponentBundle bundle;
        std::string error;
        EXPECT_FALSE(bundle.Load(folder.Path(), &error)) << c.reason;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_TRUE(bundle.Components().empty());
    }
    ComponentBundle missing;
    std::string error;
    EXPECT_FALSE(missing.Load("/nonexistent/Thing.component", &error));
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
}

TEST(ComponentBundle, ABadDeclarationRegistersNoneOfTheOthers) {
    const long before = anyComponents();
    FakeBundle folder(plist("Grindvox.so", component("aufx", "Grindvox_Entry") +
                                               component("aufx", "No_Such_Entry")));
    ComponentBundle bundle;
    std::string error;
    EXPECT_FALSE(bundle.Load(folder.Path(), &error));
    EXPECT_EQ(anyComponents(), before);
}
