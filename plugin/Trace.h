#pragma once

// The diagnostic hook every plug-in and adapter entry point calls with its own name, line and a
// printf-style description. A normal build writes nothing and the plug-in's behaviour never
// depends on it; building with GRINDVOX_TRACE=ON gives it a back end.
void Trace(const char* function, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

#define TRACE_CALL(...) Trace(__FUNCTION__, __LINE__, __VA_ARGS__)

// Local time as "YYYYmmdd HH:MM " followed by the time zone's upper-case letters. Returns one
// static buffer that every call overwrites; not for concurrent use.
const char* CurrentTime();
