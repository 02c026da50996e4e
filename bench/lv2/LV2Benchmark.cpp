// What the LV2 adapter costs per run: grindvox.lv2 loaded by lilv and run at 64 and 512
// frames (stereo float ports, every control set), against Grindvox::ProcessDoubleReplacing
// called directly on the same block in the same binary. Prints the ratio of the two times.
#include "bench/support/DirectProcessing.h"
#include "bench/support/ResultsReporter.h"
#include "bench/support/TonesAndNoise.h"
#include "effect/Grindvox.h"
#include "tests/lv2/LilvHost.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

namespace {

constexpr int kMaxFrames = 512;

// Every stage doing work: a resonant band-pass, 6 steps, a hold of 4 samples, the average mix
// and the parallel path.
const float kBusy[Grindvox::kNumParams] = {2, 2000, 1.2f, 6, 3, 1, 1};

struct Input {
    std::vector<float> channel[2] = {std::vector<float>(kMaxFrames),
                                     std::vector<float>(kMaxFrames)};
    Input() { FillTonesAndNoise(channel[0].data(), channel[1].data(), kMaxFrames); }
};

const Input& input() {
    static const Input block;
    return block;
}

void BM_LV2Run(benchmark::State& state) {
    const auto frames = static_cast<uint32_t>(state.range(0));
    grindvox::test::LilvHost host(grindvox::test::kStereoURI, 44100.0, kMaxFrames);
    if (!host.Ok()) {
        state.SkipWithError("grindvox.lv2 did not instantiate");
        return;
    }
    for (int i = 0; i < Grindvox::kNumParams; ++i)
        host.SetControl(i, kBusy[i]);
    std::vector<float> out[2] = {std::vector<float>(kMaxFrames), std::vector<float>(kMaxFrames)};
    for (int c = 0; c < 2; ++c)
        host.Connect(c, input().channel[c].data(), out[c].data());
    for (auto _ : state) {
        host.Run(frames);
        benchmark::DoNotOptimize(out[0].data());
        benchmark::ClobberMemory();
    }
}

void BM_ProcessDoubleReplacing(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    Grindvox plug{IPlugInstanceInfo{}};
    plug.Reset();
    for (int i = 0; i < Grindvox::kNumParams; ++i) {
        plug.GetParam(i)->Set(kBusy[i]);
        plug.OnParamChange(i);
    }
    MeasureDirectProcessing(state, plug, input().channel[0].data(), input().channel[1].data(),
                            kMaxFrames, frames);
}

BENCHMARK(BM_LV2Run)->Arg(64)->Arg(512)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_ProcessDoubleReplacing)->Arg(64)->Arg(512)->Unit(benchmark::kNanosecond);

// Prints the usual table, then, per block size, the run's time over the direct call's.
class RatioReporter : public ResultsReporter {
protected:
    void Summarise() override {
        std::printf("\n%8s %14s %14s %8s\n", "frames", "LV2 run", "direct DSP", "ratio");
        const auto direct = ResultsByArg("BM_ProcessDoubleReplacing");
        for (const auto& [frames, run] : ResultsByArg("BM_LV2Run")) {
            const auto dsp = direct.find(frames);
            if (dsp == direct.end()) continue;
            std::printf("%8ld %11.0f ns %11.0f ns %8.3f\n", frames, run, dsp->second,
                        run / dsp->second);
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    return RunBenchmarks(argc, argv, &reporter);
}
