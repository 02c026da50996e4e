#pragma once

#include "gdi/SWELL_Types.h"

#include <CoreGraphics/CoreGraphics.h>

class SWELL_FontFace;

// The text attributes of a font: the face and its styling, and the colours and paragraph
// style the last draw left in it. Shared by every context the font is selected into; owned by
// the font object.
struct SWELL_FontAttributes {
    enum Alignment { kAlignLeft, kAlignCentre, kAlignRight };

    SWELL_FontFace* font; // owned; null when no face could be found
    bool italic;          // drawn with obliqueness 0.33
    bool underline;
    float strokeWidth;     // per cent of the point size; negative fills and strokes (bold)
    CGColorRef foreground; // retained, or null
    bool hasBackground;
    int background; // 0x00RRGGBB
    Alignment alignment;
    bool truncateTail; // an ellipsis replaces what does not fit, instead of clipping
};

// The record behind HDC: what a context draws into and the state GDI keeps per context.
struct HDC__ {
    CGContextRef ctx;
    void* ownedMemory; // memory contexts: the allocation holding the frame buffer
    HGDIOBJ pen;
    HGDIOBJ brush;
    HGDIOBJ font;
    CGColorRef textColourObject; // retained; the text colour as Quartz draws it
    int textColour;
    int bkColour;
    int bkMode;
    float curX, curY;
    bool onFreeList;
    HDC__* next;
};

// The record behind HGDIOBJ. `width` is the pen width, 0 for brushes, -1 for stock objects,
// and for bitmaps 1 when the record owns its image.
struct HGDIOBJ__ {
    enum Type { kPen = 1, kBrush = 2, kFont = 3, kBitmap = 4 };

    int type;
    CGColorRef colour;
    int width;
    CGImageRef image;
    SWELL_FontAttributes* attributes;
    unsigned char quality;
    void* textStyle;
    double rotation;
    bool onFreeList;
    HGDIOBJ__* next;
};

// Record pools: deleted records are cleared and kept for reuse (up to 100 contexts and 200
// objects) under one process-wide lock. New records come back zero-filled. Null when memory
// runs out.
HDC__* SWELL_NewContextRecord();
void SWELL_FreeContextRecord(HDC__* ctx);
HGDIOBJ__* SWELL_NewObjectRecord();
void SWELL_FreeObjectRecord(HGDIOBJ__* obj);

// How many records each pool holds now.
int SWELL_PooledContextCount();
int SWELL_PooledObjectCount();

// Null, pseudo handles (1 to 4) and pooled records are not valid.
bool SWELL_IsValidContext(HDC ctx);
bool SWELL_IsValidObject(HGDIOBJ obj);
// Valid and of the given type.
bool SWELL_IsObjectOfType(HGDIOBJ obj, int type);

// The two stock objects: a pen and a brush of width -1, which draw nothing.
HGDIOBJ SWELL_StockPen();
HGDIOBJ SWELL_StockBrush();
bool SWELL_IsStockObject(HGDIOBJ obj);

// The device RGB colour space, made once. Null if it cannot be made.
CGColorSpaceRef SWELL_DeviceRGB();
// A colour from 0x00RRGGBB and alpha; the caller releases it.
CGColorRef SWELL_CreateColour(int colour, float alpha);
