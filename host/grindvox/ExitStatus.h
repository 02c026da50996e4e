#pragma once

#include <cstdio>
#include <string>
#include <utility>

// What the program answers its caller: 0 when the work was done, 2 when the command line asked
// for something the program or the unit does not offer (nothing was touched), 1 when the work
// itself failed (a file, the component, the render).
// An interruption exits 128 + the signal's number (Interruption.h), 130 for Ctrl-C.
// The underlying type holds those statuses too.
enum ExitStatus : int { kExitSuccess = 0, kExitFailure = 1, kExitUsage = 2 };

// A failure on its way to the user: the status to exit with and the message to print.
struct Failure {
    ExitStatus status = kExitSuccess;
    std::string message;

    bool Failed() const { return status != kExitSuccess; }
};

inline Failure UsageError(std::string message) {
    return {kExitUsage, std::move(message)};
}
inline Failure RunError(std::string message) {
    return {kExitFailure, std::move(message)};
}

// Something the user should know about work that still succeeds; goes to standard error even
// under --quiet.
inline void Warn(const std::string& message) {
    std::fprintf(stderr, "grindvox: warning: %s\n", message.c_str());
}
