#pragma once

// The designed presets: settings a musician would reach for, shipped as LV2 presets in the LV2
// bundle and as .aupreset files in the component's resources (both written by the build from
// this one table). The component's own factory slots stay as they are.
struct GrindvoxPreset {
    static constexpr int kNumValues = 7; // one per parameter, in the effect's index order

    const char* mName;          // shown to the user; also the .aupreset file's name
    const char* mLabel;         // the last part of the preset's LV2 URI
    double mValues[kNumValues]; // each one exact as a float
};

constexpr const char* kGrindvoxPresetURIBase = "http://tolvasonics.com/plugins/grindvox/presets/";

int NumGrindvoxPresets();
// Null for an index outside the table.
const GrindvoxPreset* GetGrindvoxPreset(int idx);
