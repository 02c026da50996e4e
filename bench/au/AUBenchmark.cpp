// What the Audio Unit adapter costs per render call: Grindvox.component rendered through
// AudioUnitRender (float, stereo, input from a render callback that copies a prepared block)
// at 32, 64 and 512 frames, against Grindvox::ProcessDoubleReplacing called directly on the
// same block in the same binary. Prints the adapter's overhead per call and the ratio of the
// two times.
#include "bench/support/DirectProcessing.h"
#include "bench/support/ResultsReporter.h"
#include "bench/support/TonesAndNoise.h"
#include "effect/Grindvox.h"
#include "host/ComponentBundle.h"

#include <AudioUnit/AudioUnit.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kMaxFrames = 512;

// Every stage doing work: a resonant band-pass, 6 steps, a hold of 4 samples, the average mix
// and the parallel path.
const std::pair<AudioUnitParameterID, float> kBusy[] = {
    {Grindvox::kFilter, 2},   {Grindvox::kCutoff, 2000}, {Grindvox::kResonance, 1.2f},
    {Grindvox::kBits, 6},     {Grindvox::kRatio, 3},     {Grindvox::kMixMode, 1},
    {Grindvox::kParallel, 1},
};

// Two channels of tones and noise, as floats a host would hand over.
struct Input {
    float channel[2][kMaxFrames];
    Input() { FillTonesAndNoise(channel[0], channel[1], kMaxFrames); }
};

const Input& input() {
    static const Input block;
    return block;
}

OSStatus feed(void* /*self*/, AudioUnitRenderActionFlags* /*flags*/,
              const AudioTimeStamp* /*timeStamp*/, UInt32 /*bus*/, UInt32 frames,
              AudioBufferList* list) {
    for (UInt32 c = 0; c < list->mNumberBuffers && c < 2; ++c)
        std::memcpy(list->mBuffers[c].mData, input().channel[c], frames * sizeof(float));
    return noErr;
}

Component grindvox() {
    static ComponentBundle bundle;
    static Component component = [] {
        std::string error;
        if (!bundle.Load(GRINDVOX_BUNDLE, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return Component(nullptr);
        }
        return bundle.Find(kAudioUnitType_Effect);
    }();
    return component;
}

// A stereo unit configured as a host configures one, or null.
AudioUnit openStereoUnit() {
    AudioUnit unit = nullptr;
    if (!grindvox() || OpenAComponent(grindvox(), &unit) != noErr) return nullptr;
    AudioStreamBasicDescription format;
    IPlugAU::MakeDefaultASBD(&format, 44100.0, 2, false);
    const AURenderCallbackStruct callback = {feed, nullptr};
    const UInt32 maxFrames = kMaxFrames;
    bool ok =
        AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0,
                             &format, sizeof format) == noErr &&
        AudioUnitSetProperty(unit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0,
                             &format, sizeof format) == noErr &&
        AudioUnitSetProperty(unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                             &callback, sizeof callback) == noErr &&
        AudioUnitSetProperty(unit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global,
                             0, &maxFrames, sizeof maxFrames) == noErr &&
        AudioUnitInitialize(unit) == noErr;
    for (const auto& [id, value] : kBusy)
        ok = ok && AudioUnitSetParameter(unit, id, kAudioUnitScope_Global, 0, value, 0) == noErr;
    if (!ok) {
        CloseComponent(unit);
        return nullptr;
    }
    return unit;
}

void BM_AudioUnitRender(benchmark::State& state) {
    const auto frames = static_cast<UInt32>(state.range(0));
    AudioUnit unit = openStereoUnit();
    if (!unit) {
        state.SkipWithError("Grindvox.component did not open");
        return;
    }
    std::vector<float> out[2] = {std::vector<float>(kMaxFrames), std::vector<float>(kMaxFrames)};
    struct {
        UInt32 mNumberBuffers;
        AudioBuffer mBuffers[2];
    } list;
    AudioTimeStamp stamp = {};
    stamp.mFlags = kAudioTimeStampSampleTimeValid;
    for (auto _ : state) {
        list.mNumberBuffers = 2;
        for (int c = 0; c < 2; ++c)
            list.mBuffers[c] = {1, frames * static_cast<UInt32>(sizeof(float)), out[c].data()};
        AudioUnitRenderActionFlags flags = 0;
        const OSStatus result = AudioUnitRender(unit, &flags, &stamp, 0, frames,
                                                reinterpret_cast<AudioBufferList*>(&list));
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
        stamp.mSampleTime += frames;
    }
    CloseComponent(unit);
}

void BM_ProcessDoubleReplacing(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    Grindvox plug{IPlugInstanceInfo{}};
    plug.Reset();
    for (const auto& [id, value] : kBusy) {
        plug.GetParam(static_cast<int>(id))->Set(value);
        plug.OnParamChange(static_cast<int>(id));
    }
    MeasureDirectProcessing(state, plug, input().channel[0], input().channel[1], kMaxFrames,
                            frames);
}

BENCHMARK(BM_AudioUnitRender)->Arg(32)->Arg(64)->Arg(512)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_ProcessDoubleReplacing)->Arg(32)->Arg(64)->Arg(512)->Unit(benchmark::kNanosecond);

// Prints the usual table, then, per block size, what the adapter adds to each call.
class OverheadReporter : public ResultsReporter {
protected:
    void Summarise() override {
        std::printf("\n%8s %16s %16s %16s %8s\n", "frames", "AudioUnitRender", "direct DSP",
                    "adapter overhead", "ratio");
        const auto direct = ResultsByArg("BM_ProcessDoubleReplacing");
        for (const auto& [frames, adapter] : ResultsByArg("BM_AudioUnitRender")) {
            const auto dsp = direct.find(frames);
            if (dsp == direct.end()) continue;
            std::printf("%8ld %13.0f ns %13.0f ns %13.0f ns %8.3f\n", frames, adapter, dsp->second,
                        adapter - dsp->second, adapter / dsp->second);
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    OverheadReporter reporter;
    return RunBenchmarks(argc, argv, &reporter);
}
