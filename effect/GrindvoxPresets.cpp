#include "effect/GrindvoxPresets.h"

namespace {

// Filter (0 LPF, 1 HPF, 2 BPF), Cutoff in Hz, Resonance, Bits, Ratio, Mix Mode (0 serial,
// 1 average, 2 ring, 3 difference), Parallel. Every value is exact in single precision, so an
// LV2 host's float control port and the .aupreset's double carry the same number and both forms
// sound the same.
const GrindvoxPreset kPresets[] = {
    // The narrow band of a phone line, a little coarse.
    {"Telephone Band", "telephone-band", {2, 1700.0, 0.75, 8, 3, 0, 0}},
    // Four-bit samples at a quarter of the rate: a handheld console's sound chip.
    {"8-Bit Console", "8-bit-console", {0, 11000.0, 0.0, 4, 3, 0, 0}},
    // A ringing band, averaged with a held copy of itself: a receiver that drifts off station.
    {"Broken Radio", "broken-radio", {2, 1100.0, 1.375, 5, 7, 1, 0}},
    // Crushed highs over the untouched low end the parallel path adds back.
    {"Crushed Drums", "crushed-drums", {1, 150.0, 0.25, 5, 2, 0, 1}},
    // The quantised signal times a held copy: inharmonic partials like a struck bell.
    {"Ring-Modulated Bell", "ring-modulated-bell", {0, 4000.0, 1.25, 12, 9, 2, 0}},
    // Three bits in a mid band, fast hold: a handset pressed to the mouth.
    {"Walkie-Talkie", "walkie-talkie", {2, 2200.0, 1.0, 3, 5, 0, 0}},
    // A dull, slightly aliased early sampler.
    {"Dusty Sampler", "dusty-sampler", {0, 3500.0, 0.375, 12, 1, 1, 0}},
    // A resonant low-pass into three bits, the dry lows kept beside it.
    {"Fuzz Bass", "fuzz-bass", {0, 400.0, 1.5, 3, 0, 0, 1}},
    // A low-pass near self-oscillation, nothing else: sound heard through water.
    {"Under Water", "under-water", {0, 300.0, 1.75, 16, 0, 0, 0}},
    // Two bits minus a long hold of the same band: digital static.
    {"Aliased Static", "aliased-static", {2, 3000.0, 0.875, 2, 17, 3, 0}},
};

constexpr int kNumPresets = static_cast<int>(sizeof kPresets / sizeof kPresets[0]);

} // namespace

int NumGrindvoxPresets() {
    return kNumPresets;
}

const GrindvoxPreset* GetGrindvoxPreset(int idx) {
    return idx >= 0 && idx < kNumPresets ? &kPresets[idx] : nullptr;
}
