#pragma once

#include <cstddef>
#include <cstring>

// Copies text into a fixed-size field, cut to fit with its terminating NUL; null copies as "".
// Names, labels and preset names all live in such fields.
template <size_t N>
void CopyToField(char (&field)[N], const char* text) {
    const size_t length = text ? strnlen(text, N - 1) : 0;
    if (length > 0) std::memcpy(field, text, length);
    field[length] = 0;
}
