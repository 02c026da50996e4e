#include "editor/IPopupMenu.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>

static_assert(!std::is_copy_constructible_v<IPopupMenu>, "a copy would free the items twice");
static_assert(!std::is_copy_assignable_v<IPopupMenu>, "a copy would free the items twice");

namespace {

std::string title(const IPopupMenu& menu, int index) {
    char buffer[300];
    return menu.GetItemTitle(index, buffer, sizeof buffer) ? buffer : "<none>";
}

} // namespace

TEST(IPopupMenu, PrefixesNumberItemsByPositionPastASeparator) {
    IPopupMenu menu;
    menu.AddItem("Low");
    menu.AddSeparator();
    menu.AddItem("High");
    menu.SetPrefix(2);

    EXPECT_EQ("01: Low", title(menu, 0));
    EXPECT_TRUE(menu.GetItem(1)->GetIsSeparator());
    EXPECT_EQ("03: High", title(menu, 2));
    EXPECT_EQ("<none>", title(menu, 3));

    menu.SetPrefix(1);
    EXPECT_EQ("3: High", title(menu, 2));
    menu.SetPrefix(3);
    EXPECT_EQ("003: High", title(menu, 2));
    menu.SetPrefix(0);
    EXPECT_EQ("High", title(menu, 2));
}

TEST(IPopupMenu, PrefixOutsideZeroToThreeIsIgnored) {
    IPopupMenu menu;
    menu.SetPrefix(2);
    menu.SetPrefix(5);
    EXPECT_EQ(2, menu.GetPrefix());
    menu.SetPrefix(-1);
    EXPECT_EQ(2, menu.GetPrefix());
}

TEST(IPopupMenu, InsertsAtAClampedIndex) {
    IPopupMenu menu;
    menu.AddItem("b");
    menu.AddItem("d");
    menu.AddItem("a", 0);
    menu.AddItem("c", 2);
    menu.AddItem("e", 99);
    menu.AddItem("first", -7);
    ASSERT_EQ(6, menu.GetNItems());
    const char* expected[] = {"first", "a", "b", "c", "d", "e"};
    for (int i = 0; i < 6; ++i)
        EXPECT_STREQ(expected[i], menu.GetItem(i)->GetText());
    EXPECT_EQ(nullptr, menu.GetItem(6));
    EXPECT_EQ(nullptr, menu.GetItem(-1));
}

TEST(IPopupMenu, NullItemAddsNothing) {
    IPopupMenu menu;
    EXPECT_EQ(nullptr, menu.AddItem(static_cast<IPopupMenuItem*>(nullptr)));
    EXPECT_EQ(0, menu.GetNItems());
    EXPECT_NE(nullptr, menu.AddItem(static_cast<const char*>(nullptr)));
    EXPECT_STREQ("", menu.GetItem(0)->GetText());
}

TEST(IPopupMenu, TextsAndTitlesAreBounded) {
    IPopupMenu menu;
    const std::string huge(5000, 'w');
    menu.AddItem(huge.c_str(), -1, IPopupMenuItem::kChecked | IPopupMenuItem::kDisabled);
    const IPopupMenuItem* item = menu.GetItem(0);
    EXPECT_EQ(size_t(IPopupMenuItem::kMaxTextLength), std::strlen(item->GetText()));
    EXPECT_TRUE(item->GetChecked());
    EXPECT_FALSE(item->GetEnabled());

    menu.SetPrefix(3);
    char small[8];
    std::memset(small, '#', sizeof small);
    ASSERT_TRUE(menu.GetItemTitle(0, small, 6));
    EXPECT_STREQ("001: ", small);
    EXPECT_EQ('#', small[6]); // nothing written past the size given
    EXPECT_FALSE(menu.GetItemTitle(0, small, 0));
}
