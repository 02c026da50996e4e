#include "editor/FontStorage.h"

#include "raster/LICE_CachedFont.h"

#include <cstring>

FontStorage::~FontStorage() {
    WDL_MutexLock lock(&mMutex);
    for (int i = mEntries.GetSize() - 1; i >= 0; --i) {
        delete mEntries.Get(i)->font;
        delete mEntries.Get(i);
    }
    mEntries.Empty();
}

LICE_IFont* FontStorage::Find(const IText* text) {
    if (!text) return nullptr;
    WDL_MutexLock lock(&mMutex);
    for (int i = 0, n = mEntries.GetSize(); i < n; ++i) {
        const Entry* entry = mEntries.Get(i);
        if (entry->size == text->mSize && entry->orientation == text->mOrientation &&
            entry->style == text->mStyle && strcmp(entry->face, text->mFont) == 0)
            return entry->font;
    }
    return nullptr;
}

bool FontStorage::Add(LICE_IFont* font, const IText* text) {
    if (!font || !text) return false;
    WDL_MutexLock lock(&mMutex);
    Entry* entry = new Entry{text->mSize, text->mOrientation, text->mStyle, {}, font};
    CopyToField(entry->face, text->mFont);
    if (mEntries.Add(entry)) return true;
    delete entry;
    delete font;
    return false;
}

int FontStorage::Count() {
    WDL_MutexLock lock(&mMutex);
    return mEntries.GetSize();
}
