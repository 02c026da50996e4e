// What a user who gets something wrong sees: the exit status (2 for a command line the program
// or the unit does not accept, 1 for work that failed), a message that says what is wrong and
// what is allowed, and no output file, finished or partial.
#include "tests/host/CliRunner.h"

#include <sndfile.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>

using namespace grindvox::test;

namespace {

struct BadRun {
    std::vector<std::string> args;
    int status;
    std::vector<std::string> messageParts; // each must appear in standard error
};

// The inputs every case may use: a stereo file, a three-channel file, text posing as audio,
// and state files that are not this unit's.
void PrepareInputs(const ScratchFolder& folder) {
    ASSERT_TRUE(
        WriteAudio(folder / "in.wav", MakeSignal(2, 44100, 2000), SF_FORMAT_WAV | SF_FORMAT_FLOAT));
    ASSERT_TRUE(WriteAudio(folder / "three.wav", MakeSignal(3, 44100, 100),
                           SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    ASSERT_TRUE(WriteBytes(folder / "text.wav", "just some words\n"));
    ASSERT_TRUE(WriteBytes(folder / "notplist.aupreset", "<plist><dict><key>"));
    const std::string plistHead =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
        "<key>version</key><integer>65792</integer>\n<key>type</key><integer>1635083896</"
        "integer>\n";
    // 'gRvy' instead of 'gRvx'.
    ASSERT_TRUE(WriteBytes(folder / "other.aupreset",
                           plistHead + "<key>subtype</key><integer>1733457529</integer>\n"
                                       "<key>manufacturer</key><integer>1198675567</integer>\n"
                                       "<key>name</key><string>Init</string>\n"
                                       "<key>data</key><data>AAAA</data>\n</dict>\n</plist>\n"));
    ASSERT_TRUE(WriteBytes(folder / "nodata.aupreset",
                           plistHead +
                               "<key>subtype</key><integer>1733457528</integer>\n"
                               "<key>manufacturer</key><integer>1198675567</integer>\n"
                               "<key>name</key><string>Init</string>\n</dict>\n</plist>\n"));
    // The right component, but data that is no parameter state.
    ASSERT_TRUE(WriteBytes(folder / "baddata.aupreset",
                           plistHead + "<key>subtype</key><integer>1733457528</integer>\n"
                                       "<key>manufacturer</key><integer>1198675567</integer>\n"
                                       "<key>name</key><string>Init</string>\n"
                                       "<key>data</key><data>AAAA</data>\n</dict>\n</plist>\n"));
}

const std::vector<std::string> kInputs = {"baddata.aupreset",  "in.wav",         "nodata.aupreset",
                                          "notplist.aupreset", "other.aupreset", "text.wav",
                                          "three.wav"};

} // namespace

TEST(CliErrors, EachBadInputSaysWhatIsAllowedAndLeavesNoFileBehind) {
    const std::string names = "Filter, Cutoff, Resonance, Bits, Ratio, Mix Mode, Parallel";
    const std::vector<BadRun> runs = {
        {{"render", "--demo", "out.wav", "--set", "Drive=3"},
         2,
         {"unknown parameter \"Drive\"", names}},
        {{"render", "--demo", "out.wav", "--set", "Cutoff=30000"},
         2,
         {"Cutoff takes 20 to 11000 Hz"}},
        {{"render", "--demo", "out.wav", "--set", "Cutoff=19.5"},
         2,
         {"out of range", "20 to 11000 Hz"}},
        {{"render", "--demo", "out.wav", "--set", "Resonance=1.91"},
         2,
         {"Resonance takes 0 to 1.9"}},
        {{"render", "--demo", "out.wav", "--set", "Bits=0"}, 2, {"Bits takes 1 to 16"}},
        {{"render", "--demo", "out.wav", "--set", "Bits=4.5"}, 2, {"whole numbers from 1 to 16"}},
        {{"render", "--demo", "out.wav", "--set", "Filter=notch"},
         2,
         {"\"notch\" is not a setting of Filter", "LPF (0), HPF (1), BPF (2)"}},
        {{"render", "--demo", "out.wav", "--set", "Mix Mode=*"}, 2, {"> (0), + (1), x (2), - (3)"}},
        {{"render", "--demo", "out.wav", "--set", "Parallel=maybe"}, 2, {"off (0), on (1)"}},
        {{"render", "--demo", "out.wav", "--set", "Cutoff=loud"},
         2,
         {"a number from 20 to 11000 Hz"}},
        {{"render", "--demo", "out.wav", "--set", "Bits"}, 2, {"NAME=VALUE"}},
        {{"render", "--demo", "out.wav", "--preset", "10"}, 2, {"no factory preset 10", "0 to 9"}},
        {{"render", "--demo", "out.wav", "--preset", "Warm"}, 2, {"no factory preset \"Warm\""}},
        {{"render", "--demo", "out.wav", "--preset", "1", "--state", "x.aupreset"},
         2,
         {"give one"}},
        {{"render", "--demo", "out.wav", "--block", "0"}, 2, {"from 1 to 16384"}},
        {{"render", "--demo", "out.wav", "--block", "16385"}, 2, {"from 1 to 16384"}},
        {{"render", "--demo", "out.wav", "--tail", "-1"}, 2, {"from 0 to 3600"}},
        {{"render", "--demo", "out.wav", "--format", "m4a"}, 2, {"wav, wav16, wav24, aiff"}},
        {{"render", "--demo", "out.wav", "--loud"}, 2, {"unknown option --loud"}},
        {{"render"}, 2, {"needs INPUT and OUTPUT, got 0"}},
        {{"render", "in.wav", "out.wav", "extra.wav"}, 2, {"needs INPUT and OUTPUT, got 3"}},
        {{"render", "--demo", "in.wav", "out.wav"}, 2, {"--demo takes one file name"}},
        {{"mangle"}, 2, {"unknown command \"mangle\""}},
        {{}, 2, {"a command is needed"}},
        {{"info", "in.wav"}, 2, {"takes no file names"}},
        {{"render", "missing.wav", "out.wav"}, 1, {"cannot read \"missing.wav\"", "No such file"}},
        {{"render", "text.wav", "out.wav"}, 1, {"cannot read \"text.wav\""}},
        {{"render", "three.wav", "out.wav"},
         1,
         {"\"three.wav\": it has 3 channels", "1 in, 1 out or 2 in, 2 out"}},
        {{"render", "in.wav", "nofolder/out.wav"}, 1, {"cannot write \"nofolder/out.wav\""}},
        {{"render", "in.wav", "out.wav", "--state", "missing.aupreset"},
         1,
         {"cannot read \"missing.aupreset\""}},
        {{"render", "in.wav", "out.wav", "--state", "notplist.aupreset"},
         1,
         {"\"notplist.aupreset\": it is not a property list"}},
        {{"render", "in.wav", "out.wav", "--state", "other.aupreset"},
         1,
         {"another component (aufx gRvy GrVo)"}},
        {{"render", "in.wav", "out.wav", "--state", "nodata.aupreset"}, 1, {"\"data\" entry"}},
        {{"render", "in.wav", "out.wav", "--state", "baddata.aupreset"},
         1,
         {"the unit refused the state in \"baddata.aupreset\""}},
        // The render succeeds, the state cannot be saved: the finished output goes too.
        {{"render", "in.wav", "out.wav", "--save-state", "nofolder/s.aupreset"},
         1,
         {"cannot write \"nofolder/s.aupreset\""}},
    };
    ScratchFolder folder;
    PrepareInputs(folder);
    ASSERT_EQ(kInputs, folder.Names());
    for (const BadRun& run : runs) {
        std::string command;
        for (const std::string& arg : run.args)
            command += " " + arg;
        SCOPED_TRACE("grindvox" + command);
        const CliResult r = RunCli(folder, run.args);
        EXPECT_EQ(run.status, r.status) << r.err;
        EXPECT_EQ(0u, r.err.rfind("grindvox: ", 0)) << r.err;
        for (const std::string& part : run.messageParts)
            EXPECT_NE(std::string::npos, r.err.find(part)) << r.err;
        EXPECT_EQ("", r.out);
        EXPECT_EQ(kInputs, folder.Names()); // no output, no temporary file
    }
}

TEST(CliErrors, AFailedRunKeepsTheFileItWouldHaveReplaced) {
    ScratchFolder folder;
    ASSERT_TRUE(WriteBytes(folder / "out.wav", "the take from yesterday"));
    const CliResult r =
        RunCli(folder, {"render", "--demo", "out.wav", "--save-state", "nofolder/state.aupreset"});
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("the take from yesterday", ReadBytes(folder / "out.wav"));
    EXPECT_EQ(std::vector<std::string>{"out.wav"}, folder.Names());
}

TEST(CliErrors, HelpIsThereForTheProgramAndEachCommand) {
    ScratchFolder folder;
    const std::vector<std::vector<std::string>> asks = {
        {"--help"},           {"help"},
        {"render", "--help"}, {"help", "render"},
        {"info", "--help"},   {"render", "--demo", "out.wav", "--set", "Bits=99", "--help"}};
    for (const std::vector<std::string>& ask : asks) {
        const CliResult r = RunCli(folder, ask);
        EXPECT_EQ(0, r.status);
        EXPECT_EQ(0u, r.out.rfind("usage: grindvox", 0)) << r.out;
        EXPECT_EQ("", r.err);
    }
    EXPECT_NE(std::string::npos, RunCli(folder, {"render", "--help"}).out.find("--tail SECONDS"));
    EXPECT_NE(std::string::npos, RunCli(folder, {"info", "--help"}).out.find("--state FILE"));
    EXPECT_TRUE(folder.Names().empty());
}

namespace {

// The options a text names: every "--word" and "-x" that stands alone.
std::set<std::string> OptionsIn(const std::string& text) {
    std::set<std::string> options;
    for (size_t at = text.find('-'); at != std::string::npos; at = text.find('-', at + 1)) {
        const bool starts = at == 0 || std::strchr(" [|(`,\n", text[at - 1]);
        if (!starts) continue;
        size_t end = at + 1;
        if (end < text.size() && text[end] == '-') ++end;
        const size_t nameStart = end;
        while (end < text.size() && (std::isalpha(static_cast<unsigned char>(text[end])) ||
                                     (end > nameStart && text[end] == '-')))
            ++end;
        const size_t length = end - nameStart;
        const bool isLong = nameStart == at + 2;
        if ((isLong && length > 1) || (!isLong && length == 1))
            options.insert(text.substr(at, end - at));
    }
    return options;
}

} // namespace

TEST(CliErrors, TheReadmeAndTheHelpNameTheSameOptions) {
    const std::string readme = ReadBytes(GRINDVOX_README);
    const size_t start = readme.find("## The `grindvox` command");
    const size_t end = readme.find("\n## ", start + 1);
    ASSERT_NE(std::string::npos, start);
    const std::string section = readme.substr(start, end - start);

    ScratchFolder folder;
    std::string help;
    for (const char* command : {"render", "info"})
        help += RunCli(folder, {command, "--help"}).out;
    help += RunCli(folder, {"--help"}).out;
    const std::set<std::string> fromHelp = OptionsIn(help);
    EXPECT_EQ(fromHelp, OptionsIn(section));
    EXPECT_GE(fromHelp.size(), 16u); // what the command line offers today
    // And each option the help names is one the program takes, as render's or info's.
    for (const std::string& option : fromHelp) {
        auto known = [&](const char* command) {
            return RunCli(folder, {command, option, "--help"}).err.find("unknown option") ==
                   std::string::npos;
        };
        EXPECT_TRUE(known("render") || known("info")) << option;
    }
}
