// grindvox screenshot and edit as a user runs them. The screenshot goes through the unit's own
// view (CocoaUI property, factory class, snapshot calls) with no display, so it must show the
// very panel the editor draws: the reference picture of the editor's own tests.
#include "tests/host/CliRunner.h"
#include "tests/support/DoubledPicture.h"

#include "raster/LICE_PNG.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

using namespace grindvox::test;

namespace {

const char* const kReference = GRINDVOX_SOURCE_DIR "/tests/effect/expected/editor.png";

struct Picture {
    std::unique_ptr<LICE_IBitmap> bitmap;
    int Width() const { return bitmap ? bitmap->getWidth() : 0; }
    int Height() const { return bitmap ? bitmap->getHeight() : 0; }
    unsigned At(int x, int y) const {
        return bitmap->getBits()[y * bitmap->getRowSpan() + x] & 0xffffff00u;
    }
};

Picture Load(const std::string& path) {
    return Picture{std::unique_ptr<LICE_IBitmap>(LICE_LoadPNG(path.c_str()))};
}

// Runs screenshot; skips the test when the program has no editor to show yet.
CliResult Screenshot(const ScratchFolder& folder, std::vector<std::string> args) {
    args.insert(args.begin(), "screenshot");
    return RunCli(folder, args);
}

#define SKIP_WITHOUT_EDITOR(result)                                                                \
    if ((result).status == 1 && (result).err.find("offers no editor view") != std::string::npos)   \
    GTEST_SKIP() << "this build has no window layer to make the editor's view"

// The columns and rows of control k of the row (0 "Filter" .. 6 "Parallel").
bool InsideControl(int k, int x, int y) {
    const int left = 20 + 58 * k;
    return x >= left && x < left + 56 && y >= 40 && y < 96;
}

TEST(CliEditor, ScreenshotIsTheEditorsPanelPixelForPixel) {
    ScratchFolder folder;
    const CliResult result = Screenshot(folder, {folder / "shot.png"});
    SKIP_WITHOUT_EDITOR(result);
    ASSERT_EQ(result.status, 0) << result.err;
    const Picture shot = Load(folder / "shot.png");
    const Picture reference = Load(kReference);
    ASSERT_EQ(shot.Width(), 436);
    ASSERT_EQ(shot.Height(), 108);
    ASSERT_EQ(reference.Width(), 436);
    int differing = 0;
    for (int y = 0; y < 108; ++y)
        for (int x = 0; x < 436; ++x)
            differing += shot.At(x, y) != reference.At(x, y);
    EXPECT_EQ(differing, 0);
}

TEST(CliEditor, ScreenshotAtScaleTwoIsTheEditorEnlargedBilinearly) {
    ScratchFolder folder;
    const CliResult result = Screenshot(folder, {folder / "big.png", "--scale", "2"});
    SKIP_WITHOUT_EDITOR(result);
    ASSERT_EQ(result.status, 0) << result.err;
    const CliResult plain = Screenshot(folder, {folder / "plain.png", "--scale", "1"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    const Picture big = Load(folder / "big.png");
    const Picture small = Load(folder / "plain.png");
    ASSERT_EQ(big.Width(), 872);
    ASSERT_EQ(big.Height(), 216);
    ASSERT_EQ(small.Width(), 436);
    // The three channels of a picture's pixel, each in a byte of its own.
    auto editorRGB = [&](int x, int y) { return small.At(x, y) >> 8; };
    auto shownRGB = [&](int x, int y) { return big.At(x, y) >> 8; };
    EXPECT_EQ(PixelsDifferingFromDoubled(editorRGB, 436, 108, shownRGB), 0);
}

TEST(CliEditor, SettingsChangeOnlyTheMovedControls) {
    ScratchFolder folder;
    const CliResult plain = Screenshot(folder, {folder / "plain.png"});
    SKIP_WITHOUT_EDITOR(plain);
    const CliResult moved =
        Screenshot(folder, {folder / "moved.png", "--set", "Bits=4", "--set", "Filter=HPF"});
    ASSERT_EQ(moved.status, 0) << moved.err;
    const Picture a = Load(folder / "plain.png");
    const Picture b = Load(folder / "moved.png");
    ASSERT_EQ(a.Width(), 436);
    ASSERT_EQ(b.Width(), 436);
    int insideFilter = 0, insideBits = 0, elsewhere = 0;
    for (int y = 0; y < 108; ++y)
        for (int x = 0; x < 436; ++x) {
            if (a.At(x, y) == b.At(x, y)) continue;
            if (InsideControl(0, x, y))
                ++insideFilter;
            else if (InsideControl(3, x, y))
                ++insideBits;
            else
                ++elsewhere;
        }
    EXPECT_GT(insideFilter, 0);
    EXPECT_GT(insideBits, 0);
    EXPECT_EQ(elsewhere, 0);
}

TEST(CliEditor, ScreenshotAndEditRefuseABadScaleBeforeOpeningAnything) {
    ScratchFolder folder;
    const CliResult result = Screenshot(folder, {folder / "x.png", "--scale", "3"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("--scale takes 1 or 2"), std::string::npos) << result.err;
    for (const char* bad : {"0", "1.5", "two"}) {
        const CliResult edit =
            RunCli(folder, {"edit", "--scale", bad, "--save-state", folder / "s.aupreset"});
        EXPECT_EQ(edit.status, 2) << bad;
        EXPECT_NE(edit.err.find("--scale takes 1 or 2"), std::string::npos) << edit.err;
    }
    EXPECT_TRUE(folder.Names().empty());
}

TEST(CliEditor, EditWithoutADisplaySaysSoAndFails) {
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    ScratchFolder folder;
    const CliResult result = RunCli(folder, {"edit", "--save-state", folder / "s.aupreset"});
    if (display) setenv("DISPLAY", saved.c_str(), 1);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("X display"), std::string::npos) << result.err;
    EXPECT_TRUE(folder.Names().empty());
}

} // namespace
