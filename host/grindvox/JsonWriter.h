#pragma once

#include <string>
#include <vector>

// Builds one JSON document as text, indented two spaces a level. The caller opens and closes
// objects and arrays in order; inside an object each value follows Key(). Strings are escaped
// as JSON requires (quotes, backslashes, control characters); numbers are written in the
// fewest digits that read back as the same float, so 1.9f prints as 1.9.
class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(const std::string& key);
    JsonWriter& String(const std::string& value);
    JsonWriter& Number(double value);
    JsonWriter& Float(float value);
    JsonWriter& Bool(bool value);

    // The document, ending in a newline.
    std::string Text() const { return mText + "\n"; }

private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);
    void newline();

    std::string mText;
    std::vector<bool> mHasItems; // per open level: whether it holds a value yet
    bool mAfterKey = false;
};

// `text` as a JSON string literal, quotes included.
std::string JsonQuoted(const std::string& text);
