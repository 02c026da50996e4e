#include "host/grindvox/JsonWriter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

JsonWriter& JsonWriter::BeginObject() {
    open('{');
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    close('}');
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    open('[');
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    close(']');
    return *this;
}

JsonWriter& JsonWriter::Key(const std::string& key) {
    beforeValue();
    mText += JsonQuoted(key) + ": ";
    mAfterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(const std::string& value) {
    beforeValue();
    mText += JsonQuoted(value);
    return *this;
}

JsonWriter& JsonWriter::Number(double value) {
    beforeValue();
    // JSON has no infinities or NaN.
    if (!std::isfinite(value)) {
        mText += "null";
        return *this;
    }
    char text[32];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        if (std::strtod(text, nullptr) == value) break;
    }
    mText += text;
    return *this;
}

JsonWriter& JsonWriter::Float(float value) {
    beforeValue();
    if (!std::isfinite(value)) {
        mText += "null";
        return *this;
    }
    char text[32];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (std::strtof(text, nullptr) == value) break;
    }
    mText += text;
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    beforeValue();
    mText += value ? "true" : "false";
    return *this;
}

void JsonWriter::beforeValue() {
    if (mAfterKey) {
        mAfterKey = false;
        return;
    }
    if (mHasItems.empty()) return;
    if (mHasItems.back()) mText += ",";
    mHasItems.back() = true;
    newline();
}

void JsonWriter::open(char bracket) {
    beforeValue();
    mText += bracket;
    mHasItems.push_back(false);
}

void JsonWriter::close(char bracket) {
    const bool hadItems = !mHasItems.empty() && mHasItems.back();
    if (!mHasItems.empty()) mHasItems.pop_back();
    if (hadItems) newline();
    mText += bracket;
}

void JsonWriter::newline() {
    mText += "\n" + std::string(mHasItems.size() * 2, ' ');
}

std::string JsonQuoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}
