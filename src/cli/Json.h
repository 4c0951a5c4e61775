#pragma once

// A small JSON writer for the command line's --json output: one object per command,
// keys in the order they are added.

#include <string>
#include <string_view>
#include <vector>

namespace quillora::cli {

// The text as a JSON string literal, quotes included; control characters and non-ASCII
// stay valid (UTF-8 passes through, controls become \u escapes).
std::string JsonString(std::string_view text);

class JsonObject {
  public:
    JsonObject& Add(std::string_view key, std::string_view text);
    JsonObject& Add(std::string_view key, const char* text) {
        return Add(key, std::string_view(text));
    }
    JsonObject& Add(std::string_view key, long long number);
    JsonObject& Add(std::string_view key, int number) { return Add(key, (long long)number); }
    JsonObject& Add(std::string_view key, bool value);
    JsonObject& AddObject(std::string_view key, const JsonObject& object);
    JsonObject& AddArray(std::string_view key, const std::vector<JsonObject>& items);
    // A value already written as JSON.
    JsonObject& AddRaw(std::string_view key, std::string_view json);

    std::string ToString() const;

  private:
    void Key(std::string_view key);
    std::string body_;
};

}  // namespace quillora::cli
