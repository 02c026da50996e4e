#pragma once

#include "raster/LICE_IBitmap.h"

// PNG pictures decoded into bitmaps of the rasteriser's pixel format, opaque alpha 255 where the
// picture has none. Each loader decodes into bmp when given (resized to the picture) and returns
// it, or into a new LICE_MemBitmap that the caller owns. Null on any failure: a missing file,
// data that is not a valid PNG, a picture over 16384 pixels a side, or a bitmap that cannot take
// the picture's size. A bitmap the call made itself is deleted on failure; a given bitmap may be
// left resized. Nothing is printed.
LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bmp = nullptr);
LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, int len, LICE_IBitmap* bmp = nullptr);
// There are no linked-in resources on this platform: always null.
LICE_IBitmap* LICE_LoadPNGFromResource(void* hInst, int resid, LICE_IBitmap* bmp = nullptr);
// The file name in the application bundle's Contents/Resources folder; null for names over
// 400 characters or when the program has no bundle.
LICE_IBitmap* LICE_LoadPNGFromNamedResource(const char* name, LICE_IBitmap* bmp = nullptr);

// One image format the program can read, in a list that loaders join when the program starts.
struct _LICE_ImageLoader_rec {
    // checkFileName: refuse (null) names the loader does not recognise, without opening them.
    LICE_IBitmap* (*loadfunc)(const char* filename, bool checkFileName, LICE_IBitmap* bmp);
    // A double-NUL-terminated list of description and pattern pairs.
    const char* (*get_extlist)();
    _LICE_ImageLoader_rec* _next;
};

// The head of the list of registered loaders.
extern _LICE_ImageLoader_rec* LICE_ImageLoader_list;

// The PNG entry of the loader list.
class LICE_PNGLoader {
public:
    static LICE_IBitmap* loadfunc(const char* filename, bool checkFileName, LICE_IBitmap* bmp);
    static const char* get_extlist();
};
