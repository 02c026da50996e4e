// Renders through the program compared with the plain model of the signal chain, sample for
// sample and bit for bit: the program hosts the component through the Audio Unit interface, so
// any fault in reading, block handling, stream formats, parameters or writing shows up here.
#include "tests/host/CliRunner.h"
#include "tests/support/GrindvoxReference.h"

#include <sndfile.h>

#include <gtest/gtest.h>

#include <cstring>

using grindvox::reference::Chain;
using grindvox::reference::Settings;
using namespace grindvox::test;

namespace {

// The model run over `in` in blocks of `block` frames, the way the unit receives them: the
// file's floats widened to double, the result narrowed back to float; a mono file meets the
// effect's silent second input.
Audio ReferenceRender(const Audio& in, const Settings& settings, int block) {
    Chain chain;
    Audio out = in;
    const int64_t frames = in.Frames();
    std::vector<double> inL(block), inR(block), outL(block), outR(block);
    for (int64_t start = 0; start < frames; start += block) {
        const int n = static_cast<int>(frames - start < block ? frames - start : block);
        for (int i = 0; i < n; ++i) {
            inL[i] = in.At(start + i, 0);
            inR[i] = in.channels == 2 ? in.At(start + i, 1) : 0.0;
        }
        chain.process(settings, inL.data(), inR.data(), outL.data(), outR.data(), n);
        for (int i = 0; i < n; ++i) {
            out.samples[static_cast<size_t>((start + i) * in.channels)] =
                static_cast<float>(outL[i]);
            if (in.channels == 2)
                out.samples[static_cast<size_t>((start + i) * 2 + 1)] = static_cast<float>(outR[i]);
        }
    }
    return out;
}

// Equal to the last bit; reports the first frame that differs.
void ExpectSameSamples(const Audio& expected, const Audio& actual) {
    ASSERT_EQ(expected.channels, actual.channels);
    ASSERT_EQ(expected.Frames(), actual.Frames());
    for (size_t i = 0; i < expected.samples.size(); ++i) {
        if (std::memcmp(&expected.samples[i], &actual.samples[i], sizeof(float)) != 0) {
            FAIL() << "frame " << i / expected.channels << " channel " << i % expected.channels
                   << ": expected " << expected.samples[i] << ", got " << actual.samples[i];
        }
    }
}

} // namespace

TEST(CliRender, StereoFileMatchesTheSignalChainWithEveryStageBusy) {
    ScratchFolder folder;
    const Audio in = MakeSignal(2, 48000, 9000);
    ASSERT_TRUE(WriteAudio(folder / "in.wav", in, SF_FORMAT_WAV | SF_FORMAT_FLOAT));

    const CliResult r = RunCli(folder, {"render", "in.wav", "out.wav", "--set", "Filter=BPF",
                                        "--set", "Cutoff=1200", "--set", "Resonance=1.2", "--set",
                                        "Bits=4", "--set", "Ratio=6", "--set", "Mix Mode=+",
                                        "--set", "parallel=on", "--block", "300"});
    ASSERT_EQ(0, r.status) << r.err;

    Settings s;
    s.filterType = 2;
    s.cutoff = 1200.0;
    s.resonance = static_cast<float>(1.2); // parameters cross the Audio Unit interface as float
    s.bits = 4;
    s.ratio = 6;
    s.mixMode = 1;
    s.parallel = true;
    s.sampleRate = 48000.0;
    Audio out;
    ASSERT_TRUE(ReadAudio(folder / "out.wav", &out));
    EXPECT_EQ(48000, out.sampleRate);
    EXPECT_EQ(SF_FORMAT_WAV | SF_FORMAT_FLOAT, out.format);
    ExpectSameSamples(ReferenceRender(in, s, 300), out);
    // 9000 frames in 300-frame blocks at 48 kHz.
    EXPECT_NE(std::string::npos, r.out.find("frames    9000 (0.188 s at 48000 Hz, stereo"))
        << r.out;
}

TEST(CliRender, MonoFlacMatchesTheSignalChainInBlocksThatDoNotDivideTheFile) {
    ScratchFolder folder;
    const Audio written = MakeSignal(1, 44100, 5000);
    ASSERT_TRUE(WriteAudio(folder / "in.flac", written, SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
    Audio in; // what the 16-bit file really holds
    ASSERT_TRUE(ReadAudio(folder / "in.flac", &in));

    const CliResult r = RunCli(folder, {"render", "in.flac", "out.wav", "--set=Filter=hpf", "--set",
                                        "Cutoff=300", "--set", "Mix Mode=x", "--set", "Ratio=3",
                                        "--set", "Bits=7", "--block=333", "--quiet"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("", r.out); // --quiet

    Settings s;
    s.filterType = 1;
    s.cutoff = 300.0;
    s.mixMode = 2;
    s.ratio = 3;
    s.bits = 7;
    Audio out;
    ASSERT_TRUE(ReadAudio(folder / "out.wav", &out));
    EXPECT_EQ(1, out.channels);
    ExpectSameSamples(ReferenceRender(in, s, 333), out);
}

TEST(CliRender, BypassPassesTheInputAndTheTailAddsSilence) {
    ScratchFolder folder;
    const Audio in = MakeSignal(2, 22050, 3000);
    ASSERT_TRUE(WriteAudio(folder / "in.aiff", in, SF_FORMAT_AIFF | SF_FORMAT_FLOAT));

    const CliResult r = RunCli(
        folder, {"render", "in.aiff", "out.aiff", "--bypass", "--set", "Bits=1", "--tail", "0.1"});
    ASSERT_EQ(0, r.status) << r.err;
    Audio out;
    ASSERT_TRUE(ReadAudio(folder / "out.aiff", &out));
    EXPECT_EQ(SF_FORMAT_AIFF | SF_FORMAT_FLOAT, out.format); // chosen by the suffix
    ASSERT_EQ(3000 + 2205, out.Frames());                    // 0.1 s at 22050 Hz
    for (int64_t i = 0; i < 3000; ++i) {
        ASSERT_EQ(in.At(i, 0), out.At(i, 0)) << "frame " << i;
        ASSERT_EQ(in.At(i, 1), out.At(i, 1)) << "frame " << i;
    }
    for (int64_t i = 3000; i < out.Frames(); ++i)
        ASSERT_EQ(0.0f, out.At(i, 0)) << "frame " << i;
    EXPECT_NE(std::string::npos, r.out.find("(bypassed)")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("2205 of them tail")) << r.out;
}

TEST(CliRender, IntegerFormatsClipInsteadOfWrapping) {
    ScratchFolder folder;
    Audio in;
    in.channels = 1;
    in.sampleRate = 44100;
    in.samples = {0.5f, 1.5f, -1.5f, 0.25f};
    ASSERT_TRUE(WriteAudio(folder / "in.wav", in, SF_FORMAT_WAV | SF_FORMAT_FLOAT));

    const CliResult r =
        RunCli(folder, {"render", "in.wav", "out.wav", "--bypass", "--format", "wav16"});
    ASSERT_EQ(0, r.status) << r.err;
    Audio out;
    ASSERT_TRUE(ReadAudio(folder / "out.wav", &out));
    EXPECT_EQ(SF_FORMAT_WAV | SF_FORMAT_PCM_16, out.format);
    ASSERT_EQ(4, out.Frames());
    EXPECT_EQ(0.5f, out.samples[0]);
    EXPECT_NEAR(1.0f, out.samples[1], 1.0f / 32768);
    EXPECT_EQ(-1.0f, out.samples[2]);
    EXPECT_EQ(0.25f, out.samples[3]);
    EXPECT_NE(std::string::npos, r.out.find("clipped")) << r.out;
}

TEST(CliRender, DemoSignalRendersTheSameBytesEveryTimeAndMatchesTheSignalChain) {
    ScratchFolder folder;
    const std::vector<std::string> crunchy = {"--set", "Filter=BPF",    "--set", "Cutoff=1200",
                                              "--set", "Resonance=1.2", "--set", "Bits=4",
                                              "--set", "Ratio=6"};
    std::vector<std::string> first = {"render", "--demo", "a.wav"},
                             second = {"render", "--demo", "b.wav"};
    first.insert(first.end(), crunchy.begin(), crunchy.end());
    second.insert(second.end(), crunchy.begin(), crunchy.end());
    ASSERT_EQ(0, RunCli(folder, first).status);
    ASSERT_EQ(0, RunCli(folder, second).status);
    const std::string a = ReadBytes(folder / "a.wav");
    EXPECT_GT(a.size(), 264600u * 8); // 6 s of 44.1 kHz stereo float
    EXPECT_TRUE(a == ReadBytes(folder / "b.wav"));

    // The demo signal itself, through a bypassed unit, then through the model.
    ASSERT_EQ(0, RunCli(folder, {"render", "--demo", "dry.wav", "--bypass"}).status);
    Audio dry, wet;
    ASSERT_TRUE(ReadAudio(folder / "dry.wav", &dry));
    ASSERT_TRUE(ReadAudio(folder / "a.wav", &wet));
    EXPECT_EQ(2, dry.channels);
    EXPECT_EQ(44100, dry.sampleRate);
    Settings s;
    s.filterType = 2;
    s.cutoff = 1200.0;
    s.resonance = static_cast<float>(1.2);
    s.bits = 4;
    s.ratio = 6;
    ExpectSameSamples(ReferenceRender(dry, s, 512), wet);
}

TEST(CliRender, TheDemoWithARatioGivesTheSameBytesAtEveryBlockSize) {
    ScratchFolder folder;
    std::string first;
    for (const char* block : {"4096", "1", "7", "64", "512"}) {
        const std::string name = std::string("block") + block + ".wav";
        const CliResult r =
            RunCli(folder, {"render", "--demo", name, "--set", "Ratio=5", "--block", block, "-q"});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string bytes = ReadBytes(folder / name);
        if (first.empty()) first = bytes;
        EXPECT_TRUE(bytes == first) << "blocks of " << block;
    }
}
