#pragma once

#include "effect/Grindvox.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

// A Grindvox as a fuzz target drives it, with a way to free a preset slot and to check the
// invariants that no input may break.
class FuzzGrindvox : public Grindvox {
public:
    FuzzGrindvox() : Grindvox(IPlugInstanceInfo()) {}

    void FreePresetSlot(int idx) { mPresets.Get(idx)->mInitialized = false; }
    // Keeps its state as an opaque chunk, so that preset files take their chunk forms.
    void UseStateChunks() { mStateChunks = true; }
    IPreset* Preset(int idx) { return mPresets.Get(idx); }

    // Every parameter holds a number inside its bounds, whatever was loaded.
    void CheckParameters() {
        for (int i = 0; i < NParams(); ++i) {
            const IParam* param = GetParam(i);
            if (param->mValue >= param->mMin && param->mValue <= param->mMax) continue;
            std::fprintf(stderr, "parameter %d holds %g outside [%g, %g]\n", i, param->mValue,
                         param->mMin, param->mMax);
            std::abort();
        }
    }
};

inline void FuzzCheck(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}
