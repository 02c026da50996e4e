#pragma once

#include "host/grindvox/OutputTarget.h"

#include <string>

// An output being written, made final only by Commit, so a run that fails or is interrupted
// never leaves a partial file where the user expects a finished one.
//
// A file to replace is written beside its destination as ".NAME.grindvox-PID-XXXXXX" (the
// program's name and process id, so a person who finds one left by a killed run knows what it
// is; the next run that writes NAME removes those whose process is gone) and renamed over the
// destination. An output written in place is opened at once but receives nothing until Commit:
// the bytes wait in an unnamed temporary file, because the formats need to go back and finish
// their headers, which a pipe cannot. Owns the descriptors and the temporary file; the
// destructor (and an interruption) removes the temporary file unless it was committed.
class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Prepares to write `target`; false with the reason in `error`. With `noClobber`, Commit
    // refuses to replace a file that appeared since.
    bool Create(const OutputTarget& target, bool noClobber, std::string* error);
    // The temporary file, seekable, to write the content into (-1 before Create and after
    // Commit or Abandon).
    int Descriptor() const { return mFd; }
    // What the user called the output.
    std::string Destination() const { return mTarget.DisplayName(); }

    // Writes all of `size` bytes at the current position.
    bool Write(const void* bytes, size_t size, std::string* error);
    // Makes the output final: renames the file over its destination, or copies it out.
    bool Commit(std::string* error);
    // Closes and removes the temporary file (nothing happens after Commit).
    void Abandon();

private:
    bool createBeside(std::string* error);
    bool createUnnamed(std::string* error);
    bool renameOver(std::string* error);
    bool copyOut(std::string* error);
    void closeDestination();
    void forget();

    OutputTarget mTarget;
    bool mNoClobber = false;
    std::string mTemporary; // the temporary file's name while it has one
    int mFd = -1;
    int mDestinationFd = -1; // in place: the destination, open from Create to Commit
    int mSlot = -1;          // where the interruption handler finds the temporary name
};

// A new file with no name in $TMPDIR (else /tmp), open for reading and writing, which vanishes
// when closed however the program ends; -1 with errno set when none can be made.
int OpenUnnamedTemporary();
// The folder OpenUnnamedTemporary uses, for messages.
std::string TemporaryFolder();
