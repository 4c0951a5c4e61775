#include "cli/Json.h"

#include <cstdio>

namespace quillora::cli {

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", c);
                    out += escape;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

void JsonObject::Key(std::string_view key) {
    if (!body_.empty())
        body_ += ',';
    body_ += JsonString(key);
    body_ += ':';
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view text) {
    Key(key);
    body_ += JsonString(text);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, long long number) {
    Key(key);
    body_ += std::to_string(number);
    return *this;
}

JsonObject& JsonObject::Add(std::string_view key, bool value) {
    Key(key);
    body_ += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::AddObject(std::string_view key, const JsonObject& object) {
    return AddRaw(key, object.ToString());
}

JsonObject& JsonObject::AddArray(std::string_view key, const std::vector<JsonObject>& items) {
    std::string array = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            array += ',';
        array += items[i].ToString();
    }
    array += ']';
    return AddRaw(key, array);
}

JsonObject& JsonObject::AddRaw(std::string_view key, std::string_view json) {
    Key(key);
    body_ += json;
    return *this;
}

std::string JsonObject::ToString() const {
    return "{" + body_ + "}";
}

}  // namespace quillora::cli
