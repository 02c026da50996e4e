#include "host/grindvox/Summary.h"

#include <cmath>

namespace {

std::string level(double value) {
    char text[64];
    const double decibels = ToDecibels(value);
    if (std::isinf(decibels))
        std::snprintf(text, sizeof text, "%.4f (silence)", value);
    else
        std::snprintf(text, sizeof text, "%.4f (%.1f dBFS)", value, decibels);
    return text;
}

const char* channelName(int channels) {
    return channels == 1 ? "mono" : "stereo";
}

} // namespace

void PrintSummary(std::FILE* out, const RenderSummary& s) {
    const double audioSeconds = s.sampleRate > 0.0 ? s.frames / s.sampleRate : 0.0;
    std::fprintf(out, "grindvox: %s -> %s (%s)\n", s.inputName.c_str(), s.outputPath.c_str(),
                 s.formatDescription.c_str());
    std::fprintf(out, "  settings  %s%s\n", s.settings.c_str(), s.bypassed ? " (bypassed)" : "");
    std::fprintf(out, "  frames    %lld (%.3f s at %.0f Hz, %s, %lld of them tail), block %d\n",
                 static_cast<long long>(s.frames), audioSeconds, s.sampleRate,
                 channelName(s.channels), static_cast<long long>(s.frames - s.inputFrames),
                 s.blockSize);
    if (s.seconds > 0.0)
        std::fprintf(out, "  time      %.3f s, %.1f x real time\n", s.seconds,
                     audioSeconds / s.seconds);
    else
        std::fprintf(out, "  time      %.3f s\n", s.seconds);
    std::fprintf(out, "  input     peak %s, RMS %s\n", level(s.input.Peak()).c_str(),
                 level(s.input.Rms()).c_str());
    std::fprintf(out, "  output    peak %s, RMS %s\n", level(s.output.Peak()).c_str(),
                 level(s.output.Rms()).c_str());
    if (s.clipped)
        std::fprintf(out, "  note      the output exceeds full scale and was clipped in %s\n",
                     s.formatDescription.c_str());
}
