#pragma once

#include "plugin/ByteChunk.h"

// One preset slot: a name and, once initialised, a state blob of parameter values. The plug-in
// base owns its slots.
struct IPreset {
    static constexpr int kNameSize = 256; // names keep 255 characters

    IPreset();
    // Copies at most 255 characters; null names the slot "".
    void SetName(const char* name);

    bool mInitialized = false;
    char mName[kNameSize];
    ByteChunk mChunk{4096};
};
