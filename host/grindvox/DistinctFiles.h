#pragma once

#include "host/grindvox/Arguments.h"
#include "host/grindvox/ExitStatus.h"

// Refuses, before anything is read or written, a command line that would write over a file it
// reads (OUTPUT or --save-state naming INPUT or the --state file, by the same name, another
// link or another path to the same file) or write two outputs into one file. Names are
// compared by what they lead to, `-` by the standard stream it stands for.
Failure CheckFilesAreDistinct(const Invocation& invocation);
