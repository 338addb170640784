#include "editable/character_styles.h"

#include <cstdio>

#include "format/document_format.h"

namespace brevikon {

std::string CharacterStyleName(std::uint8_t attributes) {
    char name[8];
    std::snprintf(name, sizeof name, "Attr%02X", attributes);
    return name;
}

const std::vector<CharacterStyle>& CharacterStyles() {
    static const std::vector<CharacterStyle> styles = [] {
        std::vector<CharacterStyle> all;
        for (int v = 1; v < 256; ++v) {
            const auto attributes = static_cast<std::uint8_t>(v);
            if (VisibleAttributes(attributes) != attributes) continue;
            std::string display;
            auto add = [&](std::uint8_t bit, const char* word) {
                if (!(attributes & bit)) return;
                display += (display.empty() ? "" : ", ");
                display += word;
            };
            add(Underline, "Unterstrichen");
            add(Bold, "Fett");
            add(Superscript, "Hochgestellt");
            add(Subscript, "Tiefgestellt");
            add(Wide, "Breit");
            add(Narrow, "Schmal");
            add(Bit20, "Gesperrt");
            all.push_back({attributes, CharacterStyleName(attributes), "Brevikon " + display});
        }
        return all;
    }();
    return styles;
}

}  // namespace brevikon
