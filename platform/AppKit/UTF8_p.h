#pragma once

// UTF-8 for the window stand-in's text: NSString's UTF-16 view and the text field's editing.
#include <string>

namespace appkit {

// Decodes UTF-8 into code points; a byte that starts no whole sequence reads as U+FFFD.
inline std::u32string DecodeUTF8(const std::string& utf8) {
    std::u32string out;
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    size_t n = utf8.size();
    for (size_t i = 0; i < n;) {
        unsigned char c = s[i];
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (i + static_cast<size_t>(len) > n) len = 1;
        char32_t cp = len == 1 ? (c < 0x80 ? c : 0xFFFD) : (c & (0x7F >> len));
        for (int k = 1; k < len; ++k)
            cp = (cp << 6) | (s[i + static_cast<size_t>(k)] & 0x3F);
        out.push_back(cp);
        i += static_cast<size_t>(len);
    }
    return out;
}

// Encodes code points as UTF-8.
inline std::string EncodeUTF8(const std::u32string& text) {
    std::string out;
    for (char32_t cp : text) {
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace appkit
