#include "host/grindvox/OutputTarget.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace {

constexpr int kMaxLinks = 40; // as the kernel allows when it resolves a path

// Follows `path` through symbolic links to the name of what they finally point at, which need
// not exist. False with errno set on a loop or an unreadable link.
bool resolveLinks(std::string path, std::string* resolved) {
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat s;
        if (lstat(path.c_str(), &s) != 0 || !S_ISLNK(s.st_mode)) {
            *resolved = path;
            return true;
        }
        char target[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
        if (n < 0) return false;
        target[n] = '\0';
        if (target[0] == '/') {
            path = target;
            continue;
        }
        const size_t slash = path.find_last_of('/');
        path = (slash == std::string::npos ? "" : path.substr(0, slash + 1)) + target;
    }
    errno = ELOOP;
    return false;
}

Failure cannotWrite(const std::string& name, const std::string& reason) {
    return RunError("cannot write \"" + name + "\": " + reason);
}

} // namespace

Failure ClobberRefusal(const std::string& name) {
    return RunError("\"" + name + "\" exists; not replacing it (--no-clobber)");
}

Failure ExamineOutput(const std::string& name, bool noClobber, OutputTarget* target) {
    *target = OutputTarget{};
    target->name = name;
    if (name == "-") {
        target->kind = OutputTarget::Kind::InPlace;
        target->standardOutput = true;
        return {};
    }
    if (name.empty() || name.back() == '/')
        return cannotWrite(name, "it names a folder, not a file");

    struct stat s;
    if (stat(name.c_str(), &s) == 0) {
        if (S_ISDIR(s.st_mode)) return cannotWrite(name, "it is a folder");
        target->path = name;
        if (!S_ISREG(s.st_mode)) {
            target->kind = OutputTarget::Kind::InPlace;
            return {};
        }
        if (noClobber) return ClobberRefusal(name);
        // Only a file reached by plain links is replaced; one reached otherwise (a descriptor
        // of this process under /proc, say) is written where it is.
        std::string resolved;
        struct stat r;
        if (!resolveLinks(name, &resolved) || lstat(resolved.c_str(), &r) != 0 ||
            !S_ISREG(r.st_mode) || r.st_dev != s.st_dev || r.st_ino != s.st_ino) {
            target->kind = OutputTarget::Kind::InPlace;
            return {};
        }
        target->path = resolved;
        target->exists = true;
        target->mode = s.st_mode & 07777;
        target->owner = s.st_uid;
        target->group = s.st_gid;
        return {};
    }
    if (errno != ENOENT) return cannotWrite(name, std::strerror(errno));
    // Nothing there yet; a link that points nowhere gets its target created.
    if (!resolveLinks(name, &target->path)) return cannotWrite(name, std::strerror(errno));
    return {};
}
