// grindvox edit on a real X server: the window a person sees, driven with real input through
// XTest. A click on the filter switch and a drag on the cutoff knob are printed as they happen
// and end up in the state saved on the way out.
#include "tests/host/CliRunner.h"

#include <gtest/gtest.h>

// After GoogleTest: Xlib defines macros (None, Bool) that GoogleTest uses as names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include "raster/LICE_PNG.h"
#include "tests/support/RootResources.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

using namespace grindvox::test;

namespace {

constexpr int kControlTop = 40;  // every control's frame starts here
constexpr int kSlotWidth = 58;   // control k sits at x = 20 + 58 k
constexpr int kFrameCentre = 28; // the middle of a 56-pixel frame

// The top-level window named `title`, waiting up to ten seconds for it to be shown.
Window findWindow(Display* display, const char* title) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
        Window found = 0;
        for (unsigned i = 0; i < count && !found; ++i) {
            char* name = nullptr;
            XWindowAttributes attributes;
            if (XFetchName(display, children[i], &name) && name && std::strcmp(name, title) == 0 &&
                XGetWindowAttributes(display, children[i], &attributes) &&
                attributes.map_state == IsViewable) {
                found = children[i];
            }
            if (name) XFree(name);
        }
        if (children) XFree(children);
        if (found) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

// Moves the pointer to (x, y) of the window, in its own pixels.
void moveTo(Display* display, Window window, int x, int y) {
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY,
                          &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
}

void button(Display* display, bool down) {
    XTestFakeButtonEvent(display, 1, down ? True : False, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
}

// Runs grindvox edit with the arguments, clicks the filter switch and drags the cutoff knob at
// the editor's positions times scale, stops it with Ctrl-C and checks the window's size and
// what it printed and saved.
void clickDragAndSave(std::vector<std::string> arguments, int scale = 1) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) GTEST_SKIP() << "no X display";
    int event, error, major, minor;
    ASSERT_TRUE(XTestQueryExtension(display, &event, &error, &major, &minor));

    ScratchFolder folder;
    arguments.insert(arguments.end(), {"--save-state", "played.aupreset"});
    BackgroundCli edit(folder, arguments);
    const Window window = findWindow(display, "Grindvox");
    ASSERT_NE(window, 0u) << "no window titled Grindvox";
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // its first redraw
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(display, window, &attributes));
    EXPECT_EQ(attributes.width, 436 * scale);
    EXPECT_EQ(attributes.height, 108 * scale);
    auto at = [scale](int v) { return v * scale + scale / 2; };

    // Control 0, the filter switch: one click steps LPF to HPF.
    moveTo(display, window, at(20 + kFrameCentre), at(kControlTop + kFrameCentre));
    button(display, true);
    button(display, false);
    // Control 1, the cutoff knob: dragged down, away from its 11 kHz default.
    const int knobX = 20 + kSlotWidth + kFrameCentre;
    moveTo(display, window, at(knobX), at(kControlTop + kFrameCentre));
    button(display, true);
    for (int dy = 4; dy <= 40; dy += 4)
        moveTo(display, window, at(knobX), at(kControlTop + kFrameCentre + dy));
    button(display, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    kill(edit.Pid(), SIGINT);
    const CliResult r = edit.Wait();
    XCloseDisplay(display);
    EXPECT_EQ(r.status, 130) << r.err;
    EXPECT_NE(r.out.find("Filter = HPF\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Cutoff = "), std::string::npos) << r.out;

    const CliResult info = RunCli(folder, {"info", "--json", "--state", "played.aupreset"});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("\"HPF\""), std::string::npos) << info.out;
}

} // namespace

TEST(CliEditDisplay, AClickAndADragArePrintedAndSavedWithTheState) {
    clickDragAndSave({"edit"});
}

// The same through the unit's Carbon view, embedded in a window of grindvox's own.
TEST(CliEditDisplay, TheEmbeddedEditorTakesTheSameClickAndDrag) {
    clickDragAndSave({"edit", "--embed"});
}

// At twice the size the window is 872 x 216 and the same controls take the same gestures.
TEST(CliEditDisplay, AtScaleTwoTheWindowIsTwiceTheSizeAndTakesTheSameClickAndDrag) {
    clickDragAndSave({"edit", "--scale", "2"}, 2);
}

TEST(CliEditDisplay, AtScaleTwoTheEmbeddedEditorTakesTheSameClickAndDrag) {
    clickDragAndSave({"edit", "--embed", "--scale", "2"}, 2);
}

// A screen whose Xft.dpi asks for twice the size gets it from edit; a screenshot stays at the
// size it is asked for, whatever screen it is made on.
TEST(CliEditDisplay, TheScreensXftDpiDoublesEditButNotAScreenshot) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) GTEST_SKIP() << "no X display";
    ScratchFolder folder;
    int width = 0, height = 0;
    {
        RootResources resources(display);
        resources.Set("Xft.dpi: 192\n");
        const CliResult shot = RunCli(folder, {"screenshot", folder / "shot.png"});
        EXPECT_EQ(shot.status, 0) << shot.err;
        BackgroundCli edit(folder, {"edit"});
        const Window window = findWindow(display, "Grindvox");
        XWindowAttributes attributes;
        if (window && XGetWindowAttributes(display, window, &attributes)) {
            width = attributes.width;
            height = attributes.height;
        }
        kill(edit.Pid(), SIGINT);
        edit.Wait();
    }
    XCloseDisplay(display);
    EXPECT_EQ(width, 872);
    EXPECT_EQ(height, 216);
    std::unique_ptr<LICE_IBitmap> shot(LICE_LoadPNG((folder / "shot.png").c_str()));
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->getWidth(), 436);
    EXPECT_EQ(shot->getHeight(), 108);
}
