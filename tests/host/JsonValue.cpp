#include "tests/host/JsonValue.h"

#include <cstdlib>
#include <cstring>

namespace grindvox::test {

namespace {

const JsonValue kNull;

struct Reader {
    const std::string& text;
    size_t at = 0;

    void space() {
        while (at < text.size() && std::strchr(" \t\r\n", text[at]))
            ++at;
    }
    bool take(char c) {
        space();
        if (at >= text.size() || text[at] != c) return false;
        ++at;
        return true;
    }
    bool word(const char* w) {
        const size_t n = std::strlen(w);
        if (text.compare(at, n, w) != 0) return false;
        at += n;
        return true;
    }

    bool string(std::string* out) {
        if (!take('"')) return false;
        while (at < text.size() && text[at] != '"') {
            const char c = text[at++];
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\') {
                *out += c;
                continue;
            }
            if (at >= text.size()) return false;
            const char e = text[at++];
            const char* plain = std::strchr("\"\\/bfnrt", e);
            if (plain && e != '\0') {
                *out += "\"\\/\b\f\n\r\t"[plain - "\"\\/bfnrt"];
                continue;
            }
            if (e != 'u' || at + 4 > text.size()) return false;
            char* end = nullptr;
            const std::string hex = text.substr(at, 4);
            const long code = std::strtol(hex.c_str(), &end, 16);
            if (end != hex.c_str() + 4 || code > 0x7f) return false; // ASCII is all the tests need
            *out += static_cast<char>(code);
            at += 4;
        }
        return take('"');
    }

    bool number(double* out) {
        const char* start = text.c_str() + at;
        if (*start != '-' && (*start < '0' || *start > '9')) return false;
        char* end = nullptr;
        *out = std::strtod(start, &end);
        at += static_cast<size_t>(end - start);
        return end != start;
    }

    bool value(JsonValue* v) {
        space();
        if (at >= text.size()) return false;
        const char c = text[at];
        if (c == '{') return object(v);
        if (c == '[') return array(v);
        if (c == '"') {
            v->type = JsonValue::Type::String;
            return string(&v->string);
        }
        for (const bool b : {true, false}) {
            if (!word(b ? "true" : "false")) continue;
            v->type = JsonValue::Type::Bool;
            v->boolean = b;
            return true;
        }
        if (word("null")) return true;
        v->type = JsonValue::Type::Number;
        return number(&v->number);
    }

    bool array(JsonValue* v) {
        v->type = JsonValue::Type::Array;
        take('[');
        if (take(']')) return true;
        do {
            v->items.emplace_back();
            if (!value(&v->items.back())) return false;
        } while (take(','));
        return take(']');
    }

    bool object(JsonValue* v) {
        v->type = JsonValue::Type::Object;
        take('{');
        if (take('}')) return true;
        do {
            std::string key;
            if (!string(&key) || !take(':') || v->members.count(key)) return false;
            if (!value(&v->members[key])) return false;
        } while (take(','));
        return take('}');
    }
};

} // namespace

const JsonValue& JsonValue::operator[](const std::string& key) const {
    const auto found = members.find(key);
    return found == members.end() ? kNull : found->second;
}

const JsonValue& JsonValue::operator[](size_t index) const {
    return index < items.size() ? items[index] : kNull;
}

bool ParseJson(const std::string& text, JsonValue* value, std::string* error) {
    Reader reader{text};
    *value = JsonValue{};
    const bool ok = reader.value(value);
    reader.space();
    if (ok && reader.at == text.size()) return true;
    *error = "not JSON at offset " + std::to_string(reader.at);
    return false;
}

} // namespace grindvox::test
