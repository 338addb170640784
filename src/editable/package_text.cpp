#include "editable/package_text.h"

#include "base/version.h"

namespace brevikon {

std::string GeneratorName() {
    return std::string("brevikon-rtf ") + BREVIKON_VERSION;
}

void AppendXmlEscaped(std::string& out, std::string_view text) {
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string_view reference;
        switch (text[i]) {
            case '&':
                reference = "&amp;";
                break;
            case '<':
                reference = "&lt;";
                break;
            case '>':
                reference = "&gt;";
                break;
            case '"':
                reference = "&quot;";
                break;
            case '\'':
                reference = "&apos;";
                break;
            default:
                // Control characters are not allowed in XML 1.0; only a file name brings them.
                if (static_cast<unsigned char>(text[i]) >= 0x20) continue;
                break;
        }
        out.append(text.substr(plain, i - plain));
        out.append(reference);
        plain = i + 1;
    }
    out.append(text.substr(plain));
}

}  // namespace brevikon
