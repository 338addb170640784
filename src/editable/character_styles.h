#pragma once
// The character styles of the editable copies: one per combination of visible attributes,
// named after its attribute byte, so a run names its style without a table of its own.
#include <cstdint>
#include <string>
#include <vector>

namespace brevikon {

struct CharacterStyle {
    std::uint8_t attributes = 0;  // visible attributes, never 0
    std::string name;             // "Attr03": a name both package formats accept as an id
    std::string displayName;      // German, as the office program lists it
};

// Every combination that VisibleAttributes can give, in the order of the attribute byte.
const std::vector<CharacterStyle>& CharacterStyles();

// The style name of a combination of visible attributes (not 0).
std::string CharacterStyleName(std::uint8_t attributes);

// Bit $20 spaces letters by 3 pt, as the RTF's \expndtw60.
constexpr int LetterSpacingTwips = 60;
// Wide text is drawn at twice, narrow text at two thirds of its width.
constexpr int WideScalePercent = 200;
constexpr int NarrowScalePercent = 67;

}  // namespace brevikon
