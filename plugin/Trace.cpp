#include "plugin/Trace.h"

#include "containers/WDL_String.h"

#include <pthread.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <mutex>

#ifndef GRINDVOX_TRACE
#define GRINDVOX_TRACE 0
#endif

#if GRINDVOX_TRACE
namespace {

FILE* traceFile() {
#ifdef GRINDVOX_TRACE_FILE
    static FILE* file = std::fopen(GRINDVOX_TRACE_FILE, "a");
    return file ? file : stderr;
#else
    return stderr;
#endif
}

std::mutex& traceMutex() {
    static std::mutex mutex;
    return mutex;
}

} // namespace
#endif

void Trace(const char* function, int line, const char* format, ...) {
#if GRINDVOX_TRACE
    char buffer[1024];
    va_list args;
    va_start(args, format);
    const int length = FormatTraceLine(buffer, sizeof buffer, function, line, format, args);
    va_end(args);
    std::lock_guard<std::mutex> lock(traceMutex());
    std::fwrite(buffer, 1, static_cast<size_t>(length), traceFile());
    std::fflush(traceFile());
#else
    (void)function;
    (void)line;
    (void)format;
#endif
}

int FormatTraceLine(char* buffer, int size, const char* function, int line, const char* format,
                    va_list args) {
    if (size < 2) return 0;
    std::timespec now{};
    std::timespec_get(&now, TIME_UTC);
    std::tm utc{};
    gmtime_r(&now.tv_sec, &utc);
    char clock[16];
    std::strftime(clock, sizeof clock, "%H:%M:%S", &utc);

    int length = std::snprintf(buffer, static_cast<size_t>(size), "%s.%03ld [%lx] %s:%d ", clock,
                               now.tv_nsec / 1000000L, static_cast<unsigned long>(pthread_self()),
                               function ? function : "?", line);
    if (length < 0) length = 0;
    if (length < size - 1) {
        const int message =
            std::vsnprintf(buffer + length, static_cast<size_t>(size - length), format, args);
        if (message > 0) length += message;
    }
    if (length > size - 2) length = size - 2; // a cut line still ends in a newline
    buffer[length++] = '\n';
    buffer[length] = 0;
    return length;
}

const char* CurrentTime() {
    static char result[128];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);

    char stamp[64];
    char zone[64];
    std::strftime(stamp, sizeof stamp, "%Y%m%d %H:%M ", &local);
    if (std::strftime(zone, sizeof zone, "%Z", &local) == 0) zone[0] = 0;

    int length = std::snprintf(result, sizeof result, "%s", stamp);
    for (const char* c = zone; *c && length < static_cast<int>(sizeof result) - 1; ++c) {
        if (std::isupper(static_cast<unsigned char>(*c))) result[length++] = *c;
    }
    result[length] = 0;
    return result;
}

const char* AUSelectStr(int) {
    return "";
}
const char* AUPropertyStr(int) {
    return "";
}
const char* AUScopeStr(int) {
    return "";
}
const char* VSTOpcodeStr(int) {
    return "";
}

void CompileTimestamp(const char* date, const char* time, char* out) {
    // "[Dec  6 2026" is cut to "[Dec  6", then the month's separating space goes, so that a
    // padded day reads "[Dec 6" and a two-digit one "[Dec16"; the time keeps hours and minutes.
    char stamp[kCompileTimestampSize + 16];
    std::snprintf(stamp, sizeof stamp, "[%.6s", date ? date : "");
    const size_t n = std::strlen(stamp);
    if (n > 4) std::memmove(stamp + 4, stamp + 5, n - 4);
    const size_t used = std::strlen(stamp);
    std::snprintf(stamp + used, sizeof stamp - used, " %.12s", time ? time : "");
    if (std::strlen(stamp) > 12) stamp[12] = 0;
    std::snprintf(out, kCompileTimestampSize, "%.12s]", stamp);
}

const char* AppendTimestamp(const char* date, const char* time, const char* text) {
    static WDL_String stamped(text);
    char stamp[kCompileTimestampSize];
    CompileTimestamp(date, time, stamp);
    stamped.Append(" ");
    stamped.Append(stamp);
    return stamped.Get();
}

bool Timer::Every(double seconds) {
    const unsigned now = static_cast<unsigned>(std::clock());
    if (now - mLastTicks <= seconds * 1000000.0) return false;
    mLastTicks = now;
    return true;
}
