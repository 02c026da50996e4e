// Grindvox's LV2 UI in a host: the UI module of the installed bundle, loaded by a plain host
// from a copy in a temporary folder, embedded in the host's X window and driven with XTest.
#include <gtest/gtest.h>

#include "tests/lv2/UiHost.h"
#include "tests/support/RootResources.h"

#include <cmath>
#include <filesystem>
#include <set>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The editor's geometry, in editor pixels: seven 56-pixel controls from x = 20, 58 apart, at
// y = 40; the filter switch first, the cutoff knob second.
constexpr int kEditorW = 436, kEditorH = 108;
constexpr int kFilterX = 48, kCutoffX = 106, kControlY = 68;
constexpr uint32_t kFilterPort = 0, kCutoffPort = 1;
// Dragging the cutoff knob down by its height takes a quarter off its normalised travel:
// 20 + 10980 * 0.75^3 Hz.
constexpr float kCutoffAfterDrag = 4652.1875f;

// X errors the host's own connection was sent, counted by the host's handler.
int sHostErrors = 0;

int CountHostError(Display*, XErrorEvent*) {
    ++sHostErrors;
    return 0;
}

int ThreadCount() {
    int n = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/task")) {
        (void)entry;
        ++n;
    }
    return n;
}

class LV2Ui : public ::testing::Test {
protected:
    // The bundle as scripts/install-lv2 installs it, in a folder of its own.
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/grindvox-lv2ui-XXXXXX";
        sFolder = mkdtemp(pattern);
        const std::string command =
            std::string(GRINDVOX_SOURCE_DIR "/scripts/install-lv2 --build ") + GRINDVOX_BUILD_DIR +
            " " + sFolder + " > /dev/null";
        sInstalled = std::system(command.c_str()) == 0;
        // Set before any UI opens its own connection, as a toolkit's is.
        XSetErrorHandler(CountHostError);
    }
    static void TearDownTestSuite() { fs::remove_all(sFolder); }

    void SetUp() override {
        ASSERT_TRUE(sInstalled) << "scripts/install-lv2 failed";
        if (!getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    }

    static std::string Bundle() { return sFolder + "/grindvox.lv2"; }

    static std::string sFolder;
    static bool sInstalled;
};

std::string LV2Ui::sFolder;
bool LV2Ui::sInstalled = false;

void ExpectWrites(const UiHost& host, std::vector<UiHost::Write> expected) {
    ASSERT_EQ(host.writes.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(host.writes[i].port, expected[i].port) << "write " << i;
        EXPECT_FLOAT_EQ(host.writes[i].value, expected[i].value) << "write " << i;
    }
}

} // namespace

TEST_F(LV2Ui, ThePaneIsAChildOfTheHostsWindowWithTheArtworkDrawn) {
    UiHost host(Bundle());
    ASSERT_TRUE(host.Instantiate()) << host.Error();
    host.Idle();
    int w = 0, h = 0;
    Window parent = 0;
    ASSERT_TRUE(host.PaneGeometry(&w, &h, &parent));
    EXPECT_EQ(parent, host.Parent());
    EXPECT_EQ(w, kEditorW);
    EXPECT_EQ(h, kEditorH);
    ASSERT_EQ(host.resizes.size(), 1u);
    EXPECT_EQ(host.resizes[0], std::make_pair(kEditorW, kEditorH));
    // Pictures that failed to load would leave the pane one flat colour.
    const std::vector<unsigned long> pixels = host.Pixels(0, 0, kEditorW, kEditorH);
    EXPECT_GT(std::set<unsigned long>(pixels.begin(), pixels.end()).size(), 100u);
    EXPECT_TRUE(host.writes.empty());
}

TEST_F(LV2Ui, TheFilterSwitchAndTheCutoffKnobWriteTheirPortsInTheirUnits) {
    UiHost host(Bundle());
    ASSERT_TRUE(host.Instantiate()) << host.Error();
    host.Idle();
    host.Click(kFilterX, kControlY);
    ExpectWrites(host, {{kFilterPort, 1.0f}});
    host.writes.clear();
    host.Drag(kCutoffX, kControlY - 20, 0, 56);
    ExpectWrites(host, {{kCutoffPort, kCutoffAfterDrag}});
    // Each gesture is bracketed for the host's automation.
    ASSERT_EQ(host.touches.size(), 4u);
    EXPECT_EQ(host.touches[0].port, kFilterPort);
    EXPECT_TRUE(host.touches[0].grabbed);
    EXPECT_FALSE(host.touches[1].grabbed);
    EXPECT_EQ(host.touches[2].port, kCutoffPort);
    EXPECT_TRUE(host.touches[2].grabbed);
    EXPECT_EQ(host.touches[3].port, kCutoffPort);
    EXPECT_FALSE(host.touches[3].grabbed);
}

TEST_F(LV2Ui, APortEventMovesTheKnobOnScreenAndWritesNothingBack) {
    UiHost host(Bundle());
    ASSERT_TRUE(host.Instantiate()) << host.Error();
    host.Idle();
    const std::vector<unsigned long> atMaximum = host.Pixels(78, 40, 56, 56);
    host.PortEvent(kCutoffPort, 20.0f);
    host.Idle();
    EXPECT_NE(host.Pixels(78, 40, 56, 56), atMaximum);
    host.PortEvent(kCutoffPort, 11000.0f);
    host.Idle();
    EXPECT_EQ(host.Pixels(78, 40, 56, 56), atMaximum);
    // What is not a control port's float is ignored.
    host.PortEvent(40, 1.0f);
    host.PortEvent(kCutoffPort, NAN);
    host.Idle();
    EXPECT_EQ(host.Pixels(78, 40, 56, 56), atMaximum);
    EXPECT_TRUE(host.writes.empty());
    EXPECT_TRUE(host.touches.empty());
}

TEST_F(LV2Ui, ScaleFactorTwoDrawsTwiceTheSizeAndClicksLandOnTheSameControls) {
    UiHost host(Bundle(), 2.0f);
    ASSERT_TRUE(host.Instantiate()) << host.Error();
    host.Idle();
    int w = 0, h = 0;
    Window parent = 0;
    ASSERT_TRUE(host.PaneGeometry(&w, &h, &parent));
    EXPECT_EQ(w, 2 * kEditorW);
    EXPECT_EQ(h, 2 * kEditorH);
    ASSERT_EQ(host.resizes.size(), 1u);
    EXPECT_EQ(host.resizes[0], std::make_pair(2 * kEditorW, 2 * kEditorH));
    host.Click(2 * kFilterX, 2 * kControlY);
    ExpectWrites(host, {{kFilterPort, 1.0f}});
    host.writes.clear();
    host.Drag(2 * kCutoffX, 2 * (kControlY - 20), 0, 2 * 56);
    ExpectWrites(host, {{kCutoffPort, kCutoffAfterDrag}});
}

TEST_F(LV2Ui, WithoutAScaleFactorTheScreensXftDpiDecides) {
    UiHost host(Bundle());
    RootResources resources(host.XDisplay());
    resources.Set("Xft.dpi:\t192\n");
    ASSERT_TRUE(host.Instantiate()) << host.Error();
    host.Idle();
    ASSERT_EQ(host.resizes.size(), 1u);
    EXPECT_EQ(host.resizes[0], std::make_pair(2 * kEditorW, 2 * kEditorH));
    // A host's own factor wins over the screen's.
    UiHost plain(Bundle(), 1.0f, 0, 400);
    ASSERT_TRUE(plain.Instantiate()) << plain.Error();
    ASSERT_EQ(plain.resizes.size(), 1u);
    EXPECT_EQ(plain.resizes[0], std::make_pair(kEditorW, kEditorH));
}

TEST_F(LV2Ui, RunsOnTheHostsThreadAndLeavesTheKeyboardFocusAlone) {
    const int threadsBefore = ThreadCount();
    UiHost host(Bundle());
    Window focusBefore = 0;
    int revert = 0;
    XGetInputFocus(host.XDisplay(), &focusBefore, &revert);
    ASSERT_TRUE(host.Instantiate()) << host.Error();
    host.Idle();
    host.Click(kFilterX, kControlY);
    Window focusAfter = 0;
    XGetInputFocus(host.XDisplay(), &focusAfter, &revert);
    EXPECT_EQ(focusAfter, focusBefore);
    EXPECT_EQ(ThreadCount(), threadsBefore);
}

TEST_F(LV2Ui, CleansUpWithTheHostsWindowAliveAndRemovesThePane) {
    UiHost host(Bundle());
    ASSERT_TRUE(host.Instantiate()) << host.Error();
    host.Idle();
    host.Cleanup();
    XSync(host.XDisplay(), False);
    Window root, parent, *children = nullptr;
    unsigned int n = 99;
    ASSERT_TRUE(XQueryTree(host.XDisplay(), host.Parent(), &root, &parent, &children, &n));
    if (children) XFree(children);
    EXPECT_EQ(n, 0u);
}

TEST_F(LV2Ui, CleansUpAfterTheHostDestroyedItsWindow) {
    UiHost first(Bundle());
    ASSERT_TRUE(first.Instantiate()) << first.Error();
    first.Idle();
    // Cleanup straight after the window went, before the UI heard of it...
    first.DestroyParent();
    first.Cleanup();
    // ...and after idle calls in between.
    UiHost second(Bundle());
    ASSERT_TRUE(second.Instantiate()) << second.Error();
    second.Idle();
    second.DestroyParent();
    second.Idle();
    second.Cleanup();
}

TEST_F(LV2Ui, TheHostKeepsItsOwnXErrorHandlingAndNeverSeesTheUisErrors) {
    UiHost host(Bundle());
    ASSERT_TRUE(host.Instantiate()) << host.Error();
    host.Idle();
    const int before = sHostErrors;
    host.DestroyParent();
    host.Cleanup();
    EXPECT_EQ(sHostErrors, before);
    XMapWindow(host.XDisplay(), 0x7FFFFFFF);
    XSync(host.XDisplay(), False);
    EXPECT_EQ(sHostErrors, before + 1);
}

TEST_F(LV2Ui, AHostHoldingFontsOfItsOwnExitsNormallyAfterShowingTheUi) {
    const std::string command =
        std::string(GRINDVOX_UI_EXIT_PROBE) + " " + Bundle() + " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << "the host died of signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(LV2Ui, TwoUisInOneProcessKeepToTheirOwnParameters) {
    UiHost left(Bundle(), 0.0f, 0, 0);
    UiHost right(Bundle(), 0.0f, 0, 400);
    ASSERT_TRUE(left.Instantiate()) << left.Error();
    ASSERT_TRUE(right.Instantiate()) << right.Error();
    left.Idle();
    const std::vector<unsigned long> rightKnob = right.Pixels(78, 40, 56, 56);
    left.PortEvent(kCutoffPort, 20.0f);
    left.Click(kFilterX, kControlY);
    right.Idle();
    ExpectWrites(left, {{kFilterPort, 1.0f}});
    EXPECT_TRUE(right.writes.empty());
    EXPECT_EQ(right.Pixels(78, 40, 56, 56), rightKnob);
    right.Click(kFilterX, kControlY);
    // The right UI's switch starts from its own value, not the left one's.
    ExpectWrites(right, {{kFilterPort, 1.0f}});
}
