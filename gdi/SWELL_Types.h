#pragma once

// The handle types, records and constants of the GDI-style drawing interface. Everything the
// raster code and the window layer pass across this interface is declared here, so a caller can
// include only what it calls.

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned int DWORD;

// A device context: a drawing target (a memory context with its own frame buffer, or a wrapped
// Quartz context). Only the layer knows the record behind it.
struct HDC__;
typedef HDC__* HDC;

// A GDI object: a pen, a brush, a font or a bitmap. The pointer values 1 to 4 are pseudo
// handles that are never dereferenced: 1, 2 and 3 deselect the pen, brush or font.
struct HGDIOBJ__;
typedef HGDIOBJ__* HGDIOBJ;
typedef HGDIOBJ HPEN;
typedef HGDIOBJ HBRUSH;
typedef HGDIOBJ HFONT;
typedef HGDIOBJ HBITMAP;
typedef HGDIOBJ HICON;

struct RECT {
    int left, top, right, bottom;
};

struct POINT {
    int x, y;
};

#define LF_FACESIZE 32

// The fields of CreateFont, in its argument order, face name last.
struct LOGFONT {
    int lfHeight;
    int lfWidth;
    int lfEscapement;
    int lfOrientation;
    int lfWeight;
    char lfItalic;
    char lfUnderline;
    char lfStrikeOut;
    char lfCharSet;
    char lfOutPrecision;
    char lfClipPrecision;
    char lfQuality;
    char lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};

// What GetTextMetrics fills, in pixels.
struct TEXTMETRIC {
    int tmHeight;
    int tmAscent;
    int tmDescent;
    int tmInternalLeading;
    int tmAveCharWidth;
};

// What GetObject writes for a bitmap (8 bytes).
struct BITMAP {
    int bmWidth;
    int bmHeight;
};

struct ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;
    HBITMAP hbmColor;
};

// SWELL_DrawText flags. Top and left alignment are the absence of the others.
#define DT_TOP 0
#define DT_LEFT 0
#define DT_CALCRECT 1
#define DT_VCENTER 2
#define DT_CENTER 4
#define DT_END_ELLIPSIS 8
#define DT_BOTTOM 16
#define DT_RIGHT 32
#define DT_SINGLELINE 64
#define DT_NOPREFIX 128
#define DT_NOCLIP 256

// Background modes for SetBkMode.
#define TRANSPARENT 0
#define OPAQUE 1

// Font weights and qualities for CreateFont.
#define FW_NORMAL 400
#define FW_BOLD 700
#define DEFAULT_QUALITY 0
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4

// GetStockObject indices.
#define NULL_PEN 1
#define NULL_BRUSH 2

// Pen styles (the style is accepted and ignored: every pen is solid).
#define PS_SOLID 0

// Blit modes: SRCCOPY draws the source opaque; SRCCOPY_USESOURCEALPHA reads the first byte of
// each source pixel as a non-premultiplied alpha.
#define SRCCOPY 0
#define SRCCOPY_USESOURCEALPHA ((int)0xdeadbeef)
