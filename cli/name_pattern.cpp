#include "cli/name_pattern.h"

namespace brevikon {

namespace {

char16_t FoldCase(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    // Latin-1 capitals (Ä, Ö, Ü and the rest), but not the multiplication sign.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    return c;
}

}  // namespace

bool MatchesNamePattern(std::u16string_view pattern, std::u16string_view name) {
    // Greedy matching that returns to the last '*' on a mismatch: linear for patterns with
    // one star, and never worse than pattern length times name length.
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::u16string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == u'?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

bool EndsWithName(std::u16string_view name, std::u16string_view ending) {
    if (ending.size() > name.size()) return false;
    const std::u16string_view end = name.substr(name.size() - ending.size());
    for (std::size_t i = 0; i < ending.size(); ++i) {
        if (FoldCase(end[i]) != FoldCase(ending[i])) return false;
    }
    return true;
}

}  // namespace brevikon
