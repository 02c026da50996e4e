#pragma once

#include "host/grindvox/ExitStatus.h"
#include "host/grindvox/UnitSettings.h"

#include <string>

// The command line, read into plain data. Options may come before, between or after the
// file names, as `--block 256` or `--block=256`; `--` ends the options, so a file name may
// begin with a dash. `-` as INPUT is standard input, as OUTPUT standard output. Reading checks
// every form and number it can check without the unit or the files (names, texts and ranges of
// parameters are the unit's to judge).
enum class Command { Program, Render, Info, Edit, Screenshot };

struct RenderOptions {
    bool demo = false; // --demo: the built-in signal instead of INPUT
    std::string input; // empty only with --demo
    std::string output;
    std::string format; // an output format name (OutputFormat.h); empty: from the output's name
    int blockSize = 512;
    bool tailGiven = false;
    double tailSeconds = 0.0;
    bool quiet = false;
};

struct ScreenshotOptions {
    std::string output; // the PNG file to write
};

struct Invocation {
    Command command = Command::Program;
    bool help = false;      // --help (or `help COMMAND`): print that command's help and stop
    bool version = false;   // --version: print the program's version and stop
    bool json = false;      // info --json
    bool embed = false;     // edit --embed: the editor in a pane of the host's own window
    bool noClobber = false; // an existing OUTPUT or --save-state file is refused, not replaced
    int scale = 0;          // edit and screenshot --scale: 1 or 2 device pixels per editor
                            // pixel; 0 when not given (the screen's for edit, 1 for screenshot)
    RenderOptions render;
    ScreenshotOptions screenshot;
    UnitSettings unit;
};

Failure ParseArguments(int argc, const char* const* argv, Invocation* out);

// The help of the program or of one command, ending in a newline.
std::string HelpText(Command command);
// "grindvox 1.1.0 (libsndfile-1.2.0)\n".
std::string VersionText();

// Limits the command line enforces.
constexpr int kMinBlockSize = 1;
constexpr int kMaxBlockSize = 16384;
constexpr double kMaxTailSeconds = 3600.0;
constexpr int kMaxEditorScale = 2;
