#include "containers/WDL_String.h"

#include <gtest/gtest.h>

#include <string>

TEST(String, EmptyReadsAsASharedEmptyText) {
    WDL_String a, b;
    EXPECT_STREQ(a.Get(), "");
    EXPECT_EQ(a.Get(), b.Get());
    a.Set("x");
    a.Set("");
    EXPECT_EQ(a.Get(), b.Get());
}

TEST(String, SetCopiesUpToTheLimitOrTheFirstNul) {
    WDL_String s;
    s.Set("abcdef", 3);
    EXPECT_STREQ(s.Get(), "abc");
    s.Set("ab\0cd", 5);
    EXPECT_STREQ(s.Get(), "ab");
    EXPECT_EQ(s.GetLength(), 2);
    s.Set(nullptr);
    EXPECT_STREQ(s.Get(), "");
}

TEST(String, AppendsIncludingFromItsOwnText) {
    WDL_String s("abc");
    s.Append("def", 2);
    EXPECT_STREQ(s.Get(), "abcde");
    s.Append(s.Get() + 1);
    EXPECT_STREQ(s.Get(), "abcdebcde");
}

TEST(String, FormatsWithALengthLimit) {
    WDL_String s;
    s.SetFormatted(5, "%d-%s", 1234, "xyz");
    EXPECT_STREQ(s.Get(), "1234-");
    s.AppendFormatted(0, "%s", std::string(500, 'q').c_str());
    EXPECT_EQ(s.GetLength(), 505);
}

TEST(String, CopiesAreIndependent) {
    WDL_String a("one");
    WDL_String b(a);
    a.Set("two");
    EXPECT_STREQ(b.Get(), "one");
    b = a;
    EXPECT_STREQ(b.Get(), "two");
    EXPECT_NE(a.Get(), b.Get());
}
