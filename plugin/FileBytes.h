#pragma once

#include "plugin/ByteChunk.h"

// Whole files as bytes: the preset files and source dumps the plug-in base reads and writes.

// Replaces what `chunk` held with the file's bytes. False, with the chunk emptied, when the file
// cannot be opened or read, is not a regular file, or holds more than maxSize bytes.
bool ReadFileBytes(const char* path, ByteChunk* chunk, int maxSize);

// Makes `size` bytes the file's whole content. They go to a new file beside it first, which
// takes the old one's place only once every byte is written and the file closed: a failed save
// (a full disk, a folder without write access) answers false and leaves any old file as it was.
bool WriteFileBytes(const char* path, const void* data, int size);
