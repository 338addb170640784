#pragma once
// UTF-16 texts of the application and the wchar_t texts of Win32 hold the same code units
// on Windows; these copy between the two types without reinterpreting memory.
#include <string>
#include <string_view>

namespace brevikon {

inline std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

inline std::u16string Utf16(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

}  // namespace brevikon
