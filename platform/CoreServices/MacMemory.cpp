#include <CoreServices/MacErrors.h>
#include <CoreServices/MacMemory.h>

#include <cstdlib>
#include <cstring>

// A Handle points at the first field of its block: the master pointer to the bytes. The size
// sits beside it, so the block can be resized without the handle changing.
namespace {

struct HandleBlock {
    Ptr master;
    Size size;
};

thread_local OSErr tMemError = noErr;

HandleBlock* blockOf(Handle h) {
    return reinterpret_cast<HandleBlock*>(h);
}

Handle newHandle(Size byteCount, bool clear) {
    if (byteCount < 0) {
        tMemError = paramErr;
        return nullptr;
    }
    auto* block = static_cast<HandleBlock*>(malloc(sizeof(HandleBlock)));
    // One byte at least, so that an empty handle still has a master pointer.
    Ptr bytes = static_cast<Ptr>(clear ? calloc(1, static_cast<size_t>(byteCount) + 1)
                                       : malloc(static_cast<size_t>(byteCount) + 1));
    if (!block || !bytes) {
        free(block);
        free(bytes);
        tMemError = memFullErr;
        return nullptr;
    }
    block->master = bytes;
    block->size = byteCount;
    tMemError = noErr;
    return &block->master;
}

} // namespace

Handle NewHandle(Size byteCount) {
    return newHandle(byteCount, false);
}

Handle NewHandleClear(Size byteCount) {
    return newHandle(byteCount, true);
}

void DisposeHandle(Handle h) {
    if (!h) {
        tMemError = nilHandleErr;
        return;
    }
    free(blockOf(h)->master);
    free(blockOf(h));
    tMemError = noErr;
}

Size GetHandleSize(Handle h) {
    if (!h) {
        tMemError = nilHandleErr;
        return 0;
    }
    tMemError = noErr;
    return blockOf(h)->size;
}

void SetHandleSize(Handle h, Size newSize) {
    if (!h) {
        tMemError = nilHandleErr;
        return;
    }
    if (newSize < 0) {
        tMemError = paramErr;
        return;
    }
    HandleBlock* block = blockOf(h);
    auto* grown = static_cast<Ptr>(realloc(block->master, static_cast<size_t>(newSize) + 1));
    if (!grown) {
        tMemError = memFullErr;
        return;
    }
    block->master = grown;
    block->size = newSize;
    tMemError = noErr;
}

OSErr MemError(void) {
    return tMemError;
}
