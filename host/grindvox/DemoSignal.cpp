#include "host/grindvox/DemoSignal.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBeat = 0.5;       // seconds per beat at 120 bpm
constexpr double kLoop = 8 * kBeat; // two bars of four beats
constexpr double kLevel = 0.6;      // keeps the loudest hits (kick with snare) below full scale

// A decaying tone struck on every beat, its pitch falling from 160 Hz to 50 Hz: the phase is
// the integral of 50 + 110 e^(-30 t).
double kick(double sinceBeat) {
    const double phase =
        2.0 * kPi * (50.0 * sinceBeat + 110.0 / 30.0 * (1.0 - std::exp(-sinceBeat * 30.0)));
    return 0.55 * std::exp(-sinceBeat * 9.0) * std::sin(phase);
}

} // namespace

DemoSignal::DemoSignal(double seconds)
    : mFrames(static_cast<int64_t>(std::llround(seconds * kSampleRate))) {}

double DemoSignal::noise() {
    // A 32-bit linear congruential sequence: the same numbers on every machine.
    mNoiseState = mNoiseState * 1664525u + 1013904223u;
    return static_cast<double>(mNoiseState >> 8) / 8388608.0 - 1.0;
}

int64_t DemoSignal::Read(float* interleaved, int64_t frames, std::string* /*error*/) {
    if (frames > mFrames - mPosition) frames = mFrames - mPosition;
    for (int64_t i = 0; i < frames; ++i, ++mPosition) {
        const double t = static_cast<double>(mPosition) / kSampleRate;
        const double inLoop = std::fmod(t, kLoop);
        const double sinceBeat = std::fmod(inLoop, kBeat);
        const int beat = static_cast<int>(inLoop / kBeat);
        const double sinceEighth = std::fmod(inLoop, kBeat / 2.0);

        const double drum = kick(sinceBeat);
        const double white = noise();
        // Snare on beats 2 and 4 of each bar: a noise burst over a short 190 Hz body.
        const bool snareBeat = beat % 2 == 1;
        const double snare = snareBeat
                                 ? std::exp(-sinceBeat * 22.0) *
                                       (0.3 * white + 0.2 * std::sin(2.0 * kPi * 190.0 * sinceBeat))
                                 : 0.0;
        // Hi-hat on every eighth: the noise with its low part taken away.
        mHatState += 0.3 * (white - mHatState);
        const double hat = 0.16 * std::exp(-sinceEighth * 70.0) * (white - mHatState);

        // A minor chord, each voice with three harmonics, swelling in and out over the loop.
        const double swell = 0.5 - 0.5 * std::cos(2.0 * kPi * inLoop / kLoop);
        double chord = 0.0;
        for (double f : {220.0, 261.63, 329.63}) {
            const double phase = 2.0 * kPi * f * t;
            chord += std::sin(phase) + 0.4 * std::sin(2.0 * phase) + 0.2 * std::sin(3.0 * phase);
        }
        chord *= 0.05 + 0.05 * swell;

        // Noise through a one-pole low-pass swept from 200 Hz to 8 kHz over each loop, panned
        // from left to right as it opens.
        const double position = inLoop / kLoop;
        const double cutoff = 200.0 * std::pow(40.0, position);
        const double k = 1.0 - std::exp(-2.0 * kPi * cutoff / kSampleRate);
        const double sweepIn = 0.5 * white;
        mSweepState[0] += k * (sweepIn - mSweepState[0]);
        mSweepState[1] += k * (sweepIn - mSweepState[1]);
        const double sweepGain = 0.35;
        const double left =
            drum + snare + 0.8 * hat + chord + sweepGain * (1.0 - position) * mSweepState[0];
        const double right =
            drum + snare + hat + 0.9 * chord + sweepGain * position * mSweepState[1];
        interleaved[2 * i] = static_cast<float>(kLevel * left);
        interleaved[2 * i + 1] = static_cast<float>(kLevel * right);
    }
    return frames;
}
