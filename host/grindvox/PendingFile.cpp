#include "host/grindvox/PendingFile.h"

#include "host/grindvox/Interruption.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Long enough to recognise the file, short enough that the temporary name fits NAME_MAX.
constexpr size_t kMaxBaseInName = 200;

std::string reason() {
    return std::strerror(errno);
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string temporaryPrefix(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    return "." + base.substr(0, kMaxBaseInName) + ".grindvox-";
}

// The process id in NAME when NAME is PREFIX, digits, '-' and six more characters; else 0.
pid_t writerOf(const std::string& name, const std::string& prefix) {
    if (name.compare(0, prefix.size(), prefix) != 0) return 0;
    const std::string rest = name.substr(prefix.size());
    const size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string::npos || rest.size() != dash + 7 || dash > 9) return 0;
    pid_t pid = 0;
    for (size_t i = 0; i < dash; ++i) {
        if (rest[i] < '0' || rest[i] > '9') return 0;
        pid = pid * 10 + (rest[i] - '0');
    }
    return pid;
}

bool processIsGone(pid_t pid) {
    return kill(pid, 0) != 0 && errno == ESRCH;
}

// Removes what earlier runs writing the same destination left behind when they were killed:
// only regular files of this user, and only when the process that wrote them no longer exists.
void removeStaleTemporaries(const std::string& destination) {
    const std::string folder = folderOf(destination);
    const std::string prefix = temporaryPrefix(destination);
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        const pid_t pid = writerOf(name, prefix);
        if (pid <= 0 || pid == getpid() || !processIsGone(pid)) continue;
        const std::string path = folder + name;
        struct stat s;
        if (lstat(path.c_str(), &s) == 0 && S_ISREG(s.st_mode) && s.st_uid == geteuid())
            unlink(path.c_str());
    }
    closedir(dir);
}

bool isRegular(int fd) {
    struct stat s;
    return fstat(fd, &s) == 0 && S_ISREG(s.st_mode);
}

bool writeAll(int fd, const char* p, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

PendingFile::~PendingFile() {
    Abandon();
}

bool PendingFile::Create(const OutputTarget& target, bool noClobber, std::string* error) {
    Abandon();
    InstallInterruptionHandlers();
    mTarget = target;
    mNoClobber = noClobber;
    const bool created =
        target.kind == OutputTarget::Kind::Replace ? createBeside(error) : createUnnamed(error);
    if (!created) Abandon();
    return created;
}

bool PendingFile::createBeside(std::string* error) {
    if (mNoClobber && access(mTarget.path.c_str(), F_OK) == 0) {
        *error = ClobberRefusal(mTarget.name).message;
        return false;
    }
    removeStaleTemporaries(mTarget.path);
    std::string pattern = folderOf(mTarget.path) + temporaryPrefix(mTarget.path) +
                          std::to_string(getpid()) + "-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        *error = "cannot write \"" + mTarget.name + "\": " + reason();
        return false;
    }
    mFd = fd;
    mTemporary = pattern;
    mSlot = RegisterTemporary(pattern);
    // The finished file keeps the replaced one's owner and permissions, or gets the usual
    // permissions rather than mkstemp's private ones. Only a privileged user can give a file
    // away; for everyone else the owner is already right.
    if (mTarget.exists) {
        if (fchown(fd, mTarget.owner, mTarget.group) != 0) {
            // Keeping the permissions matters more than keeping the owner.
        }
        fchmod(fd, mTarget.mode);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    return true;
}

bool PendingFile::createUnnamed(std::string* error) {
    if (mTarget.standardOutput) {
        mDestinationFd = STDOUT_FILENO;
    } else {
        // No O_CREAT and no O_TRUNC: the thing is there, and keeps what it holds until Commit.
        mDestinationFd = open(mTarget.path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (mDestinationFd < 0) {
            *error = "cannot write \"" + mTarget.name + "\": " + reason();
            return false;
        }
    }
    mFd = OpenUnnamedTemporary();
    if (mFd < 0) {
        *error = "cannot write \"" + mTarget.DisplayName() + "\": no temporary file in " +
                 TemporaryFolder() + ": " + reason();
        return false;
    }
    return true;
}

bool PendingFile::Write(const void* bytes, size_t size, std::string* error) {
    if (mFd >= 0 && writeAll(mFd, static_cast<const char*>(bytes), size)) return true;
    *error = "cannot write \"" + Destination() + "\": " + reason();
    return false;
}

bool PendingFile::Commit(std::string* error) {
    if (mFd < 0) {
        *error = "cannot write \"" + Destination() + "\": the file was not created";
        return false;
    }
    const bool done =
        mTarget.kind == OutputTarget::Kind::Replace ? renameOver(error) : copyOut(error);
    Abandon();
    return done;
}

bool PendingFile::renameOver(std::string* error) {
    const int fd = mFd;
    mFd = -1;
    if (close(fd) != 0) {
        *error = "cannot write \"" + mTarget.name + "\": " + reason();
        return false;
    }
    const char* from = mTemporary.c_str();
    const char* to = mTarget.path.c_str();
    int moved = 0;
    if (mNoClobber) {
        // Refuses atomically a file that appeared while the render ran; a file system without
        // that kind of rename still refuses through a hard link, which fails on an existing
        // name.
        moved = renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
        if (moved != 0 && errno == EINVAL) {
            moved = link(from, to);
            if (moved == 0) unlink(from);
        }
    } else {
        moved = rename(from, to);
    }
    if (moved != 0) {
        *error = errno == EEXIST ? ClobberRefusal(mTarget.name).message
                                 : "cannot write \"" + mTarget.name + "\": " + reason();
        return false;
    }
    mTemporary.clear();
    return true;
}

bool PendingFile::copyOut(std::string* error) {
    // A named file is rewritten from its start; standard output is written where it stands,
    // so `>>` appends as the user asked.
    const bool rewrite = !mTarget.standardOutput && isRegular(mDestinationFd);
    if (lseek(mFd, 0, SEEK_SET) != 0) {
        *error = "cannot write \"" + Destination() + "\": " + reason();
        return false;
    }
    if (rewrite && (ftruncate(mDestinationFd, 0) != 0 || lseek(mDestinationFd, 0, SEEK_SET) < 0)) {
        *error = "cannot write \"" + Destination() + "\": " + reason();
        return false;
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = read(mFd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) break;
        if (n < 0 || !writeAll(mDestinationFd, buffer, static_cast<size_t>(n))) {
            *error = "cannot write \"" + Destination() + "\": " + reason();
            return false;
        }
    }
    closeDestination();
    return true;
}

void PendingFile::closeDestination() {
    if (mDestinationFd >= 0 && mDestinationFd != STDOUT_FILENO) close(mDestinationFd);
    mDestinationFd = -1;
}

void PendingFile::Abandon() {
    if (mFd >= 0) close(mFd);
    mFd = -1;
    closeDestination();
    if (!mTemporary.empty()) unlink(mTemporary.c_str());
    forget();
}

void PendingFile::forget() {
    mTemporary.clear();
    ForgetTemporary(mSlot);
    mSlot = -1;
}

std::string TemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? folder : "/tmp";
}

int OpenUnnamedTemporary() {
    std::string pattern = TemporaryFolder() + "/grindvox-" + std::to_string(getpid()) + "-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd >= 0) unlink(pattern.c_str());
    return fd;
}
