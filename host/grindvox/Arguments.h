#pragma once

#include "host/grindvox/ExitStatus.h"
#include "host/grindvox/UnitSettings.h"

#include <string>

// The command line, read into plain data. Options may come before, between or after the
// file names, as `--block 256` or `--block=256`; `--` ends the options. Reading checks every
// form and number it can check without the unit (names, texts and ranges of parameters are the
// unit's to judge).
enum class Command { Program, Render, Info };

struct RenderOptions {
    std::string input; // empty: the built-in demo signal
    std::string output;
    std::string format; // an output format name (AudioFile.h); empty: from the output's suffix
    int blockSize = 512;
    bool tailGiven = false;
    double tailSeconds = 0.0;
    bool quiet = false;
};

struct Invocation {
    Command command = Command::Program;
    bool help = false; // --help (or `help COMMAND`): print that command's help and stop
    RenderOptions render;
    UnitSettings unit;
};

Failure ParseArguments(int argc, const char* const* argv, Invocation* out);

// The help of the program or of one command, ending in a newline.
std::string HelpText(Command command);

// Limits the command line enforces.
constexpr int kMinBlockSize = 1;
constexpr int kMaxBlockSize = 16384;
constexpr double kMaxTailSeconds = 3600.0;
