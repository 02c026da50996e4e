#pragma once

// The rate reducer ("Ratio"): a sample-and-hold that takes a new sample every `amount` + 1
// samples; an amount of 0 passes every sample.
//
// A plain value: no allocation, no lock.
class TolvaSampleReduct {
public:
    TolvaSampleReduct() = default;

    // The amount is the absolute value of n. setReductAmount restarts the hold so that the next
    // sample is taken fresh; update restarts it only when the amount changes.
    void setReductAmount(int n);
    void update(int n);
    void reset() { count = 0; }

    int getReductAmount() const { return amount; }
    int getCount() const { return count; }

    // Inline: it runs for every sample of every channel.
    double process(double* in) {
        if (amount == 0) return *in;
        if (count == 0) held = *in;
        ++count;
        if (count > amount) count = 0;
        return held;
    }

    int amount = 0;
    double held = 0.0;
    int count = 0;
};
