#pragma once

// A second-order filter in direct form I: low-pass and high-pass with `resonance` as Q, or
// band-pass with `resonance` read as the bandwidth in octaves. A tiny constant is added to each
// output so the recursion never settles into subnormal numbers.
//
// A plain value: no allocation, no lock. `calc` must run after the settings change, after
// `reset` and before the first `process`.
class TolvaBiquad {
public:
    enum EMode { kLowPass = 0, kHighPass = 1, kBandPass = 2 };

    TolvaBiquad(int mode, double cutoff, double resonance, double samplerate);

    int getMode() const { return mode; }
    double getCutoff() const { return cutoff; }
    double getResonance() const { return resonance; }
    double getSamplerate() const { return samplerate; }

    // A mode outside 0..2 becomes low-pass.
    void setMode(int m);
    // Held at 10 Hz and above.
    void setCutoff(double value);
    // Held within [1, 16].
    void setResonance(double value);
    void setSamplerate(double value);

    void calc();
    // Clears the coefficients and the history.
    void reset();

    // One sample; returns the output, which also stays in `y0`.
    double process(double* in);

    int mode;
    double cutoff;
    double resonance;
    double samplerate;
    double w0;
    double alpha;
    double alphaBP;
    double a0, a1, a2;
    double b0, b1, b2;
    double x0, x1, x2;
    double y0, y1, y2;
};
