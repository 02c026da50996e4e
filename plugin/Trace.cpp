#include "plugin/Trace.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <ctime>

void Trace(const char* /*function*/, int /*line*/, const char* /*format*/, ...) {}

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
