#pragma once

// The audio the plug-in benchmarks process: two channels of tones and noise, as floats a host
// would hand over, the same n frames on every run.
#include <cmath>

inline void FillTonesAndNoise(float* left, float* right, int n) {
    unsigned noise = 12345;
    for (int i = 0; i < n; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const float x = (static_cast<float>(noise >> 8) / 16777216.0f - 0.5f) * 0.2f;
        left[i] = 0.5f * std::sin(i * 0.031f) + 0.3f * std::sin(i * 0.47f) + x;
        right[i] = 0.6f * std::sin(i * 0.0071f + 1.0f) + 0.2f * std::sin(i * 1.3f) - x;
    }
}
