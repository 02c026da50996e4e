// What writing to a pipe costs against writing to a file: the real grindvox program renders
// the demo signal with a long tail into a regular file (temporary file renamed over the
// destination) and into standard output through a pipe (rendered into an unnamed temporary
// file, then copied out, because WAV headers are finished last). The difference is the copy.
//
// Usage: output_benchmark [SECONDS]   (default 120 s of audio; each way runs three times, the
// fastest run counts)
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 3;

using Clock = std::chrono::steady_clock;

// Runs grindvox with `args`; with `pipeOut`, its standard output is a pipe this process drains.
// Returns the seconds taken and the bytes that came through the pipe, or -1 on failure.
double run(const std::vector<std::string>& args, bool pipeOut, long long* piped) {
    int fds[2] = {-1, -1};
    if (pipeOut && pipe(fds) != 0) return -1.0;
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (pipeOut) dup2(fds[1], STDOUT_FILENO);
        if (pipeOut) close(fds[0]);
        std::vector<char*> argv = {const_cast<char*>(GRINDVOX_CLI)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(GRINDVOX_CLI, argv.data());
        _exit(127);
    }
    *piped = 0;
    if (pipeOut) {
        close(fds[1]);
        std::vector<char> buffer(1 << 16);
        ssize_t n;
        while ((n = read(fds[0], buffer.data(), buffer.size())) > 0)
            *piped += n;
        close(fds[0]);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1.0;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 120.0;
    if (!(seconds >= 6.0 && seconds <= 3600.0)) {
        std::fprintf(stderr, "usage: output_benchmark [SECONDS], 6 <= SECONDS <= 3600\n");
        return 2;
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/grindvox-bench-XXXXXX";
    if (!mkdtemp(folder.data())) return 1;
    const std::string file = folder + "/out.wav";
    const std::string tail = std::to_string(seconds - 6.0);

    double bestFile = 1e30, bestPipe = 1e30;
    long long bytes = 0;
    for (int i = 0; i < kRuns; ++i) {
        long long unused = 0;
        const double toFile = run({"render", "--demo", file, "--tail", tail, "-q"}, false, &unused);
        const double toPipe = run({"render", "--demo", "-", "--tail", tail, "-q"}, true, &bytes);
        if (toFile < 0.0 || toPipe < 0.0) {
            std::fprintf(stderr, "output_benchmark: a render failed\n");
            return 1;
        }
        bestFile = std::min(bestFile, toFile);
        bestPipe = std::min(bestPipe, toPipe);
    }
    unlink(file.c_str());
    rmdir(folder.c_str());
    std::printf("%.0f s of 44.1 kHz stereo demo signal as float WAV (%.1f MB); best of %d runs\n",
                seconds, bytes / 1e6, kRuns);
    std::printf("  into a file              %8.3f s\n", bestFile);
    std::printf("  into a pipe (copied out) %8.3f s  %+.1f %%\n", bestPipe,
                100.0 * (bestPipe - bestFile) / bestFile);
    return 0;
}
