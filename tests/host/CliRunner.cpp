#include "tests/host/CliRunner.h"

#include <sndfile.h>

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <signal.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace grindvox::test {

ScratchFolder::ScratchFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/grindvox-cli-XXXXXX";
    if (mkdtemp(pattern.data())) mPath = pattern;
}

ScratchFolder::~ScratchFolder() {
    if (mPath.empty()) return;
    // Everything under it, folders after their contents, links themselves rather than targets.
    nftw(
        mPath.c_str(),
        [](const char* path, const struct stat*, int, FTW*) {
            remove(path);
            return 0;
        },
        16, FTW_DEPTH | FTW_PHYS);
}

std::vector<std::string> ScratchFolder::Names() const {
    std::vector<std::string> names;
    DIR* dir = opendir(mPath.c_str());
    if (!dir) return names;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

// Becomes `program` (found on PATH when the name has no slash) in the child.
[[noreturn]] void execProgram(const char* program, const ScratchFolder& folder,
                              const std::vector<std::string>& args, int inFd, int outFd) {
    const int err = open((folder / ".stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int out =
        outFd >= 0 ? outFd : open((folder / ".stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = inFd >= 0 ? inFd : open("/dev/null", O_RDONLY);
    if (chdir(folder.Path().c_str()) != 0 || out < 0 || err < 0 || in < 0) _exit(127);
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execvp(program, argv.data());
    _exit(127);
}

CliResult collect(const ScratchFolder& folder, pid_t pid, int* signalNumber) {
    CliResult result;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid) {
        if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
        if (signalNumber) *signalNumber = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
    result.out = ReadBytes(folder / ".stdout");
    result.err = ReadBytes(folder / ".stderr");
    unlink((folder / ".stdout").c_str());
    unlink((folder / ".stderr").c_str());
    return result;
}

} // namespace

CliResult RunCli(const ScratchFolder& folder, const std::vector<std::string>& args) {
    return RunCli(folder, args, CliStreams{});
}

CliResult RunCli(const ScratchFolder& folder, const std::vector<std::string>& args,
                 const CliStreams& streams) {
    int inPipe[2] = {-1, -1}, outPipe[2] = {-1, -1};
    if ((streams.input && pipe(inPipe) != 0) || (streams.outputThroughPipe && pipe(outPipe) != 0))
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        if (inPipe[1] >= 0) close(inPipe[1]);
        if (outPipe[0] >= 0) close(outPipe[0]);
        execProgram(GRINDVOX_CLI, folder, args, inPipe[0], outPipe[1]);
    }
    if (inPipe[0] >= 0) close(inPipe[0]);
    if (outPipe[1] >= 0) close(outPipe[1]);
    // The input goes in from a thread of its own, so a program that writes before it has read
    // everything cannot stall the two sides against each other.
    std::thread feeder;
    if (streams.input) {
        feeder = std::thread([fd = inPipe[1], bytes = *streams.input] {
            signal(SIGPIPE, SIG_IGN);
            size_t done = 0;
            while (done < bytes.size()) {
                const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
                if (n <= 0) break;
                done += static_cast<size_t>(n);
            }
            close(fd);
        });
    }
    std::string piped;
    if (outPipe[0] >= 0) {
        char buffer[1 << 16];
        ssize_t n;
        while ((n = read(outPipe[0], buffer, sizeof buffer)) > 0)
            piped.append(buffer, static_cast<size_t>(n));
        close(outPipe[0]);
    }
    if (feeder.joinable()) feeder.join();
    CliResult result = collect(folder, pid, nullptr);
    if (streams.outputThroughPipe) result.out = piped;
    return result;
}

CliResult RunProgram(const ScratchFolder& folder, const std::string& program,
                     const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) execProgram(program.c_str(), folder, args, -1, -1);
    return collect(folder, pid, nullptr);
}

BackgroundCli::BackgroundCli(const ScratchFolder& folder, const std::vector<std::string>& args)
    : mFolder(folder) {
    mPid = fork();
    if (mPid == 0) execProgram(GRINDVOX_CLI, folder, args, -1, -1);
}

BackgroundCli::~BackgroundCli() {
    if (mPid <= 0) return;
    kill(mPid, SIGKILL);
    Wait();
}

CliResult BackgroundCli::Wait(int* signalNumber) {
    const pid_t pid = mPid;
    mPid = -1;
    return collect(mFolder, pid, signalNumber);
}

bool WriteAudio(const std::string& path, const Audio& audio, int format) {
    SF_INFO info = {};
    info.channels = audio.channels;
    info.samplerate = audio.sampleRate;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    const sf_count_t written = sf_writef_float(file, audio.samples.data(), audio.Frames());
    return sf_close(file) == 0 && written == audio.Frames();
}

bool ReadAudio(const std::string& path, Audio* audio) {
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return false;
    audio->channels = info.channels;
    audio->sampleRate = info.samplerate;
    audio->format = info.format;
    audio->samples.assign(static_cast<size_t>(info.frames * info.channels), 0.0f);
    const sf_count_t read = sf_readf_float(file, audio->samples.data(), info.frames);
    sf_close(file);
    return read == info.frames;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

bool Exists(const std::string& path) {
    struct stat s;
    return stat(path.c_str(), &s) == 0;
}

Audio MakeSignal(int channels, int sampleRate, int frames) {
    Audio audio;
    audio.channels = channels;
    audio.sampleRate = sampleRate;
    audio.samples.resize(static_cast<size_t>(channels) * frames);
    uint32_t noise = 777;
    for (int i = 0; i < frames; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double n = (static_cast<double>(noise >> 8) / 16777216.0 - 0.5) * 0.3;
        for (int c = 0; c < channels; ++c) {
            double v = 0.45 * std::sin(i * (0.013 + 0.011 * c)) + 0.25 * std::sin(i * 0.29) +
                       (c % 2 ? -n : n);
            // Exact silence in every channel, then in the first one only.
            if (i >= 1000 && i < 1100) v = 0.0;
            if (c == 0 && i >= 2000 && i < 2100) v = 0.0;
            audio.samples[static_cast<size_t>(i) * channels + c] = static_cast<float>(v);
        }
    }
    return audio;
}

} // namespace grindvox::test
