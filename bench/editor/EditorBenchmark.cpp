// What the editor's redraw timer costs per tick: the effect's panel shape (a 436 x 108
// background and seven 48 x 48 knobs drawn from 60-frame strips), with nothing dirty and with
// one knob changed by the plug-in before each tick, against a memcpy of the whole 436 x 108
// bitmap in the same run. Prints each tick's cost as a share of that copy.
#include "bench/support/BenchPlug.h"
#include "bench/support/HeadlessGraphics.h"
#include "bench/support/ResultsReporter.h"
#include "editor/IControl.h"
#include "raster/LICE_Blit.h"
#include "raster/LICE_Fill.h"
#include "raster/LICE_MemBitmap.h"
#include "raster/LICE_SysBitmap.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 436;
constexpr int kHeight = 108;
constexpr int kKnobs = 7;
constexpr int kKnobSize = 48;
constexpr int kFrames = 60;

// A context whose window shows nothing and that ticks as the window's timer would: the cost
// measured is the context's own.
class TickingGraphics : public HeadlessGraphics {
public:
    using HeadlessGraphics::HeadlessGraphics;

    // What the window's timer and paint call do on each tick.
    void Tick() {
        IRECT dirty;
        if (!IsDirty(&dirty)) return;
        IRECT invalid(dirty.L, dirty.T, dirty.R + 1, dirty.B + 1);
        Draw(&invalid);
    }
};

// Draws the frame for its value from a vertical strip, clipped to the area being drawn, as the
// editor's bitmap controls do.
class StripControl : public IControl {
public:
    StripControl(IPlugBase* plug, IRECT rect, int paramIdx, LICE_IBitmap* strip, int frames)
        : IControl(plug, rect, paramIdx), mStrip(strip), mFrames(frames) {}

    bool Draw(IGraphics* graphics) override {
        const int frame = mFrames > 1 ? static_cast<int>((mFrames - 1) * GetValue() + 0.5) : 0;
        const IRECT clip = mRECT.Intersect(graphics->GetDrawRECT());
        if (clip.Empty()) return true;
        LICE_Blit(graphics->GetDrawBitmap(), mStrip, clip.L, clip.T, clip.L - mRECT.L,
                  frame * mRECT.H() + clip.T - mRECT.T, clip.W(), clip.H(), 1.0f,
                  LICE_COMBINE_COPY);
        return true;
    }

private:
    LICE_IBitmap* mStrip;
    int mFrames;
};

struct Panel {
    BenchPlug plug{kKnobs};
    TickingGraphics* graphics = new TickingGraphics(&plug, kWidth, kHeight);
    LICE_MemBitmap background{kWidth, kHeight};
    LICE_MemBitmap knob{kKnobSize, kKnobSize* kFrames};

    Panel() {
        LICE_Clear(&background, LICE_MakePixel(40, 40, 48, 255));
        LICE_Clear(&knob, LICE_MakePixel(200, 120, 30, 255));
        graphics->AttachControl(
            new StripControl(&plug, IRECT(0, 0, kWidth, kHeight), -1, &background, 1));
        for (int i = 0; i < kKnobs; ++i) {
            const IRECT r(10 + i * 60, 40, 10 + i * 60 + kKnobSize, 40 + kKnobSize);
            graphics->AttachControl(new StripControl(&plug, r, i, &knob, kFrames));
        }
        plug.AttachGraphics(graphics);
        graphics->Tick(); // the first full draw
        graphics->Tick();
    }
};

void BM_CopyEditorBitmap(benchmark::State& state) {
    std::vector<unsigned int> source(kWidth * kHeight, 0x80402010u);
    std::vector<unsigned int> dest(kWidth * kHeight);
    for (auto _ : state) {
        std::memcpy(dest.data(), source.data(), dest.size() * sizeof(unsigned int));
        benchmark::DoNotOptimize(dest.data());
        benchmark::ClobberMemory();
    }
}

void BM_IdleTickNothingDirty(benchmark::State& state) {
    Panel panel;
    for (auto _ : state) {
        panel.graphics->Tick();
        benchmark::ClobberMemory();
    }
}

void BM_IdleTickOneKnobDirty(benchmark::State& state) {
    Panel panel;
    int n = 0;
    for (auto _ : state) {
        panel.graphics->SetParameterFromPlug(3, (++n & 1) ? 0.25 : 0.75, true);
        panel.graphics->Tick();
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_CopyEditorBitmap)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_IdleTickNothingDirty)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_IdleTickOneKnobDirty)->Unit(benchmark::kNanosecond);

// Prints the usual table, then each tick as a share of the bitmap copy.
class ShareReporter : public ResultsReporter {
protected:
    void Summarise() override {
        const double copy = Result("BM_CopyEditorBitmap");
        if (copy <= 0.0) return;
        std::printf("\n%-26s %12s %16s\n", "tick", "time", "share of copy");
        for (const char* name : {"BM_IdleTickNothingDirty", "BM_IdleTickOneKnobDirty"}) {
            const double tick = Result(name);
            if (tick <= 0.0) continue;
            std::printf("%-26s %9.1f ns %15.2f%%\n", name + 3, tick, 100.0 * tick / copy);
        }
        std::printf("%-26s %9.1f ns\n", "memcpy 436 x 108 bitmap", copy);
    }
};

} // namespace

int main(int argc, char** argv) {
    ShareReporter reporter;
    return RunBenchmarks(argc, argv, &reporter);
}
