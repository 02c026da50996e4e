// grindvox: renders audio through Grindvox.component and lists it, hosting it through its
// Audio Unit interface like any other host.
#include "host/grindvox/Arguments.h"
#include "host/grindvox/Commands.h"

#include <cstdio>

int main(int argc, char** argv) {
    Invocation invocation;
    Failure failure = ParseArguments(argc, argv, &invocation);
    if (!failure.Failed() && invocation.help) {
        std::fputs(HelpText(invocation.command).c_str(), stdout);
        return kExitSuccess;
    }
    if (!failure.Failed()) {
        failure =
            invocation.command == Command::Render ? RunRender(invocation) : RunInfo(invocation);
    }
    if (!failure.Failed()) return kExitSuccess;
    std::fprintf(stderr, "grindvox: %s\n", failure.message.c_str());
    return failure.status;
}
