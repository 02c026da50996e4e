#pragma once

// The base types every Mac OS framework header builds on, with the 64-bit sizes: UInt32 and
// SInt32 are 32 bits, Size and the parameter slots of a component call are pointer-sized.
#include <stddef.h>
#include <stdint.h>

typedef unsigned char UInt8;
typedef signed char SInt8;
typedef unsigned short UInt16;
typedef signed short SInt16;
typedef unsigned int UInt32;
typedef signed int SInt32;
typedef unsigned long long UInt64;
typedef signed long long SInt64;
typedef float Float32;
typedef double Float64;

typedef unsigned char Boolean;
typedef UInt8 Byte;
typedef SInt8 SignedByte;

typedef SInt16 OSErr;
typedef SInt32 OSStatus;
typedef UInt32 FourCharCode;
typedef FourCharCode OSType;
typedef FourCharCode ResType;
typedef UInt32 OptionBits;

typedef char* Ptr;
typedef Ptr* Handle;
typedef long Size;

typedef UInt16 UniChar;
typedef UInt32 UTF32Char;

typedef unsigned char Str255[256];
typedef unsigned char Str63[64];
typedef unsigned char Str31[32];
typedef unsigned char* StringPtr;
typedef const unsigned char* ConstStringPtr;
typedef const unsigned char* ConstStr255Param;

typedef long (*ProcPtr)(void);

typedef struct Float32Point {
    Float32 x;
    Float32 y;
} Float32Point;

// A packed version: major revision, minor and bug-fix revision (BCD), stage, non-release revision.
typedef struct NumVersion {
    UInt8 nonRelRev;
    UInt8 stage;
    UInt8 minorAndBugRev;
    UInt8 majorRev;
} NumVersion;

enum { noErr = 0 };
enum { kNilOptions = 0 };
enum { kUnknownType = 0x3F3F3F3F }; // '????'

// Every function of the platform library is exported with default visibility, so that a
// component built with hidden visibility still binds to the one shared copy in the process.
#define GRINDVOX_PLATFORM_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
#define GRINDVOX_EXTERN_C_BEGIN extern "C" {
#define GRINDVOX_EXTERN_C_END }
#else
#define GRINDVOX_EXTERN_C_BEGIN
#define GRINDVOX_EXTERN_C_END
#endif

#define GRINDVOX_PLATFORM_API extern GRINDVOX_PLATFORM_EXPORT
