// Program (.fxp) and bank (.fxb) files through the program's --state and --save-state.
#include "tests/host/CliRunner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

using namespace grindvox::test;

namespace {

// Files built from the layout: big-endian fields, names in 28-byte fields, values as normalised
// big-endian floats in the parameters' order (Filter, Cutoff, Resonance, Bits, Ratio, Mix Mode,
// Parallel).
void putWord(std::string* out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out->push_back(static_cast<char>(v >> shift));
}

void putFloat(std::string* out, float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    putWord(out, bits);
}

std::string program(const std::string& name, const float (&values)[7]) {
    std::string out = "CcnK";
    putWord(&out, 0);
    out += "FxCk";
    putWord(&out, 1);
    out += "gRvx";
    putWord(&out, 10200); // version 1.2.0
    putWord(&out, 7);
    out += name;
    out.resize(56, '\0');
    for (float v : values)
        putFloat(&out, v);
    return out;
}

// Ten programs; program 3 is "Crushed": band-pass, 1 bit, ratio 32, mix mode x, parallel.
std::string bank(uint32_t current) {
    std::string out = "CcnK";
    putWord(&out, 0);
    out += "FxBk";
    putWord(&out, 2);
    out += "gRvx";
    putWord(&out, 10200);
    putWord(&out, 10);
    putWord(&out, current);
    out.resize(156, '\0');
    const float init[7] = {0, 1, 0, 1, 0, 0, 0};
    const float crushed[7] = {1, 1, 0, 0, 0.5f, 2.0f / 3.0f, 1};
    for (int p = 0; p < 10; ++p)
        out += p == 3 ? program("Crushed", crushed) : program("Program " + std::to_string(p), init);
    return out;
}

std::string parameterLine(const std::string& info, const std::string& start) {
    const size_t at = info.find(start);
    if (at == std::string::npos) return "";
    return info.substr(at, info.find('\n', at) - at);
}

} // namespace

TEST(CliPresetFiles, TheDefaultProgramSavesAsItsLayoutByteForByte) {
    ScratchFolder folder;
    const CliResult r = RunCli(folder, {"info", "--save-state", "default.fxp"});
    ASSERT_EQ(0, r.status) << r.err;
    const float defaults[7] = {0, 1, 0, 1, 0, 0, 0};
    EXPECT_TRUE(ReadBytes(folder / "default.fxp") == program("Init", defaults));

    ASSERT_EQ(0, RunCli(folder, {"info", "--save-state", "DEFAULT.FXB"}).status);
    EXPECT_EQ(996u, ReadBytes(folder / "DEFAULT.FXB").size()) << "the suffix in any case";
}

TEST(CliPresetFiles, AProgramCarriesTheSettingsToTheNextRun) {
    ScratchFolder folder;
    CliResult r = RunCli(folder, {"render", "--demo", "a.wav", "--quiet", "--set", "Filter=HPF",
                                  "--set", "Bits=5", "--set", "Ratio=16", "--set", "Mix Mode=+",
                                  "--save-state", "a.fxp"});
    ASSERT_EQ(0, r.status) << r.err;
    r = RunCli(folder, {"render", "--demo", "b.wav", "--quiet", "--state", "a.fxp", "--save-state",
                        "b.fxp"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_TRUE(ReadBytes(folder / "a.fxp") == ReadBytes(folder / "b.fxp"));
    EXPECT_TRUE(ReadBytes(folder / "a.wav") == ReadBytes(folder / "b.wav"));
}

TEST(CliPresetFiles, InfoListsABanksProgramsAndPresetChoosesOne) {
    ScratchFolder folder;
    ASSERT_TRUE(WriteBytes(folder / "bank.fxb", bank(0)));
    CliResult r = RunCli(folder, {"info", "--state", "bank.fxb"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("   0  \"Program 0\"  (current)\n")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("   3  \"Crushed\"\n")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("   9  \"Program 9\"\n")) << r.out;

    r = RunCli(folder, {"info", "--state", "bank.fxb", "--preset", "3"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("   3  \"Crushed\"  (current)\n")) << r.out;
    EXPECT_NE(std::string::npos, parameterLine(r.out, " 0  Filter").find("now BPF")) << r.out;
    EXPECT_NE(std::string::npos, parameterLine(r.out, " 3  Bits").find("now 1")) << r.out;
    EXPECT_NE(std::string::npos, parameterLine(r.out, " 4  Ratio").find("now 32")) << r.out;
    EXPECT_NE(std::string::npos, parameterLine(r.out, " 5  Mix Mode").find("now x")) << r.out;

    // A bank names its own current program; saved again, it is the same file.
    ASSERT_TRUE(WriteBytes(folder / "three.fxb", bank(3)));
    r = RunCli(folder, {"info", "--state", "three.fxb", "--save-state", "copy.fxb"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("   3  \"Crushed\"  (current)\n")) << r.out;
    EXPECT_TRUE(ReadBytes(folder / "copy.fxb") == bank(3));
}

TEST(CliPresetFiles, RenderingABanksProgramSoundsLikeItsSettings) {
    ScratchFolder folder;
    ASSERT_TRUE(WriteBytes(folder / "bank.fxb", bank(0)));
    CliResult r = RunCli(folder, {"render", "--demo", "bank.wav", "--quiet", "--state", "bank.fxb",
                                  "--preset", "Crushed"});
    ASSERT_EQ(0, r.status) << r.err;
    r = RunCli(folder,
               {"render", "--demo", "set.wav", "--quiet", "--set", "Filter=BPF", "--set", "Bits=1",
                "--set", "Ratio=32", "--set", "Mix Mode=x", "--set", "Parallel=on"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_TRUE(ReadBytes(folder / "bank.wav") == ReadBytes(folder / "set.wav"));
}

TEST(CliPresetFiles, AFileTheUnitRefusesFailsTheRunAndWritesNothing) {
    ScratchFolder folder;
    std::string cut = bank(0);
    cut.pop_back();
    ASSERT_TRUE(WriteBytes(folder / "cut.fxb", cut));
    CliResult r = RunCli(folder, {"render", "--demo", "out.wav", "--state", "cut.fxb"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("the unit refused the bank in \"cut.fxb\"")) << r.err;
    EXPECT_FALSE(Exists(folder / "out.wav"));

    ASSERT_TRUE(WriteBytes(folder / "bank.fxp", bank(0)));
    r = RunCli(folder, {"info", "--state", "bank.fxp"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("the unit refused the program in \"bank.fxp\""))
        << r.err;

    // A program brings no presets to choose from: --preset still conflicts with it.
    const float defaults[7] = {0, 1, 0, 1, 0, 0, 0};
    ASSERT_TRUE(WriteBytes(folder / "p.fxp", program("P", defaults)));
    r = RunCli(folder, {"info", "--state", "p.fxp", "--preset", "1"});
    EXPECT_EQ(2, r.status);
    EXPECT_NE(std::string::npos, r.err.find("give one")) << r.err;
}
