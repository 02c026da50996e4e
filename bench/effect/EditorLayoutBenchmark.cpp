// Grindvox's own editor (its artwork and its seven controls, laid out by the effect) with no
// window behind it: a full redraw of the background and every control into the draw bitmap,
// and the idle redraw tick with nothing dirty, each against a memcpy of the 436 x 108 draw
// bitmap in the same run. Aims: the full redraw within 8 copies, the idle tick below 5 % of one.
#include "tests/support/GrindvoxEditorHarness.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
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
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if ((run.run_type != Run::RT_Iteration && !median) || run.error_occurred) continue;
            mTimes[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto copy = mTimes.find("BM_CopyDrawBitmap");
        if (copy == mTimes.end() || copy->second <= 0.0) return;
        std::printf("\n%-24s %12s %14s %8s\n", "", "time", "x the copy", "aim");
        const struct {
            const char* name;
            const char* label;
            const char* aim;
        } rows[] = {{"BM_FullRedraw", "full redraw", "<= 8"},
                    {"BM_IdleTick", "idle tick", "< 0.05"}};
        for (const auto& row : rows) {
            const auto time = mTimes.find(row.name);
            if (time == mTimes.end()) continue;
            std::printf("%-24s %9.1f ns %14.3f %8s\n", row.label, time->second,
                        time->second / copy->second, row.aim);
        }
        std::printf("%-24s %9.1f ns\n", "memcpy 436 x 108 bitmap", copy->second);
    }

private:
    std::map<std::string, double> mTimes;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
