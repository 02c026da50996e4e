#pragma once

// A saturating state-variable filter for one channel: low-pass, high-pass, band-pass and notch
// outputs of one topology, run `oversampling` times per sample with the band state driven
// through tanh and the damping term softened by the band state's magnitude. Results whose
// exponent is zero are flushed to +0.0 so the feedback never decays into subnormal numbers.
//
// A plain value: no allocation, no lock. `calc` must run after the settings change and before
// the next `process`.
class TolvaSvf {
public:
    TolvaSvf(double cutoff, double resonance, double samplerate, double oversampling);

    double getCutoff() const { return cutoff; }
    double getResonance() const { return resonance; }
    double getSamplerate() const { return samplerate; }
    double getOversampling() const { return oversampling; }

    // Held at 10 Hz and above.
    void setCutoff(double value);
    // Held at 2 and below, where the damping reaches 0.
    void setResonance(double value);
    void setSamplerate(double value);
    // Held at 1 pass and above.
    void setOversampling(double value);

    void calc();
    // Clears the outputs and the two states; the settings stay.
    void reset();

    // One sample; returns the low-pass output. With no pass to run (oversampling not above 0)
    // the previous low-pass output comes back unchanged.
    double process(double* in);
    // The last pass's outputs of the latest sample.
    double getHpf() const { return high; }
    double getBpf() const { return band; }
    double getNotch() const { return notch; }

    // One sample through each of two filters, with the passes of both interleaved. The two are
    // independent dependency chains, so running them side by side lets the processor overlap
    // them. Each filter ends exactly as its own `process` would leave it; `outA` and `outB`
    // receive the low-pass outputs.
    static void processPair(TolvaSvf& a, double* inA, TolvaSvf& b, double* inB, double* outA,
                            double* outB);

    double cutoff;
    double resonance;
    double samplerate;
    double oversampling;
    double damping;
    double freq;
    double low;
    double high;
    double band;
    double notch;
    double bandState;
    double lowState;
};
