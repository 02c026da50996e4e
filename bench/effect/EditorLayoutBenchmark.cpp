// Grindvox's own editor (its artwork and its seven controls, laid out by the effect) with no
// window behind it: a full redraw of the background and every control into the draw bitmap,
// and the idle redraw tick with nothing dirty, each against a memcpy of the 436 x 108 draw
// bitmap in the same run. Aims: the full redraw within 8 copies, the idle tick below 5 % of one.
#include "bench/support/ResultsReporter.h"
#include "tests/support/GrindvoxEditorHarness.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using grindvox::test::GrindvoxEditorHarness;

const char* const kResources = GRINDVOX_BUNDLE "/Contents/Resources";

void BM_CopyDrawBitmap(benchmark::State& state) {
    std::vector<unsigned int> source(436 * 108, 0x80402010u);
    std::vector<unsigned int> dest(source.size());
    for (auto _ : state) {
        std::memcpy(dest.data(), source.data(), dest.size() * sizeof(unsigned int));
        benchmark::DoNotOptimize(dest.data());
        benchmark::ClobberMemory();
    }
}

void BM_FullRedraw(benchmark::State& state) {
    GrindvoxEditorHarness editor(kResources);
    for (auto _ : state) {
        editor.DrawAll();
        benchmark::ClobberMemory();
    }
}

void BM_IdleTick(benchmark::State& state) {
    GrindvoxEditorHarness editor(kResources);
    editor.DrawAll();
    editor.Graphics().Tick();
    for (auto _ : state) {
        benchmark::DoNotOptimize(editor.Graphics().Tick());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_CopyDrawBitmap)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_IdleTick)->Unit(benchmark::kNanosecond);

// Prints the usual table, then each cost as a multiple of the bitmap copy.
class RatioReporter : public ResultsReporter {
protected:
    void Summarise() override {
        const double copy = Result("BM_CopyDrawBitmap");
        if (copy <= 0.0) return;
        std::printf("\n%-24s %12s %14s %8s\n", "", "time", "x the copy", "aim");
        const struct {
            const char* name;
            const char* label;
            const char* aim;
        } rows[] = {{"BM_FullRedraw", "full redraw", "<= 8"},
                    {"BM_IdleTick", "idle tick", "< 0.05"}};
        for (const auto& row : rows) {
            const double time = Result(row.name);
            if (time <= 0.0) continue;
            std::printf("%-24s %9.1f ns %14.3f %8s\n", row.label, time, time / copy, row.aim);
        }
        std::printf("%-24s %9.1f ns\n", "memcpy 436 x 108 bitmap", copy);
    }
};

} // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, &reporter);
}
