#include "app/platform/win32/dialog_strings.h"

#include <vector>

#include "app/platform/win32/wide_text.h"

namespace brevikon {

std::wstring FilterPairs(std::u16string_view filter) {
    if (filter.empty()) return {};
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = filter.find(u'|', start);
        parts.push_back(filter.substr(start, bar == std::u16string_view::npos ? bar : bar - start));
        if (bar == std::u16string_view::npos) break;
        start = bar + 1;
    }
    std::wstring pairs;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        // An empty text would read as the end of the list and hide the pairs after it.
        if (parts[i].empty() || parts[i + 1].empty()) continue;
        pairs += Wide(parts[i]);
        pairs += L'\0';
        pairs += Wide(parts[i + 1]);
        pairs += L'\0';
    }
    // The terminating second NUL; c_str() supplies it, but an explicit one survives copies
    // through wstring_view as well.
    if (!pairs.empty()) pairs += L'\0';
    return pairs;
}

DialogStart SplitDefaultPath(std::u16string_view defaultPath) {
    const std::size_t slash = defaultPath.rfind(u'\\');
    if (slash == std::u16string_view::npos) return {{}, Wide(defaultPath)};
    return {Wide(defaultPath.substr(0, slash + 1)), Wide(defaultPath.substr(slash + 1))};
}

}  // namespace brevikon
