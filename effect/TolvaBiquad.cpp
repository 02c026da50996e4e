#include "effect/TolvaBiquad.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHalfLn2 = 0.69314718055994530942 / 2.0;
// The single-precision 1e-25, kept at float precision as the recursion has always used it.
constexpr double kAntiDenormal = static_cast<double>(1.0e-25f);

} // namespace

TolvaBiquad::TolvaBiquad(int modeValue, double cutoffHz, double resonanceValue, double samplerateHz)
    : mode(modeValue), cutoff(cutoffHz), resonance(resonanceValue), samplerate(samplerateHz) {
    w0 = 2.0 * kPi * cutoff / samplerate;
    const double s = std::sin(w0);
    alpha = s / (2.0 * resonance);
    alphaBP = std::sinh(kHalfLn2 * resonance * w0 / s) * s;
    reset();
}

void TolvaBiquad::setMode(int m) {
    mode = (m >= kLowPass && m <= kBandPass) ? m : kLowPass;
}

void TolvaBiquad::setCutoff(double value) {
    cutoff = value < 10.0 ? 10.0 : value;
}

void TolvaBiquad::setResonance(double value) {
    if (value < 1.0) value = 1.0;
    if (value > 16.0) value = 16.0;
    resonance = value;
}

void TolvaBiquad::setSamplerate(double value) {
    samplerate = value;
}

void TolvaBiquad::calc() {
    w0 = 2.0 * kPi * cutoff / samplerate;
    const double s = std::sin(w0);
    const double c = std::cos(w0);
    switch (mode) {
    case kLowPass:
        alpha = s / (2.0 * resonance);
        b0 = (1.0 - c) / 2.0;
        b1 = 1.0 - c;
        b2 = (1.0 - c) / 2.0;
        a0 = 1.0 + alpha;
        a1 = -2.0 * c;
        a2 = 1.0 - alpha;
        break;
    case kHighPass:
        alpha = s / (2.0 * resonance);
        b0 = (1.0 + c) / 2.0;
        b1 = -(1.0 + c);
        b2 = (1.0 + c) / 2.0;
        a0 = 1.0 + alpha;
        a1 = -2.0 * c;
        a2 = 1.0 - alpha;
        break;
    case kBandPass:
        alphaBP = std::sinh(kHalfLn2 * resonance * w0 / s) * s;
        b0 = s / 2.0;
        b1 = 0.0;
        b2 = -s / 2.0;
        a0 = 1.0 + alphaBP;
        a1 = -2.0 * c;
        a2 = 1.0 - alphaBP;
        break;
    default: break;
    }
}

void TolvaBiquad::reset() {
    a0 = a1 = a2 = b0 = b1 = b2 = 0.0;
    x0 = x1 = x2 = y0 = y1 = y2 = 0.0;
}

double TolvaBiquad::process(double* in) {
    x0 = *in;
    y0 = (b0 / a0) * x0 + (b1 / a0) * x1 + (b2 / a0) * x2 - (a1 / a0) * y1 - (a2 / a0) * y2 +
         kAntiDenormal;
    x2 = x1;
    x1 = x0;
    y2 = y1;
    y1 = y0;
    return y0;
}
