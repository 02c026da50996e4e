#include "editor/IPopupMenu.h"

#include <cstdio>

namespace {

// printf formats of the number prefixes, by prefix count.
constexpr const char* kPrefixFormats[] = {"", "%1d: ", "%02d: ", "%03d: "};
constexpr int kPrefixCounts = static_cast<int>(sizeof kPrefixFormats / sizeof kPrefixFormats[0]);

} // namespace

IPopupMenuItem::IPopupMenuItem(const char* text, int flags) : mFlags(flags) {
    SetText(text);
}

void IPopupMenuItem::SetChecked(bool checked) {
    mFlags = checked ? (mFlags | kChecked) : (mFlags & ~kChecked);
}

IPopupMenu::~IPopupMenu() {
    WDL_DeleteAll(mMenuItems);
}

IPopupMenuItem* IPopupMenu::AddItem(IPopupMenuItem* item, int index) {
    if (!item) return nullptr;
    const int count = GetNItems();
    if (index == -1 || index > count) index = count;
    if (index < 0) index = 0;
    if (!mMenuItems.Insert(index, item)) {
        delete item;
        return nullptr;
    }
    return item;
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, int flags) {
    return AddItem(new IPopupMenuItem(text, flags), index);
}

IPopupMenuItem* IPopupMenu::AddSeparator(int index) {
    return AddItem(new IPopupMenuItem("", IPopupMenuItem::kSeparator), index);
}

void IPopupMenu::SetPrefix(int count) {
    if (count >= 0 && count < kPrefixCounts) mPrefix = count;
}

bool IPopupMenu::GetItemTitle(int index, char* buffer, int size) const {
    const IPopupMenuItem* item = GetItem(index);
    if (!item || !buffer || size <= 0) return false;
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, kPrefixFormats[mPrefix], index + 1);
    std::snprintf(buffer, static_cast<size_t>(size), "%s%s", prefix, item->GetText());
    return true;
}
