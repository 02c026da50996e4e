// The effect's editor laid out in a context with no window, its pictures read from the built
// bundle: which frame each control shows, where each control sits, what clicks and drags
// change, and the whole panel against a reference picture. The reference is
// tests/effect/expected/editor.png; after a deliberate change to the artwork or the layout, look
// at the new picture (written to the build tree as tests/effect/editor.png) and, when it is
// right, regenerate with
//
//     GRINDVOX_REGENERATE_IMAGES=1 build/tests/effect/effect_editor_tests
//
// which writes the expected picture into the source tree.
#include "tests/support/GrindvoxEditorHarness.h"

#include "editor/IBitmapControl.h"
#include "editor/IKnobMultiControl.h"
#include "effect/GrindvoxLayout.h"
#include "raster/LICE_PNGWrite.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace grindvox::test;
using namespace grindvox_layout;

namespace {

const std::string kResources = GRINDVOX_BUNDLE "/Contents/Resources";

// The pixels of the editor's draw bitmap inside r, row by row.
std::vector<LICE_pixel> Pixels(LICE_IBitmap* bm, const IRECT& r) {
    std::vector<LICE_pixel> out;
    for (int y = r.T; y < r.B; ++y)
        for (int x = r.L; x < r.R; ++x)
            out.push_back(bm->getBits()[y * bm->getRowSpan() + x] & 0xffffff00u);
    return out;
}

// Frame f (0-based) of a strip of n frames, as the pixels of its rows.
std::vector<LICE_pixel> FramePixels(const char* file, int n, int f) {
    std::unique_ptr<LICE_IBitmap> strip(LICE_LoadPNG((kResources + "/" + file).c_str()));
    EXPECT_NE(strip, nullptr) << file;
    if (!strip) return {};
    const int h = strip->getHeight() / n;
    return Pixels(strip.get(), IRECT(0, f * h, strip->getWidth(), (f + 1) * h));
}

class GrindvoxEditorTest : public ::testing::Test {
protected:
    GrindvoxEditorHarness mEditor{kResources};
};

TEST_F(GrindvoxEditorTest, EveryControlIsOneFrameOfItsPictureInItsSlot) {
    ASSERT_EQ(mEditor.Graphics().NControls(), 1 + kNumControls);
    // Frame sizes worked out from the artwork: every picture is 56 pixels wide and 56 per frame.
    const int params[] = {Grindvox::kFilter,  Grindvox::kCutoff,  Grindvox::kResonance,
                          Grindvox::kBits,    Grindvox::kMixMode, Grindvox::kRatio,
                          Grindvox::kParallel};
    const int lefts[] = {20, 78, 136, 194, 252, 310, 368};
    for (int k = 0; k < kNumControls; ++k) {
        IControl* control = mEditor.Control(k);
        EXPECT_EQ(control->ParamIdx(), params[k]) << "control " << k;
        EXPECT_EQ(control->GetRECT(), IRECT(lefts[k], 40, lefts[k] + 56, 96)) << "control " << k;
    }
    EXPECT_EQ(mEditor.Graphics().GetControl(0)->GetRECT(), IRECT(0, 0, 436, 108));
}

TEST_F(GrindvoxEditorTest, DefaultsShowTheirEndFrames) {
    // Filter LPF, Cutoff at its 11 kHz maximum, Resonance 0, Bits 16 (the maximum), Mix Mode
    // ">", Ratio 0, Parallel off.
    struct Expect {
        const char* file;
        int frames;
        int frame;
    };
    const Expect expected[] = {
        {"filter_switch.png", 3, 0},   {"knob.png", 60, 59},    {"knob.png", 60, 0},
        {"knob.png", 60, 59},          {"mode_knob.png", 4, 0}, {"knob.png", 60, 0},
        {"parallel_switch.png", 2, 0},
    };
    mEditor.DrawAll();
    LICE_IBitmap* screen = mEditor.Graphics().GetDrawBitmap();
    for (int k = 0; k < kNumControls; ++k) {
        EXPECT_EQ(Pixels(screen, mEditor.Control(k)->GetRECT()),
                  FramePixels(expected[k].file, expected[k].frames, expected[k].frame))
            << "control " << k;
    }
}

TEST_F(GrindvoxEditorTest, ThreeClicksOnFilterStepThroughHpfAndBpfBackToLpf) {
    const char* const shown[] = {"HPF", "BPF", "LPF"};
    char text[IParam::kDisplaySize];
    for (const char* expected : shown) {
        mEditor.Click(30, 60);
        mEditor.Plug().GetParam(Grindvox::kFilter)->GetDisplayForHost(text);
        EXPECT_STREQ(text, expected);
    }
    EXPECT_EQ(mEditor.Control(0)->GetValue(), 0.0);
}

TEST_F(GrindvoxEditorTest, TheFifthControlIsMixModeAndTheSixthIsRatio) {
    mEditor.Click(ControlLeft(4) + 28, 60);
    EXPECT_EQ(mEditor.Plug().GetParam(Grindvox::kMixMode)->Int(), Grindvox::kAverage);
    EXPECT_EQ(mEditor.Plug().GetParam(Grindvox::kRatio)->Int(), 0);

    // Any upward drag from 0 raises Ratio and leaves Mix Mode alone.
    mEditor.Drag(ControlLeft(5) + 28, 70, -32);
    EXPECT_GT(mEditor.Plug().GetParam(Grindvox::kRatio)->Int(), 0);
    EXPECT_EQ(mEditor.Plug().GetParam(Grindvox::kMixMode)->Int(), Grindvox::kAverage);
}

TEST_F(GrindvoxEditorTest, PanelMatchesTheReferencePicture) {
    mEditor.DrawAll();
    LICE_IBitmap* screen = mEditor.Graphics().GetDrawBitmap();
    ASSERT_TRUE(LICE_WritePNG("editor.png", screen, false));
    const std::string expectedPath = GRINDVOX_SOURCE_DIR "/tests/effect/expected/editor.png";
    if (std::getenv("GRINDVOX_REGENERATE_IMAGES")) {
        ASSERT_TRUE(LICE_WritePNG(expectedPath.c_str(), screen, false));
    }
    std::unique_ptr<LICE_IBitmap> expected(LICE_LoadPNG(expectedPath.c_str()));
    ASSERT_NE(expected, nullptr) << expectedPath;
    const IRECT all(0, 0, kEditorWidth, kEditorHeight);
    EXPECT_EQ(Pixels(screen, all), Pixels(expected.get(), all))
        << "the editor differs from " << expectedPath << "; see editor.png in the build tree";
}

} // namespace
