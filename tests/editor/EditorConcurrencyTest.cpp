#include "au/IPlugAU.h"
#include "editor/IControl.h"
#include "raster/LICE_Fill.h"
#include "raster/LICE_SysBitmap.h"
#include "tests/support/RecordingGraphics.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

constexpr int kControls = 7;

// An Audio Unit with seven parameters and an editor attached, as the effect will have.
class EditorAU : public IPlugAU {
public:
    EditorAU()
        : IPlugAU(IPlugInstanceInfo(), kControls, "2-2", 1, "EditorAU", "", "Tests", 0x10000,
                  'eDit', 'TsTm', 0, false, false, false, 0) {
        for (int i = 0; i < kControls; ++i)
            GetParam(i)->InitDouble("Value", 0.0, 0.0, 100.0, 0.01);
    }
};

// A knob that paints its value into its area and follows vertical drags.
class ValueControl : public IControl {
public:
    ValueControl(IPlugBase* plug, int idx)
        : IControl(plug, IRECT(10 + idx * 60, 30, 58 + idx * 60, 78), idx) {}

    bool Draw(IGraphics* graphics) override {
        const double value = GetValue();
        const IRECT& r = GetRECT();
        const int shade = static_cast<int>(value * 255.0);
        LICE_FillRect(graphics->GetDrawBitmap(), r.L, r.T, r.W(), r.H(),
                      LICE_MakePixel(shade, shade, shade, 255), 1.0f, LICE_COMBINE_COPY);
        drawn = value;
        return true;
    }
    void OnMouseDrag(int, int, int, int dY, IMouseMod*) override {
        mValue -= dY * 0.01;
        SetDirty(true);
    }

    double drawn = -1.0;
};

} // namespace

// One thread sets parameters the way a host does, through the adapter's fast-dispatch call,
// which tells the editor; the UI thread meanwhile runs the redraw cycle and drags a knob. Under
// ThreadSanitizer this reports nothing; afterwards every knob the host alone moved shows its
// parameter's last value.
TEST(EditorConcurrency, HostParameterChangesRaceTheRedrawCycle) {
    EditorAU plug;
    auto* graphics = new RecordingGraphics(&plug, 436, 108);
    ValueControl* controls[kControls];
    for (int i = 0; i < kControls; ++i) {
        controls[i] = new ValueControl(&plug, i);
        ASSERT_EQ(i, graphics->AttachControl(controls[i]));
    }
    plug.AttachGraphics(graphics);

    std::atomic<bool> done{false};
    std::atomic<int> ticks{0};
    std::thread host([&] {
        // However the threads are scheduled, the two overlap for some redraw cycles.
        for (int n = 0; n < 20000 || ticks.load() < 50; ++n) {
            const auto id = static_cast<AudioUnitParameterID>(n % kControls);
            IPlugAU::SetParamProc(&plug, id, kAudioUnitScope_Global, 0,
                                  static_cast<AudioUnitParameterValue>(n % 101), 0);
        }
        done = true;
    });

    IMouseMod left(true);
    const int knob = kControls - 1;
    const IRECT& knobRect = controls[knob]->GetRECT();
    while (!done) {
        graphics->Tick();
        graphics->OnMouseDown(knobRect.L + 5, knobRect.T + 20, &left);
        graphics->OnMouseDrag(knobRect.L + 5, knobRect.T + 20 - (ticks.load() % 7), &left);
        graphics->OnMouseUp(knobRect.L + 5, knobRect.T + 20, &left);
        ticks.fetch_add(1);
    }
    host.join();
    graphics->Tick();
    graphics->Tick();

    EXPECT_GE(ticks.load(), 50);
    for (int i = 0; i < knob; ++i) {
        EXPECT_EQ(plug.GetParam(i)->GetNormalized(), controls[i]->GetValue()) << i;
        EXPECT_EQ(controls[i]->GetValue(), controls[i]->drawn) << i;
    }
    EXPECT_EQ(controls[knob]->GetValue(), controls[knob]->drawn);
    IRECT dirty;
    EXPECT_FALSE(graphics->IsDirty(&dirty));
}
