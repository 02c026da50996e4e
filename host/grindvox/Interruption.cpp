#include "host/grindvox/Interruption.h"

#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstring>

namespace {

constexpr int kSlots = 4;
char gTemporaryNames[kSlots][PATH_MAX];
volatile sig_atomic_t gSlotUsed[kSlots];
volatile sig_atomic_t gProgressLineOpen;

struct SignalText {
    int number;
    const char* message;
};
const SignalText kSignals[] = {
    {SIGINT, "grindvox: interrupted\n"},
    {SIGTERM, "grindvox: interrupted (terminated)\n"},
    {SIGHUP, "grindvox: interrupted (hang-up)\n"},
};

void say(const char* text) {
    // Nothing to do about a failed write to standard error here.
    if (write(STDERR_FILENO, text, std::strlen(text)) < 0) return;
}

void removeTemporariesAndExit(int signalNumber) {
    for (int i = 0; i < kSlots; ++i) {
        if (gSlotUsed[i]) unlink(gTemporaryNames[i]);
    }
    if (gProgressLineOpen) say("\n");
    for (const SignalText& s : kSignals) {
        if (s.number == signalNumber) say(s.message);
    }
    _exit(128 + signalNumber);
}

} // namespace

void InstallInterruptionHandlers() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    for (const SignalText& s : kSignals) {
        struct sigaction action = {};
        action.sa_handler = removeTemporariesAndExit;
        sigfillset(&action.sa_mask);
        sigaction(s.number, &action, nullptr);
    }
}

int RegisterTemporary(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kSlots; ++i) {
        if (gSlotUsed[i]) continue;
        std::memcpy(gTemporaryNames[i], path.c_str(), path.size() + 1);
        gSlotUsed[i] = 1;
        return i;
    }
    return -1;
}

void ForgetTemporary(int slot) {
    if (slot >= 0 && slot < kSlots) gSlotUsed[slot] = 0;
}

void SetProgressLineOpen(bool open) {
    gProgressLineOpen = open ? 1 : 0;
}
