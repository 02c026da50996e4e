#include "containers/WDL_PtrList.h"

#include <gtest/gtest.h>

TEST(PtrList, ReadsNullOutsideTheList) {
    WDL_PtrList<int> list;
    int a = 1;
    list.Add(&a);
    EXPECT_EQ(list.Get(0), &a);
    EXPECT_EQ(list.Get(1), nullptr);
    EXPECT_EQ(list.Get(-1), nullptr);
}

TEST(PtrList, DeleteMovesLaterEntriesDownAndLeavesTheElement) {
    WDL_PtrList<int> list;
    int a = 1, b = 2, c = 3;
    list.Add(&a);
    list.Add(&b);
    list.Add(&c);
    list.Delete(0);
    ASSERT_EQ(list.GetSize(), 2);
    EXPECT_EQ(list.Get(0), &b);
    EXPECT_EQ(list.Get(1), &c);
    EXPECT_EQ(a, 1);
    list.Delete(7); // outside: nothing happens
    EXPECT_EQ(list.GetSize(), 2);
}

TEST(PtrList, InsertAndFind) {
    WDL_PtrList<int> list;
    int a = 1, b = 2, c = 3;
    list.Add(&a);
    list.Add(&c);
    list.Insert(1, &b);
    EXPECT_EQ(list.Find(&b), 1);
    EXPECT_EQ(list.Find(&c), 2);
    EXPECT_EQ(list.Find(nullptr), -1);
}

TEST(PtrList, AddingNeverShrinksTheBlock) {
    WDL_PtrList<int> list(4096);
    int a = 0;
    for (int i = 0; i < 1000; ++i)
        list.Add(&a);
    const int allocated = list.m_hb.GetAllocated();
    list.Empty();
    list.Add(&a);
    EXPECT_EQ(list.m_hb.GetAllocated(), allocated);
}
