#pragma once

#include <string>

// What happens when the user stops the program with Ctrl-C (or it gets SIGTERM or SIGHUP):
// the temporary files it is writing are removed, a line that a progress bar was drawing is
// ended, the program says "interrupted" on standard error and exits 128 + the signal number
// (130 for Ctrl-C). The handler uses only fixed storage, so the few temporary files a run
// writes at once have slots of their own.

// Installs the handlers; harmless when called again.
void InstallInterruptionHandlers();

// Hands the handler a temporary file to remove; returns the slot, or -1 when every slot is in
// use or the name is too long (the file is then left behind by an interruption, to be cleared
// by a later run).
int RegisterTemporary(const std::string& path);
// The file of `slot` is gone or finished; -1 is ignored.
void ForgetTemporary(int slot);

// Whether standard error's current line holds a progress bar the handler must end first.
void SetProgressLineOpen(bool open);
