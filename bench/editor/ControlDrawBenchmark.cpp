// What drawing a control through the editor's context costs over the bare rasteriser: one frame
// of a 60-frame 48 x 48 knob strip drawn by an IKnobMultiControl (frame choice, clipping to the
// area being drawn, blend conversion, the clipped copy) against a LICE_Blit of the same 48 x 48
// rectangle from the same strip. Prints the context's time as a ratio of the blit's.
#include "bench/support/HeadlessGraphics.h"
#include "bench/support/ResultsReporter.h"
#include "editor/IKnobMultiControl.h"
#include "raster/LICE_Blit.h"
#include "raster/LICE_Fill.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_SysBitmap.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kWidth = 436;
constexpr int kHeight = 108;
constexpr int kKnobSize = 48;
constexpr int kFrames = 60;
constexpr int kX = 190, kY = 40;

struct Knob {
    HeadlessGraphics graphics{nullptr, kWidth, kHeight};
    LICE_MemBitmap strip{kKnobSize, kKnobSize* kFrames};
    IBitmap bitmap{&strip, kKnobSize, kKnobSize* kFrames, kFrames};
    IKnobMultiControl control{nullptr, kX, kY, -1, &bitmap};

    Knob() {
        LICE_Clear(&strip, LICE_MakePixel(200, 120, 30, 255));
        graphics.PrepDraw();
        control.SetValue(0.5);
        graphics.SetDrawRECT(control.GetRECT());
    }
};

void BM_BareBlitOfOneFrame(benchmark::State& state) {
    Knob knob;
    const int top = 30 * kKnobSize; // frame 31, as the control shows for 0.5
    for (auto _ : state) {
        LICE_Blit(knob.graphics.GetDrawBitmap(), &knob.strip, kX, kY, 0, top, kKnobSize, kKnobSize,
                  1.0f, LICE_COMBINE_COPY | LICE_USE_SOURCE_ALPHA);
        benchmark::ClobberMemory();
    }
}

void BM_KnobControlDrawsOneFrame(benchmark::State& state) {
    Knob knob;
    for (auto _ : state) {
        knob.control.Draw(&knob.graphics);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_BareBlitOfOneFrame)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_KnobControlDrawsOneFrame)->Unit(benchmark::kNanosecond);

class RatioReporter : public ResultsReporter {
protected:
    void Summarise() override {
        const double blit = Result("BM_BareBlitOfOneFrame");
        const double control = Result("BM_KnobControlDrawsOneFrame");
        if (blit <= 0.0 || control <= 0.0) return;
        std::printf("\neditor drawing overhead: %.1f ns through the context / %.1f ns bare blit "
                    "= %.2f\n",
                    control, blit, control / blit);
    }
};

} // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, &reporter);
}
