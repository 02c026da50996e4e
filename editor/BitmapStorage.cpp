#include "editor/BitmapStorage.h"

#include "raster/LICE_IBitmap.h"

BitmapStorage::~BitmapStorage() {
    WDL_MutexLock lock(&mMutex);
    for (int i = mEntries.GetSize() - 1; i >= 0; --i) {
        delete mEntries.Get(i)->bitmap;
        delete mEntries.Get(i);
    }
    mEntries.Empty();
}

BitmapStorage::Entry* BitmapStorage::EntryOf(LICE_IBitmap* bitmap) const {
    if (!bitmap) return nullptr;
    for (int i = 0, n = mEntries.GetSize(); i < n; ++i) {
        if (mEntries.Get(i)->bitmap == bitmap) return mEntries.Get(i);
    }
    return nullptr;
}

LICE_IBitmap* BitmapStorage::Find(int id) {
    WDL_MutexLock lock(&mMutex);
    for (int i = 0, n = mEntries.GetSize(); i < n; ++i) {
        Entry* entry = mEntries.Get(i);
        if (entry->id != id) continue;
        ++entry->references;
        return entry->bitmap;
    }
    return nullptr;
}

bool BitmapStorage::Add(LICE_IBitmap* bitmap, int id) {
    if (!bitmap) return false;
    WDL_MutexLock lock(&mMutex);
    Entry* entry = new Entry{id, bitmap, 1};
    if (mEntries.Add(entry)) return true;
    delete entry;
    delete bitmap;
    return false;
}

bool BitmapStorage::Retain(LICE_IBitmap* bitmap) {
    WDL_MutexLock lock(&mMutex);
    Entry* entry = EntryOf(bitmap);
    if (!entry) return false;
    ++entry->references;
    return true;
}

void BitmapStorage::Remove(LICE_IBitmap* bitmap) {
    WDL_MutexLock lock(&mMutex);
    Entry* entry = EntryOf(bitmap);
    if (!entry || --entry->references > 0) return;
    mEntries.Delete(mEntries.Find(entry));
    delete entry->bitmap;
    delete entry;
}

bool BitmapStorage::Holds(LICE_IBitmap* bitmap) {
    WDL_MutexLock lock(&mMutex);
    return EntryOf(bitmap) != nullptr;
}

int BitmapStorage::References(LICE_IBitmap* bitmap) {
    WDL_MutexLock lock(&mMutex);
    const Entry* entry = EntryOf(bitmap);
    return entry ? entry->references : 0;
}

int BitmapStorage::Count() {
    WDL_MutexLock lock(&mMutex);
    return mEntries.GetSize();
}
