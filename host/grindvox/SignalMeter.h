#pragma once

#include <cstdint>

// Peak and RMS level of a stream of interleaved frames, over all channels together.
class SignalMeter {
public:
    void Add(const float* interleaved, int64_t frames, int channels);

    double Peak() const { return mPeak; }
    // 0 for no samples.
    double Rms() const;
    int64_t Samples() const { return mSamples; }

private:
    double mPeak = 0.0;
    double mSumOfSquares = 0.0;
    int64_t mSamples = 0;
};

// A level in decibels relative to full scale; "-inf" levels come back as -infinity.
double ToDecibels(double level);
