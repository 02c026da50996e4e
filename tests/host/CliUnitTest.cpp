// Pieces of the program checked on their own, where running the program cannot reach them: the
// progress line at every terminal width, and JSON text read back by an independent reader.
#include "host/grindvox/JsonWriter.h"
#include "host/grindvox/Progress.h"
#include "tests/host/JsonValue.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace grindvox::test;

TEST(ProgressLine, FillsTheTerminalWidthLessOneAtEveryWidth) {
    for (int width = 2; width <= 300; ++width) {
        for (double fraction : {0.0, 0.5, 0.999, 1.0}) {
            const std::string line = ProgressLine(fraction, 12345.6, width);
            ASSERT_EQ(static_cast<size_t>(width - 1), line.size())
                << "width " << width << ": \"" << line << "\"";
            ASSERT_EQ(std::string::npos, line.find_first_of("\r\n"));
        }
    }
    EXPECT_EQ("", ProgressLine(0.5, 1.0, 1));
}

TEST(ProgressLine, TheBarIsFilledInProportionWithThePercentAndTimeLeft) {
    // 80 columns: 79 characters, of which "  25%  3.0 s left" takes 17 and the brackets 2,
    // leaving 60 for the bar, a quarter of it filled.
    const std::string line = ProgressLine(0.25, 3.0, 80);
    EXPECT_EQ("[" + std::string(15, '#') + std::string(45, '.') + "]  25%  3.0 s left", line);
    EXPECT_EQ("[" + std::string(60, '#') + "] 100%  0.0 s left", ProgressLine(1.0, 0.0, 80));
    // Too narrow for a bar: the numbers alone.
    EXPECT_EQ(" 50%  1.0 s left", ProgressLine(0.5, 1.0, 17));
}

TEST(JsonWriter, WritesWhatAStrictReaderReadsBack) {
    JsonWriter json;
    json.BeginObject();
    json.Key("text").String("quote \" backslash \\ tab \t newline \n bell \x07");
    json.Key("floats").BeginArray().Float(1.9f).Float(0.1f).Float(-20.0f).Float(3e-7f).EndArray();
    json.Key("double").Number(0.1);
    json.Key("empty").BeginArray().EndArray();
    json.Key("nested").BeginObject().Key("yes").Bool(true).Key("no").Bool(false).EndObject();
    json.EndObject();
    const std::string text = json.Text();

    JsonValue value;
    std::string error;
    ASSERT_TRUE(ParseJson(text, &value, &error)) << error << "\n" << text;
    EXPECT_EQ("quote \" backslash \\ tab \t newline \n bell \x07", value["text"].string);
    ASSERT_EQ(4u, value["floats"].items.size());
    // Each float in the fewest digits that give it back.
    EXPECT_NE(std::string::npos, text.find("1.9,"));
    EXPECT_NE(std::string::npos, text.find("0.1,"));
    EXPECT_NE(std::string::npos, text.find("3e-07"));
    EXPECT_EQ(1.9f, static_cast<float>(value["floats"][0].number));
    EXPECT_EQ(-20.0, value["floats"][2].number);
    EXPECT_EQ(0.1, value["double"].number);
    EXPECT_TRUE(value["empty"].items.empty());
    EXPECT_TRUE(value["nested"]["yes"].boolean);
    EXPECT_EQ(JsonValue::Type::Bool, value["nested"]["no"].type);
}
