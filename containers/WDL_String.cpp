#include "containers/WDL_String.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

int boundedLength(const char* text, int maxLength) {
    if (!text) return 0;
    if (maxLength <= 0) return static_cast<int>(std::strlen(text));
    const void* nul = std::memchr(text, 0, static_cast<size_t>(maxLength));
    return nul ? static_cast<int>(static_cast<const char*>(nul) - text) : maxLength;
}

} // namespace

WDL_String::WDL_String(const char* text, int maxLength) {
    Set(text, maxLength);
}

WDL_String::WDL_String(const WDL_String& other) : WDL_String(other.Get()) {}

WDL_String& WDL_String::operator=(const WDL_String& other) {
    if (this != &other) Set(other.Get());
    return *this;
}

const char* WDL_String::Get() const {
    const char* text = static_cast<const char*>(m_hb.Get());
    return text ? text : "";
}

int WDL_String::GetLength() const {
    return m_hb.GetSize() ? static_cast<int>(std::strlen(Get())) : 0;
}

// Keeps the first `keep` characters and appends `length` characters of `text` (which may lie
// inside this string's own block).
bool WDL_String::Replace(int keep, const char* text, int length) {
    if (keep + length == 0) {
        m_hb.Resize(0, false);
        return true;
    }
    const char* old = static_cast<const char*>(m_hb.Get());
    const bool inside = old && text >= old && text < old + m_hb.GetSize();
    const int offset = inside ? static_cast<int>(text - old) : 0;
    if (!m_hb.Resize(keep + length + 1, false)) return false;
    char* buf = static_cast<char*>(m_hb.Get());
    std::memmove(buf + keep, inside ? buf + offset : text, static_cast<size_t>(length));
    buf[keep + length] = 0;
    return true;
}

bool WDL_String::Set(const char* text, int maxLength) {
    return Replace(0, text, boundedLength(text, maxLength));
}

bool WDL_String::Append(const char* text, int maxLength) {
    return Replace(GetLength(), text, boundedLength(text, maxLength));
}

namespace {

// Formats into a scratch block of the exact size, then stores at most maxLength characters.
template <class Store>
bool formatInto(int maxLength, const char* format, va_list args, Store store) {
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed < 0) return false;
    const int length = maxLength > 0 && maxLength < needed ? maxLength : needed;

    WDL_HeapBuf scratch(128);
    if (!scratch.Resize(needed + 1)) return false;
    char* text = static_cast<char*>(scratch.Get());
    std::vsnprintf(text, static_cast<size_t>(needed) + 1, format, args);
    return store(text, length);
}

} // namespace

bool WDL_String::SetFormatted(int maxLength, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const bool ok = formatInto(maxLength, format, args,
                               [this](const char* text, int length) { return Set(text, length); });
    va_end(args);
    return ok;
}

bool WDL_String::AppendFormatted(int maxLength, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const bool ok = formatInto(maxLength, format, args, [this](const char* text, int length) {
        return Append(text, length);
    });
    va_end(args);
    return ok;
}
