#pragma once
// --match: shell-like patterns for file names, as DOS users wrote them ("*.TXT", "BRIEF??.*").
#include <string_view>

namespace brevikon {

// '*' stands for any run of characters (none included), '?' for exactly one; every other
// character stands for itself, upper and lower case alike (ASCII and Latin-1 letters).
bool MatchesNamePattern(std::u16string_view pattern, std::u16string_view name);

// Whether name ends with ending, upper and lower case alike: what MatchesNamePattern tells of
// "*" and an ending without wildcards, without its search.
bool EndsWithName(std::u16string_view name, std::u16string_view ending);

}  // namespace brevikon
