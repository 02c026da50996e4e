#pragma once

#include "containers/WDL_HeapBuf.h"

// An ordered list of pointers. The list never owns its elements: whoever adds an element
// deletes it.
template <class T>
class WDL_PtrList {
public:
    explicit WDL_PtrList(int granularity = 4096) : m_hb(granularity) {}

    T** GetList() const { return static_cast<T**>(m_hb.Get()); }
    int GetSize() const { return m_hb.GetSize() / static_cast<int>(sizeof(T*)); }

    // Null for an index outside the list.
    T* Get(int index) const {
        T** list = GetList();
        return index >= 0 && index < GetSize() ? list[index] : nullptr;
    }

    // Returns the element, or null when the list could not grow (it is then unchanged).
    T* Add(T* item) { return Insert(GetSize(), item); }

    T* Insert(int index, T* item) {
        const int size = GetSize();
        if (index < 0 || index > size) index = size;
        if (!m_hb.Resize((size + 1) * static_cast<int>(sizeof(T*)), false)) return nullptr;
        T** list = GetList();
        for (int i = size; i > index; --i)
            list[i] = list[i - 1];
        list[index] = item;
        return item;
    }

    // Index of the first entry equal to the pointer, or -1.
    int Find(const T* item) const {
        T** list = GetList();
        for (int i = 0; i < GetSize(); ++i) {
            if (list[i] == item) return i;
        }
        return -1;
    }

    // Removes the entry and moves the later ones down; does not delete the element.
    void Delete(int index) {
        const int size = GetSize();
        if (index < 0 || index >= size) return;
        T** list = GetList();
        for (int i = index; i < size - 1; ++i)
            list[i] = list[i + 1];
        m_hb.Resize((size - 1) * static_cast<int>(sizeof(T*)), false);
    }

    void Empty() { m_hb.Resize(0, false); }

    WDL_HeapBuf m_hb;
};

// For a list's owner: deletes every element, last first, and empties the list.
template <class T>
void WDL_DeleteAll(WDL_PtrList<T>& list) {
    for (int i = list.GetSize() - 1; i >= 0; --i)
        delete list.Get(i);
    list.Empty();
}
