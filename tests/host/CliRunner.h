#pragma once

// Runs the grindvox program in a scratch folder of its own and collects what it printed, and
// reads and writes the audio files the tests hand it, through libsndfile directly.

#include <cstdint>
#include <string>
#include <vector>

namespace grindvox::test {

struct CliResult {
    int status = -1; // the exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// A fresh folder under $TMPDIR, removed with everything in it (folders too) at the end of the
// test.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return mPath; }
    std::string operator/(const std::string& name) const { return mPath + "/" + name; }
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::string mPath;
};

// Runs grindvox with `args` (no shell: each is one argument) in `folder`.
CliResult RunCli(const ScratchFolder& folder, const std::vector<std::string>& args);
// The same for any program, found on PATH when the name has no slash.
CliResult RunProgram(const ScratchFolder& folder, const std::string& program,
                     const std::vector<std::string>& args);

// How RunCli connects the standard streams beyond its defaults (standard input empty and a
// file, standard output a file).
struct CliStreams {
    const std::string* input = nullptr; // fed through a pipe, when given
    bool outputThroughPipe = false;     // standard output a pipe, read as the program writes
};
CliResult RunCli(const ScratchFolder& folder, const std::vector<std::string>& args,
                 const CliStreams& streams);

// A run in the background, to be signalled; Wait collects it as RunCli does, with status -1
// and `signal` set when a signal ended it.
class BackgroundCli {
public:
    BackgroundCli(const ScratchFolder& folder, const std::vector<std::string>& args);
    ~BackgroundCli();
    BackgroundCli(const BackgroundCli&) = delete;
    BackgroundCli& operator=(const BackgroundCli&) = delete;

    int Pid() const { return mPid; }
    CliResult Wait(int* signalNumber = nullptr);

private:
    const ScratchFolder& mFolder;
    int mPid = -1;
};

struct Audio {
    int channels = 0;
    int sampleRate = 0;
    int format = 0;             // libsndfile's format word
    std::vector<float> samples; // interleaved

    int64_t Frames() const {
        return channels ? static_cast<int64_t>(samples.size()) / channels : 0;
    }
    float At(int64_t frame, int channel) const {
        return samples[static_cast<size_t>(frame * channels + channel)];
    }
};

bool WriteAudio(const std::string& path, const Audio& audio, int format);
// False when libsndfile cannot read the file.
bool ReadAudio(const std::string& path, Audio* audio);
std::string ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);

// Tones and noise with exact silences, peaking below full scale; channel c differs from c-1.
Audio MakeSignal(int channels, int sampleRate, int frames);

} // namespace grindvox::test
