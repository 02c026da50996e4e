#pragma once

// Helpers shared by arrays and dictionaries: a growing text for descriptions, and the standard
// CoreFoundation-object callbacks.
#include "CoreFoundation/CFRuntime_p.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

// Appends UTF-8 text to a heap buffer; after a failed growth every further append is dropped
// and `failed` stays set.
struct CFDescriptionText {
    char* data = nullptr;
    size_t length = 0;
    size_t capacity = 0;
    bool failed = false;

    ~CFDescriptionText() { free(data); }

    void append(const char* text, size_t count) {
        if (failed) return;
        if (length + count + 1 > capacity) {
            size_t wanted = capacity ? capacity * 2 : 128;
            while (wanted < length + count + 1)
                wanted *= 2;
            char* grown = static_cast<char*>(realloc(data, wanted));
            if (!grown) {
                failed = true;
                return;
            }
            data = grown;
            capacity = wanted;
        }
        memcpy(data + length, text, count);
        length += count;
    }

    void append(const char* text) { append(text, strlen(text)); }

    // Appends the description string and releases it; a NULL description appends `fallback`.
    void appendDescription(CFStringRef description, const void* value) {
        size_t count = 0;
        const char* text = CFStringUTF8(description, &count);
        if (text) {
            append(text, count);
        } else {
            char pointer[32];
            int n = snprintf(pointer, sizeof pointer, "<%p>", value);
            append(pointer, static_cast<size_t>(n));
        }
        if (description) CFRelease(description);
    }

    CFStringRef finish() {
        return failed ? nullptr : CFStringCreateWithUTF8(data ? data : "", length);
    }
};

const void* CFTypeRetainCallBack(CFAllocatorRef allocator, const void* value);
void CFTypeReleaseCallBack(CFAllocatorRef allocator, const void* value);
