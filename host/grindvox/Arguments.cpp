#include "host/grindvox/Arguments.h"

#include "host/grindvox/AudioFile.h"
#include "host/grindvox/Text.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char* const kProgramHelp =
    "usage: grindvox COMMAND [ARGUMENTS] [OPTIONS]\n"
    "\n"
    "Hosts Grindvox.component through its Audio Unit interface.\n"
    "\n"
    "commands:\n"
    "  render [INPUT] OUTPUT   process an audio file (or the built-in demo signal) into OUTPUT\n"
    "  info                    list the unit: identity, channels, parameters, factory presets\n"
    "  help [COMMAND]          show this help or a command's help\n"
    "\n"
    "Run `grindvox COMMAND --help` for a command's options. The component is looked for in\n"
    "$GRINDVOX_COMPONENT, then beside the program and in the folders above it.\n"
    "Exit status: 0 done, 1 failed, 2 bad command line.\n";

const char* const kSettingsHelp =
    "  --set NAME=VALUE     set a parameter (repeatable); VALUE is a number in the parameter's\n"
    "                       unit or one of its texts: --set Filter=HPF --set \"Mix Mode=x\"\n"
    "                       --set Parallel=on --set Cutoff=1200. `grindvox info` lists them\n"
    "  --preset N|NAME      start from a factory preset, by number or by name\n"
    "  --state FILE         start from a state saved in an .aupreset file\n"
    "  --save-state FILE    save the unit's state, once set up, to an .aupreset file\n";

std::string renderHelp() {
    std::string text =
        "usage: grindvox render [INPUT] OUTPUT [OPTIONS]\n"
        "\n"
        "Renders INPUT (WAV, AIFF, FLAC, OGG; mono or stereo) through the unit into OUTPUT at the\n"
        "input's sample rate. Without INPUT, renders the built-in demo signal (6 s, 44.1 kHz,\n"
        "stereo). OUTPUT is written to a temporary file and renamed when the render succeeded.\n"
        "\n"
        "options:\n";
    text += kSettingsHelp;
    text += "  --bypass             render with the unit bypassed\n"
            "  --block N            frames per render call, ";
    text +=
        std::to_string(kMinBlockSize) + " to " + std::to_string(kMaxBlockSize) + " (default 512)\n";
    text += "  --tail SECONDS       render on past the input's end (default: the unit's tail "
            "time)\n"
            "  --format NAME        output format (default: from OUTPUT's suffix, else wav):\n";
    for (const OutputFormat& format : OutputFormats()) {
        std::string line = std::string("                         ") + format.name;
        line.resize(38, ' ');
        text += line + format.description + "\n";
    }
    text += "  --quiet              no progress bar and no summary\n"
            "  --help               show this help\n";
    return text;
}

std::string infoHelp() {
    std::string text = "usage: grindvox info [OPTIONS]\n"
                       "\n"
                       "Lists the unit as a host sees it through its properties: name,\n"
                       "manufacturer, component codes, version, channel configurations, latency\n"
                       "and tail, every parameter with its unit, range, default, current value\n"
                       "and texts, and the factory presets. The options below change the current\n"
                       "values shown.\n"
                       "\n"
                       "options:\n";
    text += kSettingsHelp;
    text += "  --help               show this help\n";
    return text;
}

struct Parser {
    std::vector<std::string> args;
    size_t next = 0;
    Invocation* out = nullptr;
    std::vector<std::string> files;

    // The value of an option: the text after '=' when given inline, else the next argument.
    bool takeValue(const std::string& option, const std::string* inlineValue, std::string* value,
                   Failure* failure) {
        if (inlineValue) {
            *value = *inlineValue;
            return true;
        }
        if (next >= args.size()) {
            *failure =
                UsageError(option + " needs a value; see grindvox " + commandName() + " --help");
            return false;
        }
        *value = args[next++];
        return true;
    }

    std::string commandName() const { return out->command == Command::Info ? "info" : "render"; }

    Failure unknownOption(const std::string& option) const {
        return UsageError("unknown option " + option + " for " + commandName() + "; see grindvox " +
                          commandName() + " --help");
    }

    // Options both commands share: the ones that set the unit up.
    bool settingsOption(const std::string& name, const std::string* inlineValue, bool* handled,
                        Failure* failure) {
        UnitSettings& unit = out->unit;
        std::string value;
        *handled = true;
        if (name == "--set") {
            if (!takeValue(name, inlineValue, &value, failure)) return false;
            const size_t eq = value.find('=');
            if (eq == std::string::npos || eq == 0) {
                *failure = UsageError("--set needs NAME=VALUE, not \"" + value +
                                      "\" (for example --set Bits=4)");
                return false;
            }
            unit.assignments.push_back({value.substr(0, eq), value.substr(eq + 1)});
            return true;
        }
        if (name == "--preset" || name == "--state" || name == "--save-state") {
            if (!takeValue(name, inlineValue, &value, failure)) return false;
            if (value.empty()) {
                *failure = UsageError(name + " needs a value");
                return false;
            }
            std::string& field = name == "--preset"  ? unit.preset
                                 : name == "--state" ? unit.stateFile
                                                     : unit.saveState;
            field = value;
            return true;
        }
        *handled = false;
        return true;
    }

    bool renderOption(const std::string& name, const std::string* inlineValue, bool* handled,
                      Failure* failure) {
        RenderOptions& render = out->render;
        std::string value;
        *handled = true;
        if (name == "--bypass" || name == "--quiet") {
            if (inlineValue) {
                *failure = UsageError(name + " takes no value");
                return false;
            }
            (name == "--bypass" ? out->unit.bypass : render.quiet) = true;
            return true;
        }
        if (name == "--block") {
            if (!takeValue(name, inlineValue, &value, failure)) return false;
            double n = 0.0;
            if (!ReadNumber(value, &n) || n != std::floor(n) || n < kMinBlockSize ||
                n > kMaxBlockSize) {
                *failure = UsageError("--block takes a whole number of frames from " +
                                      std::to_string(kMinBlockSize) + " to " +
                                      std::to_string(kMaxBlockSize) + ", not \"" + value + "\"");
                return false;
            }
            render.blockSize = static_cast<int>(n);
            return true;
        }
        if (name == "--tail") {
            if (!takeValue(name, inlineValue, &value, failure)) return false;
            double seconds = 0.0;
            if (!ReadNumber(value, &seconds) || seconds < 0.0 || seconds > kMaxTailSeconds) {
                *failure = UsageError("--tail takes seconds from 0 to 3600, not \"" + value + "\"");
                return false;
            }
            render.tailGiven = true;
            render.tailSeconds = seconds;
            return true;
        }
        if (name == "--format") {
            if (!takeValue(name, inlineValue, &value, failure)) return false;
            if (!FindOutputFormat(value)) {
                *failure = UsageError("unknown output format \"" + value +
                                      "\"; the formats are: " + OutputFormatNames());
                return false;
            }
            render.format = value;
            return true;
        }
        *handled = false;
        return true;
    }

    Failure run() {
        bool optionsEnded = false;
        while (next < args.size()) {
            const std::string arg = args[next++];
            if (optionsEnded || arg.size() < 2 || arg[0] != '-' || arg == "-") {
                files.push_back(arg);
                continue;
            }
            if (arg == "--") {
                optionsEnded = true;
                continue;
            }
            if (arg == "--help" || arg == "-h") {
                out->help = true;
                continue;
            }
            const size_t eq = arg.find('=');
            const std::string name = arg.substr(0, eq);
            const std::string inlineText = eq == std::string::npos ? "" : arg.substr(eq + 1);
            const std::string* inlineValue = eq == std::string::npos ? nullptr : &inlineText;
            Failure failure;
            bool handled = false;
            if (!settingsOption(name, inlineValue, &handled, &failure)) return failure;
            if (!handled && out->command == Command::Render &&
                !renderOption(name, inlineValue, &handled, &failure))
                return failure;
            if (!handled) return unknownOption(name);
        }
        if (out->help) return {};
        return placeFiles();
    }

    Failure placeFiles() {
        if (out->command == Command::Info) {
            if (!files.empty())
                return UsageError("info takes no file names (got \"" + files[0] +
                                  "\"); see grindvox info --help");
        } else if (files.empty()) {
            return UsageError("render needs an OUTPUT file; see grindvox render --help");
        } else if (files.size() > 2) {
            return UsageError("render takes at most INPUT and OUTPUT, got " +
                              std::to_string(files.size()) + " file names");
        } else {
            out->render.output = files.back();
            if (files.size() == 2) out->render.input = files[0];
        }
        if (!out->unit.preset.empty() && !out->unit.stateFile.empty())
            return UsageError("--preset and --state both choose where the unit starts; give one");
        return {};
    }
};

} // namespace

Failure ParseArguments(int argc, const char* const* argv, Invocation* out) {
    *out = Invocation{};
    if (argc < 2) return UsageError(std::string("a command is needed\n") + kProgramHelp);
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        out->help = true;
        return {};
    }
    Parser parser;
    parser.out = out;
    for (int i = 2; i < argc; ++i)
        parser.args.emplace_back(argv[i]);
    if (command == "help") {
        out->help = true;
        if (parser.args.empty()) return {};
        const std::string& topic = parser.args[0];
        if (topic == "render")
            out->command = Command::Render;
        else if (topic == "info")
            out->command = Command::Info;
        else
            return UsageError("no help on \"" + topic + "\"; the commands are render and info");
        return {};
    }
    if (command == "render")
        out->command = Command::Render;
    else if (command == "info")
        out->command = Command::Info;
    else
        return UsageError("unknown command \"" + command +
                          "\"; the commands are render, info and help");
    return parser.run();
}

std::string HelpText(Command command) {
    switch (command) {
    case Command::Render: return renderHelp();
    case Command::Info: return infoHelp();
    case Command::Program: break;
    }
    return kProgramHelp;
}
