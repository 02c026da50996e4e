#pragma once

#include <stdlib.h>
#include <string.h>

// A growable array of plain values for the stand-in's own bookkeeping (paths, edges, saved
// states). Growing reports failure instead of throwing; on failure the array is unchanged.
template <typename T>
class CGArray {
public:
    CGArray() = default;
    ~CGArray() { free(mItems); }
    CGArray(const CGArray&) = delete;
    CGArray& operator=(const CGArray&) = delete;

    int Count() const { return mCount; }
    T* Items() { return mItems; }
    const T* Items() const { return mItems; }
    T& operator[](int i) { return mItems[i]; }
    const T& operator[](int i) const { return mItems[i]; }

    bool Add(const T& item) {
        if (mCount == mCapacity && !Reserve(mCapacity ? mCapacity * 2 : 16)) return false;
        mItems[mCount++] = item;
        return true;
    }
    void RemoveLast() {
        if (mCount > 0) --mCount;
    }
    void Clear() { mCount = 0; }
    bool Reserve(int capacity) {
        if (capacity <= mCapacity) return true;
        void* grown = realloc(mItems, sizeof(T) * static_cast<size_t>(capacity));
        if (!grown) return false;
        mItems = static_cast<T*>(grown);
        mCapacity = capacity;
        return true;
    }

private:
    T* mItems = nullptr;
    int mCount = 0;
    int mCapacity = 0;
};
