#include "plugin/Version.h"

#include <cstdio>

void GetVersionParts(int version, int* major, int* minor, int* fix) {
    const unsigned bits = static_cast<unsigned>(version);
    *major = static_cast<int>(bits >> 16);
    *minor = static_cast<int>((bits >> 8) & 0xFF);
    *fix = static_cast<int>(bits & 0xFF);
}

int GetDecimalVersion(int version) {
    int major, minor, fix;
    GetVersionParts(version, &major, &minor, &fix);
    return major * 10000 + minor * 100 + fix;
}

void GetVersionStr(int version, char* buffer) {
    int major, minor, fix;
    GetVersionParts(version, &major, &minor, &fix);
    std::snprintf(buffer, kVersionStrSize, "v%d.%d.%d", major, minor, fix);
}
