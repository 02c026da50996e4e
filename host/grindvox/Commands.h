#pragma once

#include "host/grindvox/Arguments.h"
#include "host/grindvox/ExitStatus.h"

// The program's commands. Each prints its results on standard output and hands its failure,
// if any, back to main to print and exit with.
Failure RunRender(const Invocation& invocation);
Failure RunInfo(const Invocation& invocation);
Failure RunEdit(const Invocation& invocation);
Failure RunScreenshot(const Invocation& invocation);
