#include "plugin/ByteChunk.h"

#include <climits>

int ByteChunk::PutBytes(const void* data, int size) {
    const int n = Size();
    if (size <= 0) return n;
    if (size > INT_MAX - n) return -1;
    unsigned char* bytes = mBytes.Resize(n + size, false);
    if (!bytes) return -1;
    std::memcpy(bytes + n, data, static_cast<size_t>(size));
    return n + size;
}

int ByteChunk::PutStr(const char* text) {
    const size_t length = text ? std::strlen(text) : 0;
    if (length > static_cast<size_t>(INT_MAX - 4)) return -1;
    const int n = static_cast<int>(length);
    const int before = Size();
    if (Put(&n) < 0) return -1;
    if (PutBytes(text, n) < 0) {
        mBytes.Resize(before, false);
        return -1;
    }
    return Size();
}

int ByteChunk::PutChunk(const ByteChunk* chunk) {
    if (!chunk) return Size();
    return PutBytes(chunk->GetBytes(), chunk->Size());
}

int ByteChunk::GetStr(WDL_String* text, int startPos) const {
    int length = 0;
    const int textPos = Get(&length, startPos);
    if (textPos < 0) return -1;
    const long long end = static_cast<long long>(textPos) + length;
    if (length <= 0 || end > Size()) return end > INT_MAX ? INT_MAX : static_cast<int>(end);
    text->Set(reinterpret_cast<const char*>(GetBytes() + textPos), length);
    return static_cast<int>(end);
}

bool ByteChunk::Resize(int size) {
    if (size < 0) return false;
    return mBytes.Resize(size, false) != nullptr || size == 0;
}

bool ByteChunk::IsEqual(const ByteChunk* other) const {
    if (!other || other->Size() != Size()) return false;
    return Size() == 0 ||
           std::memcmp(GetBytes(), other->GetBytes(), static_cast<size_t>(Size())) == 0;
}
