// The program never touches a file the user did not name as output: a lone file name is not
// taken for OUTPUT, links, pipes, FIFOs and devices are written, not replaced, an output that
// is an input is refused, and what it cannot read or write is a message and an exit status.
#include "tests/host/CliRunner.h"

#include <sndfile.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>

using namespace grindvox::test;

namespace {

constexpr int kFloatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

// A bypassed render gives back the input's samples exactly.
void ExpectSameAudio(const Audio& expected, const std::string& path) {
    Audio actual;
    ASSERT_TRUE(ReadAudio(path, &actual)) << path;
    ASSERT_EQ(expected.channels, actual.channels);
    ASSERT_EQ(expected.Frames(), actual.Frames());
    EXPECT_TRUE(expected.samples == actual.samples);
}

void ExpectSameAudioBytes(const Audio& expected, const ScratchFolder& folder,
                          const std::string& bytes) {
    ASSERT_TRUE(WriteBytes(folder / "decoded.wav", bytes));
    ExpectSameAudio(expected, folder / "decoded.wav");
    unlink((folder / "decoded.wav").c_str());
}

bool LibraryWrites(int format) {
    SF_INFO info = {};
    info.samplerate = 48000;
    info.channels = 2;
    info.format = format;
    return sf_format_check(&info) != 0;
}

struct stat LinkStat(const std::string& path) {
    struct stat s = {};
    lstat(path.c_str(), &s);
    return s;
}

// The offset of the first sample in a WAV ("data") or AIFF ("SSND", after offset and block
// size) file written by libsndfile.
size_t SampleOffset(const std::string& bytes, const std::string& chunk) {
    const size_t at = bytes.find(chunk);
    return at == std::string::npos ? 0 : at + 8 + (chunk == "SSND" ? 8 : 0);
}

} // namespace

TEST(CliSafety, OneFileNameIsAUsageErrorThatLeavesTheFileAlone) {
    ScratchFolder folder;
    ASSERT_TRUE(WriteAudio(folder / "mysong.wav", MakeSignal(2, 44100, 500), kFloatWav));
    const std::string before = ReadBytes(folder / "mysong.wav");

    const CliResult r = RunCli(folder, {"render", "mysong.wav", "--set", "Bits=4"});
    EXPECT_EQ(2, r.status);
    EXPECT_NE(std::string::npos, r.err.find("render --demo mysong.wav")) << r.err;
    EXPECT_TRUE(before == ReadBytes(folder / "mysong.wav"));
    EXPECT_EQ(std::vector<std::string>{"mysong.wav"}, folder.Names());
}

TEST(CliSafety, ALinkIsWrittenThroughToItsTargetWhichKeepsItsPermissions) {
    ScratchFolder folder;
    const Audio in = MakeSignal(2, 44100, 700);
    ASSERT_TRUE(WriteAudio(folder / "in.wav", in, kFloatWav));
    ASSERT_EQ(0, mkdir((folder / "takes").c_str(), 0755));
    ASSERT_TRUE(WriteBytes(folder / "takes/old.wav", "yesterday"));
    ASSERT_EQ(0, chmod((folder / "takes/old.wav").c_str(), 0640));
    ASSERT_EQ(0, symlink("takes/old.wav", (folder / "out.wav").c_str()));
    // A link to nothing yet: its target is created.
    ASSERT_EQ(0, symlink("takes/new.wav", (folder / "fresh.wav").c_str()));

    for (const char* output : {"out.wav", "fresh.wav"}) {
        const CliResult r = RunCli(folder, {"render", "in.wav", output, "--bypass", "-q"});
        ASSERT_EQ(0, r.status) << r.err;
        EXPECT_TRUE(S_ISLNK(LinkStat(folder / output).st_mode)) << output;
    }
    ExpectSameAudio(in, folder / "takes/old.wav");
    ExpectSameAudio(in, folder / "takes/new.wav");
    EXPECT_EQ(0640u, LinkStat(folder / "takes/old.wav").st_mode & 07777);
    EXPECT_EQ(std::vector<std::string>({"fresh.wav", "in.wav", "out.wav", "takes"}),
              folder.Names());
}

TEST(CliSafety, StandardStreamsPipesAndFifosAreWrittenInPlace) {
    ScratchFolder folder;
    const Audio in = MakeSignal(2, 44100, 3000);
    ASSERT_TRUE(WriteAudio(folder / "in.wav", in, kFloatWav));
    const std::string inBytes = ReadBytes(folder / "in.wav");
    CliStreams pipeOut;
    pipeOut.outputThroughPipe = true;

    // `-` and a path to standard output, a pipe that libsndfile cannot seek back in: WAV,
    // with the summary on standard error, out of the audio's way.
    for (const char* output : {"-", "/proc/self/fd/1"}) {
        SCOPED_TRACE(output);
        const CliResult r = RunCli(folder, {"render", "in.wav", output, "--bypass"}, pipeOut);
        ASSERT_EQ(0, r.status) << r.err;
        ExpectSameAudioBytes(in, folder, r.out);
        EXPECT_NE(std::string::npos, r.err.find("in.wav -> ")) << r.err;
    }

    // Standard input, from a pipe, into a file.
    CliStreams pipeIn;
    pipeIn.input = &inBytes;
    CliResult r = RunCli(folder, {"render", "-", "out.wav", "--bypass", "-q"}, pipeIn);
    ASSERT_EQ(0, r.status) << r.err;
    ExpectSameAudio(in, folder / "out.wav");

    // A FIFO stays a FIFO, and its reader gets the whole file.
    ASSERT_EQ(0, mkfifo((folder / "fifo.wav").c_str(), 0644));
    std::string fromFifo;
    std::thread reader([&] { fromFifo = ReadBytes(folder / "fifo.wav"); });
    r = RunCli(folder, {"render", "in.wav", "fifo.wav", "--bypass", "-q"});
    reader.join();
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_TRUE(S_ISFIFO(LinkStat(folder / "fifo.wav").st_mode));
    ExpectSameAudioBytes(in, folder, fromFifo);
}

TEST(CliSafety, ADeviceStaysADevice) {
    ScratchFolder folder;
    ASSERT_TRUE(WriteAudio(folder / "in.wav", MakeSignal(1, 44100, 100), kFloatWav));
    // A private /dev/null, so that a fault replaces nothing the machine needs.
    if (mknod((folder / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "making a device node needs privileges";
    const CliResult r = RunCli(folder, {"render", "in.wav", "null", "-q"});
    ASSERT_EQ(0, r.status) << r.err; // no suffix: a device gets WAV
    EXPECT_TRUE(S_ISCHR(LinkStat(folder / "null").st_mode));
}

TEST(CliSafety, AnOutputThatIsAnInputIsRefusedBeforeAnythingIsTouched) {
    ScratchFolder folder;
    ASSERT_TRUE(WriteAudio(folder / "in.wav", MakeSignal(2, 44100, 400), kFloatWav));
    ASSERT_EQ(0, RunCli(folder, {"info", "--save-state", "s.aupreset"}).status);
    ASSERT_EQ(0, symlink("in.wav", (folder / "link.wav").c_str()));
    ASSERT_EQ(0, link((folder / "in.wav").c_str(), (folder / "hard.wav").c_str()));
    const std::vector<std::string> names = folder.Names();
    const std::string audio = ReadBytes(folder / "in.wav");
    const std::string state = ReadBytes(folder / "s.aupreset");

    const std::vector<std::vector<std::string>> runs = {
        {"render", "in.wav", "in.wav"},
        {"render", "in.wav", "./in.wav"},
        {"render", "in.wav", "link.wav"},
        {"render", "link.wav", "hard.wav"},
        {"render", "in.wav", "out.wav", "--save-state", "link.wav"},
        {"render", "in.wav", "s.aupreset", "--state", "s.aupreset", "--format", "wav"},
        {"render", "in.wav", "out.wav", "--state", "s.aupreset", "--save-state", "s.aupreset"},
        {"render", "in.wav", "new.wav", "--save-state", "./new.wav"},
        {"info", "--state", "s.aupreset", "--save-state", "s.aupreset"},
    };
    for (const std::vector<std::string>& args : runs) {
        SCOPED_TRACE(args[1] + " " + args[2] + (args.size() > 3 ? " " + args[3] : ""));
        const CliResult r = RunCli(folder, args);
        EXPECT_EQ(2, r.status);
        EXPECT_NE(std::string::npos, r.err.find("the same file")) << r.err;
        EXPECT_EQ("", r.out);
    }
    EXPECT_TRUE(audio == ReadBytes(folder / "in.wav"));
    EXPECT_EQ(state, ReadBytes(folder / "s.aupreset"));
    EXPECT_EQ(names, folder.Names());
}

TEST(CliSafety, FilesThatCannotBeReadOrWrittenAreMessagesNamingThem) {
    ScratchFolder folder;
    ASSERT_TRUE(WriteAudio(folder / "in.wav", MakeSignal(2, 44100, 400), kFloatWav));
    ASSERT_EQ(0, mkdir((folder / "dir").c_str(), 0755));
    // One byte over the cap; a real state is a few hundred bytes.
    ASSERT_TRUE(WriteBytes(folder / "huge.aupreset", std::string(1024 * 1024 + 1, ' ')));

    const std::vector<std::pair<std::vector<std::string>, std::string>> runs = {
        {{"render", "in.wav", "out.wav", "--state", "dir"}, "cannot read \"dir\": it is a folder"},
        {{"info", "--state", "dir"}, "cannot read \"dir\": it is a folder"},
        {{"info", "--state", "huge.aupreset"}, "\"huge.aupreset\": it is 1048577 bytes, more than"},
        {{"render", "dir", "out.wav"}, "cannot read \"dir\": it is a folder"},
        {{"render", "in.wav", "dir"}, "cannot write \"dir\": it is a folder"},
        {{"render", "in.wav", "out.wav", "--save-state", "dir"}, "cannot write \"dir\""},
    };
    for (const auto& [args, message] : runs) {
        SCOPED_TRACE(message);
        const CliResult r = RunCli(folder, args);
        EXPECT_EQ(1, r.status); // not 134: nothing aborts
        EXPECT_NE(std::string::npos, r.err.find(message)) << r.err;
    }
    EXPECT_EQ(std::vector<std::string>({"dir", "huge.aupreset", "in.wav"}), folder.Names());
}

TEST(CliSafety, AnInputThatEndsEarlyRendersWithAWarningOfFramesReadAndDeclared) {
    ScratchFolder folder;
    // Eight seconds declared, 1000 frames there: the file a copy that stopped short leaves.
    const Audio full = MakeSignal(2, 44100, 352800);
    const struct {
        const char* name;
        int format;
        const char* chunk;
    } files[] = {{"cut.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, "data"},
                 {"cut.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, "SSND"}};
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        ASSERT_TRUE(WriteAudio(folder / file.name, full, file.format));
        const std::string bytes = ReadBytes(folder / file.name);
        const size_t samples = SampleOffset(bytes, file.chunk);
        ASSERT_GT(samples, 0u);
        ASSERT_TRUE(WriteBytes(folder / file.name, bytes.substr(0, samples + 1000 * 4)));

        const CliResult r = RunCli(folder, {"render", file.name, "out.wav", "-q"});
        EXPECT_EQ(0, r.status) << r.err;
        EXPECT_NE(std::string::npos,
                  r.err.find("ended early: 1000 frames read of 352800 its header declares"))
            << r.err;
        Audio out;
        ASSERT_TRUE(ReadAudio(folder / "out.wav", &out));
        EXPECT_EQ(1000, out.Frames());
    }
    // A FLAC stream cut in the middle breaks off where the decoder loses it: the frames before
    // render, and both the decoder's complaint and the count are reported.
    ASSERT_TRUE(WriteAudio(folder / "cut.flac", full, SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
    const std::string flac = ReadBytes(folder / "cut.flac");
    ASSERT_TRUE(WriteBytes(folder / "cut.flac", flac.substr(0, flac.size() / 2)));
    const CliResult r = RunCli(folder, {"render", "cut.flac", "out.wav", "-q"});
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("\"cut.flac\" may be damaged or cut short")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("of 352800 it should hold")) << r.err;
    Audio out;
    ASSERT_TRUE(ReadAudio(folder / "out.wav", &out));
    EXPECT_GT(out.Frames(), 0);
    EXPECT_LT(out.Frames(), 352800);

    // A whole file says nothing.
    ASSERT_TRUE(WriteAudio(folder / "whole.wav", MakeSignal(2, 44100, 1000), kFloatWav));
    EXPECT_EQ("", RunCli(folder, {"render", "whole.wav", "out.wav", "-q"}).err);
}

TEST(CliSafety, TheOutputsNameChoosesItsFormatOrIsRefused) {
    ScratchFolder folder;
    ASSERT_TRUE(WriteAudio(folder / "in.wav", MakeSignal(2, 44100, 2000), kFloatWav));
    ASSERT_TRUE(WriteAudio(folder / "in48.wav", MakeSignal(2, 48000, 2000), kFloatWav));

    // Refused before anything is written: no suffix, a suffix no format has.
    for (const char* output : {"out", "out.xyz", "out.wav.bak"}) {
        SCOPED_TRACE(output);
        const CliResult r = RunCli(folder, {"render", "in.wav", output});
        EXPECT_EQ(2, r.status);
        EXPECT_NE(std::string::npos, r.err.find("--format (wav, wav16, wav24, aiff")) << r.err;
    }
    if (!LibraryWrites(SF_FORMAT_OGG | SF_FORMAT_OPUS)) GTEST_SKIP() << "no Opus encoder";
    // Opus is tried at the render's rate: 44.1 kHz is refused with the library's reason.
    CliResult r = RunCli(folder, {"render", "in.wav", "out.opus"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("at 44100 Hz: Opus only supports")) << r.err;
    EXPECT_EQ(std::vector<std::string>({"in.wav", "in48.wav"}), folder.Names());

    const struct {
        const char* input;
        const char* output;
        int format;
    } written[] = {{"in48.wav", "out.opus", SF_FORMAT_OGG | SF_FORMAT_OPUS},
                   {"in.wav", "out.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
                   {"in.wav", "OUT.AIF", SF_FORMAT_AIFF | SF_FORMAT_FLOAT},
                   {"in.wav", "out.oga", SF_FORMAT_OGG | SF_FORMAT_VORBIS}};
    for (const auto& w : written) {
        SCOPED_TRACE(w.output);
        if (!LibraryWrites(w.format)) continue; // a libsndfile built without that encoder
        r = RunCli(folder, {"render", w.input, w.output, "-q"});
        ASSERT_EQ(0, r.status) << r.err;
        Audio out;
        ASSERT_TRUE(ReadAudio(folder / w.output, &out));
        EXPECT_EQ(w.format, out.format);
    }
}
