#pragma once

// Helper programs (zenity, xdg-open), started with an argument list and never through a shell,
// and waited for in a nested run loop so that timers keep firing and windows keep drawing while
// input to them is held back.
#include <string>
#include <vector>

namespace appkit {

struct HelperResult {
    bool started = false; // false: the program could not be run (a message went to stderr)
    int exitStatus = -1;  // the program's exit status, -1 when it did not exit normally
    std::string output;   // what it wrote to standard output, when asked for
};

// Runs argv[0] (looked up in PATH) with argv and waits for it, for at most timeout seconds
// (the program is left running after that, and reaped later). With captureOutput its standard
// output is collected; otherwise it goes nowhere.
HelperResult RunHelper(const std::vector<std::string>& argv, bool captureOutput, double timeout);

} // namespace appkit
