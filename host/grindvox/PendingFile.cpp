#include "host/grindvox/PendingFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// Temporary names the signal handler removes; a handler may only use fixed storage, so the few
// files a run writes at once have slots here.
constexpr int kSlots = 4;
char gTemporaryNames[kSlots][PATH_MAX];
volatile sig_atomic_t gSlotUsed[kSlots];

void removeTemporariesAndDie(int signalNumber) {
    for (int i = 0; i < kSlots; ++i) {
        if (gSlotUsed[i]) unlink(gTemporaryNames[i]);
    }
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

void installHandlers() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action = {};
        action.sa_handler = removeTemporariesAndDie;
        sigemptyset(&action.sa_mask);
        sigaction(signalNumber, &action, nullptr);
    }
}

int claimSlot(const std::string& name) {
    if (name.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kSlots; ++i) {
        if (gSlotUsed[i]) continue;
        std::memcpy(gTemporaryNames[i], name.c_str(), name.size() + 1);
        gSlotUsed[i] = 1;
        return i;
    }
    return -1;
}

std::string reason() {
    return std::strerror(errno);
}

} // namespace

PendingFile::~PendingFile() {
    Abandon();
}

bool PendingFile::Create(const std::string& destination, std::string* error) {
    Abandon();
    installHandlers();
    const size_t slash = destination.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : destination.substr(0, slash + 1);
    const std::string base =
        slash == std::string::npos ? destination : destination.substr(slash + 1);
    if (base.empty()) {
        *error = "cannot write \"" + destination + "\": it names a folder, not a file";
        return false;
    }
    struct stat existing;
    if (stat(destination.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        *error = "cannot write \"" + destination + "\": it is a folder";
        return false;
    }
    std::string pattern = folder + "." + base + ".partial-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        *error = "cannot write \"" + destination + "\": " + reason();
        return false;
    }
    // A finished file gets the usual permissions rather than mkstemp's private ones.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    mFd = fd;
    mTemporary = pattern;
    mDestination = destination;
    mSlot = claimSlot(pattern);
    return true;
}

bool PendingFile::Write(const void* bytes, size_t size, std::string* error) {
    const char* p = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t n = write(mFd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *error = "cannot write \"" + mDestination + "\": " + reason();
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool PendingFile::Commit(std::string* error) {
    if (mFd < 0) {
        *error = "cannot write \"" + mDestination + "\": the file was not created";
        return false;
    }
    const int fd = mFd;
    mFd = -1;
    const bool renamed = close(fd) == 0 && rename(mTemporary.c_str(), mDestination.c_str()) == 0;
    if (!renamed) {
        *error = "cannot write \"" + mDestination + "\": " + reason();
        unlink(mTemporary.c_str());
    }
    forget();
    return renamed;
}

void PendingFile::Abandon() {
    if (mFd >= 0) close(mFd);
    mFd = -1;
    if (!mTemporary.empty()) unlink(mTemporary.c_str());
    forget();
}

void PendingFile::forget() {
    mTemporary.clear();
    if (mSlot >= 0) gSlotUsed[mSlot] = 0;
    mSlot = -1;
}
