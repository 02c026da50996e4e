#pragma once

#include <cstdarg>
#include <ctime>

// The diagnostic hook every plug-in and adapter entry point calls with its own name, line and a
// printf-style description. A normal build writes nothing and the plug-in's behaviour never
// depends on it. Configuring with -DGRINDVOX_TRACE=ON gives it a back end: one line per call
// with the time, the thread, the function, the line and the message, to standard error, or to
// the file named by -DGRINDVOX_TRACE_FILE=path.
void Trace(const char* function, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

#define TRACE_CALL(...) Trace(__FUNCTION__, __LINE__, __VA_ARGS__)

// Formats one trace line (ending in a newline) into buffer; returns its length. Always
// compiled, so the line's form can be checked whatever the build.
int FormatTraceLine(char* buffer, int size, const char* function, int line, const char* format,
                    va_list args);

// Local time as "YYYYmmdd HH:MM " followed by the time zone's upper-case letters. Returns one
// static buffer that every call overwrites; not for concurrent use.
const char* CurrentTime();

// Names of selectors, properties, scopes and opcodes for trace lines: "" while tracing is off.
const char* AUSelectStr(int select);
const char* AUPropertyStr(int propID);
const char* AUScopeStr(int scope);
const char* VSTOpcodeStr(int opCode);

// "[Dec 6 23:47]" from the compiler's __DATE__ ("Dec  6 2026") and __TIME__ ("23:47:05"); out
// holds kCompileTimestampSize bytes.
constexpr int kCompileTimestampSize = 32;
void CompileTimestamp(const char* date, const char* time, char* out);
// A static text: `text` on the first call, then " " and the compile timestamp appended on every
// call. Not for concurrent use.
const char* AppendTimestamp(const char* date, const char* time, const char* text);

// Measures processor time since construction or the last time Every() fired.
class Timer {
public:
    Timer() : mLastTicks(static_cast<unsigned>(std::clock())) {}
    // True, and restarted, once more than `seconds` have passed.
    bool Every(double seconds);

private:
    unsigned mLastTicks; // clock() ticks, kept in 32 bits
};
