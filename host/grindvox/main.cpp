// grindvox: renders audio through Grindvox.component and lists it, hosting it through its
// Audio Unit interface like any other host.
#include "host/grindvox/Arguments.h"
#include "host/grindvox/Commands.h"

#include <cstdio>
#include <exception>
#include <new>

namespace {

Failure run(int argc, char** argv) {
    Invocation invocation;
    Failure failure = ParseArguments(argc, argv, &invocation);
    if (failure.Failed()) return failure;
    if (invocation.version) {
        std::fputs(VersionText().c_str(), stdout);
        return {};
    }
    if (invocation.help) {
        std::fputs(HelpText(invocation.command).c_str(), stdout);
        return {};
    }
    return invocation.command == Command::Render ? RunRender(invocation) : RunInfo(invocation);
}

} // namespace

int main(int argc, char** argv) {
    Failure failure;
    // Failures are values here; what the libraries underneath may still throw (memory running
    // out) ends the run with a message rather than an abort.
    try {
        failure = run(argc, argv);
    } catch (const std::bad_alloc&) {
        failure = RunError("out of memory");
    } catch (const std::exception& e) {
        failure = RunError(std::string("internal error: ") + e.what());
    }
    if (!failure.Failed()) return kExitSuccess;
    std::fprintf(stderr, "grindvox: %s\n", failure.message.c_str());
    return failure.status;
}
