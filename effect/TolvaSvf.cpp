#include "effect/TolvaSvf.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Zero and subnormal values (exponent field all zeros) become +0.0; everything else, NaN and
// infinities included, passes unchanged.
inline double flushed(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return (bits & 0x7ff0000000000000ull) ? value : 0.0;
}

// The filter's changing values, held in locals while a sample's passes run.
struct SvfState {
    double low, high, band, notch, bandState, lowState;

    explicit SvfState(const TolvaSvf& f)
        : low(f.low), high(f.high), band(f.band), notch(f.notch), bandState(f.bandState),
          lowState(f.lowState) {}

    void storeInto(TolvaSvf& f) const {
        f.low = low;
        f.high = high;
        f.band = band;
        f.notch = notch;
        f.bandState = bandState;
        f.lowState = lowState;
    }

    void pass(double x, double freq, double damping) {
        low = flushed(freq * bandState + lowState);
        high = flushed(x - low - damping * bandState / std::sqrt(bandState * bandState + 1.0));
        band = flushed(freq * high + bandState);
        notch = flushed(high + low);
        bandState = std::tanh(band);
        lowState = low;
    }
};

} // namespace

TolvaSvf::TolvaSvf(double cutoffHz, double resonanceValue, double samplerateHz,
                   double oversamplingFactor)
    : cutoff(cutoffHz), resonance(resonanceValue), samplerate(samplerateHz),
      oversampling(oversamplingFactor), damping(2.0), freq(0.0), low(0.0), high(0.0), band(0.0),
      notch(0.0), bandState(0.0), lowState(0.0) {}

void TolvaSvf::setCutoff(double value) {
    cutoff = value < 10.0 ? 10.0 : value;
}

void TolvaSvf::setResonance(double value) {
    resonance = value > 2.0 ? 2.0 : value;
}

void TolvaSvf::setSamplerate(double value) {
    samplerate = value;
}

void TolvaSvf::setOversampling(double value) {
    oversampling = value < 1.0 ? 1.0 : value;
}

void TolvaSvf::calc() {
    damping = 2.0 - resonance;
    freq = 2.0 * std::sin(kPi * cutoff / (samplerate * oversampling));
}

void TolvaSvf::reset() {
    low = high = band = notch = bandState = lowState = 0.0;
}

double TolvaSvf::process(double* in) {
    if (!(oversampling > 0.0)) return low;
    const double x = *in;
    SvfState s(*this);
    int passes = 0;
    do {
        s.pass(x, freq, damping);
        ++passes;
    } while (oversampling > passes);
    s.storeInto(*this);
    return low;
}

void TolvaSvf::processPair(TolvaSvf& a, double* inA, TolvaSvf& b, double* inB, double* outA,
                           double* outB) {
    // Interleaving needs the same number of passes on both sides.
    if (!(a.oversampling > 0.0) || a.oversampling != b.oversampling) {
        *outA = a.process(inA);
        *outB = b.process(inB);
        return;
    }
    const double xa = *inA;
    const double xb = *inB;
    SvfState sa(a);
    SvfState sb(b);
    int passes = 0;
    do {
        sa.pass(xa, a.freq, a.damping);
        sb.pass(xb, b.freq, b.damping);
        ++passes;
    } while (a.oversampling > passes);
    sa.storeInto(a);
    sb.storeInto(b);
    *outA = a.low;
    *outB = b.low;
}
