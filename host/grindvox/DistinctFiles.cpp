#include "host/grindvox/DistinctFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

namespace {

struct NamedFile {
    const char* role; // "INPUT", "--state", ...
    std::string name;
    struct stat identity;
    bool known;            // the name leads to something that exists
    std::string canonical; // when not: the name with its folder's path resolved
};

// A name that does not exist yet, with its folder's links and dots resolved, so that two
// spellings of one new file compare equal.
std::string canonicalNewName(const std::string& name) {
    const size_t slash = name.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : name.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    char resolved[PATH_MAX];
    if (!realpath(folder.c_str(), resolved)) return name;
    return std::string(resolved) + "/" + base;
}

NamedFile identify(const char* role, const std::string& name, int standardStream) {
    NamedFile file = {role, name, {}, false, ""};
    if (name.empty()) return file;
    file.known = name == "-" ? fstat(standardStream, &file.identity) == 0
                             : stat(name.c_str(), &file.identity) == 0;
    if (!file.known) file.canonical = canonicalNewName(name);
    return file;
}

bool sameFile(const NamedFile& a, const NamedFile& b) {
    if (a.name.empty() || b.name.empty()) return false;
    if (!a.known && !b.known) return a.canonical == b.canonical;
    // A terminal or /dev/null on both sides destroys nothing.
    return a.known && b.known && a.identity.st_dev == b.identity.st_dev &&
           a.identity.st_ino == b.identity.st_ino && !S_ISCHR(a.identity.st_mode);
}

std::string describe(const NamedFile& file) {
    return file.role + std::string(" \"") + file.name + "\"";
}

} // namespace

Failure CheckFilesAreDistinct(const Invocation& invocation) {
    const bool render = invocation.command == Command::Render;
    const std::vector<NamedFile> reads = {
        identify("INPUT", render && !invocation.render.demo ? invocation.render.input : "",
                 STDIN_FILENO),
        identify("--state", invocation.unit.stateFile, STDIN_FILENO),
    };
    const std::vector<NamedFile> writes = {
        identify("OUTPUT", render ? invocation.render.output : "", STDOUT_FILENO),
        identify("--save-state", invocation.unit.saveState, STDOUT_FILENO),
    };
    for (const NamedFile& written : writes) {
        for (const NamedFile& read : reads) {
            if (sameFile(written, read))
                return UsageError(describe(written) + " is the same file as " + describe(read) +
                                  "; writing it would destroy what is being read");
        }
    }
    if (sameFile(writes[0], writes[1]))
        return UsageError(describe(writes[0]) + " and " + describe(writes[1]) +
                          " are the same file; give each its own");
    return {};
}
