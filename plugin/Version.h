#pragma once

// Versions are packed as 0xVVVVRRMM: major in the upper 16 bits, then minor, then the fix level
// in the low byte; 0x00010100 is 1.1.0.
void GetVersionParts(int version, int* major, int* minor, int* fix);
// major × 10000 + minor × 100 + fix: 1.1.0 gives 10100.
int GetDecimalVersion(int version);
// Writes "v1.1.0"; buffer holds kVersionStrSize bytes.
constexpr int kVersionStrSize = 32;
void GetVersionStr(int version, char* buffer);
