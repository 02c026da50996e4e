#pragma once

#include "host/grindvox/ExitStatus.h"

#include <sys/types.h>

#include <string>

// Where a name the user gave for output leads, and so how it is written. A regular file (or a
// name where nothing is yet) is replaced: written beside itself under a temporary name and
// renamed over, only once it is whole; a symbolic link is followed to the file it names, so
// the link stays and its target gets the new content, with the permissions the old one had.
// Anything else — standard output (`-`), a pipe, a FIFO, a device — is written in place,
// never replaced by a regular file.
struct OutputTarget {
    enum class Kind { Replace, InPlace };

    Kind kind = Kind::Replace;
    std::string name; // as the user gave it, for messages
    std::string path; // Replace: the file itself, links resolved; InPlace: what to open
    bool standardOutput = false;
    bool exists = false; // Replace: a regular file is there now
    mode_t mode = 0;     // Replace, when it exists: its permission bits
    uid_t owner = 0;     // Replace, when it exists
    gid_t group = 0;

    // "standard output" or the name.
    std::string DisplayName() const { return standardOutput ? "standard output" : name; }
};

// Looks at what `name` leads to, touching nothing. A folder, a name ending in '/', a loop of
// links or an unreachable folder is a failure naming the file; with `noClobber`, so is an
// existing regular file.
Failure ExamineOutput(const std::string& name, bool noClobber, OutputTarget* target);

// The failure an existing file meets under --no-clobber.
Failure ClobberRefusal(const std::string& name);
