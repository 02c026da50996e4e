// Seconds and times real time for a long stretch of the demo signal rendered through
// Grindvox.component (bundle loaded, Audio Unit calls, render callback, float buffers: what
// `grindvox render` does, without the files), and for the effect's own processing called
// directly on the same signal. The difference is what hosting costs. The two outputs must agree
// to the last bit, or the comparison means nothing.
//
// Usage: host_benchmark [SECONDS]   (default 60 s of audio; each side runs three times, the
// fastest run counts)
#include "effect/Grindvox.h"
#include "host/grindvox/DemoSignal.h"
#include "host/grindvox/UnitDriver.h"
#include "host/grindvox/UnitSettings.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kBlock = 512;
constexpr int kRuns = 3;

// Every stage doing work.
const UnitSettings::Assignment kBusy[] = {
    {"Filter", "BPF"}, {"Cutoff", "1200"}, {"Resonance", "1.2"}, {"Bits", "4"},
    {"Ratio", "6"},    {"Mix Mode", "+"},  {"Parallel", "on"}};

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Planar {
    std::vector<float> channel[2];
};

Planar makeInput(double seconds) {
    DemoSignal demo(seconds);
    std::vector<float> interleaved(static_cast<size_t>(demo.Frames()) * 2);
    std::string error;
    demo.Read(interleaved.data(), demo.Frames(), &error);
    Planar p;
    for (int c = 0; c < 2; ++c) {
        p.channel[c].resize(static_cast<size_t>(demo.Frames()));
        for (size_t i = 0; i < p.channel[c].size(); ++i)
            p.channel[c][i] = interleaved[2 * i + c];
    }
    return p;
}

// One pass through the component; false when the unit refused something.
bool renderThroughComponent(UnitDriver& unit, const Planar& in, Planar* out, double* seconds) {
    const size_t frames = in.channel[0].size();
    const auto start = Clock::now();
    for (size_t at = 0; at < frames; at += kBlock) {
        const UInt32 n = static_cast<UInt32>(std::min<size_t>(kBlock, frames - at));
        const float* ins[2] = {in.channel[0].data() + at, in.channel[1].data() + at};
        float* outs[2] = {out->channel[0].data() + at, out->channel[1].data() + at};
        if (unit.Render(ins, outs, n).Failed()) return false;
    }
    *seconds = since(start);
    return true;
}

// One pass through a Grindvox object called directly, in doubles as it processes; the
// conversions to and from float are outside the timing.
void renderDirectly(const Planar& in, Planar* out, double* seconds) {
    Grindvox plug{IPlugInstanceInfo{}};
    const double values[] = {2, 1200, static_cast<float>(1.2), 4, 6, 1, 1};
    for (int i = 0; i < Grindvox::kNumParams; ++i) {
        plug.GetParam(i)->Set(values[i]);
        plug.OnParamChange(i);
    }
    const size_t frames = in.channel[0].size();
    std::vector<double> din[2], dout[2];
    for (int c = 0; c < 2; ++c) {
        din[c].assign(in.channel[c].begin(), in.channel[c].end());
        dout[c].resize(frames);
    }
    const auto start = Clock::now();
    for (size_t at = 0; at < frames; at += kBlock) {
        const int n = static_cast<int>(std::min<size_t>(kBlock, frames - at));
        double* ins[2] = {din[0].data() + at, din[1].data() + at};
        double* outs[2] = {dout[0].data() + at, dout[1].data() + at};
        plug.ProcessDoubleReplacing(ins, outs, n);
    }
    *seconds = since(start);
    for (int c = 0; c < 2; ++c) {
        for (size_t i = 0; i < frames; ++i)
            out->channel[c][i] = static_cast<float>(dout[c][i]);
    }
}

} // namespace

int main(int argc, char** argv) {
    const double audioSeconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    if (!(audioSeconds > 0.0 && audioSeconds <= 3600.0)) {
        std::fprintf(stderr, "usage: host_benchmark [SECONDS], 0 < SECONDS <= 3600\n");
        return 2;
    }
    const Planar in = makeInput(audioSeconds);
    Planar viaComponent = in, direct = in;

    UnitDriver unit;
    UnitSettings settings;
    settings.assignments.assign(std::begin(kBusy), std::end(kBusy));
    Failure failure = unit.Open();
    if (!failure.Failed()) failure = ApplyUnitSettings(unit, settings);
    if (failure.Failed()) {
        std::fprintf(stderr, "host_benchmark: %s\n", failure.message.c_str());
        return 1;
    }

    double bestComponent = 1e30, bestDirect = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        double seconds = 0.0;
        // A fresh configuration per run, so every run starts from cleared filter state.
        if (unit.Configure(DemoSignal::kSampleRate, 2, kBlock).Failed() ||
            !renderThroughComponent(unit, in, &viaComponent, &seconds)) {
            std::fprintf(stderr, "host_benchmark: the component failed to render\n");
            return 1;
        }
        bestComponent = std::min(bestComponent, seconds);
        renderDirectly(in, &direct, &seconds);
        bestDirect = std::min(bestDirect, seconds);
    }

    size_t differing = 0;
    for (int c = 0; c < 2; ++c) {
        for (size_t i = 0; i < in.channel[c].size(); ++i)
            differing +=
                std::memcmp(&viaComponent.channel[c][i], &direct.channel[c][i], sizeof(float)) != 0;
    }
    std::printf("%.1f s of 44.1 kHz stereo demo signal, blocks of %d, every stage busy; best of "
                "%d runs\n",
                audioSeconds, kBlock, kRuns);
    std::printf("  through Grindvox.component  %8.3f s  %7.1f x real time\n", bestComponent,
                audioSeconds / bestComponent);
    std::printf("  direct DSP                  %8.3f s  %7.1f x real time\n", bestDirect,
                audioSeconds / bestDirect);
    std::printf("  hosting costs %+.1f %%; outputs %s\n",
                100.0 * (bestComponent - bestDirect) / bestDirect,
                differing == 0 ? "identical to the last bit" : "DIFFER");
    return differing == 0 ? 0 : 1;
}
