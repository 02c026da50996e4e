#pragma once

#include "host/grindvox/AudioSource.h"

#include <cstdint>

// The built-in input, so that a render works on a machine with no audio files: a two-bar
// groove at 120 beats per minute — kick, snare and hi-hat transients, a sustained A minor
// chord, and a noise sweep from dark to bright moving from left to right — at 44.1 kHz
// stereo, peaking below full scale. The same bytes on every run: its noise comes from a fixed
// integer sequence, never from the clock. Longer durations repeat the groove.
class DemoSignal : public AudioSource {
public:
    static constexpr double kSampleRate = 44100.0;
    static constexpr double kDefaultSeconds = 6.0;

    explicit DemoSignal(double seconds = kDefaultSeconds);

    int Channels() const override { return 2; }
    double SampleRate() const override { return kSampleRate; }
    int64_t Frames() const override { return mFrames; }
    std::string Name() const override { return "demo signal"; }
    int64_t Read(float* interleaved, int64_t frames, std::string* error) override;

private:
    double noise();

    int64_t mFrames;
    int64_t mPosition = 0;
    uint32_t mNoiseState = 0x2545F491u;
    double mSweepState[2] = {0.0, 0.0};
    double mHatState = 0.0;
};
