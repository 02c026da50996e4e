#pragma once

// The console's table and, after it, a program's own summary of its benchmarks' results side by
// side. The reporter keeps one result of every single run, or of the median of repeated ones,
// under the benchmark's name ("BM_Render/64"): its CPU time, its wall-clock time where the work
// is shared with another process (an X server), or one of its counters (a rate). Times are in
// each benchmark's own unit. A program derives from it and prints its summary in Summarise.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

class ResultsReporter : public benchmark::ConsoleReporter {
public:
    enum class Clock { kCpu, kReal };
    explicit ResultsReporter(Clock clock = Clock::kCpu) : mClock(clock) {}
    // Keeps the named counter of each run instead of its time.
    explicit ResultsReporter(std::string counter) : mCounter(std::move(counter)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if ((run.run_type != Run::RT_Iteration && !median) || run.error_occurred) continue;
            const std::string& args = run.run_name.args;
            mResults[run.run_name.function_name + (args.empty() ? "" : "/" + args)] = Of(run);
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        Summarise();
    }

protected:
    virtual void Summarise() = 0;

    // Every result kept, by benchmark name.
    const std::map<std::string, double>& Results() const { return mResults; }
    // The result of one benchmark, or 0 when it did not run.
    double Result(const std::string& name) const {
        const auto found = mResults.find(name);
        return found == mResults.end() ? 0.0 : found->second;
    }
    // The results of one benchmark function by its numeric argument ("BM_Render/64" → 64).
    std::map<long, double> ResultsByArg(const std::string& function) const {
        std::map<long, double> byArg;
        const std::string prefix = function + "/";
        for (const auto& [name, result] : mResults) {
            if (name.compare(0, prefix.size(), prefix) != 0) continue;
            byArg[std::strtol(name.c_str() + prefix.size(), nullptr, 10)] = result;
        }
        return byArg;
    }

private:
    double Of(const Run& run) const {
        if (!mCounter.empty()) {
            const auto counter = run.counters.find(mCounter);
            return counter == run.counters.end() ? 0.0 : counter->second.value;
        }
        return mClock == Clock::kReal ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
    }

    Clock mClock = Clock::kCpu;
    std::string mCounter; // empty: the time is kept
    std::map<std::string, double> mResults;
};

// A benchmark program's main with its reporter.
inline int RunBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter* reporter) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks(reporter);
    benchmark::Shutdown();
    return 0;
}
