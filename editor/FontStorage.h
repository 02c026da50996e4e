#pragma once

#include "containers/WDL_Mutex.h"
#include "containers/WDL_PtrList.h"
#include "editor/IText.h"

class LICE_IFont;

// The process-wide store of rendered fonts, one per text style as far as the font itself is
// concerned: size, angle, style and face. Styles that differ only in colour, alignment or
// smoothing share a font. The store owns its fonts until it goes at unload; every operation
// holds its recursive mutex for its span.
class FontStorage {
public:
    FontStorage() = default;
    ~FontStorage();
    FontStorage(const FontStorage&) = delete;
    FontStorage& operator=(const FontStorage&) = delete;

    // The font of the first entry matching the style (face compared exactly), or null.
    LICE_IFont* Find(const IText* text);
    // Takes ownership of the font under the style's key. False (the font destroyed) only when the
    // list cannot grow.
    bool Add(LICE_IFont* font, const IText* text);
    int Count();

private:
    struct Entry {
        int size;
        int orientation;
        int style;
        char face[IText::kFontNameSize];
        LICE_IFont* font; // owned
    };

    WDL_PtrList<Entry> mEntries{4096};
    WDL_Mutex mMutex;
};
