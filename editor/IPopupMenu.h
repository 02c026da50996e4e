#pragma once

#include "containers/WDL_PtrList.h"
#include "containers/WDL_String.h"

class IPopupMenu;

// One line of a popup menu: its text and flags. The submenu pointer is not owned and stays null
// for every item made here; the window layer does not show items that have one.
class IPopupMenuItem {
public:
    enum EFlags { kNoFlags = 0, kDisabled = 1, kTitle = 2, kChecked = 4, kSeparator = 8 };
    static constexpr int kMaxTextLength = 255; // characters kept of an item's text

    explicit IPopupMenuItem(const char* text, int flags = kNoFlags);

    // A longer text is cut to kMaxTextLength characters; null is "".
    void SetText(const char* text) { mText.Set(text ? text : "", kMaxTextLength); }
    const char* GetText() const { return mText.Get(); }
    int GetFlags() const { return mFlags; }
    void SetFlags(int flags) { mFlags = flags; }
    bool GetEnabled() const { return !(mFlags & kDisabled); }
    bool GetChecked() const { return (mFlags & kChecked) != 0; }
    bool GetIsTitle() const { return (mFlags & kTitle) != 0; }
    bool GetIsSeparator() const { return (mFlags & kSeparator) != 0; }
    void SetChecked(bool checked);
    IPopupMenu* GetSubmenu() const { return mSubmenu; }

private:
    WDL_String mText{nullptr};
    IPopupMenu* mSubmenu = nullptr;
    int mFlags;
};

// A list of items and the user's choice among them. The menu owns its items, so it cannot be
// copied. The prefix numbers the shown items by their 1-based position: 0 none, 1 "1: ",
// 2 "01: ", 3 "001: ".
class IPopupMenu {
public:
    IPopupMenu() = default;
    virtual ~IPopupMenu();
    IPopupMenu(const IPopupMenu&) = delete;
    IPopupMenu& operator=(const IPopupMenu&) = delete;

    // Takes ownership and returns the item. Index -1 appends; any other index is limited to
    // 0..count and the later items move up. A null item adds nothing and returns null; so does
    // a list that cannot grow, after deleting the item.
    virtual IPopupMenuItem* AddItem(IPopupMenuItem* item, int index = -1);
    virtual IPopupMenuItem* AddItem(const char* text, int index = -1,
                                    int flags = IPopupMenuItem::kNoFlags);
    virtual IPopupMenuItem* AddSeparator(int index = -1);

    // Null outside 0..count-1.
    IPopupMenuItem* GetItem(int index) const { return mMenuItems.Get(index); }
    int GetNItems() const { return mMenuItems.GetSize(); }
    // Counts outside 0..3 leave the prefix as it was.
    void SetPrefix(int count);
    int GetPrefix() const { return mPrefix; }
    int GetChosenItemIdx() const { return mChosenItemIdx; }
    void SetChosenItemIdx(int index) { mChosenItemIdx = index; }

    // Writes the title the window shows for an item, its number prefix and text, cut to fit
    // size bytes. False (writing nothing) for an index outside the list or no room.
    bool GetItemTitle(int index, char* buffer, int size) const;

private:
    int mPrefix = 0;
    int mChosenItemIdx = -1;
    WDL_PtrList<IPopupMenuItem> mMenuItems{4096};
};
