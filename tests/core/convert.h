#pragma once
// The converter on a whole image with a table and a buffer of its own, for the
// core tests.
#include <cstdint>
#include <string>
#include <vector>

#include "format/char_table.h"
#include "rtf/convert_document.h"

namespace brevikon::test {

struct Converted {
    std::string rtf;
    std::u16string summary;
    std::uint8_t currentAttributes;
    bool complete;
};

inline Converted Convert(const std::vector<std::uint8_t>& bytes,
                         FontMode fontMode = FontMode::Monospace) {
    CharTable table{};
    BuildCharTable(table);
    RtfBuffer buffer;
    std::uint8_t currentAttributes = 77;  // the converter must start from 0 itself
    const std::u16string summary =
        ConvertDocumentToRtf({bytes.data(), static_cast<std::int64_t>(bytes.size()), fontMode,
                              &table, &buffer, &currentAttributes});
    return {std::string(buffer.content()), summary, currentAttributes, buffer.complete()};
}

}  // namespace brevikon::test
