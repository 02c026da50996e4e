#pragma once

#include <cmath>

// The quantiser ("Bits"): `bits` steps per unit of amplitude (not 2 to the power of bits), the
// output halfway between a ceiling and a half-step-shifted rounding of the input. 16 or more
// steps mean off.
//
// A plain value: no allocation, no lock.
class TolvaDecimate {
public:
    TolvaDecimate() = default;

    // Anything below 1 becomes 1.
    void setBits(int n);
    int getBits() const { return bits; }

    // Inline: it runs for every sample of every channel.
    double process(double* in) {
        const double x = *in;
        if (bits > 15) return x;
        const double steps = bits;
        const double s = x * steps;
        upper = std::ceil(s) / steps;
        lower = (std::floor(s + 0.5) - 0.5) / steps;
        return 0.5 * (upper + lower);
    }

    int bits = 16;
    double upper = 0.0; // the two quantised values of the latest sample
    double lower = 0.0;
};
