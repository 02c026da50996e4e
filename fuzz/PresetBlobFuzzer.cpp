// Arbitrary text as a base64 preset. The first byte chooses the blob's size.
#include "FuzzGrindvox.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int sizeOfChunk = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    FuzzGrindvox plug;
    plug.FreePresetSlot(3);
    FuzzCheck(plug.MakePresetFromBlob("fuzzed", text.c_str(), sizeOfChunk), "a free slot fills");
    const IPreset* preset = plug.Preset(3);
    FuzzCheck(preset->mInitialized && preset->mChunk.Size() == sizeOfChunk, "the blob's size");

    plug.RestorePreset(3);
    plug.CheckParameters();
    return 0;
}
