#pragma once

#include "plugin/ByteChunk.h"

#include <CoreFoundation/CoreFoundation.h>

// Reading and writing the entries of a state dictionary. Keys are UTF-8 texts; an entry of the
// wrong type reads as missing.

// The string under key as UTF-8, cut to fit outSize bytes with its NUL (never inside a
// character); "" and false when there is none.
bool GetStrFromDict(CFDictionaryRef dict, const char* key, char* out, int outSize);
// The data under key, copied into the chunk (resized to fit); false when there is none.
bool GetDataFromDict(CFDictionaryRef dict, const char* key, ByteChunk* chunk);
// The 32-bit number under key; false when there is none.
bool GetSInt32FromDict(CFDictionaryRef dict, const char* key, SInt32* value);

void PutStrInDict(CFMutableDictionaryRef dict, const char* key, const char* text);
void PutDataInDict(CFMutableDictionaryRef dict, const char* key, const ByteChunk* chunk);
void PutSInt32InDict(CFMutableDictionaryRef dict, const char* key, SInt32 value);

// The string as UTF-8 into a buffer sized for it; false when it cannot be converted.
bool CopyUTF8(CFStringRef text, WDL_TypedBuf<char>* utf8);
