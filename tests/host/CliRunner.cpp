#include "tests/host/CliRunner.h"

#include <sndfile.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace grindvox::test {

ScratchFolder::ScratchFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/grindvox-cli-XXXXXX";
    if (mkdtemp(pattern.data())) mPath = pattern;
}

ScratchFolder::~ScratchFolder() {
    if (mPath.empty()) return;
    for (const std::string& name : Names())
        unlink((mPath + "/" + name).c_str());
    rmdir(mPath.c_str());
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

CliResult RunCli(const ScratchFolder& folder, const std::vector<std::string>& args) {
    return RunProgram(folder, GRINDVOX_CLI, args);
}

CliResult RunProgram(const ScratchFolder& folder, const std::string& program,
                     const std::vector<std::string>& args) {
    const std::string outPath = folder / ".stdout";
    const std::string errPath = folder / ".stderr";
    CliResult result;
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.Path().c_str()) != 0) _exit(127);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0) _exit(127);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execvp(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    result.out = ReadBytes(outPath);
    result.err = ReadBytes(errPath);
    unlink(outPath.c_str());
    unlink(errPath.c_str());
    return result;
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
