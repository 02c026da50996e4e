#pragma once

// The baseline of the adapter benchmarks: the effect's own processing called directly on the
// same audio, converted to doubles once beforehand, frames at a time.
#include "plugin/IPlugBase.h"

#include <benchmark/benchmark.h>

#include <vector>

inline void MeasureDirectProcessing(benchmark::State& state, IPlugBase& plug, const float* left,
                                    const float* right, int maxFrames, int frames) {
    std::vector<double> in[2] = {{left, left + maxFrames}, {right, right + maxFrames}};
    std::vector<double> out[2] = {std::vector<double>(maxFrames), std::vector<double>(maxFrames)};
    double* ins[2] = {in[0].data(), in[1].data()};
    double* outs[2] = {out[0].data(), out[1].data()};
    for (auto _ : state) {
        plug.ProcessDoubleReplacing(ins, outs, frames);
        benchmark::DoNotOptimize(outs[0]);
        benchmark::ClobberMemory();
    }
}
