#pragma once

#include "host/grindvox/SignalMeter.h"

#include <cstdint>
#include <cstdio>
#include <string>

// What a finished render reports: where the audio came from and went, how much there was, how
// long it took and how loud it was on either side of the unit.
struct RenderSummary {
    std::string inputName;
    std::string outputPath;
    std::string formatDescription;
    std::string settings; // the unit's parameters as it rendered
    bool bypassed = false;
    double sampleRate = 0.0;
    int channels = 0;
    int blockSize = 0;
    int64_t inputFrames = 0;
    int64_t frames = 0; // rendered, the tail included
    double seconds = 0.0;
    SignalMeter input;
    SignalMeter output;
    bool clipped = false; // the output format is integer and the output peak exceeded full scale
};

void PrintSummary(std::FILE* out, const RenderSummary& summary);
