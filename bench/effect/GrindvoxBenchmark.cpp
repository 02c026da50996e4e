// Grindvox's processing against the plain reference chain of the tests, in one run: nanoseconds
// per stereo frame, the real-time factor at 44.1 kHz, and the speed-up over the reference.

#include "bench/support/ResultsReporter.h"
#include "effect/Grindvox.h"
#include "tests/support/GrindvoxHarness.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using grindvox::reference::Chain;
using grindvox::reference::Settings;
using grindvox::test::GrindvoxHarness;
using grindvox::test::MakeTestSignal;
using grindvox::test::StereoSignal;

namespace {

constexpr int kBlock = 512;
constexpr double kRealTimeRate = 44100.0;

// Every stage doing work: a resonant band-pass, 6 steps, a hold of 4 samples, the average mix
// and the parallel path.
Settings busySettings() {
    Settings s;
    s.filterType = 2;
    s.cutoff = 2000.0;
    s.resonance = 1.2;
    s.bits = 6;
    s.ratio = 3;
    s.mixMode = 1;
    s.parallel = true;
    return s;
}

const StereoSignal& input() {
    static const StereoSignal signal = MakeTestSignal(kBlock);
    return signal;
}

void setCounters(benchmark::State& state) {
    const double frames = static_cast<double>(state.iterations()) * kBlock;
    state.counters["frames/s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
}

void BM_Grindvox(benchmark::State& state) {
    GrindvoxHarness plug;
    plug.Apply(busySettings());
    StereoSignal out = input();
    double* ins[2] = {const_cast<double*>(input().left.data()),
                      const_cast<double*>(input().right.data())};
    double* outs[2] = {out.left.data(), out.right.data()};
    for (auto _ : state) {
        plug.Plug().ProcessDoubleReplacing(ins, outs, kBlock);
        benchmark::DoNotOptimize(out.left.data());
        benchmark::ClobberMemory();
    }
    setCounters(state);
}

void BM_PlainReference(benchmark::State& state) {
    Chain chain;
    const Settings s = busySettings();
    StereoSignal out = input();
    for (auto _ : state) {
        chain.process(s, input().left.data(), input().right.data(), out.left.data(),
                      out.right.data(), kBlock);
        benchmark::DoNotOptimize(out.left.data());
        benchmark::ClobberMemory();
    }
    setCounters(state);
}

BENCHMARK(BM_Grindvox)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainReference)->Unit(benchmark::kMicrosecond);

// The speed-up only counts if the output is the reference's to the last bit.
bool identicalToReference() {
    GrindvoxHarness plug;
    plug.Apply(busySettings());
    Chain chain;
    StereoSignal a = input(), b = input();
    for (int block = 0; block < 20; ++block) {
        plug.Process(input(), a, 0, kBlock);
        chain.process(busySettings(), input().left.data(), input().right.data(), b.left.data(),
                      b.right.data(), kBlock);
        if (std::memcmp(a.left.data(), b.left.data(), kBlock * sizeof(double)) != 0 ||
            std::memcmp(a.right.data(), b.right.data(), kBlock * sizeof(double)) != 0) {
            return false;
        }
    }
    return true;
}

// Prints the usual table, then a summary in the units that matter for audio.
class SummaryReporter : public ResultsReporter {
protected:
    void Summarise() override {
        // Microseconds per block, as the benchmarks report them, to nanoseconds per frame.
        const double grindvoxNs = Result("BM_Grindvox") * 1e3 / kBlock;
        const double referenceNs = Result("BM_PlainReference") * 1e3 / kBlock;
        auto line = [](const char* what, double ns) {
            std::printf("%-26s %8.1f ns per stereo frame, %7.1f x real time at 44.1 kHz\n", what,
                        ns, 1e9 / (ns * kRealTimeRate));
        };
        if (grindvoxNs > 0) line("Grindvox", grindvoxNs);
        if (referenceNs > 0) line("plain reference chain", referenceNs);
        if (grindvoxNs > 0 && referenceNs > 0) {
            std::printf("Grindvox runs %.2f x as fast as the plain reference (CPU time)\n",
                        referenceNs / grindvoxNs);
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    const bool identical = identicalToReference();
    std::printf("output bit-identical to the plain reference: %s\n", identical ? "yes" : "NO");
    if (!identical) return 1;
    SummaryReporter reporter;
    return RunBenchmarks(argc, argv, &reporter);
}
