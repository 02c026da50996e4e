#pragma once

// The console's table and, after it, a program's own summary of its benchmarks' times side by
// side. The reporter keeps the time of every single run, or the median of repeated ones, under
// the benchmark's name ("BM_Render/64"): CPU time, or wall-clock time where the work is shared
// with another process (an X server). A program derives from it and prints its summary in
// Summarise.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

class TimesReporter : public benchmark::ConsoleReporter {
public:
    enum class Clock { kCpu, kReal };
    explicit TimesReporter(Clock clock = Clock::kCpu) : mClock(clock) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if ((run.run_type != Run::RT_Iteration && !median) || run.error_occurred) continue;
            const std::string& args = run.run_name.args;
            mTimes[run.run_name.function_name + (args.empty() ? "" : "/" + args)] =
                mClock == Clock::kReal ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        Summarise();
    }

protected:
    virtual void Summarise() = 0;

    // Every time kept, by benchmark name.
    const std::map<std::string, double>& Times() const { return mTimes; }
    // The time of one benchmark, or 0 when it did not run.
    double Time(const std::string& name) const {
        const auto found = mTimes.find(name);
        return found == mTimes.end() ? 0.0 : found->second;
    }

    // The times of one benchmark function by its numeric argument ("BM_Render/64" → 64).
    std::map<long, double> TimesByArg(const std::string& function) const {
        std::map<long, double> byArg;
        const std::string prefix = function + "/";
        for (const auto& [name, time] : mTimes) {
            if (name.compare(0, prefix.size(), prefix) != 0) continue;
            byArg[std::strtol(name.c_str() + prefix.size(), nullptr, 10)] = time;
        }
        return byArg;
    }

private:
    Clock mClock;
    std::map<std::string, double> mTimes;
};

// A benchmark program's main with its reporter.
inline int RunBenchmarks(int argc, char** argv, benchmark::BenchmarkReporter* reporter) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks(reporter);
    benchmark::Shutdown();
    return 0;
}
