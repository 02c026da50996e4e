#include "plugin/ByteChunk.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<unsigned char> bytesOf(const ByteChunk& chunk) {
    return std::vector<unsigned char>(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

} // namespace

TEST(ByteChunk, StoresValuesLittleEndian) {
    ByteChunk chunk;
    const int i = 0x01020304;
    const double d = 1.0;
    const bool b = true;
    chunk.Put(&i);
    chunk.Put(&d);
    EXPECT_EQ(chunk.Put(&b), 13);
    EXPECT_EQ(bytesOf(chunk),
              (std::vector<unsigned char>{4, 3, 2, 1, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 1}));
}

TEST(ByteChunk, ReadsReturnTheNextPositionOrMinusOneWithoutTouchingTheValue) {
    ByteChunk chunk;
    const double stored = 2.5;
    chunk.Put(&stored);
    double value = 7.0;
    EXPECT_EQ(chunk.Get(&value, 0), 8);
    EXPECT_EQ(value, 2.5);
    value = 7.0;
    EXPECT_EQ(chunk.Get(&value, 1), -1);
    EXPECT_EQ(chunk.Get(&value, -1), -1);
    EXPECT_EQ(chunk.Get(&value, 0x7ffffffc), -1);
    EXPECT_EQ(value, 7.0);
}

TEST(ByteChunk, TextsCarryTheirLengthAndNoTerminator) {
    ByteChunk chunk;
    chunk.PutStr("empty");
    EXPECT_EQ(bytesOf(chunk), (std::vector<unsigned char>{5, 0, 0, 0, 'e', 'm', 'p', 't', 'y'}));
    WDL_String text;
    EXPECT_EQ(chunk.GetStr(&text, 0), 9);
    EXPECT_STREQ(text.Get(), "empty");
}

TEST(ByteChunk, TextReadsFollowTheLengthRules) {
    ByteChunk chunk;
    const int zero = 0, negative = -3, overlong = 50, three = 3;
    chunk.Put(&zero);     // 0..4
    chunk.Put(&negative); // 4..8
    chunk.Put(&three);    // 8..12
    chunk.PutBytes("a\0c", 3);
    chunk.Put(&overlong); // 15..19

    WDL_String text("kept");
    EXPECT_EQ(chunk.GetStr(&text, 0), 4) << "zero length: nothing read";
    EXPECT_EQ(chunk.GetStr(&text, 4), 5) << "negative length: the end lies before the text";
    EXPECT_STREQ(text.Get(), "kept");
    EXPECT_EQ(chunk.GetStr(&text, 8), 15);
    EXPECT_STREQ(text.Get(), "a") << "stops at a zero byte";
    text.Set("kept");
    EXPECT_EQ(chunk.GetStr(&text, 15), 69) << "past the end, so the next read fails";
    EXPECT_STREQ(text.Get(), "kept");
    EXPECT_EQ(chunk.GetStr(&text, 17), -1) << "not even the length fits";
}

TEST(ByteChunk, AHugeTextLengthDoesNotWrapThePosition) {
    ByteChunk chunk;
    const int huge = 0x7fffffff;
    chunk.Put(&huge);
    WDL_String text;
    EXPECT_EQ(chunk.GetStr(&text, 0), 0x7fffffff);
}

TEST(ByteChunk, ComparesByContent) {
    ByteChunk a, b;
    a.PutStr("x");
    b.PutStr("x");
    EXPECT_TRUE(a.IsEqual(&b));
    b.PutChunk(&a);
    EXPECT_FALSE(a.IsEqual(&b));
    EXPECT_EQ(b.Size(), 10);
}

TEST(ByteChunk, AnyNonZeroByteReadsAsTrue) {
    ByteChunk chunk;
    const unsigned char seven = 7;
    chunk.Put(&seven);
    bool flag = false;
    EXPECT_EQ(chunk.Get(&flag, 0), 1);
    EXPECT_TRUE(flag);
}
