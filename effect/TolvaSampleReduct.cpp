#include "effect/TolvaSampleReduct.h"

#include <climits>

namespace {

// |n|, with the one int that has no positive counterpart held at the largest amount.
int magnitude(int n) {
    if (n == INT_MIN) return INT_MAX;
    return n < 0 ? -n : n;
}

} // namespace

void TolvaSampleReduct::setReductAmount(int n) {
    count = 0;
    amount = magnitude(n);
}

void TolvaSampleReduct::update(int n) {
    // The effect calls this at every block start: the hold runs on across blocks, so the sound
    // does not depend on how the host cuts the audio into blocks.
    if (magnitude(n) != amount) setReductAmount(n);
}
