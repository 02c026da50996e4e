// The bundle with the programs users have: Debian's lv2apply renders files with it, bit for bit
// the effect's sound and the same file grindvox renders through the Audio Unit.
#include "effect/GrindvoxPresets.h"
#include "tests/host/CliRunner.h"
#include "tests/support/GrindvoxHarness.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace grindvox::test {
namespace {

constexpr const char* kStereoURI = "http://tolvasonics.com/plugins/grindvox";
constexpr const char* kMonoURI = "http://tolvasonics.com/plugins/grindvox-mono";
constexpr int kFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

// Rate reduced, coarse and resonant: every stage of the chain is working.
const reference::Settings kSettings = [] {
    reference::Settings s;
    s.filterType = 2;
    s.cutoff = 2000.0;
    s.resonance = 1.25;
    s.bits = 4;
    s.ratio = 3;
    s.mixMode = 1;
    return s;
}();

std::vector<std::string> lv2applyArgs(const char* uri) {
    return {"-i",     "in.wav", "-o", "out.wav",   "-c",       "filter", "2",    "-c",
            "cutoff", "2000",   "-c", "resonance", "1.25",     "-c",     "bits", "4",
            "-c",     "ratio",  "3",  "-c",        "mix_mode", "1",      uri};
}

// The effect on the file's samples in one block, converted as the host's float output.
Audio direct(const Audio& in) {
    GrindvoxHarness harness;
    harness.Plug().SetSampleRate(in.sampleRate);
    harness.Plug().Reset();
    harness.Apply(kSettings);
    const int frames = static_cast<int>(in.Frames());
    StereoSignal from{std::vector<double>(frames), std::vector<double>(frames, 0.0)};
    for (int i = 0; i < frames; ++i) {
        from.left[i] = in.At(i, 0);
        if (in.channels > 1) from.right[i] = in.At(i, 1);
    }
    StereoSignal out{std::vector<double>(frames), std::vector<double>(frames)};
    harness.Process(from, out, 0, frames);
    Audio result = in;
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < in.channels; ++c) {
            const float f = static_cast<float>(c == 0 ? out.left[i] : out.right[i]);
            result.samples[static_cast<size_t>(i * in.channels + c)] =
                std::fpclassify(f) == FP_SUBNORMAL ? std::copysign(0.0f, f) : f;
        }
    }
    return result;
}

void expectSameSamples(const Audio& actual, const Audio& expected) {
    ASSERT_EQ(actual.channels, expected.channels);
    ASSERT_EQ(actual.samples.size(), expected.samples.size());
    for (size_t i = 0; i < actual.samples.size(); ++i) {
        if (std::memcmp(&actual.samples[i], &expected.samples[i], sizeof(float)) == 0) continue;
        FAIL() << "frame " << i / static_cast<size_t>(actual.channels) << " channel "
               << i % static_cast<size_t>(actual.channels) << ": " << actual.samples[i]
               << " instead of " << expected.samples[i];
    }
}

class LV2Apply : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { setenv("LV2_PATH", GRINDVOX_LV2_PATH, 1); }
};

TEST_P(LV2Apply, RendersAFileAsTheEffectDoes) {
    const int channels = GetParam();
    ScratchFolder folder;
    const Audio in = MakeSignal(channels, 48000, 30000);
    ASSERT_TRUE(WriteAudio(folder / "in.wav", in, kFloatWav));

    const CliResult result =
        RunProgram(folder, "lv2apply", lv2applyArgs(channels == 1 ? kMonoURI : kStereoURI));
    ASSERT_EQ(result.status, 0) << result.err;
    Audio out;
    ASSERT_TRUE(ReadAudio(folder / "out.wav", &out));
    expectSameSamples(out, direct(in));
}

TEST_P(LV2Apply, RendersTheSameFileAsTheComponent) {
    const int channels = GetParam();
    ScratchFolder folder;
    ASSERT_TRUE(WriteAudio(folder / "in.wav", MakeSignal(channels, 44100, 30000), kFloatWav));

    const CliResult lv2 =
        RunProgram(folder, "lv2apply", lv2applyArgs(channels == 1 ? kMonoURI : kStereoURI));
    ASSERT_EQ(lv2.status, 0) << lv2.err;
    const CliResult au =
        RunCli(folder, {"render", "in.wav", "au.wav", "--tail", "0", "--quiet", "--set",
                        "Filter=BPF", "--set", "Cutoff=2000", "--set", "Resonance=1.25", "--set",
                        "Bits=4", "--set", "Ratio=3", "--set", "Mix Mode=+"});
    ASSERT_EQ(au.status, 0) << au.err;

    Audio fromLV2, fromAU;
    ASSERT_TRUE(ReadAudio(folder / "out.wav", &fromLV2));
    ASSERT_TRUE(ReadAudio(folder / "au.wav", &fromAU));
    expectSameSamples(fromLV2, fromAU);
}

// Each designed preset sounds the same in both forms it ships in: the component's .aupreset
// found by `grindvox render --preset NAME` and the LV2 preset's values on lv2apply's controls.
TEST(DesignedPresets, SoundTheSameThroughTheComponentAndTheLV2PlugIn) {
    setenv("LV2_PATH", GRINDVOX_LV2_PATH, 1);
    const char* const symbols[GrindvoxPreset::kNumValues] = {
        "filter", "cutoff", "resonance", "bits", "ratio", "mix_mode", "parallel"};
    ScratchFolder folder;
    ASSERT_TRUE(WriteAudio(folder / "in.wav", MakeSignal(2, 44100, 6000), kFloatWav));
    ASSERT_EQ(NumGrindvoxPresets(), 10);
    for (int p = 0; p < NumGrindvoxPresets(); ++p) {
        const GrindvoxPreset& preset = *GetGrindvoxPreset(p);
        SCOPED_TRACE(preset.mName);
        std::vector<std::string> args = {"-i", "in.wav", "-o", "lv2.wav"};
        for (int i = 0; i < GrindvoxPreset::kNumValues; ++i) {
            char value[32];
            std::snprintf(value, sizeof value, "%.9g", preset.mValues[i]);
            args.insert(args.end(), {"-c", symbols[i], value});
        }
        args.push_back(kStereoURI);
        CliResult result = RunProgram(folder, "lv2apply", args);
        ASSERT_EQ(result.status, 0) << result.err;
        result = RunCli(folder, {"render", "in.wav", "au.wav", "--tail", "0", "--quiet", "--preset",
                                 preset.mName});
        ASSERT_EQ(result.status, 0) << result.err;

        Audio fromLV2, fromAU;
        ASSERT_TRUE(ReadAudio(folder / "lv2.wav", &fromLV2));
        ASSERT_TRUE(ReadAudio(folder / "au.wav", &fromAU));
        expectSameSamples(fromAU, fromLV2);
    }
}

TEST(DesignedPresets, InfoListsThemAfterTheFactoryPresets) {
    ScratchFolder folder;
    const CliResult result = RunCli(folder, {"info"});
    ASSERT_EQ(result.status, 0) << result.err;
    const size_t factory = result.out.find("factory presets (10)");
    const size_t designed = result.out.find("designed presets (10)");
    ASSERT_NE(factory, std::string::npos);
    ASSERT_NE(designed, std::string::npos);
    EXPECT_LT(factory, designed);
    for (int p = 0; p < NumGrindvoxPresets(); ++p) {
        const std::string name = GetGrindvoxPreset(p)->mName;
        EXPECT_NE(result.out.find("\"" + name + "\"", designed), std::string::npos) << name;
    }
}

// The installed copy works on its own, away from the build; uninstalling leaves nothing.
TEST(InstallLV2, CopiesAWorkingBundleAndRemovesIt) {
    ScratchFolder folder;
    const std::string script = std::string(GRINDVOX_SOURCE_DIR) + "/scripts/install-lv2";
    const std::string target = folder / "lv2";
    CliResult result = RunProgram(folder, script, {"--build", GRINDVOX_BUILD_DIR, target});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(Exists(target + "/grindvox.lv2/grindvox.so"));
    EXPECT_TRUE(Exists(target + "/grindvox.lv2/grindvox_ui.so"));
    EXPECT_TRUE(Exists(target + "/grindvox.lv2/libgrindvox_platform.so"));
    EXPECT_TRUE(Exists(target + "/grindvox.lv2/background.png"));

    setenv("LV2_PATH", target.c_str(), 1);
    ASSERT_TRUE(WriteAudio(folder / "in.wav", MakeSignal(2, 44100, 4000), kFloatWav));
    result = RunProgram(folder, "lv2apply", lv2applyArgs(kStereoURI));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(Exists(folder / "out.wav"));

    result = RunProgram(folder, script, {"--uninstall", target});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_FALSE(Exists(target + "/grindvox.lv2"));
}

INSTANTIATE_TEST_SUITE_P(MonoAndStereo, LV2Apply, ::testing::Values(1, 2),
                         [](const auto& param) { return param.param == 1 ? "Mono" : "Stereo"; });

} // namespace
} // namespace grindvox::test
