// Saving and loading Grindvox's program and bank files as bytes: what a host pays when it reads
// or sets the unit's program and bank properties. A load checks the whole file before applying
// it; a bank one byte short is turned away by its length before any record is read.

#include "effect/Grindvox.h"

#include <benchmark/benchmark.h>

namespace {

void SaveProgram(benchmark::State& state) {
    Grindvox plug{IPlugInstanceInfo()};
    ByteChunk file;
    for (auto _ : state) {
        file.Clear();
        benchmark::DoNotOptimize(plug.SaveProgramAsFXPChunk(&file));
    }
    state.SetBytesProcessed(state.iterations() * file.Size());
}
BENCHMARK(SaveProgram);

void SaveBank(benchmark::State& state) {
    Grindvox plug{IPlugInstanceInfo()};
    ByteChunk file;
    for (auto _ : state) {
        file.Clear();
        benchmark::DoNotOptimize(plug.SaveBankAsFXBChunk(&file));
    }
    state.SetBytesProcessed(state.iterations() * file.Size());
}
BENCHMARK(SaveBank);

void LoadProgram(benchmark::State& state) {
    Grindvox plug{IPlugInstanceInfo()};
    ByteChunk file;
    plug.SaveProgramAsFXPChunk(&file);
    for (auto _ : state)
        benchmark::DoNotOptimize(plug.LoadProgramFromFXPChunk(&file));
    state.SetBytesProcessed(state.iterations() * file.Size());
}
BENCHMARK(LoadProgram);

// Argument 0: a whole bank; 1: the same bank one byte short.
void LoadBank(benchmark::State& state) {
    Grindvox plug{IPlugInstanceInfo()};
    ByteChunk file;
    plug.SaveBankAsFXBChunk(&file);
    if (state.range(0)) file.Resize(file.Size() - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(plug.LoadBankFromFXBChunk(&file));
    state.SetBytesProcessed(state.iterations() * file.Size());
}
BENCHMARK(LoadBank)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
