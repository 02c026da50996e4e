#pragma once

#include <string>

// A file written under a temporary name beside its destination and renamed onto the
// destination only by Commit, so a run that fails or is interrupted never leaves a partial
// file where the user expects a finished one. Owns the temporary file and its descriptor: the
// destructor (and SIGINT, SIGTERM or SIGHUP) removes the temporary file unless it was
// committed.
class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Creates the temporary file; false with the reason in `error`.
    bool Create(const std::string& destination, std::string* error);
    // The open descriptor of the temporary file (-1 before Create and after Commit).
    int Descriptor() const { return mFd; }
    const std::string& Destination() const { return mDestination; }

    // Writes all of `size` bytes at the current position.
    bool Write(const void* bytes, size_t size, std::string* error);
    // Closes the temporary file and renames it onto the destination.
    bool Commit(std::string* error);
    // Closes and removes the temporary file (nothing happens after Commit).
    void Abandon();

private:
    // Drops the temporary name, from this object and from the signal handler's list.
    void forget();

    std::string mDestination;
    std::string mTemporary;
    int mFd = -1;
    int mSlot = -1; // where the signal handler finds the temporary name
};
