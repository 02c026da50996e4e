#pragma once

// A plain model of the Grindvox signal chain, written straight from its formulas and sharing no
// code with effect/: one channel after the other, one stage after the other, one sample at a
// time. Tests compare the effect with it bit for bit; the benchmark measures the effect against
// it.

#include <cmath>
#include <cstdlib>

namespace grindvox::reference {

struct Settings {
    int filterType = 0; // 0 low-pass, 1 high-pass, 2 band-pass
    double cutoff = 11000.0;
    double resonance = 0.0;
    int bits = 16;
    int ratio = 0;
    int mixMode = 0; // 0 ">", 1 "+", 2 "x", 3 "-"
    bool parallel = false;
    double sampleRate = 44100.0;
    double oversampling = 4.0;
};

// A float as a host receives it: a result below the smallest normal float becomes a zero of
// the same sign.
inline float toHostFloat(double v) {
    const float f = static_cast<float>(v);
    return std::fpclassify(f) == FP_SUBNORMAL ? std::copysign(0.0f, f) : f;
}

inline double flushToZero(double v) {
    const int kind = std::fpclassify(v);
    return (kind == FP_ZERO || kind == FP_SUBNORMAL) ? 0.0 : v;
}

class Chain {
public:
    void reset() {
        for (Channel& ch : mChannels)
            ch = Channel{};
        mAmount = 0;
        mSilentFrames = 64;
        mGateClosed = true;
    }

    // One block; the settings apply from its first sample.
    void process(const Settings& s, const double* inL, const double* inR, double* outL,
                 double* outR, int nFrames) {
        const double nyquist = s.sampleRate / 2.0;
        const double limited = s.cutoff > nyquist ? nyquist : s.cutoff;
        const double cutoff = limited < 10.0 ? 10.0 : limited;
        const double resonance = s.resonance > 2.0 ? 2.0 : s.resonance;
        const double damping = 2.0 - resonance;
        const double pi = 3.14159265358979323846;
        const double freq = 2.0 * std::sin(pi * cutoff / (s.sampleRate * s.oversampling));
        const int bits = s.bits > 0 ? s.bits : 1;
        const int amount = std::abs(s.ratio);
        if (amount != mAmount) {
            for (Channel& ch : mChannels)
                ch.count = 0;
            mAmount = amount;
        }

        for (int i = 0; i < nFrames; ++i) {
            const double x[2] = {inL[i], inR[i]};
            double y[2], filtered[2];
            for (int c = 0; c < 2; ++c) {
                y[c] =
                    processSample(mChannels[c], s, x[c], freq, damping, bits, amount, filtered[c]);
            }
            // Silent for 64 frames in both inputs, and both filters rung out below 2^-24 (the
            // selected output, the low and the band): the outputs stay 0 until the input moves.
            const bool silent = x[0] == 0.0 && x[1] == 0.0;
            mSilentFrames = silent ? (mSilentFrames < 64 ? mSilentFrames + 1 : 64) : 0;
            if (!silent) mGateClosed = false;
            if (!mGateClosed && mSilentFrames == 64) {
                mGateClosed =
                    rungOut(mChannels[0], filtered[0]) && rungOut(mChannels[1], filtered[1]);
            }
            if (mGateClosed) y[0] = y[1] = 0.0;
            outL[i] = y[0];
            outR[i] = y[1];
        }
    }

private:
    struct Channel {
        double low = 0.0, high = 0.0, band = 0.0, notch = 0.0, bandState = 0.0, lowState = 0.0;
        double held = 0.0;
        int count = 0;
    };

    static bool rungOut(const Channel& ch, double filtered) {
        const double level = 1.0 / 16777216.0;
        return std::fabs(filtered) < level && std::fabs(ch.low) < level &&
               std::fabs(ch.band) < level;
    }

    static double quantise(double x, int bits) {
        if (bits > 15) return x;
        const double upper = std::ceil(x * bits) / bits;
        const double lower = (std::floor(x * bits + 0.5) - 0.5) / bits;
        return 0.5 * (upper + lower);
    }

    static double hold(Channel& ch, double x, int amount) {
        if (amount == 0) return x;
        if (ch.count == 0) ch.held = x;
        ch.count = ch.count + 1 > amount ? 0 : ch.count + 1;
        return ch.held;
    }

    static double processSample(Channel& ch, const Settings& s, double x, double freq,
                                double damping, int bits, int amount, double& filtered) {
        for (int pass = 0; pass == 0 || s.oversampling > pass; ++pass) {
            ch.low = flushToZero(freq * ch.bandState + ch.lowState);
            ch.high = flushToZero(
                x - ch.low - damping * ch.bandState / std::sqrt(ch.bandState * ch.bandState + 1.0));
            ch.band = flushToZero(freq * ch.high + ch.bandState);
            ch.notch = flushToZero(ch.high + ch.low);
            ch.bandState = std::tanh(ch.band);
            ch.lowState = ch.low;
        }
        filtered = s.filterType == 1 ? ch.high : s.filterType == 2 ? ch.band : ch.low;
        const double quantised = quantise(filtered, bits);
        double mixed = 0.0;
        switch (s.mixMode) {
        case 0: mixed = hold(ch, quantised, amount); break;
        case 1: mixed = 0.5 * quantised + 0.5 * hold(ch, filtered, amount); break;
        case 2: mixed = quantised * hold(ch, filtered, amount); break;
        case 3: mixed = quantised - hold(ch, filtered, amount); break;
        default: break;
        }
        return s.parallel ? (x - filtered) + mixed : mixed;
    }

    Channel mChannels[2];
    int mAmount = 0;
    int mSilentFrames = 64;
    bool mGateClosed = true;
};

} // namespace grindvox::reference
