#pragma once

#include "containers/WDL_HeapBuf.h"

// A NUL-terminated text that owns its characters. An empty string reads as a shared empty
// text, never null.
class WDL_String {
public:
    explicit WDL_String(const char* text = nullptr, int maxLength = 0);
    WDL_String(const WDL_String& other);
    WDL_String& operator=(const WDL_String& other);

    const char* Get() const;
    int GetLength() const;

    // Copies up to maxLength characters (0: no limit) or up to the first NUL. On an
    // allocation failure the string keeps its old text and false is returned.
    bool Set(const char* text, int maxLength = 0);
    bool Append(const char* text, int maxLength = 0);
    // printf into the string; at most maxLength characters are kept.
    bool SetFormatted(int maxLength, const char* format, ...) __attribute__((format(printf, 3, 4)));
    bool AppendFormatted(int maxLength, const char* format, ...)
        __attribute__((format(printf, 3, 4)));

private:
    bool Replace(int keep, const char* text, int length);

    WDL_HeapBuf m_hb{128};
};
