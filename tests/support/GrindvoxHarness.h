#pragma once

// Drives a Grindvox the way the tests need: parameters set as the host would (plain value, then
// OnParamChange), stereo blocks of doubles in and out, and a test signal.

#include "effect/Grindvox.h"
#include "tests/support/GrindvoxReference.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace grindvox::test {

struct StereoSignal {
    std::vector<double> left, right;
    int Frames() const { return static_cast<int>(left.size()); }
};

// Two unrelated mixtures of tones and noise, peaking near 0.9, with a stretch of exact silence
// in both channels (frames 300..329) and in the left only (frames 400..429).
inline StereoSignal MakeTestSignal(int frames) {
    StereoSignal s{std::vector<double>(frames), std::vector<double>(frames)};
    std::uint32_t noise = 12345;
    for (int i = 0; i < frames; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double n = (static_cast<double>(noise >> 8) / 16777216.0 - 0.5) * 0.2;
        s.left[i] = 0.5 * std::sin(i * 0.031) + 0.3 * std::sin(i * 0.47) + n;
        s.right[i] = 0.6 * std::sin(i * 0.0071 + 1.0) + 0.2 * std::sin(i * 1.3) - n;
        if (i >= 300 && i < 330) s.left[i] = s.right[i] = 0.0;
        if (i >= 400 && i < 430) s.left[i] = 0.0;
    }
    return s;
}

inline std::uint64_t Bits(double v) {
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

class GrindvoxHarness {
public:
    GrindvoxHarness() : mPlug(IPlugInstanceInfo{}) {}

    Grindvox& Plug() { return mPlug; }

    void Set(int paramIdx, double plainValue) {
        mPlug.GetParam(paramIdx)->Set(plainValue);
        mPlug.OnParamChange(paramIdx);
    }

    void Apply(const reference::Settings& s) {
        Set(Grindvox::kFilter, s.filterType);
        Set(Grindvox::kCutoff, s.cutoff);
        Set(Grindvox::kResonance, s.resonance);
        Set(Grindvox::kBits, s.bits);
        Set(Grindvox::kRatio, s.ratio);
        Set(Grindvox::kMixMode, s.mixMode);
        Set(Grindvox::kParallel, s.parallel ? 1.0 : 0.0);
    }

    // Runs frames [start, start + n) of `in` as one block into the same frames of `out`.
    void Process(const StereoSignal& in, StereoSignal& out, int start, int n) {
        double* ins[2] = {const_cast<double*>(in.left.data()) + start,
                          const_cast<double*>(in.right.data()) + start};
        double* outs[2] = {out.left.data() + start, out.right.data() + start};
        mPlug.ProcessDoubleReplacing(ins, outs, n);
    }

    StereoSignal ProcessAll(const StereoSignal& in, int blockSize) {
        StereoSignal out{std::vector<double>(in.left.size()), std::vector<double>(in.left.size())};
        for (int start = 0; start < in.Frames(); start += blockSize) {
            const int n = in.Frames() - start < blockSize ? in.Frames() - start : blockSize;
            Process(in, out, start, n);
        }
        return out;
    }

private:
    Grindvox mPlug;
};

} // namespace grindvox::test
