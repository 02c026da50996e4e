#include "AppKitX11_p.h"
#include "HelperProcess_p.h"

#include <AppKit/NSString.h>
#include <AppKit/NSTimer.h>
#include <CoreFoundation/CFFileDescriptor.h>
#include <CoreFoundation/CFRunLoop.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace appkit {
namespace {

// Programs still running when their caller stopped waiting; reaped at the next helper.
std::vector<pid_t> gOrphans;

void reapOrphans() {
    for (size_t i = gOrphans.size(); i-- > 0;) {
        int status;
        if (waitpid(gOrphans[i], &status, WNOHANG) != 0)
            gOrphans.erase(gOrphans.begin() + static_cast<long>(i));
    }
}

struct Reader {
    int fd;
    std::string* output;
    bool done = false;
};

void readable(CFFileDescriptorRef f, CFOptionFlags, void* info) {
    auto* reader = static_cast<Reader*>(info);
    char chunk[4096];
    ssize_t n = read(reader->fd, chunk, sizeof chunk);
    if (n > 0) {
        reader->output->append(chunk, static_cast<size_t>(n));
        CFFileDescriptorEnableCallBacks(f, kCFFileDescriptorReadCallBack);
        return;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
        CFFileDescriptorEnableCallBacks(f, kCFFileDescriptorReadCallBack);
        return;
    }
    reader->done = true;
}

} // namespace

HelperResult RunHelper(const std::vector<std::string>& argv, bool captureOutput, double timeout) {
    HelperResult result;
    reapOrphans();
    if (argv.empty()) return result;
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    int pipeFds[2] = {-1, -1};
    if (captureOutput && pipe2(pipeFds, O_CLOEXEC) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (captureOutput)
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int error = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (captureOutput) close(pipeFds[1]);
    if (error != 0) {
        if (captureOutput) close(pipeFds[0]);
        fprintf(stderr, "%s could not be run (%s)\n", args[0], strerror(error));
        return result;
    }
    result.started = true;

    // Waiting is modal: no window takes input until the helper is done.
    BeginModalSession(0);
    CFStringRef mode = NSModalPanelRunLoopMode->copyCFString();
    CFAbsoluteTime deadline = CFAbsoluteTimeGetCurrent() + timeout;
    Reader reader{captureOutput ? pipeFds[0] : -1, &result.output};
    CFFileDescriptorRef f = nullptr;
    CFRunLoopSourceRef source = nullptr;
    if (captureOutput) {
        CFFileDescriptorContext context = {0, &reader, nullptr, nullptr, nullptr};
        f = CFFileDescriptorCreate(nullptr, pipeFds[0], true, readable, &context);
        if (f) {
            CFFileDescriptorEnableCallBacks(f, kCFFileDescriptorReadCallBack);
            source = CFFileDescriptorCreateRunLoopSource(nullptr, f, 0);
            CFRunLoopAddSource(CFRunLoopGetCurrent(), source, mode);
        } else {
            close(pipeFds[0]);
            reader.done = true;
        }
    }
    // A short timer keeps the nested loop turning while it polls for the exit.
    CFRunLoopTimerRef tick = CFRunLoopTimerCreate(
        nullptr, CFAbsoluteTimeGetCurrent(), 0.02, 0, 0, [](CFRunLoopTimerRef, void*) {}, nullptr);
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), tick, mode);
    bool exited = false;
    int status = 0;
    while (CFAbsoluteTimeGetCurrent() < deadline) {
        if (!exited && waitpid(pid, &status, WNOHANG) == pid) exited = true;
        if (exited && (!captureOutput || reader.done)) break;
        CFRunLoopRunInMode(mode, 0.05, true);
    }
    CFRunLoopTimerInvalidate(tick);
    CFRelease(tick);
    if (f) {
        CFFileDescriptorInvalidate(f);
        CFRelease(f);
    }
    if (source) CFRelease(source);
    CFRelease(mode);
    EndModalSession();
    if (!exited) {
        gOrphans.push_back(pid);
        return result;
    }
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace appkit
