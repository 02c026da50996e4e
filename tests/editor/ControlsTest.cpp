#include "tests/editor/DrawingTestSupport.h"

#include "editor/IBitmapOverlayControl.h"
#include "editor/IBitmapTextControl.h"
#include "editor/ICaptionControl.h"
#include "editor/IFaderControl.h"
#include "editor/IFileSelectorControl.h"
#include "editor/IInvisibleSwitchControl.h"
#include "editor/IKnobMultiControl.h"
#include "editor/IPanelControl.h"
#include "editor/IRadioButtonsControl.h"
#include "editor/ISwitchControl.h"
#include "editor/IURLControl.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

IMouseMod kLeft(true);
IMouseMod kShift(true, false, true);

// Images for the controls: strips owned by the test, handed out as handles.
struct Strip {
    Strip(int w, int h, int n) : pixels(RowStrip(w, h)), bitmap(pixels.get(), w, h, n) {}
    std::unique_ptr<LICE_MemBitmap> pixels;
    IBitmap bitmap;
};

// An editor attached to a plug-in, so that gestures reach the parameters.
class ControlsTest : public ::testing::Test {
protected:
    ControlsTest() : graphics(new PictureGraphics(&plug, 200, 100)) {}
    ~ControlsTest() override {
        if (plug.GetGUI() != graphics) delete graphics; // never opened, so never handed over
    }

    template <class Control>
    Control* Attach(Control* control) {
        graphics->AttachControl(control);
        return control;
    }
    void Open() {
        plug.AttachGraphics(graphics);
        graphics->SetDrawRECT(IRECT(0, 0, 200, 100));
    }
    double ParamValue(int idx) { return plug.GetParam(idx)->GetNormalized(); }

    EditorTestPlug plug;
    PictureGraphics* graphics; // owned by the plug-in once opened
};

} // namespace

TEST_F(ControlsTest, SwitchesStepThroughTheirFramesAndWrap) {
    Strip three(10, 30, 3), two(10, 20, 2), one(10, 10, 1);
    auto* s3 = Attach(new ISwitchControl(&plug, 0, 0, EditorTestPlug::kGain, &three.bitmap));
    auto* s2 = Attach(new ISwitchControl(&plug, 20, 0, -1, &two.bitmap));
    auto* s1 = Attach(new ISwitchControl(&plug, 40, 0, -1, &one.bitmap));
    Open();
    s3->SetValue(0.0);
    EXPECT_EQ(IRECT(0, 0, 10, 10), s3->GetRECT()); // one frame's size
    const int frameRows[] = {0, 10, 20, 0};
    const double values[] = {0.0, 0.5, 1.0, 0.0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(values[i], s3->GetValue()) << i;
        s3->Draw(graphics);
        EXPECT_EQ(frameRows[i], LICE_PixelR(graphics->At(0, 0))) << i;
        s3->OnMouseDown(1, 1, &kLeft);
    }
    EXPECT_DOUBLE_EQ(0.5, ParamValue(EditorTestPlug::kGain)); // pushed to the plug-in
    // A double click steps once more rather than resetting.
    s3->OnMouseDblClick(1, 1, &kLeft);
    EXPECT_DOUBLE_EQ(1.0, s3->GetValue());

    for (double expected : {1.0, 0.0, 1.0}) {
        s2->OnMouseDown(21, 1, &kLeft);
        EXPECT_EQ(expected, s2->GetValue());
        s1->OnMouseDown(41, 1, &kLeft);
        EXPECT_EQ(expected, s1->GetValue());
    }
}

TEST_F(ControlsTest, ContactAndInvisibleSwitchesPressAndToggle) {
    Strip two(10, 20, 2);
    auto* contact = Attach(new IContactControl(&plug, 0, 0, EditorTestPlug::kBypass, &two.bitmap));
    auto* invisible = Attach(new IInvisibleSwitchControl(&plug, IRECT(50, 0, 60, 10), -1));
    Open();
    contact->OnMouseDown(1, 1, &kLeft);
    EXPECT_EQ(1.0, contact->GetValue());
    EXPECT_EQ(1.0, ParamValue(EditorTestPlug::kBypass));
    contact->OnMouseUp(1, 1, &kLeft);
    EXPECT_EQ(0.0, contact->GetValue());
    EXPECT_EQ(0.0, ParamValue(EditorTestPlug::kBypass));

    IMouseMod right(false, true);
    invisible->OnMouseDown(51, 1, &right); // any button
    EXPECT_EQ(1.0, invisible->GetValue());
    invisible->OnMouseDown(51, 1, &kLeft);
    EXPECT_EQ(0.0, invisible->GetValue());
}

TEST_F(ControlsTest, KnobsGainAQuarterOverTheirHeightAndATenthOfThatWithShift) {
    Strip knob(40, 40 * 60, 60);
    auto* k = Attach(new IKnobMultiControl(&plug, 0, 0, EditorTestPlug::kGain, &knob.bitmap));
    Open();
    EXPECT_EQ(IRECT(0, 0, 40, 40), k->GetRECT());
    EXPECT_EQ(0.5, k->GetValue());
    graphics->OnMouseDown(10, 10, &kLeft);
    graphics->OnMouseDrag(10, 6, &kLeft); // 4 pixels up: 4 / 40 / 4
    EXPECT_DOUBLE_EQ(0.525, k->GetValue());
    graphics->OnMouseDrag(10, 10, &kLeft);
    EXPECT_DOUBLE_EQ(0.5, k->GetValue());
    graphics->OnMouseDrag(10, 14, &kShift);
    EXPECT_DOUBLE_EQ(0.4975, k->GetValue());
    graphics->OnMouseDrag(10, -4000, &kLeft); // never beyond 1
    EXPECT_EQ(1.0, k->GetValue());
    graphics->OnMouseUp(10, 10, &kLeft);
    EXPECT_EQ(1.0, ParamValue(EditorTestPlug::kGain));

    // Frame 1 + trunc(59 * 0.5 + 0.5) = 31 for 0.5; 1 and 60 at the ends.
    EXPECT_EQ(31, FrameForValue(60, 0.5));
    EXPECT_EQ(1, FrameForValue(60, 0.0));
    EXPECT_EQ(60, FrameForValue(60, 1.0));
    EXPECT_EQ(60, FrameForValue(60, 7.0));
    k->SetValue(0.5);
    k->Draw(graphics);
    EXPECT_EQ((30 * 40) & 0xff, LICE_PixelR(graphics->At(0, 0)));

    // A double click restores the first value the plug-in pushed.
    k->OnMouseDblClick(1, 1, &kLeft);
    EXPECT_EQ(0.5, k->GetValue());
}

TEST_F(ControlsTest, AKnobWithNoHeightIgnoresDrags) {
    auto* k = Attach(new IKnobMultiControl(&plug, 0, 0, EditorTestPlug::kGain, nullptr));
    Open();
    k->OnMouseDrag(0, 0, 0, -4, &kLeft);
    EXPECT_EQ(0.5, k->GetValue());
    EXPECT_FALSE(k->Draw(graphics));
}

TEST_F(ControlsTest, FadersFollowThePointerAndSnapPastEitherEndToOneOrZero) {
    Strip handle(10, 20, 1);
    auto* f = Attach(new IFaderControl(&plug, 5, 10, 80, EditorTestPlug::kGain, &handle.bitmap));
    Open();
    EXPECT_EQ(IRECT(5, 10, 15, 90), f->GetRECT());
    // Handle middle at travel 0 is y 10 + 10: the top gives 1.
    f->SnapToMouse(0, 20);
    EXPECT_EQ(1.0, f->GetValue());
    EXPECT_EQ(IRECT(5, 10, 15, 30), f->GetHandleRECT());
    f->SnapToMouse(0, -500);
    EXPECT_EQ(1.0, f->GetValue());
    f->SnapToMouse(0, 500);
    EXPECT_EQ(0.0, f->GetValue());
    EXPECT_EQ(IRECT(5, 70, 15, 90), f->GetHandleRECT());
    f->OnMouseDown(0, 50, &kLeft); // 1 - (50 - 10 - 10) / 60
    EXPECT_DOUBLE_EQ(0.5, f->GetValue());
    EXPECT_DOUBLE_EQ(0.5, ParamValue(EditorTestPlug::kGain));
    EXPECT_EQ(IRECT(5, 40, 15, 60), f->GetHandleRECT());

    // Horizontal: 1 at the right.
    auto* h = new IFaderControl(&plug, 0, 0, 50, -1, &handle.bitmap, kHorizontal);
    graphics->AttachControl(h);
    EXPECT_EQ(IRECT(0, 0, 50, 20), h->GetRECT());
    h->SnapToMouse(45, 0); // (45 - 0 - 5) / 40
    EXPECT_EQ(1.0, h->GetValue());
    h->SnapToMouse(25, 0);
    EXPECT_EQ(0.5, h->GetValue());
}

TEST_F(ControlsTest, AFaderWithNoTravelReadsZero) {
    Strip handle(10, 20, 1);
    auto* f = Attach(new IFaderControl(&plug, 0, 0, 20, EditorTestPlug::kGain, &handle.bitmap));
    auto* g = Attach(new IFaderControl(&plug, 20, 0, 5, EditorTestPlug::kGain, &handle.bitmap));
    Open();
    for (IFaderControl* fader : {f, g}) {
        fader->SnapToMouse(3, 3);
        EXPECT_EQ(0.0, fader->GetValue());
        EXPECT_EQ(0.0, ParamValue(EditorTestPlug::kGain));
    }
}

TEST_F(ControlsTest, RadioButtonsSpreadOverTheAreaAndPickByPosition) {
    Strip buttons(10, 16, 2); // buttons of 10 x 8
    auto* v = Attach(new IRadioButtonsControl(&plug, IRECT(0, 0, 10, 40), EditorTestPlug::kMode, 3,
                                              &buttons.bitmap));
    Open();
    // Spare 40 - 24 = 16 rows, 8 between each: a step of 16.
    EXPECT_EQ(IRECT(0, 0, 10, 8), v->GetButtonRECT(0));
    EXPECT_EQ(IRECT(0, 16, 10, 24), v->GetButtonRECT(1));
    EXPECT_EQ(IRECT(0, 32, 10, 40), v->GetButtonRECT(2));
    v->OnMouseDown(5, 35, &kLeft);
    EXPECT_EQ(1.0, v->GetValue());
    EXPECT_EQ(1.0, ParamValue(EditorTestPlug::kMode));
    v->OnMouseDown(5, 12, &kLeft); // between buttons: unchanged
    EXPECT_EQ(1.0, v->GetValue());
    v->OnMouseDown(5, 16, &kLeft);
    EXPECT_EQ(0.5, v->GetValue());
    v->Draw(graphics);
    EXPECT_EQ(0, LICE_PixelR(graphics->At(0, 0)));  // off: frame 1
    EXPECT_EQ(8, LICE_PixelR(graphics->At(0, 16))); // on: frame 2

    // Horizontal, 31 pixels for three buttons of 10: gaps of trunc(1 / 2) = 0.
    IRadioButtonsControl h(&plug, IRECT(0, 50, 31, 58), -1, 3, &buttons.bitmap, kHorizontal);
    EXPECT_EQ(IRECT(20, 50, 30, 58), h.GetButtonRECT(2));
}

TEST_F(ControlsTest, ARadioGroupOfOneButtonReadsZero) {
    Strip buttons(10, 16, 2);
    auto* one = Attach(new IRadioButtonsControl(&plug, IRECT(0, 0, 30, 30), EditorTestPlug::kGain,
                                                1, &buttons.bitmap));
    auto* none =
        Attach(new IRadioButtonsControl(&plug, IRECT(40, 0, 70, 30), -1, 0, &buttons.bitmap));
    Open();
    EXPECT_EQ(IRECT(0, 0, 10, 8), one->GetButtonRECT(0));
    one->OnMouseDown(2, 2, &kLeft);
    EXPECT_EQ(0.0, one->GetValue());
    EXPECT_EQ(0.0, ParamValue(EditorTestPlug::kGain));
    EXPECT_TRUE(one->Draw(graphics));
    EXPECT_EQ(8, LICE_PixelR(graphics->At(0, 0))); // its only button is on
    none->OnMouseDown(45, 2, &kLeft);
    EXPECT_TRUE(none->Draw(graphics));
}

TEST_F(ControlsTest, AnOverlayShowsItsImageAndTakesTheMouseOnlyWhenOn) {
    Strip image(20, 20, 1);
    const IRECT opener(100, 0, 110, 10);
    auto* o = Attach(new IBitmapOverlayControl(&plug, 0, 0, -1, &image.bitmap, opener));
    Open();
    graphics->Prepare(0);
    o->Draw(graphics);
    EXPECT_EQ(opener, o->GetTargetRECT());
    EXPECT_EQ(0u, graphics->At(5, 5));
    o->OnMouseDown(105, 5, &kLeft);
    o->Draw(graphics);
    EXPECT_EQ(o->GetRECT(), o->GetTargetRECT());
    EXPECT_EQ(5, LICE_PixelR(graphics->At(5, 5)));
}

TEST_F(ControlsTest, CaptionsShowTheDisplayTextAndLabel) {
    IText style(14, nullptr, "DejaVu Sans");
    auto* mode =
        Attach(new ICaptionControl(&plug, IRECT(0, 0, 100, 20), EditorTestPlug::kMode, &style));
    auto* gain = Attach(
        new ICaptionControl(&plug, IRECT(0, 20, 100, 40), EditorTestPlug::kGain, &style, false));
    auto* unbound = Attach(new ICaptionControl(&plug, IRECT(0, 40, 100, 60), 99, &style));
    Open();
    plug.GetParam(EditorTestPlug::kMode)->SetDisplayText(1, "Band");
    plug.GetParam(EditorTestPlug::kMode)->mLabel[0] = 0;
    std::string label = plug.GetParam(EditorTestPlug::kGain)->GetLabelForHost();
    EXPECT_TRUE(mode->Draw(graphics));
    EXPECT_STREQ("Band ", mode->GetTextString());
    EXPECT_TRUE(gain->Draw(graphics));
    EXPECT_STREQ("0.0", gain->GetTextString());
    EXPECT_EQ("dB", label);
    // A value whose text is longer than 32 bytes comes through whole.
    plug.GetParam(EditorTestPlug::kGain)->InitDouble("Big", 1e30, -1e30, 1e30, 0.001, "u");
    EXPECT_TRUE(gain->Draw(graphics));
    EXPECT_STREQ("1000000000000000019884624838656.000", gain->GetTextString());
    // Bound to no parameter: nothing to format and nothing drawn.
    graphics->Prepare(0);
    EXPECT_TRUE(unbound->Draw(graphics));
    EXPECT_STREQ("", unbound->GetTextString());
    EXPECT_EQ(0u, graphics->At(5, 45));
}

TEST_F(ControlsTest, ImageFontTextWrapsPastTheAreaAndNeverDividesByZero) {
    // A font image of 4 x 2 characters: frame k is rows 2(k-1)..2k-1, red = its first row.
    Strip font(4, 2 * 96, 96);
    graphics->Prepare(0);
    IText near(10, nullptr, nullptr, IText::kStyleNormal, IText::kAlignNear);
    // Area 24 wide: margins of one character leave 16, four characters a line.
    IRECT area(0, 0, 24, 2);
    DrawBitmapedText(graphics, &font.bitmap, &area, &near, nullptr, "!!!!\"#", false, false, 4, 2);
    EXPECT_EQ(2, LICE_PixelR(graphics->At(4, 0)));  // '!' is frame 2
    EXPECT_EQ(2, LICE_PixelR(graphics->At(16, 0))); // fourth on the first line
    EXPECT_EQ(0u, graphics->At(20, 0));             // right margin left alone
    EXPECT_EQ(4, LICE_PixelR(graphics->At(4, 2)));  // '"' carries on below
    EXPECT_EQ(6, LICE_PixelR(graphics->At(8, 2)));
    // Characters below the space show the first frame.
    DrawBitmapedText(graphics, &font.bitmap, &area, &near, nullptr, "\x01", false, false, 4, 2);
    EXPECT_EQ(0, LICE_PixelR(graphics->At(4, 0)));

    graphics->Prepare(0);
    IRECT narrow(0, 0, 8, 2); // no room between the margins
    for (bool multiline : {false, true}) {
        EXPECT_TRUE(DrawBitmapedText(graphics, &font.bitmap, &narrow, &near, nullptr, "abc", false,
                                     multiline, 4, 2));
        EXPECT_TRUE(DrawBitmapedText(graphics, &font.bitmap, &area, &near, nullptr, "abc", false,
                                     multiline, 0, 2));
    }
    IBitmapTextControl zero(&plug, IRECT(0, 0, 50, 10), &font.bitmap, "text", nullptr, 0, 2);
    EXPECT_TRUE(zero.Draw(graphics));
    for (int x = 0; x < 50; ++x)
        EXPECT_EQ(0u, graphics->At(x, 0));
}

TEST_F(ControlsTest, LinksOpenTheBackupOnlyWhenTheFirstIsMissing) {
    Open();
    std::string longURL(400, 'u');
    IURLControl link(&plug, IRECT(0, 0, 10, 10), longURL.c_str(), "https://backup.example/",
                     "could not open");
    link.OnMouseDown(1, 1, &kLeft);
    ASSERT_EQ(1u, graphics->urls.size());
    EXPECT_EQ(std::string(255, 'u'), graphics->urls[0]); // cut to its field
    IURLControl backup(&plug, IRECT(0, 0, 10, 10), nullptr, "https://backup.example/");
    backup.OnMouseDown(1, 1, &kLeft);
    ASSERT_EQ(2u, graphics->urls.size());
    EXPECT_EQ("https://backup.example/", graphics->urls[1]);
    IURLControl nothing(&plug, IRECT(0, 0, 10, 10), "", "");
    nothing.OnMouseDown(1, 1, &kLeft);
    EXPECT_EQ(2u, graphics->urls.size());
}

TEST_F(ControlsTest, FileSelectorsPromptFlipTheirValueAndShowTheImageOnlyWhileOpen) {
    Strip image(10, 10, 1);
    auto* selector =
        Attach(new IFileSelectorControl(&plug, IRECT(0, 0, 10, 10), EditorTestPlug::kBypass,
                                        &image.bitmap, kFileOpen, "/tmp", "wav aif"));
    Open();
    IRECT all(0, 0, 200, 100);
    graphics->Draw(&all);
    EXPECT_FALSE(selector->IsDirty());
    selector->OnMouseDown(1, 1, &kLeft);
    EXPECT_EQ(1.0, selector->GetValue());
    EXPECT_EQ(1.0, ParamValue(EditorTestPlug::kBypass));
    EXPECT_EQ(IFileSelectorControl::kFSDone, selector->GetState());
    selector->SetLastSelectedFileFromPlug("/tmp/a.wav");
    WDL_String file;
    selector->GetLastSelectedFileForPlug(&file);
    EXPECT_STREQ("/tmp/a.wav", file.Get());
    selector->OnMouseDown(1, 1, &kLeft);
    EXPECT_EQ(0.0, selector->GetValue());
    graphics->Draw(&all);             // cleans it
    EXPECT_TRUE(selector->IsDirty()); // once more after the dialog, to take the image away
    EXPECT_FALSE(selector->IsDirty());
    EXPECT_EQ(IFileSelectorControl::kFSNone, selector->GetState());
}

TEST_F(ControlsTest, BackgroundsGoBeneathEveryControl) {
    graphics->Register(201, [] { return Solid(200, 100, LICE_MakePixel(1, 2, 3, 255)); });
    IControl* first = Attach(new IInvisibleSwitchControl(&plug, IRECT(0, 0, 5, 5), -1));
    Attach(new IInvisibleSwitchControl(&plug, IRECT(0, 0, 5, 5), -1));
    IControl* third = Attach(new IInvisibleSwitchControl(&plug, IRECT(0, 0, 5, 5), -1));
    graphics->AttachBackground(201, "bg.png");
    ASSERT_EQ(4, graphics->NControls());
    EXPECT_EQ(first, graphics->GetControl(1));
    EXPECT_EQ(third, graphics->GetControl(3));
    EXPECT_EQ(IRECT(0, 0, 200, 100), graphics->GetControl(0)->GetRECT());
    const IColor grey(255, 9, 9, 9);
    EXPECT_EQ(0, graphics->AttachPanelBackground(&grey));
    EXPECT_EQ(5, graphics->NControls());
    Open();
    IRECT all(0, 0, 200, 100);
    graphics->Draw(&all);
    // The image, copied over the panel, is what shows.
    EXPECT_EQ(LICE_MakePixel(1, 2, 3, 255), graphics->At(150, 50));
}
