#pragma once

#include "containers/WDL_Mutex.h"
#include "containers/WDL_PtrList.h"

class LICE_IBitmap;

// The process-wide store of images: pictures loaded from resources, found again by resource id,
// and images made at run time (id -1). Every editor of the process shares it, so it counts the
// handles given out on each image and destroys an image only at its last release or when the
// store itself goes at unload. Every operation holds the store's recursive mutex for its span.
class BitmapStorage {
public:
    BitmapStorage() = default;
    ~BitmapStorage();
    BitmapStorage(const BitmapStorage&) = delete;
    BitmapStorage& operator=(const BitmapStorage&) = delete;

    // The image of the first entry with this id, with one more reference; null when none.
    LICE_IBitmap* Find(int id);
    // Takes ownership of a new image with one reference. A null image stores nothing. False (the
    // image destroyed) only when the list cannot grow.
    bool Add(LICE_IBitmap* bitmap, int id = -1);
    // One more reference on an image already stored; false when the store does not hold it.
    bool Retain(LICE_IBitmap* bitmap);
    // One reference fewer; the image is destroyed with its last. An image not stored is left
    // alone.
    void Remove(LICE_IBitmap* bitmap);
    bool Holds(LICE_IBitmap* bitmap);
    int References(LICE_IBitmap* bitmap);
    int Count();

private:
    struct Entry {
        int id;
        LICE_IBitmap* bitmap; // owned
        int references;
    };
    Entry* EntryOf(LICE_IBitmap* bitmap) const;

    WDL_PtrList<Entry> mEntries{4096};
    WDL_Mutex mMutex;
};
