#include "gdi/SWELL_TextDecoding.h"

namespace {

// The length of the UTF-8 sequence starting at s (at most n bytes), or 0 when invalid.
int SequenceLength(const unsigned char* s, int n, uint32_t* codePoint) {
    unsigned char c = s[0];
    if (c < 0x80) {
        *codePoint = c;
        return 1;
    }
    int length;
    uint32_t value, minimum;
    if ((c & 0xe0) == 0xc0) {
        length = 2, value = c & 0x1f, minimum = 0x80;
    } else if ((c & 0xf0) == 0xe0) {
        length = 3, value = c & 0x0f, minimum = 0x800;
    } else if ((c & 0xf8) == 0xf0) {
        length = 4, value = c & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (length > n) return 0;
    for (int i = 1; i < length; ++i) {
        if ((s[i] & 0xc0) != 0x80) return 0;
        value = (value << 6) | (s[i] & 0x3f);
    }
    // Overlong forms, surrogates and values past Unicode are not UTF-8.
    if (value < minimum || value > 0x10ffff || (value >= 0xd800 && value <= 0xdfff)) return 0;
    *codePoint = value;
    return length;
}

} // namespace

int SWELL_DecodeText(const char* text, int n, uint32_t* out) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    int count = 0;
    for (int i = 0; i < n;) {
        int length = SequenceLength(s + i, n - i, &out[count]);
        if (length == 0) {
            for (int k = 0; k < n; ++k)
                out[k] = s[k];
            return n;
        }
        i += length;
        ++count;
    }
    return count;
}

int SWELL_TrimPartialUTF8(const char* text, int n) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    // Step back over continuation bytes to the last lead byte, at most three.
    int lead = n - 1;
    while (lead >= 0 && n - lead <= 3 && (s[lead] & 0xc0) == 0x80)
        --lead;
    if (lead < 0 || s[lead] < 0xc0) return n;
    int needed = (s[lead] & 0xe0) == 0xc0 ? 2 : (s[lead] & 0xf0) == 0xe0 ? 3 : 4;
    return n - lead < needed ? lead : n;
}
