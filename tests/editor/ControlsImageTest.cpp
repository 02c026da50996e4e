// Draws one of every control into an editor and compares the picture pixel for pixel with
// tests/editor/expected/controls.png. Text is drawn in DejaVu Sans (fonts-dejavu-core), so the
// picture depends on that package and FreeType; after either changes, look at the new picture
// (written to the build tree as tests/editor/controls.png) and, when it is right, regenerate with
//
//     GRINDVOX_REGENERATE_IMAGES=1 build/tests/editor/editor_drawing_tests
//     --gtest_filter=ControlsImage.*
//
// which writes the expected image into the source tree.
#include "tests/editor/DrawingTestSupport.h"

#include "editor/BitmapStorage.h"
#include "tests/raster/RasterTestSupport.h"

#include "editor/IBitmapControl.h"
#include "editor/IBitmapOverlayControl.h"
#include "editor/IBitmapTextControl.h"
#include "editor/ICaptionControl.h"
#include "editor/IFaderControl.h"
#include "editor/IFileSelectorControl.h"
#include "editor/IInvisibleSwitchControl.h"
#include "editor/IKnobLineControl.h"
#include "editor/IKnobMultiControl.h"
#include "editor/IKnobRotaterControl.h"
#include "editor/IKnobRotatingMaskControl.h"
#include "editor/IPanelControl.h"
#include "editor/IRadioButtonsControl.h"
#include "editor/ISwitchControl.h"
#include "editor/ITextControl.h"
#include "editor/IURLControl.h"
#include "raster/LICE_Blit.h"
#include "raster/LICE_Circle.h"
#include "raster/LICE_Line.h"
#include "raster/LICE_SysBitmap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 436, kHeight = 160;
constexpr double kPi = 3.14159265358979323846;
const char* const kFace = "DejaVu Sans";

LICE_pixel Rgb(int r, int g, int b, int a = 255) {
    return LICE_MakePixel(r, g, b, a);
}

// The pictures of the sample, drawn here so that the test needs no files; ids 900 and up.
class Pictures {
public:
    explicit Pictures(IGraphics* graphics) : mGraphics(graphics) {}
    ~Pictures() {
        // The editor may be gone by now; the cache is the process's.
        for (IBitmap& b : mMade)
            IGraphics::s_bitmapCache.Remove(b.mData);
    }

    IBitmap Make(LICE_MemBitmap* pixels, int n = 1) {
        IBitmap b(pixels, pixels->getWidth(), pixels->getHeight(), n);
        mGraphics->RetainBitmap(&b);
        mMade.push_back(b);
        return b;
    }

    // A knob turned through 60 frames: a disc with a pointer from -135 to 135 degrees.
    IBitmap KnobStrip(int size = 30, int frames = 60) {
        auto* bm = Solid(size, size * frames, 0);
        const float c = (size - 1) * 0.5f;
        for (int f = 0; f < frames; ++f) {
            const float top = static_cast<float>(f * size);
            LICE_FillCircle(bm, c, top + c, c - 1, Rgb(70, 80, 95), 1.0f, LICE_COMBINE_COPY, true);
            const double a = (-0.75 + 1.5 * f / (frames - 1)) * kPi;
            LICE_Line(bm, static_cast<int>(c), static_cast<int>(top + c),
                      static_cast<int>(c + (c - 3) * std::sin(a)),
                      static_cast<int>(top + c - (c - 3) * std::cos(a)), Rgb(250, 200, 60), 1.0f,
                      LICE_COMBINE_COPY, true);
        }
        return Make(bm, frames);
    }
    // Frames of plain colours with a lighter band, one per switch position.
    IBitmap Switch(int w, int h, int frames) {
        auto* bm = Solid(w, h * frames, 0);
        for (int f = 0; f < frames; ++f) {
            const int shade = 60 + 150 * f / (frames > 1 ? frames - 1 : 1);
            LICE_FillRect(bm, 0, f * h, w, h, Rgb(shade, 40, 200 - shade), 1.0f, LICE_COMBINE_COPY);
            LICE_FillRect(bm, 2, f * h + 2, w - 4, 3, Rgb(230, 230, 230), 1.0f, LICE_COMBINE_COPY);
        }
        return Make(bm, frames);
    }
    // One image: a disc with a pointer straight up, for turning whole.
    IBitmap Pointer(int size) {
        auto* bm = Solid(size, size, 0);
        const float c = (size - 1) * 0.5f;
        LICE_FillCircle(bm, c, c, c - 1, Rgb(40, 140, 90), 1.0f, LICE_COMBINE_COPY, true);
        LICE_FillRect(bm, size / 2 - 1, 2, 3, size / 2 - 2, Rgb(255, 255, 255), 1.0f,
                      LICE_COMBINE_COPY);
        return Make(bm);
    }
    IBitmap Mask(int size) {
        auto* bm = Solid(size, size, 0);
        LICE_FillRect(bm, size / 2 - 1, 1, 3, size / 2, Rgb(200, 30, 30), 1.0f, LICE_COMBINE_COPY);
        return Make(bm);
    }
    IBitmap Ring(int size) {
        auto* bm = Solid(size, size, 0);
        const float c = (size - 1) * 0.5f;
        LICE_Circle(bm, c, c, c - 1, Rgb(240, 240, 240), 1.0f, LICE_COMBINE_COPY, true);
        return Make(bm);
    }
    // A 96-character image font of 5 x 7 cells: each character a pattern of its code's bits.
    IBitmap Font() {
        auto* bm = Solid(5, 7 * 96, 0);
        for (int k = 1; k < 96; ++k)
            for (int bit = 0; bit < 7; ++bit)
                if ((k + 31) & (1 << bit))
                    LICE_FillRect(bm, 1 + bit % 3, k * 7 + 1 + bit / 3 * 2, 1, 2,
                                  Rgb(255, 230, 120), 1.0f, LICE_COMBINE_COPY);
        return Make(bm, 96);
    }

private:
    IGraphics* mGraphics;
    std::vector<IBitmap> mMade;
};

void DrawSample(PictureGraphics* g, EditorTestPlug* plug, Pictures* p) {
    const IColor panel(255, 30, 32, 40);
    g->AttachPanelBackground(&panel);

    IBitmap knob = p->KnobStrip();
    auto* multi = new IKnobMultiControl(plug, 10, 10, EditorTestPlug::kGain, &knob);
    g->AttachControl(multi);
    const IColor lineColour(255, 120, 220, 255);
    auto* line = new IKnobLineControl(plug, IRECT(50, 10, 80, 40), -1, &lineColour, 4.0);
    line->SetValue(0.8);
    g->AttachControl(line);
    IBitmap pointer = p->Pointer(31);
    auto* rotater = new IKnobRotaterControl(plug, 90, 10, -1, &pointer);
    rotater->SetValue(0.25);
    g->AttachControl(rotater);
    IBitmap base = p->Pointer(31), mask = p->Mask(31), ring = p->Ring(31);
    auto* masked = new IKnobRotatingMaskControl(plug, 130, 10, -1, &base, &mask, &ring);
    masked->SetValue(0.7);
    g->AttachControl(masked);

    IBitmap three = p->Switch(24, 14, 3);
    auto* sw = new ISwitchControl(plug, 175, 10, EditorTestPlug::kMode, &three);
    g->AttachControl(sw);
    IBitmap two = p->Switch(24, 14, 2);
    auto* contact = new IContactControl(plug, 205, 10, -1, &two);
    contact->SetValue(1.0);
    g->AttachControl(contact);
    auto* overlay = new IBitmapOverlayControl(plug, 235, 10, -1, &two, IRECT(235, 30, 260, 40));
    overlay->SetValue(1.0);
    g->AttachControl(overlay);
    IBitmap plain = p->Switch(24, 14, 1);
    g->AttachControl(new IBitmapControl(plug, 265, 10, -1, &plain));
    g->AttachControl(new IInvisibleSwitchControl(plug, IRECT(295, 10, 320, 40), -1));

    IBitmap radio = p->Switch(12, 10, 2);
    auto* radios = new IRadioButtonsControl(plug, IRECT(330, 10, 342, 60), -1, 4, &radio);
    radios->SetValue(2.0 / 3.0);
    g->AttachControl(radios);
    auto* row = new IRadioButtonsControl(plug, IRECT(350, 10, 430, 20), -1, 3, &radio, kHorizontal);
    row->SetValue(1.0);
    g->AttachControl(row);

    IBitmap handle = p->Switch(16, 10, 1);
    auto* fader = new IFaderControl(plug, 10, 50, 100, EditorTestPlug::kSteps, &handle);
    g->AttachControl(fader);
    auto* across = new IFaderControl(plug, 40, 50, 120, -1, &handle, kHorizontal);
    across->SetValue(0.75);
    g->AttachControl(across);

    const IColor ink(255, 235, 235, 225);
    IText left(16, &ink, kFace, IText::kStyleNormal, IText::kAlignNear);
    IText centred(14, &ink, kFace, IText::kStyleBold, IText::kAlignCenter);
    const IColor faint(128, 255, 200, 120);
    IText right(13, &faint, kFace, IText::kStyleItalic, IText::kAlignFar);
    g->AttachControl(new ITextControl(plug, IRECT(40, 70, 200, 90), &left, "Grindvox"));
    g->AttachControl(new ITextControl(plug, IRECT(40, 90, 200, 110), &right, "half seen, right"));
    g->AttachControl(
        new ICaptionControl(plug, IRECT(210, 70, 330, 90), EditorTestPlug::kMode, &centred));
    g->AttachControl(
        new ICaptionControl(plug, IRECT(210, 90, 330, 110), EditorTestPlug::kGain, &centred));

    IBitmap font = p->Font();
    g->AttachControl(new IBitmapTextControl(plug, IRECT(40, 120, 200, 135), &font,
                                            "bitmap text, two lines of it here", nullptr, 5, 7));
    g->AttachControl(new IURLControl(plug, IRECT(210, 120, 300, 140), "https://example.org/"));
    g->AttachControl(
        new IFileSelectorControl(plug, IRECT(310, 120, 330, 140), -1, &handle, kFileOpen));
}

} // namespace

TEST(ControlsImage, EveryControlMatchesTheExpectedPicturePixelForPixel) {
    auto plug = std::make_unique<EditorTestPlug>();
    auto* graphics = new PictureGraphics(plug.get(), kWidth, kHeight);
    Pictures pictures(graphics);
    DrawSample(graphics, plug.get(), &pictures);
    plug->AttachGraphics(graphics);
    IRECT all(0, 0, kWidth, kHeight);
    ASSERT_TRUE(graphics->Draw(&all));

    raster_test::TestBitmap actual(kWidth, kHeight);
    LICE_Blit(&actual, graphics->GetDrawBitmap(), 0, 0, 0, 0, kWidth, kHeight, 1.0f,
              LICE_COMBINE_COPY);
    raster_test::ExpectMatchesReferencePicture(actual, GRINDVOX_ACTUAL_IMAGE,
                                               GRINDVOX_EXPECTED_IMAGE);
    plug.reset(); // the editor goes before the pictures it shows
}
