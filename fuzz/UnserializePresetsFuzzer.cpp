// Arbitrary bytes as a stored presets blob.
#include "FuzzGrindvox.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteChunk chunk;
    chunk.PutBytes(data, static_cast<int>(size));

    FuzzGrindvox plug;
    plug.UnserializePresets(&chunk, 0);
    plug.CheckParameters();

    // Saving and loading reaches a fixed point after one cycle: an empty name is saved with
    // zero length, which loads as the previous slot's name, so only the first cycle may rename.
    ByteChunk saved, again, third;
    plug.SerializePresets(&saved);
    FuzzGrindvox second;
    FuzzCheck(second.UnserializePresets(&saved, 0) == saved.Size(), "a saved blob loads whole");
    second.SerializePresets(&again);
    FuzzGrindvox last;
    last.UnserializePresets(&again, 0);
    last.SerializePresets(&third);
    FuzzCheck(again.IsEqual(&third), "the presets blob round-trips");
    return 0;
}
