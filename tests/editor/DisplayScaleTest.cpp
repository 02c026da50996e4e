// The editor shown at display scale 2 with no display: the view is twice the editor's size,
// shows the draw bitmap enlarged bilinearly, and maps events and entries between the two.
#include "editor/DisplayScale.h"
#include "editor/IGraphicsCocoa.h"
#include "editor/IGraphicsMac.h"
#include "editor/IText.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/editor/WindowTestSupport.h"
#include "tests/support/DoubledPicture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kW = 64; // a multiple of 4: rows of the draw bitmap are exactly kW pixels
constexpr int kH = 40;

// Fills its area with one colour, or with noise when the colour is 0.
class Fill : public IControl {
public:
    Fill(IPlugBase* plug, IRECT rect, int paramIdx, unsigned int rgb, std::vector<std::string>* log)
        : IControl(plug, rect, paramIdx), mRGB(rgb), mLog(log) {}
    bool Draw(IGraphics* graphics) override {
        unsigned int* bits = graphics->GetBits();
        unsigned int seed = 12345;
        for (int y = mRECT.T; y < mRECT.B; ++y)
            for (int x = mRECT.L; x < mRECT.R; ++x) {
                seed = seed * 1103515245u + 12345u;
                bits[y * kW + x] = Stored(mRGB ? mRGB : (seed >> 8) & 0xFFFFFF);
            }
        return true;
    }
    void OnMouseDown(int x, int y, IMouseMod*) override {
        mLog->push_back("down " + std::to_string(x) + "," + std::to_string(y));
    }
    void OnMouseDrag(int x, int y, int, int, IMouseMod*) override {
        mLog->push_back("drag " + std::to_string(x) + "," + std::to_string(y));
    }
    unsigned int mRGB;

private:
    std::vector<std::string>* mLog;
};

class ScaledEditor : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("DISPLAY");
        pool = new NSAutoreleasePool;
        graphics = new IGraphicsMac(&plug, kW, kH);
        plug.AttachGraphics(graphics);
        graphics->AttachControl(new Fill(&plug, IRECT(0, 0, kW, kH), -1, 0x203040, &log));
        patch = new Fill(&plug, IRECT(10, 12, 30, 30), EditorTestPlug::kGain, 0xC08000, &log);
        graphics->AttachControl(patch);
        graphics->AttachControl(new Fill(&plug, IRECT(40, 0, kW, kH), -1, 0, &log));
        graphics->PrepDraw();
        window = new NSWindow(NSMakeRect(0, 0, 2 * kW, 2 * kH), NSTitledWindowMask,
                              NSBackingStoreBuffered, NO);
    }
    void TearDown() override {
        window->close();
        GrindvoxAppKit_SetBackingScaleFactor(0);
        pool->drain();
    }
    IGraphicsCocoa_vGrindvox_au* open(double factor) {
        graphics->SetDisplayScale(factor);
        return static_cast<IGraphicsCocoa_vGrindvox_au*>(
            graphics->OpenWindow(window->contentView()));
    }
    // The view's picture, 0xRRGGBB per pixel, rows top-down.
    std::vector<unsigned int> snapshot(NSView* view, int* w, int* h) {
        NSRect bounds = view->bounds();
        NSBitmapImageRep* rep = view->bitmapImageRepForCachingDisplayInRect(bounds);
        view->cacheDisplayInRect_toBitmapImageRep(bounds, rep);
        *w = static_cast<int>(rep->pixelsWide());
        *h = static_cast<int>(rep->pixelsHigh());
        std::vector<unsigned int> pixels;
        const unsigned char* data = rep->bitmapData();
        for (int y = 0; y < *h; ++y)
            for (int x = 0; x < *w; ++x) {
                const unsigned char* p = data + y * rep->bytesPerRow() + x * 4;
                pixels.push_back(unsigned(p[0]) << 16 | unsigned(p[1]) << 8 | p[2]);
            }
        return pixels;
    }
    NSEvent* mouse(NSEventType type, CGFloat x, CGFloat y) {
        return NSEvent::
            mouseEventWithType_location_modifierFlags_timestamp_windowNumber_context_eventNumber_clickCount_pressure(
                type, NSMakePoint(x, y), 0, 0, window->windowNumber(), nil, 0, 1, 1);
    }

    NSAutoreleasePool* pool = nullptr;
    EditorTestPlug plug;
    IGraphicsMac* graphics = nullptr; // owned by plug
    Fill* patch = nullptr;
    NSWindow* window = nullptr;
    std::vector<std::string> log;
};

} // namespace

TEST(DisplayScale, AtScaleOneAreasAndCoordinatesPassUnchanged) {
    const IRECT r(-3, 5, 700, 9);
    EXPECT_EQ(DeviceAreaOfEditorArea(r, 1, 64, 40), r);
    EXPECT_EQ(EditorAreaOfDeviceArea(r, 1, 64, 40), r);
    EXPECT_EQ(DeviceRect(r, 1), r);
    EXPECT_EQ(EditorCoordinate(-7, 1), -7);
    EXPECT_EQ(EditorCoordinate(7, 1), 7);
}

TEST(DisplayScale, AreasGrowByTheMixedPixelsAndStayInsideTheEditor) {
    // Editor columns 10..29 changed: device 19 mixes 9 and 10, device 59 mixes 29 and 30, and
    // device 60 is editor 30 alone.
    EXPECT_EQ(DeviceAreaOfEditorArea(IRECT(10, 12, 30, 30), 2, 64, 40), IRECT(19, 23, 60, 60));
    EXPECT_EQ(DeviceAreaOfEditorArea(IRECT(0, 0, 64, 40), 2, 64, 40), IRECT(0, 0, 128, 80));
    // Device 19..59 read editor 9..30.
    EXPECT_EQ(EditorAreaOfDeviceArea(IRECT(19, 23, 60, 60), 2, 64, 40), IRECT(9, 11, 31, 31));
    EXPECT_EQ(EditorAreaOfDeviceArea(IRECT(20, 24, 22, 25), 2, 64, 40), IRECT(10, 12, 12, 13));
    EXPECT_EQ(EditorAreaOfDeviceArea(IRECT(-5, -1, 200, 90), 2, 64, 40), IRECT(0, 0, 64, 40));
    EXPECT_EQ(DeviceRect(IRECT(10, 12, 30, 30), 2), IRECT(20, 24, 60, 60));
    EXPECT_EQ(EditorCoordinate(5, 2), 2);
    EXPECT_EQ(EditorCoordinate(-1, 2), -1);
    EXPECT_EQ(EditorCoordinate(-2, 2), -1);
    EXPECT_EQ(EditorCoordinate(-3, 2), -2);
}

TEST(CocoaCoordinates, AtScaleTwoAPointIsHalvedBeforeTheOffsets) {
    int x = 0, y = 0;
    // View (45, 349) of a 400-high view: device column 45 and row 51 from the top, editor
    // (22, 25), less the offsets.
    ToEditorPoint(NSMakePoint(45.9, 349.2), 200, &x, &y, 2);
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 22);
    ToEditorPoint(NSMakePoint(44, 350), 200, &x, &y, 2);
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 22);
}

TEST_F(ScaledEditor, TheFactorDecidesTheScaleWhenTheWindowOpens) {
    EXPECT_EQ(open(1.49)->frame().size.width, kW);
    EXPECT_EQ(graphics->DisplayScale(), 1);
    NSView* view = open(1.5);
    EXPECT_EQ(graphics->DisplayScale(), 2);
    EXPECT_EQ(view->frame().size.width, 2 * kW);
    EXPECT_EQ(view->frame().size.height, 2 * kH);
    // Without the host's factor the screen's counts: the program's override, else (with no
    // display) 1.
    GrindvoxAppKit_SetBackingScaleFactor(2);
    EXPECT_EQ(GrindvoxAppKit_BackingScaleFactor(), 2);
    open(0);
    EXPECT_EQ(graphics->DisplayScale(), 2);
    GrindvoxAppKit_SetBackingScaleFactor(0);
    EXPECT_EQ(GrindvoxAppKit_BackingScaleFactor(), 1);
    open(0);
    EXPECT_EQ(graphics->DisplayScale(), 1);
    // A resized editor keeps its scale.
    open(2);
    graphics->Resize(kW + 4, kH);
    auto* resized = static_cast<NSView*>(graphics->GetWindow());
    EXPECT_EQ(resized->frame().size.width, 2 * (kW + 4));
    EXPECT_EQ(resized->frame().size.height, 2 * kH);
}

TEST_F(ScaledEditor, TheViewShowsTheDrawBitmapEnlargedBilinearly) {
    NSView* view = open(2);
    int w = 0, h = 0;
    std::vector<unsigned int> shown = snapshot(view, &w, &h);
    ASSERT_EQ(w, 2 * kW);
    ASSERT_EQ(h, 2 * kH);
    const unsigned int* editor = graphics->GetBits();
    auto editorRGB = [&](int x, int y) { return Shown(editor[y * kW + x]); };
    // Worked by hand at the patch's edges: 0x203040 beside 0xC08000.
    EXPECT_EQ(shown[40 * w + 20], 0xC08000u);
    EXPECT_EQ(shown[40 * w + 18], 0x203040u);
    EXPECT_EQ(shown[40 * w + 19], 0x705820u); // the mean of one of each
    EXPECT_EQ(shown[23 * w + 19], 0x484430u); // three of the background, one of the patch
    EXPECT_EQ(shown[40 * w + 59], 0x705820u);
    EXPECT_EQ(shown[40 * w + 60], 0x203040u);
    auto shownRGB = [&](int x, int y) { return shown[y * w + x]; };
    EXPECT_EQ(PixelsDifferingFromDoubled(editorRGB, kW, kH, shownRGB), 0);
}

TEST_F(ScaledEditor, EventsLandOnTheEditorPixelUnderThePointer) {
    open(2);
    // View (45, 44) of the 80-high view: device column 45 and row 36 from the top, editor
    // (22, 18), less the window layer's offsets.
    window->sendEvent(mouse(NSLeftMouseDown, 45, 44));
    window->sendEvent(mouse(NSLeftMouseDragged, 45, 34));
    window->sendEvent(mouse(NSLeftMouseUp, 45, 34));
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], "down 20,15");
    EXPECT_EQ(log[1], "drag 20,20");
}

TEST_F(ScaledEditor, ATextEntryOpensOverTheEnlargedAreaInAnEnlargedFont) {
    IGraphicsCocoa_vGrindvox_au* view = open(2);
    IText text(12);
    IRECT area(10, 12, 30, 30);
    graphics->CreateTextEntry(patch, &text, &area, "1", plug.GetParam(EditorTestPlug::kGain));
    NSTextField* field = view->textField();
    ASSERT_NE(field, nil);
    // Device (20, 24, 60, 60), one pixel larger to the right and bottom, in the view's
    // bottom-up coordinates.
    EXPECT_EQ(field->frame().origin.x, 20);
    EXPECT_EQ(field->frame().origin.y, 19);
    EXPECT_EQ(field->frame().size.width, 41);
    EXPECT_EQ(field->frame().size.height, 37);
    EXPECT_EQ(field->font()->pointSize(), 21); // 12 less a tenth, twice
}
