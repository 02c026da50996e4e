// The conventions people know from other command-line tools: --version, `--`, -q, -n, a JSON
// listing for scripts, Ctrl-C, and temporary files a person can recognise and a later run
// clears.
#include "tests/host/CliRunner.h"
#include "tests/host/JsonValue.h"

#include <sndfile.h>

#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

using namespace grindvox::test;

namespace {

constexpr int kFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

std::string Base64(const std::string& bytes) {
    static const char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = std::min<size_t>(3, bytes.size() - i);
        uint32_t group = 0;
        for (size_t j = 0; j < 3; ++j)
            group = group << 8 | (j < n ? static_cast<uint8_t>(bytes[i + j]) : 0u);
        // n bytes make n + 1 digits; '=' pads the group to four.
        for (size_t j = 0; j < 4; ++j)
            out += j <= n ? kDigits[(group >> (18 - 6 * j)) & 63] : '=';
    }
    return out;
}

// A state of this unit holding `values`, one double per parameter, as the unit stores them.
std::string StateHolding(const std::vector<double>& values) {
    std::string data(values.size() * sizeof(double), '\0');
    std::memcpy(data.data(), values.data(), data.size());
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
           "<key>version</key><integer>65792</integer>\n"
           "<key>type</key><integer>1635083896</integer>\n"
           "<key>subtype</key><integer>1733457528</integer>\n"
           "<key>manufacturer</key><integer>1198675567</integer>\n"
           "<key>name</key><string>Init</string>\n<key>data</key><data>" +
           Base64(data) + "</data>\n</dict>\n</plist>\n";
}

// The temporary files in the folder: names holding ".grindvox-".
std::vector<std::string> Temporaries(const ScratchFolder& folder) {
    std::vector<std::string> found;
    for (const std::string& name : folder.Names()) {
        if (name.find(".grindvox-") != std::string::npos) found.push_back(name);
    }
    return found;
}

// Waits up to half a minute (a loaded machine) for a render to start writing its temporary
// file.
bool WaitForTemporary(const ScratchFolder& folder) {
    for (int i = 0; i < 3000; ++i) {
        if (!Temporaries(folder).empty()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// A render long enough to be stopped while it runs (an hour of tail).
const std::vector<std::string> kLongRender = {"render", "--demo", "long.wav", "--tail", "3600"};

} // namespace

TEST(CliConventions, VersionDoubleDashAndShortOptions) {
    ScratchFolder folder;
    CliResult r = RunCli(folder, {"--version"});
    EXPECT_EQ(0, r.status);
    EXPECT_EQ(0u, r.out.rfind("grindvox 1.2.0 (libsndfile-", 0)) << r.out;

    // After `--`, names that look like options are files.
    const Audio in = MakeSignal(1, 44100, 300);
    ASSERT_TRUE(WriteAudio(folder / "-in.wav", in, kFloatWav));
    r = RunCli(folder, {"render", "--bypass", "-q", "--", "-in.wav", "-q.wav"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("", r.out); // -q before `--` still quiets
    Audio out;
    ASSERT_TRUE(ReadAudio(folder / "-q.wav", &out));
    EXPECT_TRUE(in.samples == out.samples);
}

TEST(CliConventions, AnExistingOutputIsReplacedUnlessNoClobberRefusesIt) {
    ScratchFolder folder;
    ASSERT_TRUE(WriteAudio(folder / "in.wav", MakeSignal(2, 44100, 300), kFloatWav));
    ASSERT_TRUE(WriteBytes(folder / "out.wav", "keep me"));
    ASSERT_TRUE(WriteBytes(folder / "s.aupreset", "keep me too"));

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"render", "-n", "in.wav", "out.wav"},
             {"render", "--no-clobber", "in.wav", "new.wav", "--save-state", "s.aupreset"},
             {"info", "-n", "--save-state", "s.aupreset"}}) {
        SCOPED_TRACE(args[1] + " " + args[2] + " " + args[3]);
        const CliResult r = RunCli(folder, args);
        EXPECT_EQ(1, r.status);
        EXPECT_NE(std::string::npos, r.err.find("exists; not replacing it")) << r.err;
        EXPECT_EQ("", r.out);
    }
    EXPECT_EQ("keep me", ReadBytes(folder / "out.wav"));
    EXPECT_EQ("keep me too", ReadBytes(folder / "s.aupreset"));
    EXPECT_EQ(std::vector<std::string>({"in.wav", "out.wav", "s.aupreset"}), folder.Names());

    // As sox does, without -n the file is replaced.
    ASSERT_EQ(0, RunCli(folder, {"render", "in.wav", "out.wav", "-q"}).status);
    Audio out;
    EXPECT_TRUE(ReadAudio(folder / "out.wav", &out));
}

TEST(CliConventions, InfoJsonHoldsIdentityChannelsParametersAndPresets) {
    ScratchFolder folder;
    const CliResult r =
        RunCli(folder, {"info", "--json", "--set", "Bits=5", "--set", "Filter=BPF"});
    ASSERT_EQ(0, r.status) << r.err;
    JsonValue info;
    std::string error;
    ASSERT_TRUE(ParseJson(r.out, &info, &error)) << error << "\n" << r.out;

    EXPECT_EQ("Grindvox", info["name"].string);
    EXPECT_EQ("Tolva_Sonics", info["manufacturer"].string);
    EXPECT_EQ("aufx", info["component"]["type"].string);
    EXPECT_EQ("gRvx", info["component"]["subtype"].string);
    EXPECT_EQ("GrVo", info["component"]["manufacturer"].string);
    EXPECT_EQ("1.2.0", info["version"].string);
    EXPECT_EQ(66048.0, info["versionNumber"].number);
    ASSERT_EQ(2u, info["channels"].items.size());
    EXPECT_EQ(1.0, info["channels"][0]["in"].number);
    EXPECT_EQ(2.0, info["channels"][1]["out"].number);
    EXPECT_EQ(0.0, info["latencySeconds"].number);
    EXPECT_EQ(0.0, info["tailSeconds"].number);

    const JsonValue& parameters = info["parameters"];
    ASSERT_EQ(7u, parameters.items.size());
    const JsonValue& filter = parameters[0];
    EXPECT_EQ("Filter", filter["name"].string);
    EXPECT_EQ("indexed", filter["unit"].string);
    EXPECT_EQ(2.0, filter["value"].number);
    ASSERT_EQ(3u, filter["texts"].items.size());
    EXPECT_EQ("BPF", filter["texts"][2]["text"].string);
    EXPECT_EQ(2.0, filter["texts"][2]["value"].number);
    const JsonValue& cutoff = parameters[1];
    EXPECT_EQ("Hz", cutoff["unit"].string);
    EXPECT_EQ(20.0, cutoff["min"].number);
    EXPECT_EQ(11000.0, cutoff["max"].number);
    EXPECT_EQ(11000.0, cutoff["default"].number);
    EXPECT_TRUE(cutoff["texts"].items.empty());
    EXPECT_FALSE(cutoff["wholeNumbers"].boolean);
    // 1.9 as the float it is, printed in the fewest digits that read back as that float.
    EXPECT_NE(std::string::npos, r.out.find("\"max\": 1.9,")) << r.out;
    EXPECT_EQ("Bits", parameters[3]["name"].string);
    EXPECT_EQ(5.0, parameters[3]["value"].number);
    EXPECT_EQ(16.0, parameters[3]["default"].number);
    EXPECT_TRUE(parameters[3]["wholeNumbers"].boolean);
    EXPECT_EQ("x", parameters[5]["texts"][2]["text"].string);
    EXPECT_EQ(JsonValue::Type::Bool, parameters[6]["wholeNumbers"].type);

    ASSERT_EQ(10u, info["presets"].items.size());
    EXPECT_EQ(9.0, info["presets"][9]["number"].number);
    EXPECT_EQ("Init", info["presets"][9]["name"].string);
}

TEST(CliConventions, AStateWithValuesOutOfRangeLoadsClampedAndSaysWhich) {
    ScratchFolder folder;
    // Filter, Cutoff, Resonance, Bits, Ratio, Mix Mode, Parallel.
    ASSERT_TRUE(
        WriteBytes(folder / "wild.aupreset", StateHolding({1, 30000, std::nan(""), 40, 3, 0, 1})));
    CliResult r = RunCli(folder, {"info", "--json", "--state", "wild.aupreset"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("warning: \"wild.aupreset\" held values out of the "
                                            "parameters' ranges: Cutoff 30000 clamped to 11000 "
                                            "Hz, Resonance not a number, left at 0, Bits 40 "
                                            "clamped to 16\n"))
        << r.err;
    JsonValue info;
    std::string error;
    ASSERT_TRUE(ParseJson(r.out, &info, &error)) << error;
    EXPECT_EQ(1.0, info["parameters"][0]["value"].number);
    EXPECT_EQ(11000.0, info["parameters"][1]["value"].number);
    EXPECT_EQ(16.0, info["parameters"][3]["value"].number);
    EXPECT_EQ(3.0, info["parameters"][4]["value"].number);

    // Values in range, the boundaries included, load without a word.
    ASSERT_TRUE(WriteBytes(folder / "tame.aupreset", StateHolding({2, 20, 1.9, 1, 64, 3, 0})));
    r = RunCli(folder, {"info", "--state", "tame.aupreset"});
    EXPECT_EQ(0, r.status);
    EXPECT_EQ("", r.err);
}

TEST(CliConventions, CtrlCRemovesTheTemporaryFileSaysInterruptedAndExits130) {
    ScratchFolder folder;
    BackgroundCli render(folder, kLongRender);
    ASSERT_TRUE(WaitForTemporary(folder));
    ASSERT_EQ(0, kill(render.Pid(), SIGINT));
    const CliResult r = render.Wait();
    EXPECT_EQ(130, r.status);
    EXPECT_EQ("grindvox: interrupted\n", r.err);
    EXPECT_TRUE(folder.Names().empty()) << folder.Names()[0];
}

TEST(CliConventions, AKilledRendersTemporaryNamesItsProcessAndIsClearedOnceThatIsGone) {
    ScratchFolder folder;
    int pid = 0;
    {
        BackgroundCli render(folder, kLongRender);
        pid = render.Pid();
        ASSERT_TRUE(WaitForTemporary(folder));
        ASSERT_EQ(0, kill(pid, SIGKILL));
        int signalNumber = 0;
        render.Wait(&signalNumber);
        EXPECT_EQ(SIGKILL, signalNumber);
    }
    const std::vector<std::string> left = Temporaries(folder);
    ASSERT_EQ(1u, left.size());
    EXPECT_EQ(0u, left[0].rfind(".long.wav.grindvox-" + std::to_string(pid) + "-", 0)) << left[0];

    // One of a process that still runs (this test) stays, and so does one of another output.
    const std::string alive = ".long.wav.grindvox-" + std::to_string(getpid()) + "-abcdef";
    const std::string other = ".other.wav.grindvox-" + std::to_string(pid) + "-abcdef";
    ASSERT_TRUE(WriteBytes(folder / alive, "running"));
    ASSERT_TRUE(WriteBytes(folder / other, "another output"));
    const CliResult r = RunCli(folder, {"render", "--demo", "long.wav", "-q"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ(std::vector<std::string>({alive, other, "long.wav"}), folder.Names());
}

TEST(CliConventions, TheProgressBarFitsTheTerminalOnOneLineAndCtrlCEndsThatLine) {
    ScratchFolder folder;
    winsize size = {};
    size.ws_col = 50;
    size.ws_row = 20;
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, &size);
    if (pid == 0) {
        if (chdir(folder.Path().c_str()) == 0)
            execl(GRINDVOX_CLI, GRINDVOX_CLI, "render", "--demo", "long.wav", "--tail", "3600",
                  nullptr);
        _exit(127);
    }
    ASSERT_GT(pid, 0);
    // Reads what the terminal shows until the program is gone, stopping it once the bar has
    // been drawn twice (it appears after a second).
    std::string shown;
    bool stopped = false;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(terminal, buffer, sizeof buffer);
        if (n <= 0) break;
        shown.append(buffer, static_cast<size_t>(n));
        size_t bars = 0;
        for (size_t at = shown.find("\r["); at != std::string::npos; at = shown.find("\r[", at + 1))
            ++bars;
        if (!stopped && bars >= 2) stopped = kill(pid, SIGINT) == 0;
    }
    close(terminal);
    int status = 0;
    ASSERT_EQ(pid, waitpid(pid, &status, 0));
    ASSERT_TRUE(stopped) << shown;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130);

    // Every drawing of the bar is one line of 49 characters, redrawn over itself.
    for (size_t at = shown.find("\r["); at != std::string::npos; at = shown.find("\r[", at + 1)) {
        const size_t end = shown.find_first_of("\r\n", at + 1);
        const std::string bar = shown.substr(at + 1, end - at - 1);
        EXPECT_EQ(49u, bar.size()) << "\"" << bar << "\"";
        EXPECT_NE(std::string::npos, bar.find("% ")) << bar;
    }
    // The interruption starts a line of its own (the terminal shows a newline as \r\n).
    EXPECT_NE(std::string::npos, shown.find("\r\ngrindvox: interrupted\r\n")) << shown;
    EXPECT_TRUE(Temporaries(folder).empty());
}
