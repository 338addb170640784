#pragma once
// One JSON object written straight into a line of text: the manifest writes one per file,
// and a document tree of objects per record cost more than converting the file itself.
// Strings must be valid UTF-8 (ValidUtf8 makes them so); everything else is escaped here.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brevikon {

class JsonLine {
  public:
    JsonLine() {
        text_.reserve(2048);  // a file's record, without growing
        Open('{');
    }

    JsonLine& Key(std::string_view key);
    JsonLine& String(std::string_view utf8);
    JsonLine& Number(std::int64_t value);
    JsonLine& Bool(bool value);
    JsonLine& Null();
    JsonLine& Object() { return Open('{'); }
    JsonLine& Array() { return Open('['); }
    JsonLine& End();  // of the innermost object or array

    // The line, every open object and array closed.
    std::string Finish();

  private:
    JsonLine& Open(char bracket);
    void Separate();

    std::string text_;
    std::vector<char> open_;  // closing brackets still due
    bool first_ = true;       // no element yet in the innermost object or array
    bool afterKey_ = false;
};

// Strict UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool IsValidUtf8(std::string_view text);
// The text with every invalid sequence replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

}  // namespace brevikon
