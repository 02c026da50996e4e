#pragma once

#include <stdint.h>

// Reads n bytes of text into code points: as UTF-8 when the bytes are valid UTF-8, otherwise
// as Latin-1, one character per byte, so that a stray byte never makes a whole label vanish.
// out holds at least n entries. Returns the number of code points.
int SWELL_DecodeText(const char* text, int n, uint32_t* out);

// The length of text[0..n) without a UTF-8 sequence cut short at its end.
int SWELL_TrimPartialUTF8(const char* text, int n);
