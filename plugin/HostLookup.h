#pragma once

// The hosts the plug-in recognises from their names. kHostUninit until a host has been asked
// about, kHostUnknown when its name matched none.
enum EHost {
    kHostUninit = -1,
    kHostUnknown = 0,
    kHostReaper = 1,
    kHostCubase = 3,
    kHostNuendo = 4,
    kHostSonar = 5,
    kHostFL = 7,
    kHostSamplitude = 8,
    kHostAbletonLive = 9,
    kHostMelodyneStudio = 12,
    kHostVSTScanner = 13,
    kHostAULab = 14,
    kHostForte = 15,
    kHostChainer = 16,
    kHostAudition = 17,
    kHostOrion = 18,
    kHostSAWStudio = 20,
    kHostLogic = 21,
    kHostDigitalPerformer = 22,
    kHostStandalone = 23,
    kHostAudioMulch = 24,
    kHostPresonus = 25,
};

// The code of the first known host whose name occurs anywhere in `name`, ignoring case; only the
// first 255 characters are looked at.
EHost LookUpHost(const char* name);

// Writes the lower-cased copy of src and a NUL into dst, which holds strlen(src) + 1 bytes.
void ToLower(char* dst, const char* src);

// Space, tab, line feed and carriage return only.
bool IsWhitespace(char c);
