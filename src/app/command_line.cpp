#include "app/command_line.h"

#include <utility>

namespace brevikon {

std::vector<std::u16string> CommandLineArguments(std::u16string_view commandLine) {
    std::vector<std::u16string> words;
    std::u16string word;
    bool inWord = false;
    bool quoted = false;
    for (const char16_t c : commandLine) {
        if (c == u'"') {
            // A quote starts a word even when nothing else follows, so "" is an argument.
            quoted = !quoted;
            inWord = true;
        } else if (c == u' ' && !quoted) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(std::move(word));
    // The first word is the program's own name.
    if (!words.empty()) words.erase(words.begin());
    return words;
}

std::u16string_view FirstDroppedName(std::u16string_view droppedNames) {
    return droppedNames.substr(0, droppedNames.find(u'\n'));
}

}  // namespace brevikon
