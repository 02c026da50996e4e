#pragma once

// Strings hold UTF-8 inside; lengths and ranges outside count UTF-16 code units, as on the
// Mac ("Grüße" has length 5, a character outside the Basic Multilingual Plane counts 2).
#include <CoreFoundation/CFArray.h>
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFData.h>
#include <CoreFoundation/CFDictionary.h>
#include <stdarg.h>

CF_EXTERN_C_BEGIN

typedef UInt32 CFStringEncoding;
enum {
    kCFStringEncodingMacRoman = 0,
    kCFStringEncodingWindowsLatin1 = 0x0500,
    kCFStringEncodingISOLatin1 = 0x0201,
    kCFStringEncodingNextStepLatin = 0x0B01,
    kCFStringEncodingASCII = 0x0600,
    kCFStringEncodingUnicode = 0x0100,
    kCFStringEncodingUTF8 = 0x08000100,
    kCFStringEncodingNonLossyASCII = 0x0BFF,
    kCFStringEncodingUTF16 = 0x0100,
    kCFStringEncodingUTF16BE = 0x10000100,
    kCFStringEncodingUTF16LE = 0x14000100,
    kCFStringEncodingUTF32 = 0x0c000100,
    kCFStringEncodingUTF32BE = 0x18000100,
    kCFStringEncodingUTF32LE = 0x1c000100
};
enum { kCFStringEncodingInvalidId = 0xffffffffU };

typedef CFOptionFlags CFStringCompareFlags;
enum {
    kCFCompareCaseInsensitive = 1,
    kCFCompareBackwards = 4,
    kCFCompareAnchored = 8,
    kCFCompareNonliteral = 16,
    kCFCompareLocalized = 32,
    kCFCompareNumerically = 64
};

// CFSTR("text") is a constant string: one object per distinct text, alive for the process.
#define CFSTR(cStr) __CFStringMakeConstantString("" cStr "")
CF_EXPORT CFStringRef __CFStringMakeConstantString(const char* cStr);

CF_EXPORT CFTypeID CFStringGetTypeID(void);

// Creation. The supported encodings are UTF-8, ASCII (bytes above 127 refused), ISO Latin 1,
// Windows Latin 1 and Mac Roman (read as Latin 1 for bytes 128..255). NULL for bytes that are
// not valid in the encoding, or when memory runs out.
CF_EXPORT CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr,
                                                CFStringEncoding encoding);
CF_EXPORT CFStringRef CFStringCreateWithBytes(CFAllocatorRef alloc, const UInt8* bytes,
                                              CFIndex numBytes, CFStringEncoding encoding,
                                              Boolean isExternalRepresentation);
CF_EXPORT CFStringRef CFStringCreateWithCharacters(CFAllocatorRef alloc, const UniChar* chars,
                                                   CFIndex numChars);
CF_EXPORT CFStringRef CFStringCreateCopy(CFAllocatorRef alloc, CFStringRef theString);

// Formatting: the printf conversions (flags, width, precision and length modifiers included)
// plus %@, which inserts the description of any CoreFoundation object ("(null)" for NULL).
// The format options are ignored.
CF_EXPORT CFStringRef CFStringCreateWithFormat(CFAllocatorRef alloc, CFDictionaryRef formatOptions,
                                               CFStringRef format, ...);
CF_EXPORT CFStringRef CFStringCreateWithFormatAndArguments(CFAllocatorRef alloc,
                                                           CFDictionaryRef formatOptions,
                                                           CFStringRef format, va_list arguments);

// Length in UTF-16 code units.
CF_EXPORT CFIndex CFStringGetLength(CFStringRef theString);
// The UTF-16 code unit at idx (0 outside the string).
CF_EXPORT UniChar CFStringGetCharacterAtIndex(CFStringRef theString, CFIndex idx);
CF_EXPORT void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar* buffer);

// The most bytes that length UTF-16 code units may need in the encoding (without the NUL):
// 3 per unit for UTF-8. kCFNotFound when that does not fit in a CFIndex.
CF_EXPORT CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding);

// Writes the text NUL-terminated into buffer. False, with buffer[0] set to NUL when there is
// room for it, when the buffer (bufferSize bytes, NUL included) is too small or the text cannot
// be represented in the encoding.
CF_EXPORT Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize,
                                     CFStringEncoding encoding);
// The string's own NUL-terminated bytes for UTF-8 (and for ASCII when the text is ASCII),
// valid while the string lives; NULL otherwise.
CF_EXPORT const char* CFStringGetCStringPtr(CFStringRef theString, CFStringEncoding encoding);

// Compares by UTF-16 code units (kCFCompareCaseInsensitive folds ASCII letters). Only the
// case-insensitive option is honoured.
CF_EXPORT CFComparisonResult CFStringCompare(CFStringRef theString1, CFStringRef theString2,
                                             CFStringCompareFlags compareOptions);
CF_EXPORT Boolean CFStringHasPrefix(CFStringRef theString, CFStringRef prefix);
CF_EXPORT Boolean CFStringHasSuffix(CFStringRef theString, CFStringRef suffix);

// The value of the text read as a number (C strtod / strtol rules; 0 when it is not one).
CF_EXPORT double CFStringGetDoubleValue(CFStringRef str);
CF_EXPORT SInt32 CFStringGetIntValue(CFStringRef str);

CF_EXTERN_C_END
