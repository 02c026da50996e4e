#pragma once

#include <CoreGraphics/CGImage.h>

#include <atomic>

// The records behind CGDataProviderRef and CGImageRef, shared by the image and context code.
struct CGDataProvider {
    std::atomic<long> retainCount{1};
    void* info = nullptr;
    const void* data = nullptr;
    size_t size = 0;
    CGDataProviderReleaseDataCallback releaseData = nullptr;
};

struct CGImage {
    std::atomic<long> retainCount{1};
    size_t width = 0;
    size_t height = 0;
    size_t bytesPerRow = 0;
    size_t bitsPerPixel = 0;
    CGBitmapInfo bitmapInfo = 0;
    bool isMask = false;
    // Masks: true when the samples are coverage (decode {1, 0}) rather than inverse coverage.
    bool maskSamplesAreCoverage = false;
    bool shouldInterpolate = false;
    CGDataProviderRef provider = nullptr;
};
