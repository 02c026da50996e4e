// A host process that uses fontconfig itself, as a toolkit does, shows the UI and then exits
// normally: usage `lv2_ui_exit_probe BUNDLE`. Its exit status is the test: 0 when the UI left the
// host's fontconfig alone, a signal when something finalised it under the host.
#include "tests/lv2/UiHost.h"

#include <fontconfig/fontconfig.h>

#include <cstdio>

// The host's own font, kept until the process ends, as a toolkit keeps its fonts.
FcPattern* gHostFont = nullptr;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lv2_ui_exit_probe BUNDLE\n");
        return 2;
    }
    FcInit();
    FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>("sans"));
    FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
    FcDefaultSubstitute(wanted);
    FcResult result;
    gHostFont = FcFontMatch(nullptr, wanted, &result);
    FcPatternDestroy(wanted);
    if (!gHostFont) return 3;

    UiHost host(argv[1]);
    if (!host.Instantiate()) {
        std::fprintf(stderr, "%s\n", host.Error().c_str());
        return 4;
    }
    host.Idle();
    host.Cleanup();
    return 0;
}
