#include "host/grindvox/SignalMeter.h"

#include <cmath>
#include <limits>

void SignalMeter::Add(const float* interleaved, int64_t frames, int channels) {
    const int64_t n = frames * channels;
    for (int64_t i = 0; i < n; ++i) {
        const double v = interleaved[i];
        const double magnitude = std::fabs(v);
        if (magnitude > mPeak) mPeak = magnitude;
        mSumOfSquares += v * v;
    }
    mSamples += n;
}

double SignalMeter::Rms() const {
    return mSamples > 0 ? std::sqrt(mSumOfSquares / static_cast<double>(mSamples)) : 0.0;
}

double ToDecibels(double level) {
    if (level <= 0.0) return -std::numeric_limits<double>::infinity();
    return 20.0 * std::log10(level);
}
