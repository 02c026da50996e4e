#pragma once

#include "containers/WDL_String.h"
#include "containers/WDL_TypedBuf.h"

#include <cstring>
#include <type_traits>

// The state buffer: values appended in the machine's little-endian order and read back at a
// position the caller holds. Reads that would run past the end return -1 and leave the value
// as it was. There is no header, magic or checksum.
class ByteChunk {
public:
    explicit ByteChunk(int granularity = 4096) : mBytes(granularity) {}

    // Returns the new size, or -1 (chunk unchanged) when no memory could be had.
    template <class T>
    int Put(const T* value) {
        static_assert(std::is_trivially_copyable_v<T>, "chunks hold plain values");
        return PutBytes(value, static_cast<int>(sizeof(T)));
    }
    // Appends the length as an int32, then the text's bytes without a terminator.
    int PutStr(const char* text);
    // Appends all bytes of another chunk, without a length.
    int PutChunk(const ByteChunk* chunk);
    int PutBytes(const void* data, int size);

    // Returns the position after the value, or -1 (value unchanged) when it does not fit. A
    // bool reads one byte, and any byte but 0 reads as true.
    template <class T>
    int Get(T* value, int startPos) const {
        static_assert(std::is_trivially_copyable_v<T>, "chunks hold plain values");
        const int size = static_cast<int>(sizeof(T));
        if (startPos < 0 || startPos > Size() - size) return -1;
        if constexpr (std::is_same_v<T, bool>) {
            *value = GetBytes()[startPos] != 0;
        } else {
            std::memcpy(value, GetBytes() + startPos, sizeof(T));
        }
        return startPos + size;
    }
    // Returns the position after the text. A non-positive length or a text running past the
    // end leaves `text` unchanged (and the returned position may then lie past the end, so the
    // next read fails); -1 when not even the length fits.
    int GetStr(WDL_String* text, int startPos) const;

    void Clear() { mBytes.Resize(0, false); }
    int Size() const { return mBytes.GetSize(); }
    // Sets the size; new bytes are uninitialised. False (chunk unchanged) without memory.
    bool Resize(int size);
    unsigned char* GetBytes() const { return mBytes.Get(); }
    bool IsEqual(const ByteChunk* other) const;

private:
    WDL_TypedBuf<unsigned char> mBytes;
};
