#include "plugin/HostLookup.h"

#include <cctype>
#include <cstring>

namespace {

// In the order they are tried: an earlier entry wins when a name holds several.
const struct {
    const char* substring;
    EHost host;
} kHosts[] = {
    {"standalone", kHostStandalone},
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostAbletonLive},
    {"melodyne", kHostMelodyneStudio},
    {"vstmanlib", kHostVSTScanner},
    {"aulab", kHostAULab},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
    {"audiomulch", kHostAudioMulch},
    {"presonus vst2 host", kHostPresonus},
};

constexpr int kLookupLength = 255;

} // namespace

void ToLower(char* dst, const char* src) {
    const size_t n = std::strlen(src);
    for (size_t i = 0; i < n; ++i) {
        dst[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(src[i])));
    }
    dst[n] = 0;
}

bool IsWhitespace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

EHost LookUpHost(const char* name) {
    if (!name) return kHostUnknown;
    char head[kLookupLength + 1];
    std::strncpy(head, name, kLookupLength);
    head[kLookupLength] = 0;
    char lower[kLookupLength + 1];
    ToLower(lower, head);

    for (const auto& entry : kHosts) {
        if (std::strstr(lower, entry.substring)) return entry.host;
    }
    return kHostUnknown;
}
