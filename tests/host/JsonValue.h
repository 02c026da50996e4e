#pragma once

// A small JSON reader for checking what the program prints: strict (no trailing commas, no
// comments, nothing after the value), enough of JSON for tests.

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace grindvox::test {

struct JsonValue {
    enum class Type { Null, Bool, Number, String, Array, Object };

    Type type = Type::Null;
    bool boolean = false;
    double number = 0.0;
    std::string string;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    // The member `key`; a null value when there is none.
    const JsonValue& operator[](const std::string& key) const;
    const JsonValue& operator[](size_t index) const;
};

// False, with the offset of the fault in `error`, for text that is not one JSON value.
bool ParseJson(const std::string& text, JsonValue* value, std::string* error);

} // namespace grindvox::test
