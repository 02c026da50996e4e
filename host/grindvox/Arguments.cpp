#include "host/grindvox/Arguments.h"

#include "host/grindvox/OutputFormat.h"
#include "host/grindvox/StateFile.h"
#include "host/grindvox/Text.h"

#include <sndfile.h>

#include <cmath>
#include <vector>

namespace {

const char* const kProgramHelp =
    "usage: grindvox COMMAND [ARGUMENTS] [OPTIONS]\n"
    "\n"
    "Hosts Grindvox.component through its Audio Unit interface.\n"
    "\n"
    "commands:\n"
    "  render INPUT OUTPUT     process an audio file into OUTPUT (- is standard input/output)\n"
    "  render --demo OUTPUT    process the built-in demo signal into OUTPUT\n"
    "  info [--json]           list the unit: identity, channels, parameters, presets\n"
    "  edit                    open the unit's editor in a window and print what changes\n"
    "  screenshot OUT.png      draw the unit's editor into a PNG file (needs no display)\n"
    "  help [COMMAND]          show this help or a command's help\n"
    "  --version               show the program's version\n"
    "\n"
    "Run `grindvox COMMAND --help` for a command's options. The component is looked for in\n"
    "$GRINDVOX_COMPONENT, then beside the program and in the folders above it.\n"
    "Exit status: 0 done, 1 failed, 2 bad command line, 130 interrupted.\n";

const char* const kSettingsHelp =
    "  --set NAME=VALUE     set a parameter (repeatable); VALUE is a number in the parameter's\n"
    "                       unit or one of its texts: --set Filter=HPF --set \"Mix Mode=x\"\n"
    "                       --set Parallel=on --set Cutoff=1200. `grindvox info` lists them\n"
    "  --preset N|NAME      start from a factory preset, by number or by name, or from one of\n"
    "                       the designed presets the component ships, by name; after a\n"
    "                       --state bank, one of the bank's programs\n"
    "  --state FILE         start from a state saved in an .aupreset file, a .fxp program\n"
    "                       or a .fxb bank of presets (told by the suffix)\n"
    "  --save-state FILE    save the unit's state, once set up, to an .aupreset file, its\n"
    "                       current program to a .fxp file or its presets to a .fxb bank\n"
    "  -n, --no-clobber     refuse to replace an existing file (OUTPUT, --save-state)\n";

std::string renderHelp() {
    std::string text =
        "usage: grindvox render INPUT OUTPUT [OPTIONS]\n"
        "       grindvox render --demo OUTPUT [OPTIONS]\n"
        "\n"
        "Renders INPUT (WAV, AIFF, FLAC, OGG, MP3, ...; mono or stereo) through the unit into\n"
        "OUTPUT at the input's sample rate. - as INPUT reads standard input, as OUTPUT writes\n"
        "standard output (WAV unless --format says otherwise). --demo renders the built-in demo\n"
        "signal (6 s, 44.1 kHz, stereo) instead of INPUT.\n"
        "\n"
        "An existing OUTPUT is replaced once the render has succeeded (it is written beside\n"
        "itself as .OUTPUT.grindvox-PID-XXXXXX until then); a symbolic link is written through\n"
        "to its target; a pipe, FIFO or device is written in place. OUTPUT and --save-state\n"
        "may not name INPUT or the --state file.\n"
        "\n"
        "options:\n"
        "  --demo               render the built-in demo signal; give only OUTPUT\n";
    text += kSettingsHelp;
    text += "  --bypass             render with the unit bypassed\n"
            "  --block N            frames per render call, ";
    text +=
        std::to_string(kMinBlockSize) + " to " + std::to_string(kMaxBlockSize) + " (default 512)\n";
    text += "  --tail SECONDS       render on past the input's end (default: the unit's tail "
            "time)\n"
            "  --format NAME        output format (default: from OUTPUT's suffix):\n";
    for (const OutputFormat* format : OutputFormats()) {
        std::string line = std::string("                         ") + format->name;
        line.resize(34, ' ');
        line += format->description;
        line.resize(58, ' ');
        text += line + format->suffixes + "\n";
    }
    text += "                       (Opus takes 8, 12, 16, 24 and 48 kHz, MP3 up to 48 kHz)\n";
    text += "  -q, --quiet          no progress bar and no summary (warnings still show)\n"
            "  --help               show this help\n";
    return text;
}

std::string infoHelp() {
    std::string text =
        "usage: grindvox info [OPTIONS]\n"
        "\n"
        "Lists the unit as a host sees it through its properties: name,\n"
        "manufacturer, component codes, version, channel configurations, latency\n"
        "and tail, every parameter with its unit, range, default, current value\n"
        "and texts, the factory presets and the designed presets. The options below\n"
        "change the current values shown.\n"
        "\n"
        "options:\n"
        "  --json               the same as one JSON object, for scripts\n";
    text += kSettingsHelp;
    text += "  --help               show this help\n";
    return text;
}

std::string editHelp() {
    std::string text = "usage: grindvox edit [OPTIONS]\n"
                       "\n"
                       "Opens the unit's editor in a window titled \"Grindvox\" on the X display,\n"
                       "as a host opens a plug-in's view. Every parameter change, from the mouse\n"
                       "or typed in, is printed on standard output as it happens, one line each\n"
                       "(Cutoff = 1200 Hz). Closing the window or Ctrl-C ends it; --save-state\n"
                       "then writes the unit's state. Without a display it says so and exits 1.\n"
                       "\n"
                       "options:\n";
    text += kSettingsHelp;
    text += "  --embed              embed the editor in a window of grindvox's own through\n"
            "                       the unit's Carbon view, as an older host does\n"
            "  --scale N            1 or 2: the editor at its own size (436 x 108) or\n"
            "                       drawn at twice it (872 x 216); without it, 2 when the\n"
            "                       screen's Xft.dpi is 144 or more\n";
    text += "  --help               show this help\n";
    return text;
}

std::string screenshotHelp() {
    return "usage: grindvox screenshot OUT.png [OPTIONS]\n"
           "\n"
           "Draws the unit's editor with no display at all, through its view's own snapshot\n"
           "calls, and writes it to OUT.png (436 x 108 pixels).\n"
           "\n"
           "options:\n"
           "  --set NAME=VALUE     set a parameter first (repeatable), as for render\n"
           "  --preset N|NAME      start from a factory preset, by number or by name\n"
           "  --state FILE         start from a state saved in an .aupreset file\n"
           "  --scale N            1 (default) or 2: the editor drawn at twice its size,\n"
           "                       as edit --scale 2 shows it (872 x 216)\n"
           "  -n, --no-clobber     refuse to replace an existing OUT.png\n"
           "  --help               show this help\n";
}

enum CommandMask : unsigned {
    kRender = 1,
    kInfo = 2,
    kEdit = 4,
    kScreenshot = 8,
    kBoth = kRender | kInfo,
    kAll = kRender | kInfo | kEdit | kScreenshot,
};

struct Parser;
using Apply = Failure (*)(Parser&, const std::string& value);

// One option: its long and short names, whether it takes a value, which commands take it.
struct OptionEntry {
    const char* name;
    const char* shortName; // null: none
    bool takesValue;
    unsigned commands;
    Apply apply;
};

Failure setAssignment(Parser& p, const std::string& value);
Failure setStateName(std::string* field, const std::string& option, const std::string& value);
Failure setBlock(Parser& p, const std::string& value);
Failure setTail(Parser& p, const std::string& value);
Failure setFormat(Parser& p, const std::string& value);
Failure setScale(Parser& p, const std::string& value);

// The commands by name, with their option masks.
struct CommandEntry {
    const char* name;
    Command command;
    unsigned mask;
};
const CommandEntry kCommands[] = {
    {"render", Command::Render, kRender},
    {"info", Command::Info, kInfo},
    {"edit", Command::Edit, kEdit},
    {"screenshot", Command::Screenshot, kScreenshot},
};

const CommandEntry* findCommand(const std::string& name) {
    for (const CommandEntry& entry : kCommands)
        if (name == entry.name) return &entry;
    return nullptr;
}

const CommandEntry& entryOf(Command command) {
    for (const CommandEntry& entry : kCommands)
        if (entry.command == command) return entry;
    return kCommands[0];
}

struct Parser {
    std::vector<std::string> args;
    size_t next = 0;
    Invocation* out = nullptr;
    std::vector<std::string> files;

    std::string commandName() const { return entryOf(out->command).name; }
    unsigned commandMask() const { return entryOf(out->command).mask; }

    Failure unknownOption(const std::string& option) const {
        return UsageError("unknown option " + option + " for " + commandName() + "; see grindvox " +
                          commandName() + " --help");
    }

    Failure option(const std::string& arg);
    Failure run();
    Failure placeFiles();
};

const OptionEntry kOptions[] = {
    {"--set", nullptr, true, kAll, setAssignment},
    {"--preset", nullptr, true, kAll,
     [](Parser& p, const std::string& v) {
         return setStateName(&p.out->unit.preset, "--preset", v);
     }},
    {"--state", nullptr, true, kAll,
     [](Parser& p, const std::string& v) {
         return setStateName(&p.out->unit.stateFile, "--state", v);
     }},
    {"--save-state", nullptr, true, kBoth | kEdit,
     [](Parser& p, const std::string& v) {
         return setStateName(&p.out->unit.saveState, "--save-state", v);
     }},
    {"--no-clobber", "-n", false, kAll,
     [](Parser& p, const std::string&) {
         p.out->noClobber = true;
         return Failure{};
     }},
    {"--embed", nullptr, false, kEdit,
     [](Parser& p, const std::string&) {
         p.out->embed = true;
         return Failure{};
     }},
    {"--json", nullptr, false, kInfo,
     [](Parser& p, const std::string&) {
         p.out->json = true;
         return Failure{};
     }},
    {"--demo", nullptr, false, kRender,
     [](Parser& p, const std::string&) {
         p.out->render.demo = true;
         return Failure{};
     }},
    {"--bypass", nullptr, false, kRender,
     [](Parser& p, const std::string&) {
         p.out->unit.bypass = true;
         return Failure{};
     }},
    {"--quiet", "-q", false, kRender,
     [](Parser& p, const std::string&) {
         p.out->render.quiet = true;
         return Failure{};
     }},
    {"--block", nullptr, true, kRender, setBlock},
    {"--tail", nullptr, true, kRender, setTail},
    {"--format", nullptr, true, kRender, setFormat},
    {"--scale", nullptr, true, kEdit | kScreenshot, setScale},
};

Failure setAssignment(Parser& p, const std::string& value) {
    const size_t eq = value.find('=');
    if (eq == std::string::npos || eq == 0)
        return UsageError("--set needs NAME=VALUE, not \"" + value +
                          "\" (for example --set Bits=4)");
    p.out->unit.assignments.push_back({value.substr(0, eq), value.substr(eq + 1)});
    return {};
}

Failure setStateName(std::string* field, const std::string& option, const std::string& value) {
    if (value.empty()) return UsageError(option + " needs a value");
    // Standard input and output carry audio; a state file is always named.
    if (value == "-" && option != "--preset")
        return UsageError(option + " takes a file name, not - (name the file, or ./- for a file "
                                   "called -)");
    *field = value;
    return {};
}

Failure setBlock(Parser& p, const std::string& value) {
    double n = 0.0;
    if (!ReadNumber(value, &n) || n != std::floor(n) || n < kMinBlockSize || n > kMaxBlockSize)
        return UsageError("--block takes a whole number of frames from " +
                          std::to_string(kMinBlockSize) + " to " + std::to_string(kMaxBlockSize) +
                          ", not \"" + value + "\"");
    p.out->render.blockSize = static_cast<int>(n);
    return {};
}

Failure setTail(Parser& p, const std::string& value) {
    double seconds = 0.0;
    if (!ReadNumber(value, &seconds) || seconds < 0.0 || seconds > kMaxTailSeconds)
        return UsageError("--tail takes seconds from 0 to 3600, not \"" + value + "\"");
    p.out->render.tailGiven = true;
    p.out->render.tailSeconds = seconds;
    return {};
}

Failure setFormat(Parser& p, const std::string& value) {
    if (!FindOutputFormat(value))
        return UsageError("unknown output format \"" + value +
                          "\"; the formats are: " + OutputFormatNames());
    p.out->render.format = value;
    return {};
}

Failure setScale(Parser& p, const std::string& value) {
    double n = 0.0;
    if (!ReadNumber(value, &n) || n != std::floor(n) || n < 1 || n > kMaxEditorScale)
        return UsageError("--scale takes 1 or 2, not \"" + value + "\"");
    p.out->scale = static_cast<int>(n);
    return {};
}

Failure Parser::option(const std::string& arg) {
    if (arg == "--help" || arg == "-h") {
        out->help = true;
        return {};
    }
    if (arg == "--version") {
        out->version = true;
        return {};
    }
    const size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    for (const OptionEntry& entry : kOptions) {
        if (name != entry.name && !(entry.shortName && name == entry.shortName)) continue;
        if (!(entry.commands & commandMask())) return unknownOption(name);
        if (!entry.takesValue) {
            if (eq != std::string::npos) return UsageError(name + " takes no value");
            return entry.apply(*this, "");
        }
        if (eq != std::string::npos) return entry.apply(*this, arg.substr(eq + 1));
        if (next >= args.size())
            return UsageError(name + " needs a value; see grindvox " + commandName() + " --help");
        return entry.apply(*this, args[next++]);
    }
    return unknownOption(name);
}

Failure Parser::run() {
    bool optionsEnded = false;
    while (next < args.size()) {
        const std::string arg = args[next++];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        Failure failure = option(arg);
        if (failure.Failed()) return failure;
    }
    if (out->help || out->version) return {};
    return placeFiles();
}

Failure Parser::placeFiles() {
    // A bank brings its own presets, so choosing one of them after it is no conflict.
    if (!out->unit.preset.empty() && !out->unit.stateFile.empty() &&
        StateFileKindOf(out->unit.stateFile) != StateFileKind::Bank)
        return UsageError("--preset and --state both choose where the unit starts; give one "
                          "(or --state a .fxb bank and --preset one of its programs)");
    if (out->command == Command::Info || out->command == Command::Edit) {
        if (!files.empty())
            return UsageError(commandName() + " takes no file names (got \"" + files[0] +
                              "\"); see grindvox " + commandName() + " --help");
        return {};
    }
    if (out->command == Command::Screenshot) {
        if (files.size() != 1)
            return UsageError("screenshot needs one file name, OUT.png; got " +
                              std::to_string(files.size()));
        out->screenshot.output = files[0];
        return {};
    }
    RenderOptions& render = out->render;
    if (render.demo) {
        if (files.size() != 1)
            return UsageError(std::string("render --demo takes one file name, OUTPUT; got ") +
                              std::to_string(files.size()));
        render.output = files[0];
        return {};
    }
    if (files.size() == 1)
        return UsageError("render needs INPUT and OUTPUT, got only \"" + files[0] +
                          "\"; to render the built-in demo signal into it, say grindvox "
                          "render --demo " +
                          files[0]);
    if (files.size() != 2)
        return UsageError("render needs INPUT and OUTPUT, got " + std::to_string(files.size()) +
                          " file names; see grindvox render --help");
    render.input = files[0];
    render.output = files[1];
    return {};
}

} // namespace

Failure ParseArguments(int argc, const char* const* argv, Invocation* out) {
    *out = Invocation{};
    if (argc < 2) return UsageError(std::string("a command is needed\n") + kProgramHelp);
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        out->help = true;
        return {};
    }
    if (command == "--version") {
        out->version = true;
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
        const CommandEntry* entry = findCommand(topic);
        if (!entry)
            return UsageError("no help on \"" + topic +
                              "\"; the commands are render, info, edit and screenshot");
        out->command = entry->command;
        return {};
    }
    const CommandEntry* entry = findCommand(command);
    if (!entry)
        return UsageError("unknown command \"" + command +
                          "\"; the commands are render, info, edit, screenshot and help");
    out->command = entry->command;
    return parser.run();
}

std::string HelpText(Command command) {
    switch (command) {
    case Command::Render: return renderHelp();
    case Command::Info: return infoHelp();
    case Command::Edit: return editHelp();
    case Command::Screenshot: return screenshotHelp();
    case Command::Program: break;
    }
    return kProgramHelp;
}

std::string VersionText() {
    return std::string("grindvox ") + GRINDVOX_VERSION + " (" + sf_version_string() + ")\n";
}
