#pragma once

#include "FuzzGrindvox.h"

#include <cstddef>
#include <cstdint>

// What loading arbitrary bytes as a program or bank file must keep true, in both the value and
// the chunk form: a refused file changes nothing; an accepted one leaves every value in range
// and saves as a file that loads back to the same bytes.
class PresetFileChecks {
public:
    using Load = bool (IPlugBase::*)(const ByteChunk*);
    using Save = bool (IPlugBase::*)(ByteChunk*);

    PresetFileChecks(Load load, Save save) : mLoad(load), mSave(save) {}

    void Run(const uint8_t* data, size_t size) {
        ByteChunk file;
        file.PutBytes(data, static_cast<int>(size));
        RunForm(file, false);
        RunForm(file, true);
    }

private:
    // Everything a load may change.
    struct Observed {
        ByteChunk params, presets;
        int current;
    };

    static void Observe(FuzzGrindvox& plug, Observed* observed) {
        plug.SerializeParams(&observed->params);
        plug.SerializePresets(&observed->presets);
        observed->current = plug.GetCurrentPresetIdx();
    }

    // A plug-in whose slots differ from one another and from the defaults, current slot 2.
    static void MakeDistinct(FuzzGrindvox& plug, bool chunks) {
        if (chunks) plug.UseStateChunks();
        for (int i = 0; i < plug.NPresets(); ++i) {
            plug.GetParam(Grindvox::kRatio)->Set(i);
            plug.GetParam(Grindvox::kCutoff)->Set(100.0 * (i + 1));
            plug.RestorePreset(i);
            plug.GetParam(Grindvox::kRatio)->Set(i);
            plug.GetParam(Grindvox::kCutoff)->Set(100.0 * (i + 1));
            plug.ModifyCurrentPreset(i % 2 ? "odd" : "even");
        }
        plug.RestorePreset(2);
    }

    void RunForm(const ByteChunk& file, bool chunks) {
        FuzzGrindvox plug;
        MakeDistinct(plug, chunks);
        Observed before, after;
        Observe(plug, &before);
        const bool loaded = (plug.*mLoad)(&file);
        Observe(plug, &after);
        if (!loaded) {
            FuzzCheck(after.params.IsEqual(&before.params), "a refused file keeps the parameters");
            FuzzCheck(after.presets.IsEqual(&before.presets), "a refused file keeps the presets");
            FuzzCheck(after.current == before.current, "a refused file keeps the current preset");
            return;
        }
        plug.CheckParameters();
        FuzzCheck(after.current >= 0 && after.current < plug.NPresets(),
                  "the current preset is a slot");

        // Saved, the loaded state loads back, and a second cycle gives the same bytes. (A chunk
        // form bank may rename on the first cycle: an empty name loads as the slot's before.)
        ByteChunk saved, again, third;
        FuzzCheck((plug.*mSave)(&saved), "an accepted file saves");
        FuzzGrindvox second;
        MakeDistinct(second, chunks);
        FuzzCheck((second.*mLoad)(&saved), "a saved file loads");
        (second.*mSave)(&again);
        FuzzGrindvox last;
        MakeDistinct(last, chunks);
        FuzzCheck((last.*mLoad)(&again), "a saved file loads again");
        (last.*mSave)(&third);
        FuzzCheck(again.IsEqual(&third), "the file round-trips");
    }

    Load mLoad;
    Save mSave;
};
