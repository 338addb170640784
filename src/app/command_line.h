#pragma once
// Splitting the process's command line, and taking the first of several dropped names.
#include <string>
#include <string_view>
#include <vector>

namespace brevikon {

// The arguments after the program's name. The line is split at blanks outside double
// quotes; the quotes themselves are removed, so "C:\Eigene Texte\a.txt" is one argument.
std::vector<std::u16string> CommandLineArguments(std::u16string_view commandLine);

// The text up to the first LF (all of it without one): the first name of a drop.
std::u16string_view FirstDroppedName(std::u16string_view droppedNames);

}  // namespace brevikon
