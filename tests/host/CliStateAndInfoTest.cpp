// State files and the unit's listing, through the program.
#include "tests/host/CliRunner.h"

#include <gtest/gtest.h>

using namespace grindvox::test;

namespace {

// The listing line of one parameter, from its index to the end of the line.
std::string ParameterLine(const std::string& info, const std::string& start) {
    const size_t at = info.find(start);
    if (at == std::string::npos) return "";
    return info.substr(at, info.find('\n', at) - at);
}

} // namespace

TEST(CliState, SaveLoadSaveGivesTheSameFileAndTheSameSettings) {
    ScratchFolder folder;
    CliResult r =
        RunCli(folder, {"render", "--demo", "a.wav", "--quiet", "--set", "Filter=HPF", "--set",
                        "Cutoff=440", "--set", "Resonance=0.5", "--set", "Bits=5", "--set",
                        "Mix Mode=-", "--set", "Parallel=on", "--save-state", "a.aupreset"});
    ASSERT_EQ(0, r.status) << r.err;
    r = RunCli(folder, {"render", "--demo", "b.wav", "--quiet", "--state", "a.aupreset",
                        "--save-state", "b.aupreset"});
    ASSERT_EQ(0, r.status) << r.err;
    const std::string saved = ReadBytes(folder / "a.aupreset");
    EXPECT_EQ(saved, ReadBytes(folder / "b.aupreset"));
    // The same settings render the same audio.
    EXPECT_TRUE(ReadBytes(folder / "a.wav") == ReadBytes(folder / "b.wav"));

    // The form macOS hosts read: an XML property list with the six keys; 'aufx' 'gRvx' 'GrVo'
    // as numbers.
    EXPECT_EQ(0u, saved.rfind("<?xml", 0));
    for (const char* part :
         {"<key>version</key>", "<integer>66048</integer>", "<key>type</key>",
          "<integer>1635083896</integer>", "<key>subtype</key>", "<integer>1733457528</integer>",
          "<key>manufacturer</key>", "<integer>1198675567</integer>", "<key>name</key>",
          "<string>Init</string>", "<key>data</key>", "<data>"})
        EXPECT_NE(std::string::npos, saved.find(part)) << part << " in\n" << saved;

    // Loaded into info, the state shows as the current values.
    r = RunCli(folder, {"info", "--state", "a.aupreset"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, ParameterLine(r.out, " 0  Filter").find("now HPF")) << r.out;
    EXPECT_NE(std::string::npos, ParameterLine(r.out, " 1  Cutoff").find("now 440 Hz")) << r.out;
    EXPECT_NE(std::string::npos, ParameterLine(r.out, " 2  Resonance").find("now 0.5")) << r.out;
    EXPECT_NE(std::string::npos, ParameterLine(r.out, " 3  Bits").find("now 5")) << r.out;
    EXPECT_NE(std::string::npos, ParameterLine(r.out, " 5  Mix Mode").find("now -")) << r.out;
    EXPECT_NE(std::string::npos, ParameterLine(r.out, " 6  Parallel").find("now on")) << r.out;
}

TEST(CliState, ASettingOnTopOfALoadedStateWins) {
    ScratchFolder folder;
    ASSERT_EQ(0, RunCli(folder, {"info", "--set", "Bits=5", "--save-state", "s.aupreset"}).status);
    const CliResult r = RunCli(folder, {"info", "--state", "s.aupreset", "--set", "Ratio=9"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, ParameterLine(r.out, " 3  Bits").find("now 5")) << r.out;
    EXPECT_NE(std::string::npos, ParameterLine(r.out, " 4  Ratio").find("now 9")) << r.out;
}

TEST(CliInfo, ListsIdentityChannelsTheSevenParametersWithTheirTextsAndThePresets) {
    ScratchFolder folder;
    const CliResult r = RunCli(folder, {"info"});
    ASSERT_EQ(0, r.status) << r.err;
    const std::string& out = r.out;
    EXPECT_EQ(0u, out.rfind("Grindvox by Tolva_Sonics\n", 0)) << out;
    EXPECT_NE(std::string::npos, out.find("type 'aufx', subtype 'gRvx', manufacturer 'GrVo'"));
    EXPECT_NE(std::string::npos, out.find("version    1.2.0 (0x00010200)"));
    EXPECT_NE(std::string::npos, out.find("channels   1 in, 1 out or 2 in, 2 out"));
    EXPECT_NE(std::string::npos, out.find("latency    0 s, tail 0 s"));
    EXPECT_NE(std::string::npos, out.find("parameters (7)"));

    EXPECT_EQ("0  Filter      indexed   range 0 to 2, default LPF, now LPF",
              ParameterLine(out, "0  Filter"));
    EXPECT_EQ("1  Cutoff      Hz        range 20 to 11000, default 11000 Hz, now 11000 Hz",
              ParameterLine(out, "1  Cutoff"));
    EXPECT_EQ("2  Resonance   generic   range 0 to 1.9, default 0, now 0",
              ParameterLine(out, "2  Resonance"));
    EXPECT_EQ("3  Bits        indexed   range 1 to 16, default 16, now 16",
              ParameterLine(out, "3  Bits"));
    EXPECT_EQ("4  Ratio       indexed   range 0 to 64, default 0, now 0",
              ParameterLine(out, "4  Ratio"));
    EXPECT_EQ("5  Mix Mode    indexed   range 0 to 3, default >, now >",
              ParameterLine(out, "5  Mix Mode"));
    EXPECT_EQ("6  Parallel    boolean   range 0 to 1, default off, now off",
              ParameterLine(out, "6  Parallel"));
    EXPECT_NE(std::string::npos, out.find("texts: 0 \"LPF\", 1 \"HPF\", 2 \"BPF\""));
    EXPECT_NE(std::string::npos, out.find("texts: 0 \">\", 1 \"+\", 2 \"x\", 3 \"-\""));
    EXPECT_NE(std::string::npos, out.find("texts: 0 \"off\", 1 \"on\""));

    EXPECT_NE(std::string::npos, out.find("factory presets (10)\n"));
    EXPECT_NE(std::string::npos, out.find("   0  \"Init\"  (current)\n"));
    EXPECT_NE(std::string::npos, out.find("   9  \"Init\"\n"));
}

TEST(CliInfo, ShowsSettingsGivenOnTheCommandLineWithTheDefaultsBeside) {
    ScratchFolder folder;
    const CliResult r = RunCli(folder, {"info", "--preset", "Init", "--set", "filter=bpf", "--set",
                                        "Cutoff=1200", "--set", "Parallel=1"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, ParameterLine(r.out, "0  Filter").find("default LPF, now BPF"));
    EXPECT_NE(std::string::npos,
              ParameterLine(r.out, "1  Cutoff").find("default 11000 Hz, now 1200 Hz"));
    EXPECT_NE(std::string::npos, ParameterLine(r.out, "6  Parallel").find("now on"));
}
