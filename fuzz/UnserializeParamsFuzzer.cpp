// Arbitrary bytes as a stored parameter blob.
#include "FuzzGrindvox.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteChunk chunk;
    chunk.PutBytes(data, static_cast<int>(size));

    FuzzGrindvox plug;
    const int pos = plug.UnserializeParams(&chunk, 0);
    plug.CheckParameters();
    const int whole = plug.NParams() * static_cast<int>(sizeof(double));
    FuzzCheck(pos == (chunk.Size() >= whole ? whole : -1), "the read position");

    // What was loaded serialises to a blob that loads to the same values.
    ByteChunk saved, again;
    plug.SerializeParams(&saved);
    FuzzGrindvox other;
    FuzzCheck(other.UnserializeParams(&saved, 0) == whole, "a saved blob loads whole");
    other.SerializeParams(&again);
    FuzzCheck(saved.IsEqual(&again), "the blob round-trips");
    return 0;
}
